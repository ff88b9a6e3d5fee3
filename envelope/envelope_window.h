#pragma once

#include "admin/data_folder_window.h"
#include "envelope/envelope_printout.h"
#include "envelope/envelope_records.h"
#include "platform/print_menu.h"
#include "print/print_font.h"
#include "store/app_data.h"
#include "store/jpeg_picture.h"

#include <QString>

#include <array>
#include <filesystem>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPixmap;
class QSize;
class QRadioButton;
class QTextEdit;
class QTimer;
class QToolButton;

namespace wirtello {

class Platform;
struct FileDialogRequest;

// The texts of the contact card that "Adresuj kopertę" puts on the envelope,
// as the card shows them at that moment (saved or not).
struct EnvelopeAddress {
    QString firstLine;  // imie
    QString secondLine; // nazwisko
    QString street;     // ulica
    QString town;       // miejscowosc
};

// "Adresowanie kopert": sender and recipient lines, where the two blocks and
// the logo go on the envelope, the layout kept as defaults and as profiles,
// and the envelope printout.
class Tkoperta_f : public DataFolderWindow {
    Q_OBJECT
public:
    Tkoperta_f(AppData& data, Platform& platform, CurrentPrintFont& printFont,
               WidgetBuilding building = WidgetBuilding::Now);

    // The main window's "Adresuj kopertę", called just before open(): o2..o5
    // take the card's texts, n1..n3 the first three lines of the own company
    // record in memory (AppData::company), n4 is emptied. open() then runs
    // initialise(), which resets positions, logo, Forma and ticks from the
    // defaults files but leaves these lines alone.
    void addressTo(const EnvelopeAddress& card);

    // Creation handler, and again at every opening: the data folder, the four
    // defaults files (each created with its defaults when missing), the ticks
    // and the default profile's caption.
    void initialise() override;

    // Event handlers. Each reports its failures in the error box and stops.
    void showPreset(int preset);  // RadioButton1..RadioButton4
    void saveDefaults();          // SpeedButton1 "Zapisz ustalenia jako domyślne"
    void readDefaults();          // SpeedButton2 "Czytaj ustalenia domyślne"
    void choosePrintFont();       // SpeedButton3 "Czcionka druku"
    void saveProfile();           // SpeedButton4 "Zapisz profil"
    void readProfile();           // SpeedButton5 "Czytaj profil"
    void showHelp();              // SpeedButton6 "Pomoc"
    // SpeedButton7 "Drukuj kopertę"; its right-click menu also previews or saves a PDF.
    void printEnvelope(PrintDestination destination = PrintDestination::Printer);
    void attachPicture();         // SpeedButton8 "Dołącz obrazek"
    void detachPicture();         // SpeedButton9 "Odłącz obrazek"
    void finish();                // SpeedButton10 "Koniec"
    void hideHelp();              // SpeedButton11 "Powrót"
    void Timer1Timer();           // clock, every 100 ms

    // What the printout takes from the window.
    EnvelopeLayout envelopeLayout() const;
    // The unscaled logo the printout stretches (the hidden Image3 of the
    // layout); null when none is loaded.
    const Picture& logoPicture() const { return logo_; }
    // The preset whose radio button is ticked, 0 when none.
    int tickedPreset() const;

