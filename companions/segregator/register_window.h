#pragma once

#include "companions/companion_kit/companion_app.h"
#include "companions/companion_kit/companion_files.h"
#include "companions/companion_kit/single_window.h"
#include "companions/companion_kit/document_open.h"
#include "document_register.h"
#include "platform/platform.h"
#include "platform/print_menu.h"
#include "platform/program_window.h"

#include <QWidget>

#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class RegisterWindow;
}

namespace wirtello {

class DocumentWatch;

// The document register of one contact: the rows, a filter, a form to add or
// change a row, the attached file opened with the desktop's program, export
// to CSV and the print menu. Every change is stored at once. The first window
// on a register holds its lock; another one shows it read-only, follows what
// the first stores and may take over once it closes.
class RegisterWindow : public ProgramWindow {
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

    // Another start of this register on this machine calls under `name` and
    // this window comes to the front; it answers while it holds the lock.
    void answerStartsAs(const QString& name);

protected:
    // Asks before the form's unstored text is lost.
    void closeEvent(QCloseEvent* event) override;
    // Enter in a form field stores the form.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Reads `text` into `rows`, as openCompanionDocument's reader.
    static DocumentReader readerInto(std::vector<RegisterRow>& rows);
    void showRows();
    void selectionChanged();
    void fillForm(const RegisterRow& row);
    void clearForm();
    void startNew();
    RegisterRow formContents() const;
    bool formChanged() const;
    // Whether the form may be replaced: nothing typed, or typing stored (Tak)
    // or dropped (Nie). Anuluj and a failed store keep it.
    bool settleForm();
    // The form's row, or nothing (the user told why) when it names no document.
    std::optional<RegisterRow> formRow();
    std::optional<RowKey> selectedKey() const;
    // Selects the row of `key` in the table (none when it is hidden or
    // nothing) without treating it as the user's choice.
    void selectQuietly(std::optional<RowKey> key);
    // Stores the form as a new row, or into the row being edited.
    bool storeForm(bool asNew);
    bool saveRow();
    // Enter in the form: "Dodaj" for a new document, "Zapisz zmiany" for a row chosen.
    void storeOnEnter();
    // The end of the session keeps typing the close would ask about, asking nothing.
    void keepFormAtSessionEnd();
    void deleteRow();
    void attachFile();
    void openAttachment();
    void exportCsv();
    void print(PrintDestination destination);
    // Stores `changed`; on a failure the register on screen stays as it was.
    bool store(const DocumentRegister& changed);
    void setEditable(bool editable, const QString& note);
    // The register as on disk now, read into `rows`; nothing when it could not be read (shown).
    std::optional<LoadedDocument> readFromDisk(std::vector<RegisterRow>& rows);
    // A read-only window's answers to its watch.
    void reloadFromDisk();
    void offerTakeOver();

    std::unique_ptr<Ui::RegisterWindow> ui_;
    Platform& platform_;
    std::filesystem::path programFolder_;
    std::filesystem::path file_;
    QString titleLine_;
    DocumentAccess access_;
    StartAnswer startAnswer_{this}; // other starts of the document bring this window forward
    DocumentRegister register_;
    std::vector<std::size_t> shown_; // register index of each table row
    std::string formAttachment_;
    RegisterRow formShown_;          // the form as last filled from a row or cleared
    std::optional<RowKey> editing_;  // the row the form was filled from; none for a new document
    DocumentWatch* watch_;
};

// The window for the command line  segregator <id>.lis "<title line>",  on
// the register in the program folder's "segregator" folder, opened; nothing
// when a window on that register already runs on this machine (it comes to
// the front instead). Bad arguments raise std::invalid_argument with a Polish
// text.
std::unique_ptr<QWidget> openRegisterWindow(const CompanionStart& start, Platform& platform);

} // namespace wirtello
