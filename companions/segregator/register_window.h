#pragma once

#include "companions/companion_kit/companion_app.h"
#include "companions/companion_kit/companion_files.h"
#include "document_register.h"
#include "platform/platform.h"
#include "platform/print_menu.h"

#include <QWidget>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class RegisterWindow;
}

namespace wirtello {

// The document register of one contact: the rows, a filter, a form to add or
// change a row, the attached file opened with the desktop's program, export
// to CSV and the print menu. Every change is stored at once. The first window
// on a register holds its lock; another one shows it read-only.
class RegisterWindow : public QWidget {
    Q_OBJECT
public:
    // `file` is the register (segregator/<id>.lis), `titleLine` the line given
    // on the command line, `programFolder` where attached files are looked for.
    RegisterWindow(Platform& platform, std::filesystem::path programFolder, std::filesystem::path file,
                   const QString& titleLine, QWidget* parent = nullptr);
    ~RegisterWindow() override;

    // Reads the register and takes its lock; failures are told to the user.
    void open();

    bool isReadOnly() const { return !access_.lock; }

protected:
    // Asks before the form's unstored text is lost.
    void closeEvent(QCloseEvent* event) override;

private:
    void showRows();
    void showSelected();
    void clearForm();
    RegisterRow formContents() const;
    // The form's row, or nothing (the user told why) when it names no document.
    std::optional<RegisterRow> formRow();
    std::optional<std::size_t> selectedIndex() const;
    bool addRow();
    bool saveRow();
    void deleteRow();
    void attachFile();
    void openAttachment();
    void exportCsv();
    void print(PrintDestination destination);
    // Stores `changed`; on a failure the register on screen stays as it was.
    bool store(const DocumentRegister& changed);
    void select(std::size_t index);
    void setReadOnly(const QString& note);

    std::unique_ptr<Ui::RegisterWindow> ui_;
    Platform& platform_;
    std::filesystem::path programFolder_;
    std::filesystem::path file_;
    QString titleLine_;
    DocumentAccess access_;
    DocumentRegister register_;
    std::vector<std::size_t> shown_; // register index of each table row
    std::string formAttachment_;
    RegisterRow formShown_; // the form as last filled from a row or cleared
};

// The window for the command line  segregator <id>.lis "<title line>",  on
// the register in the program folder's "segregator" folder, opened. Bad
// arguments raise std::invalid_argument with a Polish text.
std::unique_ptr<QWidget> openRegisterWindow(const CompanionStart& start, Platform& platform);

} // namespace wirtello