    // Components, named as in the layout.
    QFrame* Panel1 = nullptr; // "Nadawca"
    QLabel* Label1 = nullptr;
    std::array<QLineEdit*, 4> n{};
    QLineEdit*& n1 = n[0];
    QLineEdit*& n2 = n[1];
    QLineEdit*& n3 = n[2];
    QLineEdit*& n4 = n[3];

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label2 = nullptr; // "Parametry koperty"
    QCheckBox* poziomo = nullptr;
    QLabel* Label3 = nullptr; // "Odbiorca"
    QLabel* Label4 = nullptr; // "od lewej (mm)"
    QLabel* Label5 = nullptr; // "od góry (mm)"
    std::array<QLineEdit*, 4> l{};
    std::array<QLineEdit*, 4> g{};
    std::array<QRadioButton*, 4> RadioButton{};
    QLineEdit*& l1 = l[0];
    QLineEdit*& l2 = l[1];
    QLineEdit*& l3 = l[2];
    QLineEdit*& l4 = l[3];
    QLineEdit*& g1 = g[0];
    QLineEdit*& g2 = g[1];
    QLineEdit*& g3 = g[2];
    QLineEdit*& g4 = g[3];
    QRadioButton*& RadioButton1 = RadioButton[0];
    QRadioButton*& RadioButton2 = RadioButton[1];
    QRadioButton*& RadioButton3 = RadioButton[2];
    QRadioButton*& RadioButton4 = RadioButton[3];
    QLabel* Label6 = nullptr;  // "Nadawca"
    QLabel* Label8 = nullptr;  // "od lewej (mm)"
    QLabel* Label9 = nullptr;  // "od góry (mm)"
    QLabel* Label10 = nullptr; // "odstęp (mm)"
    QLineEdit* l_n = nullptr;
    QLineEdit* g_n = nullptr;
    QLineEdit* od = nullptr;
    QFrame* Shape1 = nullptr;
    QLabel* Label11 = nullptr; // "Parametry Logo"
    QLabel* Label12 = nullptr; // "od lewej (pix)"
    QLabel* Label13 = nullptr; // "od góry (pix)"
    QLineEdit* l_log = nullptr;
    QLineEdit* g_log = nullptr;
    QFrame* Bevel1 = nullptr;  // the preview's frame
    QLabel* Image2 = nullptr;  // preview
    QToolButton* SpeedButton8 = nullptr;
    QToolButton* SpeedButton9 = nullptr;
    QCheckBox* logo = nullptr; // "drukuj obrazek"
    QLabel* Label14 = nullptr; // "lokalizacja obrazka"
    QLineEdit* nazwa = nullptr;

    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QToolButton* SpeedButton5 = nullptr;
    QToolButton* SpeedButton6 = nullptr;
    QToolButton* SpeedButton7 = nullptr;
    QLabel* Image1 = nullptr;  // decoration
    QLabel* Label15 = nullptr; // clock
    QLabel* Label7 = nullptr;  // "Rozmiar 50X50"

    QFrame* Panel2 = nullptr; // "Odbiorca"
    QLabel* Label16 = nullptr;
    QLabel* Label17 = nullptr; // "Forma"
    std::array<QLineEdit*, 5> o{};
    QLineEdit*& o1 = o[0];
    QLineEdit*& o2 = o[1];
    QLineEdit*& o3 = o[2];
    QLineEdit*& o4 = o[3];
    QLineEdit*& o5 = o[4];
    QTextEdit* Memo2 = nullptr;
    QToolButton* SpeedButton10 = nullptr;

    QFrame* Panel3 = nullptr; // help
    QTextEdit* Memo1 = nullptr;
    QToolButton* SpeedButton11 = nullptr;

    QTimer* Timer1 = nullptr;

private:
    void build() override;
    void aboutToShow() override { Timer1Timer(); }
    void buildLayout();
    void setUpKeyboard();
    // What the preview shows while no logo is loaded.
    static QPixmap emptyPreviewPicture(const QSize& size);
    void tickPreset(int preset);
    LayoutTicks ticks() const;
    void applyTicks(const LayoutTicks& ticks);
    void showSettings(const EnvelopeSettings& settings, bool withSender);
    void showLogoSettings(const LogoSettings& logoSettings);
    EnvelopeSettings typedSettings() const;
    LogoSettings typedLogoSettings() const;
    // The picture's name as typed, or as the defaults hold it before the widgets are built.
    std::string pictureName() const;
    std::filesystem::path picturePath() const;
    bool pictureFileExists() const;
    // Loads the picture nazwa names, or drops the one loaded when it names
    // none or one that cannot be read; enables "drukuj obrazek" only with a picture.
    void loadNamedPicture();
    void dropPicture();
    void enableLogoTickForFile();
    FileDialogRequest profileDialog(const QString& title) const;

    AppData& data_;
    Platform& platform_;
    CurrentPrintFont& printFont_;

    // The in-memory copies of the records; bytes no field names are written back as read.
    EnvelopeSettingsRecord settingsRecord_;
    LogoSettingsRecord logoRecord_;
    FormaRecord formaRecord_;
    LayoutChoiceRecord choiceRecord_;
    EnvelopeProfileRecord profileRecord_;

    Picture logo_;
};

} // namespace wirtello
