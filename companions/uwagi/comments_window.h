#pragma once

#include "comment_log.h"

#include "companions/companion_kit/companion_files.h"
#include "companions/companion_kit/single_window.h"
#include "companions/companion_kit/document_watch.h"
#include "platform/platform.h"
#include "platform/print_menu.h"
#include "platform/program_window.h"

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
// the document's lock the window is read-only and says why; it then follows
// the file as another copy writes it and offers to take over once that copy
// has closed.
class CommentsWindow : public ProgramWindow {
    Q_OBJECT

public:
    CommentsWindow(Platform& platform, std::filesystem::path programFolder, const QString& titleLine,
                   std::filesystem::path file, CommentFile comments, DocumentAccess access,
                   QWidget* parent = nullptr);
    ~CommentsWindow() override;

    void print(PrintDestination destination);
    // Later starts for the same contact on this machine, calling `name`,
    // bring this window up while it may write (from the start or once it
    // took over).
    void answerStartsAs(const QString& name);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addOrChange();
    // The list with the typing added or changed, and where that comment is in it.
    std::vector<Comment> withTyping(const std::string& text, std::size_t& at) const;
    // The end of the session stores typing as "Tak" to the close's question would, asking nothing.
    void storeTypingAtSessionEnd();
    void startChange();
    // Whether the entry field holds typing that is not stored yet.
    bool hasTyping() const;
    void endChange();
    void deleteSelected();
    void refill(std::optional<std::size_t> select = std::nullopt);
    void updateButtons();
    std::optional<std::size_t> selectedIndex() const;
    QString shownDate(const Comment& comment);
    // Stores `changed` as the new list; false (error shown, list kept) on failure.
    bool store(std::vector<Comment> changed);
    // Reads the file again into the list; false when a line of it could not
    // be read (the lines read are shown) or the read failed.
    bool reread();
    // The other copy closed: offer to edit here.
    void offerTakeOver();
    void showAccess();

    std::unique_ptr<Ui::CommentsWindow> ui_;
    Platform& platform_;
    std::filesystem::path programFolder_;
    std::filesystem::path file_;
    std::vector<Comment> comments_;
    bool crlf_ = false; // the file's line ends, kept when it is written
    DocumentAccess access_;
    StartAnswer startAnswer_{this}; // other starts of the document bring this window forward
    DocumentWatch* watch_;
    std::optional<std::size_t> changing_; // the comment being changed in the entry field
};

} // namespace wirtello
