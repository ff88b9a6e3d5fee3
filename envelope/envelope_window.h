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
#include <memory>

class QLineEdit;
class QPixmap;
class QSize;
class QRadioButton;
class QTimer;

namespace Ui {
class Tkoperta_f;
}

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
    ~Tkoperta_f() override;

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

    // Event handlers, run by their controls through the click guard, which
    // shows a failed step in the error box; the rest of the handler is skipped.
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
    void storeSenderLine();       // the sender line "Koniec" keeps for the next envelope
    void hideHelp();              // SpeedButton11 "Powrót"
    void Timer1Timer();           // clock, every 100 ms

    // What the printout takes from the window.
    EnvelopeLayout envelopeLayout() const;
    // The unscaled logo the printout stretches (the hidden Image3 of the
    // layout); null when none is loaded.
    const Picture& logoPicture() const { return logo_; }
    // The preset whose radio button is ticked, 0 when none.
    int tickedPreset() const;

private:
    void build() override;
    void connectHandlers();
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

    // The controls, declared in envelope_window.ui; the rows of fields are
    // also kept in arrays for the handlers that go through them in turn.
    std::unique_ptr<Ui::Tkoperta_f> ui_;
    std::array<QLineEdit*, 4> n_{}; // sender lines n1..n4
    std::array<QLineEdit*, 4> l_{}; // recipient from the left, l1..l4
    std::array<QLineEdit*, 4> g_{}; // recipient from the top, g1..g4
    std::array<QRadioButton*, 4> presets_{}; // RadioButton1..RadioButton4
    std::array<QLineEdit*, 5> o_{}; // Forma o1 and the recipient lines o2..o5
    QTimer* Timer1 = nullptr;
};

} // namespace wirtello
