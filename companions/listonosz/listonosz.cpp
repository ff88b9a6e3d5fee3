#include "listonosz.h"

#include "mail_link.h"

#include "platform/platform.h"

namespace wirtello {
namespace {

int fail(const QString& message, Platform& platform, std::ostream& errors, bool showBoxes)
{
    errors << "listonosz: " << message.toStdString() << '\n';
    if (showBoxes)
        platform.inform(message);
    return 1;
}

} // namespace

int runListonosz(const std::vector<std::string>& arguments, Platform& platform, std::ostream& errors,
                 bool showBoxes)
{
    if (arguments.size() != 1) {
        return fail(QStringLiteral("Podaj jeden adres e-mail, na przykład: listonosz jan@przyklad.pl"), platform,
                    errors, showBoxes);
    }
    const std::optional<std::string> address = mailAddress(arguments.front());
    if (!address) {
        return fail(QStringLiteral("„%1” nie jest adresem e-mail, więc nie można utworzyć wiadomości.")
                        .arg(QString::fromStdString(arguments.front())),
                    platform, errors, showBoxes);
    }
    if (!platform.openUrl(QString::fromStdString(mailtoLink(*address)))) {
        return fail(QStringLiteral("Nie udało się otworzyć programu pocztowego dla adresu %1. "
                                   "Sprawdź, czy w systemie ustawiono domyślny program pocztowy.")
                        .arg(QString::fromStdString(*address)),
                    platform, errors, showBoxes);
    }
    return 0;
}

} // namespace wirtello
