#pragma once

#include "companions/companion_kit/companion_files.h"
#include "platform/platform.h"
#include "platform/print_menu.h"

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
// user is asked only when a store fails. Without the document's lock the
// window is read-only and says why.
class NotesWindow : public QWidget {
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
    void bringToFront();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void tryStore();
    bool hasChanges() const;
    // Writes the note; IoError when it fails.
    void writeNote();

    std::unique_ptr<Ui::NotesWindow> ui_;
    Platform& platform_;
    std::filesystem::path programFolder_;
    std::filesystem::path file_;
    DocumentAccess access_;
};

} // namespace wirtello
