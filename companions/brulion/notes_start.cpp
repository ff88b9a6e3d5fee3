#include "notes_start.h"

#include "notes_window.h"
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

    DocumentAccess access = openDocumentAccess(file);
    const bool writable = access.lock.has_value();
    const auto anyText = [](std::string_view) { return true; };
    const LoadedDocument note = loadCompanionDocument(file, kCompanionFileLimit, toTimePoint(platform.now()), anyText);
    if (!note.damagedNotice.empty())
        platform.inform(QString::fromStdString(note.damagedNotice));

    auto window = std::make_unique<NotesWindow>(platform, start.programFolder, QString::fromStdString(entryText), file,
                                                note.text, std::move(access));
    if (writable)
        new RunningWindowListener(name, [raw = window.get()] { raw->bringToFront(); }, window.get());
    return window;
}

} // namespace wirtello
