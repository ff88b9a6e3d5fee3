#pragma once

#include "admin/data_folder_window.h"
#include "cash/cash_amount.h"
#include "cash/cash_document.h"
#include "cash/cash_document_file.h"
#include "cash/cash_document_kind.h"
#include "platform/print_menu.h"
#include "print/print_font.h"
#include "store/app_data.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QListWidgetItem;
class QTimer;

namespace Ui {
class Tkp_f;
}

namespace wirtello {

class Platform;
class Tlogowania_f;
struct FileDialogRequest;

// The cash document window: one KP (cash in) or KW (cash out) document at a
// time, its ten item lines with amounts, the total and the change, document
// files, fixed contents, numbering and the printout. The document itself is a
// CashDocument; the labels, the grid and the cash field show and edit it.
//
// The main window's "Dokument Kp" / "Dokument Kw" open it so:
//     kp.prepareDocument(DocumentKind::Kp, imie, nazwisko, ulica, miejscowosc,
//                        {company line 1, 2, 3, 4});
//     kp.open();
class Tkp_f : public DataFolderWindow {
    Q_OBJECT
public:
    Tkp_f(AppData& data, Platform& platform, CurrentPrintFont& printFont, Tlogowania_f& textEditor,
          WidgetBuilding building = WidgetBuilding::Now);
    ~Tkp_f() override;

    // Sets the document kind and fills the two blocks: the counterparty with
    // the card's first and second line joined by a blank, its street and town
    // (the fourth line empty), the issuer with the first four lines of the own
    // company record (name, two address lines, NIP). Call before open(); the
    // texts are copied, so later changes of the card do not reach the window.
    void prepareDocument(DocumentKind kind, const QString& firstLine, const QString& secondLine,
                         const QString& street, const QString& town, const std::array<QString, 4>& companyLines);

    // Data folder, radio buttons and edit panel; with a kind chosen, captions,
    // the numbering file (created when missing), the timer, the total and the
    // date. The grid, the number, the extension and the cash stay as they were.
    void initialise() override;

    // The 100 ms tick: "Zapisz parametry" enabled state, colour flag, aligning
    // when the grid's cell changes, the total and the change.
    void Timer1Timer();
    // Rewrites every amount other than 0 in the amount format.
    void Wyrownaj();

    // SpeedButton7 / SpeedButton8: the edit panel for the issuer / counterparty block.
    void editIssuer();
    void editCounterparty();
    // SpeedButton9 "Wstaw": the panel's lines into the chosen block.
    void applyEdit();
    // SpeedButton10 "Zaniechaj".
    void cancelEdit();
    // SpeedButton6 "Wstaw treść": the kind's fixed contents in the list.
    void showFixedContents();
    // Double-click on the list: the item into the description of the grid's current row.
    void insertFixedContent(QListWidgetItem* item);
    // SpeedButton5 "Edytor treści".
    void openContentEditor();
    // SpeedButton4 "Czytaj dokument" / SpeedButton3 "Zapisz dokument". These,
    // the fixed contents and printing raise a failed file step as IoError,
    // which the button's guard shows.
    void readDocument();
    void saveDocument();
    // SpeedButton2 "Kalkulator": the first desktop calculator found.
    void startCalculator();
    // SpeedButton14 "Wyczyść dokument": empties the 20 cells.
    void clearDocument();
    // SpeedButton11 "Pomoc" / SpeedButton12 "Koniec pomocy".
    void showHelp();
    void hideHelp();
    // SpeedButton13 "Drukuj dokument": print dialog, number, printout. Its
    // right-click menu previews or saves a PDF, which take no number: they
    // show the one the next print takes, marked "(podgląd)". An amount that
    // is not a number stops it first: the cell is marked and named in a
    // message. A numbering file that another program holds longer than a few
    // seconds, or whose number cannot be given, is explained in a message and
    // nothing is printed.
    void printDocument(PrintDestination destination = PrintDestination::Printer);
    // SpeedButton15 "Zapisz parametry": reserved to the boss level.
    void saveParameters();
    // Enter in the grid: the cash field, then the amount column, in the amount format.
    void gridEnterPressed();
    // Enter in the cash field or leaving it.
    void cashEntered();

    DocumentKind documentKind() const { return document_.kind(); }
    // The document the window shows and edits.
    const CashDocument& document() const { return document_; }
    // 0 black, 1 colour; follows the radio buttons at each tick.
    std::uint8_t colourPrintFlag() const { return colourFlag_; }
    // 1 issuer, 2 counterparty.
    std::uint8_t editTarget() const { return editTarget_; }
    const std::filesystem::path& numberingFilePath() const { return numberingPath_; }
    // The total of the latest tick (or print).
    const AmountTotal& total() const { return total_; }

    DocumentLines documentLines() const;
    void setDocumentLines(const DocumentLines& lines);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Tab stays inside a panel that is up.
    bool focusNextPrevChild(bool next) override;

private:
    void build() override;
    // The Designer file's controls, given what it cannot say (cash_document_layout.cpp).
    void buildLayout();
    // Every button's click and the other controls' signals.
    void connectHandlers();
    // Tab order, shortcuts and accessible names (cash_document_window_keys.cpp).
    void setUpKeyboard();
    void nameEditPanelLines();
    // Tab past the grid's last cell, Shift+Tab before its first, and
    // Ctrl+Tab anywhere leave the grid; leaveGrid moves the focus on.
    bool tabLeavesGrid(const QKeyEvent& key) const;
    void leaveGrid(const QKeyEvent& key);
    // The text of a cell being edited goes into the grid.
    void commitOpenCell();
    // Hides the fixed contents' list, the grid taking the keyboard again.
    void closeFixedContents();
    void openEditPanel(std::uint8_t target);
    std::array<QLabel*, 4> block(std::uint8_t target) const;
    const DocumentBlock& documentBlock(std::uint8_t target) const;
    // The document's blocks and lines into the labels and the grid.
    void showBlocks();
    void showLines();
    std::array<QLineEdit*, 4> panelEdits() const;
    void setCell(int row, int column, const QString& text);
    // False, after marking the first amount cell that is not a number and
    // saying so, when some is not.
    bool amountsAreNumbers();
    // A marked cell loses its mark once it holds a number.
    void clearMendedAmountMarks();
    // The document drawn for `destination`, numbered when it goes to the printer.
    void printOn(PrintSurface& surface, PrintDestination destination);
    FileDialogRequest documentDialog(const QString& title) const;

    std::unique_ptr<Ui::Tkp_f> ui_;
    QTimer* timer_ = nullptr; // Timer1

    AppData& data_;
    Platform& platform_;
    CurrentPrintFont& printFont_;
    Tlogowania_f& textEditor_;

    CashDocument document_;
    std::uint8_t colourFlag_ = 0;
    std::uint8_t editTarget_ = 1;
    std::filesystem::path numberingPath_;
    CashDocumentRecord documentBuffer_;
    int lastColumn_ = 0;
    int lastRow_ = 0;
    AmountTotal total_;
};

} // namespace wirtello
