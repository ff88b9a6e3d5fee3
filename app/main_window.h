#pragma once

#include "platform/keyboard_access.h"
#include "platform/program_window.h"
#include "program_windows.h"

#include "cash/cash_document_kind.h"
#include "companions/companion_command.h"
#include "platform/print_menu.h"
#include "print/print_font.h"
#include "store/app_data.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QString>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <array>
#include <filesystem>
#include <vector>

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

    // The slot of the selected entry, -1 with none.
    int selectedSlot() const;
    bool changesPending() const { return changesPending_; }
    bool photoChosen() const { return photoChosen_; }
    // The file last confirmed in the photo dialog during this run.
    const std::filesystem::path& photoFileName() const { return photoFileName_; }

    // Left: list and search.
    QListView* listazadan = nullptr;
    QLabel* Label18 = nullptr;
    QLineEdit* coszukac = nullptr;
    QToolButton* SpeedButton30 = nullptr; // "Enter"

    // Card.
    QFrame* Bevel1 = nullptr;
    QLineEdit* imie = nullptr;
    QLineEdit* nazwisko = nullptr;
    QLineEdit* ulica = nullptr;
    QLineEdit* miejscowosc = nullptr;
    QLineEdit* telefon = nullptr;
    QLineEdit* fax = nullptr;
    QLineEdit* komorka = nullptr;
    QLineEdit* mail = nullptr;
    QLineEdit* www = nullptr;
    QLineEdit* komunikator = nullptr;
    std::array<QLabel*, 10> captions{}; // grey captions left of the card edits
    QToolButton* SpeedButton15 = nullptr; // changes indicator
    QFrame* Bevel2 = nullptr;
    QLabel* Image1 = nullptr; // photograph
    QTextEdit* Memo3 = nullptr;
    QLabel* Label1 = nullptr;  // clock
    QLabel* Label13 = nullptr; // version
    ButtonLabel* Label2 = nullptr; // maker's mark

    // Top bar.
    QFrame* Panel3 = nullptr;
    QLabel* Image5 = nullptr; // logo
    QToolButton* SpeedButton14 = nullptr; // "O mnie"
    QToolButton* SpeedButton2 = nullptr;  // "Dodaj"
    QToolButton* SpeedButton3 = nullptr;  // "Usuń"
    QToolButton* SpeedButton13 = nullptr; // "Zmień"
    QToolButton* SpeedButton4 = nullptr;  // "Notatki"
    QToolButton* SpeedButton5 = nullptr;  // "Terminarz"
    QToolButton* SpeedButton8 = nullptr;  // "Drukuj"
    QToolButton* SpeedButton6 = nullptr;  // "Info"
    QToolButton* SpeedButton16 = nullptr; // "Archiwa"
    QToolButton* SpeedButton22 = nullptr; // "Czcionka"

    // Right bar.
    QFrame* Panel4 = nullptr;
    QToolButton* SpeedButton12 = nullptr; // "Szukaj zdjęcia"
    QToolButton* SpeedButton9 = nullptr;  // "Zapisz kontakt"
    QToolButton* SpeedButton18 = nullptr; // "Strona www"
    QToolButton* SpeedButton11 = nullptr; // "Wyślij pocztę"
    QToolButton* SpeedButton10 = nullptr; // "Adresuj kopertę"
    QToolButton* SpeedButton21 = nullptr; // "Eksport adresów"
    QToolButton* SpeedButton24 = nullptr; // "Dokument Kp"
    QToolButton* SpeedButton25 = nullptr; // "Dokument Kw"
    QToolButton* SpeedButton32 = nullptr; // "Narzędzia"
    QToolButton* SpeedButton31 = nullptr; // "Komentarze"
    QToolButton* SpeedButton29 = nullptr; // "Kalendarz zadań"
    QToolButton* SpeedButton28 = nullptr; // "Czytnik zadań"
    QToolButton* SpeedButton26 = nullptr; // "Rejestr dokumentów"
    QToolButton* SpeedButton23 = nullptr; // "Historia"
    QToolButton* SpeedButton27 = nullptr; // "Koniec"

    // Help panel, hidden until "Info".
    QFrame* Panel1 = nullptr;
    QTextEdit* Memo1 = nullptr;
    QToolButton* SpeedButton7 = nullptr; // "Zamknij"

    QTimer* Timer1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void connectActions();
    void setUpKeyboard(); // main_window_keys.cpp
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
    void openWindow(WindowRole role);
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

    // False, after telling the user, while the contact database could not be
    // read: changes could not be stored.
    bool contactsChangeable();
    // The list's current row, -1 with none.
    int currentRow() const;
    // Writes the database file; when it was merged with a file changed on
    // disk, shows the merged list and tells the user what came from disk.
    void storeContacts();
    // Changes the list's selection without running select.
    void setSelectedRow(int row);
    void showPicture(int slot);
    void showDefaultPicture();

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
