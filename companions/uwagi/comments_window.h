#pragma once

#include "comment_log.h"

#include "companions/companion_kit/companion_files.h"
#include "platform/platform.h"
#include "platform/print_menu.h"

#include <QWidget>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class CommentsWindow;
}

namespace wirtello {

// The dated comments of one contact, newest first, headed by the title line
// the main program gives. Every addition, change and deletion is stored at
// once; a failed store is shown and the list stays as it is on disk. Without
// the document's lock the window is read-only and says why.
class CommentsWindow : public QWidget {
    Q_OBJECT

public:
    CommentsWindow(Platform& platform, std::filesystem::path programFolder, const QString& titleLine,
                   std::filesystem::path file, std::vector<Comment> comments, DocumentAccess access,
                   QWidget* parent = nullptr);
    ~CommentsWindow() override;

    void print(PrintDestination destination);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void addOrChange();
    void startChange();
    void endChange();
    void deleteSelected();
    void refill(std::optional<std::size_t> select = std::nullopt);
    void updateButtons();
    std::optional<std::size_t> selectedIndex() const;
    QString shownDate(const Comment& comment);
    // Stores `changed` as the new list; false (error shown, list kept) on failure.
    bool store(std::vector<Comment> changed);

    std::unique_ptr<Ui::CommentsWindow> ui_;
    Platform& platform_;
    std::filesystem::path programFolder_;
    std::filesystem::path file_;
    std::vector<Comment> comments_;
    DocumentAccess access_;
    std::optional<std::size_t> changing_; // the comment being changed in the entry field
};

} // namespace wirtello
