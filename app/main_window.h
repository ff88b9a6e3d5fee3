#pragma once

#include "platform/program_window.h"
#include "print/print_font_window.h"
#include "store/app_data.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QString>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <array>
#include <filesystem>
#include <vector>

namespace wirtello {

class Platform;

// The windows the main window opens, created after it at start-up.
struct ProgramWindows {
    ProgramWindow* form3 = nullptr;
    ProgramWindow* firma = nullptr;
    ProgramWindow* logowania = nullptr;
    ProgramWindow* histo = nullptr;
    Tfont_f* font = nullptr;
    ProgramWindow* kp = nullptr;
    ProgramWindow* koperta = nullptr;
    ProgramWindow* narzedzia = nullptr;
};

// The main window: contact list, card, and the buttons that reach everything else.
//
// The list shows the used slots of the contact database in slot order; rowSlots_
// maps each list row to its slot, so a database with gaps (not written by us)
// is still read and changed slot by slot correctly.
class Tzadania_f : public ProgramWindow {
    Q_OBJECT
public:
    Tzadania_f(AppData& data, Platform& platform, QWidget* parent = nullptr);
    ~Tzadania_f() override;

    void setWindows(const ProgramWindows& windows) { windows_ = windows; }

    // The creation handler: prepares all shared data and fills the list.
    void FormCreate();

    void CzyscPola();
    // Fills the card (edits and photograph) from the selected entry's slot.
    void select();

    // Event handlers, callable directly.
    void Timer1Timer();        // clock and changes indicator
    void SpeedButton9Click();  // "Zapisz kontakt"
    void SpeedButton12Click(); // "Szukaj zdjęcia"
    void SpeedButton2Click();  // "Dodaj"
    void SpeedButton13Click(); // "Zmień"
    void SpeedButton3Click();  // "Usuń"
    void SpeedButton6Click();  // "Info"
    void SpeedButton7Click();  // "Zamknij" of the help panel
    void SpeedButton14Click(); // "O mnie"
    void SpeedButton32Click(); // "Narzędzia"
    void SpeedButton23Click(); // "Historia"
    void SpeedButton27Click(); // "Koniec"
    void SpeedButton8Click();  // "Drukuj": the contact list
    void SpeedButton22Click(); // "Czcionka": the print font
    void Label2Click();        // maker's mark: the about window
    // Find the next entry containing the text of `coszukac`.
    void SzukajDalej();
    // Fade-out before the end of the program.
    void Wygaszaj();

    // The slot of the selected entry, -1 with none.
    int selectedSlot() const;
    const std::vector<int>& rowSlots() const { return rowSlots_; }
    bool changesPending() const { return changesPending_; }
    bool photoChosen() const { return photoChosen_; }
    // The file last confirmed in the photo dialog during this run.
    const std::filesystem::path& photoFileName() const { return photoFileName_; }

    // Left: list and search.
    QListWidget* listazadan = nullptr;
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
    QLabel* Label2 = nullptr;  // maker's mark

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
    std::array<QLineEdit*, 10> cardEdits() const;

    void fillList();
    void addRow(int row, int slot, const QString& text);
    // Changes the list's selection without running select.
    void setSelectedRow(int row);
    void showPicture(int slot);
    void showDefaultPicture();
    void endProgram(bool recordRun);
    void addContact();
    void deleteContact();
    void choosePhoto();

    AppData& data_;
    Platform& platform_;
    ProgramWindows windows_;
    std::vector<int> rowSlots_;
    bool changesPending_ = false;
    bool photoChosen_ = false;
    std::filesystem::path photoFileName_;
    int rowBeforePress_ = -1;
};

// Writes the in-memory contact database to its file, unless the file exists and
// the database was never read from it (start-up failed first): writing then
// would wipe contacts the user never saw. Once written, the file is ours.
void storeContactDatabase(AppData& data);

} // namespace wirtello
