#include "notes_start.h"

#include "notes_window.h"
#include "companions/companion_kit/document_open.h"
#include "companions/companion_kit/single_window.h"

#include <stdexcept>

namespace wirtello {

std::unique_ptr<QWidget> openNotes(const CompanionStart& start, Platform& platform)
{
    if (start.arguments.size() != 2)
        throw std::invalid_argument("Notatki otwiera program Wirtello przyciskiem „Notatki”: "
                                    "brulion \"<pozycja listy>\" <identyfikator kontaktu>.");
    const std::string& entryText = start.arguments[0];
    const std::string& id = start.arguments[1];
    const std::filesystem::path folder = companionFolder(start.programFolder, kNotebookFolder);
    const std::filesystem::path file = contactFile(folder, id + ".txt", ".txt");

    const QString name = singleWindowName("brulion", start.programFolder, id);
    if (callRunningWindow(name))
        return nullptr;

    std::string text;
    OpenedDocument opened = openCompanionDocument(
        platform, file,
        [&text](std::string_view read) {
            text = std::string(read);
            return std::optional<DocumentProblem>(); // any UTF-8 text is a note
        },
        true);

    auto window = std::make_unique<NotesWindow>(platform, start.programFolder, QString::fromStdString(entryText), file,
                                                text, std::move(opened.access));
    window->setReadAsWindows1250(opened.readAsWindows1250);
    window->answerStartsAs(name);
    return window;
}

} // namespace wirtello
