#include "comments_start.h"

#include "comment_log.h"
#include "comments_window.h"

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

    DocumentAccess access = openDocumentAccess(file);
    std::vector<Comment> comments;
    const LoadedDocument loaded =
        loadCompanionDocument(file, kCompanionFileLimit, toTimePoint(platform.now()), [&](std::string_view text) {
            std::optional<std::vector<Comment>> parsed = parseComments(text);
            if (parsed)
                comments = std::move(*parsed);
            return parsed.has_value();
        });
    if (!loaded.damagedNotice.empty())
        platform.inform(QString::fromStdString(loaded.damagedNotice));
    return std::make_unique<CommentsWindow>(platform, start.programFolder, title, file, std::move(comments),
                                            std::move(access));
}

} // namespace wirtello
