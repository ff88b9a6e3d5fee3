#pragma once

#include "admin/data_folder_window.h"
#include "platform/print_menu.h"
#include "print/print_font.h"
#include "store/app_data.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include <memory>

namespace Ui {
class Tlogowania_f;
}

namespace wirtello {

class Platform;

// What the editor edits, set by the window that opens it. The values stay
// until they are set again.
struct EditorParameters {
    // Below the selected data folder, "\DOKUMENTY\kptresc.dat"; empty: nothing to edit.
    std::string file;
    // Window caption and printout heading (UTF-8), "Edytor stałej treści".
    std::string caption;
    // kStoreOnReturn: "Powrót" stores the text; any other value: it does not.
    std::uint8_t mode = 0;
};

// The text editor ("Notatnik"): one text file of the data folder in a memo,
// printed with "Drukuj" and stored on "Powrót".
//
// The cash document window's "Edytor treści" opens it so:
//     editor.setParameters({"\\DOKUMENTY\\kptresc.dat", "Edytor stałej treści",
//                           Tlogowania_f::kStoreOnReturn});
//     editor.open();
class Tlogowania_f : public DataFolderWindow {
    Q_OBJECT
public:
    static constexpr std::uint8_t kStoreOnReturn = 2;

    Tlogowania_f(AppData& data, Platform& platform, CurrentPrintFont& printFont,
                 WidgetBuilding building = WidgetBuilding::Now);
    ~Tlogowania_f() override;

    void setParameters(const EditorParameters& parameters) { parameters_ = parameters; }
    const EditorParameters& parameters() const { return parameters_; }

    // Caption, data folder (with the server check), then the file into the memo.
    // While the window is open with typed text not yet stored, it first asks
    // whether to store it; "Anuluj" leaves the window as it is.
    void initialise() override;

    // The edited file: the data folder followed by the editor file.
    std::filesystem::path editedPath() const;

    // "Drukuj" (SpeedButton1); its right-click menu also previews or saves a PDF.
    // Both raise IoError; the button's guard shows it.
    void printText(PrintDestination destination = PrintDestination::Printer);
    // "Powrót" (SpeedButton2).
    void returnFromEditor();

private:
    void build() override;
    void applyPrintFontToMemo();
    // The memo's lines into the file they were read from; raises IoError.
    void storeText();
    // Before the memo is read again: false when the user keeps the window as it is.
    bool settleUnstoredText();

    std::unique_ptr<Ui::Tlogowania_f> ui_;
    AppData& data_;
    Platform& platform_;
    CurrentPrintFont& printFont_;
    EditorParameters parameters_;
    // The file whose text the memo holds; set only by a whole read, so a
    // failed reopening never stores one file's text under another's name.
    std::optional<std::filesystem::path> loadedPath_;
    // The parameters the memo's text was read with.
    EditorParameters loadedParameters_;
};

} // namespace wirtello
