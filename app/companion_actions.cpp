#include "companion_actions.h"

#include "companions/web_address.h"
#include "platform/platform.h"
#include "store/contact_book.h"
#include "store/cp1250.h"
#include "store/io_error.h"

#include <system_error>

namespace wirtello {
namespace {

// The companions rely on running in the program folder; one that has gone
// away (a network drive) is reported as the failed change of folder it is.
void requireProgramFolder(const std::filesystem::path& programFolder)
{
    std::error_code error;
    if (!std::filesystem::is_directory(programFolder, error))
        throw IoError("Nie można przejść do folderu", programFolder);
}

} // namespace

StoredAddress storedAddress(const ContactBook& book, int slot)
{
    if (slot < 0)
        return {};
    return {book.text(ContactField::FirstLine, slot), book.text(ContactField::SecondLine, slot),
            book.text(ContactField::Street, slot), book.text(ContactField::Town, slot)};
}

CompanionInputs companionInputs(const ContactBook& book, int slot, std::string firstName, std::string surname,
                                std::string mail)
{
    CompanionInputs inputs;
    if (slot >= 0)
        inputs.selectedEntry = book.text(ContactField::Display, slot);
    inputs.firstName = std::move(firstName);
    inputs.surname = std::move(surname);
    inputs.mail = std::move(mail);
    inputs.stored = storedAddress(book, slot);
    return inputs;
}

bool startCompanion(Platform& platform, const std::filesystem::path& programFolder, CompanionButton button,
                    const CompanionInputs& inputs)
{
    const CompanionLaunch launch = companionLaunch(button, inputs);
    if (launch.programFolderFirst)
        requireProgramFolder(programFolder);
    if (launch.contactMissing)
        platform.inform(QStringLiteral("Wybierz kontakt z listy."));
    if (!launch.commandLine)
        return false;
    return platform.exec(QString::fromStdString(fromCp1250(*launch.commandLine)), programFolder);
}

void openWebPage(Platform& platform, const QString& www)
{
    const WebPageRequest request = webPageRequest(www.toStdString());
    switch (request.kind) {
    case WebPageRequest::Kind::Nothing:
        return;
    case WebPageRequest::Kind::Refused:
        platform.inform(QStringLiteral("Nie można otworzyć adresu:\r%1\r\r%2")
                            .arg(www.trimmed(), QString::fromStdString(request.reason)));
        return;
    case WebPageRequest::Kind::Open:
        platform.openUrl(QString::fromStdString(request.url));
        return;
    }
}

} // namespace wirtello
