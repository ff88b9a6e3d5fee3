#pragma once

#include "platform/program_window.h"
#include "program_windows.h"

#include "cash/cash_document_kind.h"
#include "companions/companion_command.h"
#include "platform/print_menu.h"
#include "print/print_font.h"
#include "store/app_data.h"

#include <QString>

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

class QLineEdit;
class QTimer;

namespace Ui {
class Tzadania_f;
}

namespace wirtello {

class ContactListModel;
class Platform;

// The main window: contact list, card, and the buttons that reach everything
// else. The contact book decides; the window asks it and shows the result.
class Tzadania_f : public ProgramWindow {
    Q_OBJECT
public:
    Tzadania_f(AppData& data, Platform& platform, CurrentPrintFont& printFont, const ProgramWindows& windows,
               QWidget* parent = nullptr);
    ~Tzadania_f() override;

    // The creation handler: prepares all shared data and fills the list.
    void FormCreate();

    void CzyscPola();
    // Fills the card (edits and photograph) from the selected entry's slot.
    void select();

    void Timer1Timer(); // clock and changes indicator
    // Find the next entry containing the text of `coszukac`.
    void SzukajDalej();
    // Fade-out before the end of the program.
    void Wygaszaj();
    // Opens the program window of `role` (the buttons that reach other windows).
    void openWindow(WindowRole role);

    // The slot of the selected entry, -1 with none.
    int selectedSlot() const;
    bool changesPending() const { return changesPending_; }
    bool photoChosen() const { return photoChosen_; }
    // The file last confirmed in the photo dialog during this run.
    const std::filesystem::path& photoFileName() const { return photoFileName_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void connectActions();
    void setUpKeyboard(); // main_window_keys.cpp
    // A handler reached by something other than a button's click (a list or
    // menu signal, the timer, a key), run through the same guard as the clicks.
    std::function<void()> guarded(std::function<void()> handler);
    std::array<QLineEdit*, 10> cardEdits() const;

    // Event handlers of the buttons; each runs through the handler guard.
    void saveCard();        // SpeedButton9 "Zapisz kontakt"
    void choosePhoto();     // SpeedButton12 "Szukaj zdjęcia"
    void addContact();      // SpeedButton2 "Dodaj"
    void renameContact();   // SpeedButton13 "Zmień"
    void deleteContact();   // SpeedButton3 "Usuń"
    void showHelp();        // SpeedButton6 "Info"
    void hideHelp();        // SpeedButton7 "Zamknij"
    void printList();       // SpeedButton8 "Drukuj"
    void printListTo(PrintDestination destination); // SpeedButton8's right-click menu
    void choosePrintFont(); // SpeedButton22 "Czcionka"
    void connectImport();   // listazadan's right-click menu (main_window_import.cpp)
    void importContacts();  // listazadan's menu "Importuj kontakty…"
    void showAboutWindow(); // Label2, the maker's mark
    void addressEnvelope();                      // SpeedButton10 "Adresuj kopertę"
    void openCashDocument(DocumentKind kind);    // SpeedButton24 "Dokument Kp", SpeedButton25 "Dokument Kw"
    void startCompanionFor(CompanionButton button); // the companion program buttons
    void openWebPage();                          // SpeedButton18 "Strona www"
    void endProgram(bool recordRun); // SpeedButton27 "Koniec" and the close box

    // Moves the card to the list's current row, first asking about edits not
    // saved on the contact the card shows; on "Anuluj" the list goes back.
    void moveToCurrentRow();
    // Asks whether to save the card's edits not saved yet and does so on
    // "Tak"; false when the user cancelled (or nothing could be saved).
    bool settleCardChanges();

    // The card's edits into the contact it shows, as "Zapisz kontakt" does once allowed.
    void writeCardIntoContact();
    // What the end stores, without a question or a message: the session is ending.
    void storeAtSessionEnd();

    // False, after telling the user, while the contact database could not be
    // read: changes could not be stored.
    bool contactsChangeable();
    // The list's current row, -1 with none.
    int currentRow() const;
    // Writes the database file; when it was merged with a file changed on
    // disk, shows the merged list and tells the user what came from disk.
    void storeContacts();
    // Stores and adds that wait for another copy of the program show the wait cursor.
    void waitForOtherCopiesWithCursor();
    // Changes the list's selection without running select.
    void setSelectedRow(int row);
    void showPicture(int slot);
    void showDefaultPicture();

    // The controls as main_window.ui declares them, by their component names.
    std::unique_ptr<Ui::Tzadania_f> ui_;
    QTimer* Timer1 = nullptr;
    AppData& data_;
    Platform& platform_;
    CurrentPrintFont& printFont_;
    const ProgramWindows& windows_;
    bool changesPending_ = false;
    bool photoChosen_ = false;
    std::filesystem::path photoFileName_;
    ContactListModel* contactList_ = nullptr;
    // True while the window itself moves the list's selection.
    bool movingSelection_ = false;
    int rowBeforePress_ = -1;
    int cardRow_ = -1; // the list row whose contact the card shows
};

} // namespace wirtello
