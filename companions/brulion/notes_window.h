#pragma once

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
#include <string>

namespace Ui {
class NotesWindow;
}

namespace wirtello {

// The notes of one contact: a plain-text editor titled with the contact's
// entry text. The note is stored when the window closes and with Ctrl+S; the
// user is asked only when a store fails. What is stored is the text as it
// stands, with the line ends the file had. Without the document's lock the
// window is read-only and says why; it then follows the file as another copy
// writes it and offers to take over once that copy has closed.
class NotesWindow : public ProgramWindow {
    Q_OBJECT

public:
    NotesWindow(Platform& platform, std::filesystem::path programFolder, const QString& entryText,
                std::filesystem::path file, const std::string& text, DocumentAccess access,
                QWidget* parent = nullptr);
    ~NotesWindow() override;

    // Ctrl+S: stores the note when it changed. False when the store failed
    // (the error is shown).
    bool store();
    // F5: the platform's date and time at the cursor.
    void insertDateTime();
    // F3 and "Znajdź dalej": the next match of the find text, from the top
    // again at the end; false when there is none (the window says so).
    bool findNext();
    void print(PrintDestination destination);
    // A second start for the same contact brings this window up.
    // Later starts for the same contact on this machine, calling `name`,
    // bring this window up while it may write (from the start or once it
    // took over).
    void answerStartsAs(const QString& name);
    // The note was read as Windows-1250: it is stored in UTF-8 even unchanged.
    void setReadAsWindows1250(bool converted);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void tryStore();
    bool hasChanges() const;
    // Writes the note; IoError when it fails.
    void writeNote();
    // Shows `text`, remembering its line ends for the store.
    void showText(const QString& text);
    // The note as it is to be stored.
    std::string noteText() const;
    // Reads the file again; false when a part of it could not be read or the read failed.
    bool reread();
    // The other copy closed: offer to edit here.
    void offerTakeOver();
    void showAccess();

    std::unique_ptr<Ui::NotesWindow> ui_;
    Platform& platform_;
    std::filesystem::path programFolder_;
    std::filesystem::path file_;
    DocumentAccess access_;
    StartAnswer startAnswer_{this}; // other starts of the document bring this window forward
    QString lineEnd_ = QStringLiteral("\n"); // for lines the user adds: the file's first CR LF, CR or LF
    bool convertOnStore_ = false;
    DocumentWatch* watch_;
};

} // namespace wirtello
