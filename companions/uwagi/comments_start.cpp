#include "comments_start.h"

#include "comment_log.h"
#include "comments_window.h"

#include "companions/companion_kit/document_open.h"
#include "companions/companion_kit/single_window.h"

#include <stdexcept>

namespace wirtello {

std::unique_ptr<QWidget> openComments(const CompanionStart& start, Platform& platform)
{
    if (start.arguments.empty() || start.arguments.size() > 2)
        throw std::invalid_argument("Komentarze otwiera program Wirtello przyciskiem „Komentarze”: "
                                    "uwagi <identyfikator>.kom \"<tytuł>\".");
    const std::filesystem::path folder = companionFolder(start.programFolder, kCommentsFolder);
    const std::filesystem::path file = contactFile(folder, start.arguments[0], ".kom");
    const QString title = start.arguments.size() == 2 ? QString::fromStdString(start.arguments[1])
                                                      : QStringLiteral("Komentarze");

    const QString name = singleWindowName("uwagi", start.programFolder, file.stem().string());
    if (callRunningWindow(name))
        return nullptr;

    CommentFile read;
    OpenedDocument opened =
        openCompanionDocument(platform, file, [&read](std::string_view text) { return readComments(text, read); });
    auto window = std::make_unique<CommentsWindow>(platform, start.programFolder, title, file, std::move(read),
                                                   std::move(opened.access));
    window->answerStartsAs(name);
    return window;
}

} // namespace wirtello
