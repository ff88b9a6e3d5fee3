#include "envelope/envelope_window.h"

#include "admin/network_mode.h"
#include "envelope/envelope_records.h"
#include "print/print_actions.h"
#include "tests/envelope/envelope_test_files.h"
#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <tuple>

namespace wirtello {
namespace {

using test::countedAt;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

std::string text(const QLineEdit* edit)
{
    return edit->text().toStdString();
}

template <std::size_t N>
std::vector<std::string> texts(const std::array<QLineEdit*, N>& edits)
{
    std::vector<std::string> result;
    for (const QLineEdit* edit : edits)
        result.push_back(text(edit));
    return result;
}

using Texts = std::vector<std::string>;

class EnvelopeWindow : public ::testing::Test {
protected:
    TempFolder folder{"Admini", "FONT", "Koperty"};
    AppData data{folder.path()};
    ScriptedPlatform platform;
    CurrentPrintFont font;
    Tkoperta_f window{data, platform, font};

    std::vector<std::uint8_t> file(const char* name) const { return readBytes(folder / "Admini" / name); }

    // "Adresuj kopertę" for a card as the main window shows it.
    void openFor(const EnvelopeAddress& card)
    {
        window.addressTo(card);
        window.open();
    }

    void TearDown() override
    {
        EXPECT_EQ(platform.unanswered, 0);
        EXPECT_TRUE(platform.askAnswers.empty());
        EXPECT_TRUE(platform.openFileAnswers.empty());
        EXPECT_TRUE(platform.saveFileAnswers.empty());
    }
};

TEST_F(EnvelopeWindow, FirstStartWritesTheDefaultsAndShowsThem)
{
    window.initialise();
    EXPECT_TRUE(platform.errors.empty());

    std::vector<std::uint8_t> settings(480, 0);
    const auto put = [&settings](std::size_t offset, const std::string& value) {
        settings[offset] = static_cast<std::uint8_t>(value.size());
        std::copy(value.begin(), value.end(), settings.begin() + offset + 1);
    };
    for (const auto& [offset, value] : std::vector<std::pair<std::size_t, std::string>>{
             {324, "50"}, {330, "100"}, {336, "150"}, {342, "200"}, {348, "50"}, {354, "100"}, {360, "150"},
             {366, "200"}, {372, "5"}, {378, "5"}, {429, "5"}})
        put(offset, value);
    EXPECT_EQ(file("dane_kop_1.dat"), settings);
    EXPECT_EQ(file("dane_kop_log_1.dat"), std::vector<std::uint8_t>(243, 0));
    EXPECT_EQ(file("dane_kop_for.dat"), std::vector<std::uint8_t>(21, 0));
    EXPECT_EQ(file("dane_kop_ori_1.dat"), std::vector<std::uint8_t>(3, 0));

    EXPECT_EQ(texts(window.l), (Texts{"50", "100", "150", "200"}));
    EXPECT_EQ(texts(window.g), (Texts{"50", "100", "150", "200"}));
    EXPECT_EQ(texts(std::array{window.l_n, window.g_n, window.od, window.nazwa}), (Texts{"5", "5", "5", ""}));
    EXPECT_TRUE(window.RadioButton1->isChecked());
    EXPECT_EQ(window.Label7->text(), "Rozmiar 50X50");
    EXPECT_FALSE(window.poziomo->isChecked());
    EXPECT_FALSE(window.logo->isChecked());
    EXPECT_FALSE(window.logo->isEnabled());
    EXPECT_EQ(window.windowTitle(), "Adresowanie kopert - profil domyślny");
}

TEST_F(EnvelopeWindow, AddressingFillsTheLinesFromTheCardAndTheCompany)
{
    data.company.setLine(1, "Biuro Rachunkowe Żak");
    data.company.setLine(2, "ul. Polna 3");
    data.company.setLine(3, "00-001 Warszawa");
    data.company.setLine(4, "NIP 123");
    window.n4->setText("stary wiersz");

    openFor({"Jan Kowalski", "Kowalski i Syn", "ul. Leśna 5", "Łódź"});
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(texts(window.o), (Texts{"", "Jan Kowalski", "Kowalski i Syn", "ul. Leśna 5", "Łódź"}));
    EXPECT_EQ(texts(window.n), (Texts{"Biuro Rachunkowe Żak", "ul. Polna 3", "00-001 Warszawa", ""}));
}

// Where the window's layout table puts the controls that sit a few pixels
// off their neighbours' lines.
TEST_F(EnvelopeWindow, ControlsSitWhereTheLayoutPutsThem)
{
    const struct {
        const char* name;
        const QWidget* control;
        const QWidget* container;
        QPoint position;
    } rows[] = {
        {"drukuj poziomo", window.poziomo, window.GroupBox1, {229, 13}},
        {"Dołącz obrazek", window.SpeedButton8, window.GroupBox1, {12, 307}},
        {"Odłącz obrazek", window.SpeedButton9, window.GroupBox1, {10, 327}},
        {"Forma", window.Label17, window.Panel2, {12, 24}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.control->parentWidget(), row.container);
        EXPECT_EQ(row.control->pos(), row.position);
    }
    EXPECT_LT(window.SpeedButton8->geometry().bottom(), window.SpeedButton9->geometry().top());
}

TEST_F(EnvelopeWindow, RadioButtonsShowTheirPresetWhenClicked)
{
    window.initialise();
    window.RadioButton3->click();
    EXPECT_EQ(window.Label7->text(), "Rozmiar 150X150");
    window.l3->setText("90");
    EXPECT_EQ(window.Label7->text(), "Rozmiar 150X150");
    window.RadioButton3->click();
    EXPECT_EQ(window.Label7->text(), "Rozmiar 90X150");
    window.RadioButton4->click();
    EXPECT_EQ(window.Label7->text(), "Rozmiar 200X200");
    EXPECT_EQ(window.Label7->x() + window.Label7->width(), 816);
}

TEST_F(EnvelopeWindow, SavingTheDefaultsCutsTextsAndKeepsThemForTheNextOpening)
{
    window.initialise();
    window.l1->setText("123456");
    window.n1->setText(QString(90, QLatin1Char('N')));
    window.n2->setText("Łęczyca");
    window.od->setText("7a");
    window.l_log->setText("40");
    window.RadioButton3->click();
    window.poziomo->setChecked(true);
    window.SpeedButton1->click();
    EXPECT_TRUE(platform.errors.empty());
    EXPECT_TRUE(platform.asked.isEmpty());

    const auto settings = file("dane_kop_1.dat");
    ASSERT_EQ(settings.size(), 480u);
    EXPECT_EQ(countedAt(settings, 324), "12345");
    EXPECT_EQ(countedAt(settings, 0), std::string(80, 'N'));
    EXPECT_EQ(countedAt(settings, 81), "\xA3\xEA\x63zyca");
    EXPECT_EQ(countedAt(settings, 372), "7a");
    EXPECT_EQ(countedAt(file("dane_kop_log_1.dat"), 231), "40");
    EXPECT_EQ(file("dane_kop_ori_1.dat"), (std::vector<std::uint8_t>{3, 0, 1}));

    // The next opening takes positions and ticks from the files, not the sender lines.
    window.n1->setText("z karty");
    window.open();
    EXPECT_EQ(text(window.l1), "12345");
    EXPECT_EQ(text(window.od), "7a");
    EXPECT_EQ(text(window.n1), "z karty");
    EXPECT_TRUE(window.RadioButton3->isChecked());
    EXPECT_EQ(window.Label7->text(), "Rozmiar 150X150");
    EXPECT_TRUE(window.poziomo->isChecked());
}

TEST_F(EnvelopeWindow, ReadingTheDefaultsAsksFirstAndTakesEveryField)
{
    window.initialise();
    EnvelopeSettingsRecord settings = defaultEnvelopeSettings();
    EnvelopeSettings s = settings.settings();
    s.sender = {"Nadawca 1", "Nadawca 2", "", "Nadawca 4"};
    s.left[3] = "30";
    s.top[3] = "40";
    settings.setSettings(s);
    storeRecord(folder / "Admini/dane_kop_1.dat", settings);
    writeBytes(folder / "Admini/dane_kop_ori_1.dat", {4, 0, 1});

    platform.askAnswers = {false};
    window.SpeedButton2->click();
    EXPECT_EQ(platform.asked, QStringList{"Wczytać ustawienia domyślne ?"});
    EXPECT_EQ(platform.askCaptions, QStringList{"Pytanie"});
    EXPECT_EQ(text(window.n1), "");
    EXPECT_TRUE(window.RadioButton1->isChecked());

    window.setWindowTitle("Adresowanie kopert /inny.pro");
    platform.askAnswers = {true};
    window.SpeedButton2->click();
    EXPECT_TRUE(platform.errors.empty());
    EXPECT_EQ(text(window.n1), "Nadawca 1");
    EXPECT_EQ(text(window.n4), "Nadawca 4");
    EXPECT_TRUE(window.RadioButton4->isChecked());
    EXPECT_EQ(window.Label7->text(), "Rozmiar 30X40");
    EXPECT_TRUE(window.poziomo->isChecked());
    EXPECT_EQ(window.windowTitle(), "Adresowanie kopert - profil domyślny");
}

TEST_F(EnvelopeWindow, AProfileKeepsTheLayoutButNotTheRecipient)
{
    window.initialise();
    window.n1->setText("Firma");
    window.l3->setText("77");
    window.g_n->setText("12");
    window.RadioButton3->click();
    window.poziomo->setChecked(true);
    window.logo->setChecked(true);

    platform.saveFileAnswers = {folder / "Koperty" / "biuro"};
    window.SpeedButton4->click();
    ASSERT_TRUE(platform.errors.empty());
    ASSERT_EQ(platform.saveFileRequests.size(), 1u);
    EXPECT_EQ(platform.saveFileRequests[0].filter, "Pliki profilów|*.pro");
    EXPECT_EQ(platform.saveFileRequests[0].startFolder, folder / "Koperty");
    const auto bytes = readBytes(folder / "Koperty" / "biuro.pro");
    ASSERT_EQ(bytes.size(), 726u);
    EXPECT_EQ(countedAt(bytes, 336), "77");
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 723, bytes.end()), (std::vector<std::uint8_t>{3, 1, 1}));

    // Change everything, then read the profile back.
    window.addressTo({"Piotr Wiśniewski", "Wiśniewski Sp. j.", "Krótka 2", "Gdańsk"});
    window.open();
    window.o1->setText("Pan");
    const Texts recipient = texts(window.o);
    platform.openFileAnswers = {folder / "Koperty" / "biuro.pro"};
    window.SpeedButton5->click();
    ASSERT_TRUE(platform.errors.empty());
    EXPECT_EQ(platform.openFileRequests[0].startFolder, folder / "Koperty");
    EXPECT_EQ(text(window.n1), "Firma");
    EXPECT_EQ(text(window.l3), "77");
    EXPECT_EQ(text(window.g_n), "12");
    EXPECT_TRUE(window.RadioButton3->isChecked());
    EXPECT_EQ(window.Label7->text(), "Rozmiar 77X150");
    EXPECT_TRUE(window.poziomo->isChecked());
    EXPECT_TRUE(window.logo->isChecked());
    EXPECT_EQ(texts(window.o), recipient);
    EXPECT_EQ(window.windowTitle().toStdString(),
              "Adresowanie kopert " + (folder / "Koperty" / "biuro.pro").string());
    // Nothing of the profile reached the defaults.
    EXPECT_EQ(countedAt(file("dane_kop_1.dat"), 0), "");
}

TEST_F(EnvelopeWindow, BrokenFilesShowTheErrorAndLeaveTheRestAlone)
{
    window.initialise();
    window.n1->setText("bez zmian");

    // A short profile is refused, a cancelled dialog does nothing.
    writeBytes(folder / "Koperty" / "krotki.pro", std::vector<std::uint8_t>(725, 1));
    platform.openFileAnswers = {folder / "Koperty" / "krotki.pro", std::nullopt};
    window.readProfile();
    window.readProfile();
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.errors[0].path(), folder / "Koperty" / "krotki.pro");
    EXPECT_EQ(text(window.n1), "bez zmian");
    EXPECT_EQ(window.windowTitle(), "Adresowanie kopert - profil domyślny");

    // A short defaults file: the error, and nothing read after it.
    writeBytes(folder / "Admini/dane_kop_log_1.dat", std::vector<std::uint8_t>(100, 0));
    platform.askAnswers = {true};
    window.readDefaults();
    ASSERT_EQ(platform.errors.size(), 2u);
    EXPECT_EQ(platform.errors[1].path(), folder / "Admini/dane_kop_log_1.dat");
    EXPECT_EQ(text(window.n1), "bez zmian");
}

TEST_F(EnvelopeWindow, AShortDefaultsFileOrNoAdminiKeepsTheWindowClosed)
{
    window.initialise();
    for (const char* name : {"dane_kop_log_1.dat", "dane_kop_1.dat", "dane_kop_for.dat", "dane_kop_ori_1.dat"}) {
        SCOPED_TRACE(name);
        const auto path = folder / "Admini" / name;
        const auto whole = readBytes(path);
        writeBytes(path, std::vector<std::uint8_t>(whole.begin(), whole.end() - 1));
        platform.errors.clear();
        window.open();
        EXPECT_FALSE(window.isVisible());
        ASSERT_EQ(platform.errors.size(), 1u);
        EXPECT_EQ(platform.errors[0].path(), path);
        writeBytes(path, whole);
    }
    std::filesystem::remove_all(folder / "Admini");
    window.open();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(platform.errors.size(), 2u);
}

TEST_F(EnvelopeWindow, InNetworkModeTheFilesLiveInTheNetworkFolder)
{
    const auto shared = folder / "serwer";
    std::filesystem::create_directories(shared / "ADMINI");
    std::filesystem::create_directories(shared / "KOPERTY");
    window.initialise(); // creates the program folder's network mode record
    NetworkModeRecord siec = loadRecord<NetworkModeRecord>(folder / "Admini/siec.dat");
    siec.setMode(NetworkModeRecord::kNetworkMode);
    siec.setNetworkFolder(shared.string());
    storeRecord(folder / "Admini/siec.dat", siec);
    std::filesystem::remove(folder / "Admini/dane_kop_1.dat");

    window.open();
    EXPECT_TRUE(platform.errors.empty());
    EXPECT_EQ(window.dataFolder(), shared);
    EXPECT_EQ(readBytes(shared / "ADMINI/dane_kop_1.dat").size(), 480u);
    EXPECT_FALSE(std::filesystem::exists(folder / "Admini/dane_kop_1.dat"));

    platform.saveFileAnswers = {std::nullopt};
    window.saveProfile();
    EXPECT_EQ(platform.saveFileRequests.back().startFolder, shared / "KOPERTY");
}

TEST_F(EnvelopeWindow, AFailedSaveLeavesTheOldFilesWhole)
{
    window.initialise();
    const auto before = file("dane_kop_1.dat");
    const auto settingsPath = folder / "Admini/dane_kop_1.dat";
    namespace fs = std::filesystem;
    fs::permissions(settingsPath, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    window.l1->setText("99");
    window.saveDefaults();
    fs::permissions(settingsPath, fs::perms::owner_write, fs::perm_options::add);
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.errors[0].path(), folder / "Admini/dane_kop_1.dat");
    EXPECT_EQ(file("dane_kop_1.dat"), before);
    // The rest of the operation was skipped, and no temporary file stays behind.
    EXPECT_EQ(file("dane_kop_ori_1.dat"), std::vector<std::uint8_t>(3, 0));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "Admini"), fs::directory_iterator()), 5);
}

TEST_F(EnvelopeWindow, PicturesAttachDetachAndFailWithoutHarm)
{
    window.initialise();
    test::writeJpeg(folder / "znak.jpg", 100, 50);
    writeBytes(folder / "zepsuty.jpg", {0x89, 'P', 'N', 'G', 0, 0, 0, 0});

    platform.openFileAnswers = {folder / "znak.jpg"};
    window.SpeedButton8->click();
    EXPECT_EQ(platform.openFileRequests.back().filter, "Pliki graficzne|*.jpg");
    EXPECT_EQ(text(window.nazwa), (folder / "znak.jpg").string());
    EXPECT_TRUE(window.logo->isEnabled());
    EXPECT_FALSE(window.logo->isChecked()); // attaching does not tick
    EXPECT_EQ(window.logoPicture().width, 100);
    EXPECT_EQ(window.logoPicture().height, 50);

    platform.openFileAnswers = {std::nullopt};
    window.SpeedButton8->click();
    EXPECT_EQ(text(window.nazwa), (folder / "znak.jpg").string());
    EXPECT_EQ(window.logoPicture().width, 100);

    platform.openFileAnswers = {folder / "zepsuty.jpg"};
    window.SpeedButton8->click();
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.errors[0].path(), folder / "zepsuty.jpg");
    EXPECT_EQ(text(window.nazwa), (folder / "zepsuty.jpg").string());
    EXPECT_FALSE(window.logo->isEnabled());
    EXPECT_TRUE(window.logoPicture().isNull());

    platform.openFileAnswers = {folder / "znak.jpg"};
    window.SpeedButton8->click();
    window.logo->setChecked(true);
    window.SpeedButton9->click();
    EXPECT_EQ(text(window.nazwa), "");
    EXPECT_FALSE(window.logo->isEnabled());
    EXPECT_FALSE(window.logo->isChecked());
    EXPECT_TRUE(window.logoPicture().isNull());
}

TEST_F(EnvelopeWindow, AProfileWhosePictureIsGoneShowsThePathAndPrintsNoLogo)
{
    window.initialise();
    test::writeJpeg(folder / "stary.jpg", 20, 20);
    EnvelopeProfileRecord profile;
    profile.setSettings(defaultEnvelopeSettings().settings());
    profile.setLogo({(folder / "usuniety.jpg").string(), "1", "1"});
    profile.setChoice({1, 1, 0});
    storeRecord(folder / "Koperty" / "stary.pro", profile);

    platform.openFileAnswers = {folder / "stary.jpg"};
    window.attachPicture();
    ASSERT_FALSE(window.logoPicture().isNull());

    platform.openFileAnswers = {folder / "Koperty" / "stary"}; // typed without ".pro"
    window.readProfile();
    EXPECT_TRUE(platform.errors.empty());
    EXPECT_EQ(text(window.nazwa), (folder / "usuniety.jpg").string());
    EXPECT_TRUE(window.logo->isChecked());
    EXPECT_FALSE(window.logo->isEnabled());
    EXPECT_TRUE(window.logoPicture().isNull());
}

TEST_F(EnvelopeWindow, PrintingReadsTheFontFileAndUsesTheTickedPreset)
{
    ScriptedPlatform fontPlatform;
    fontPlatform.fontAnswers.push_back(FontChoice{0x0000FF, "Arial", 12, FontStyle::Italic});
    choosePrintFont(fontPlatform, font);
    font = CurrentPrintFont{}; // the printout must read the file itself

    window.initialise();
    window.addressTo({"Jan", "Nowak", "Polna 1", "Radom"});
    window.RadioButton2->click();
    window.poziomo->setChecked(true);

    platform.printerFactory = [] { return std::unique_ptr<PrintSurface>(); };
    window.SpeedButton7->click();
    EXPECT_EQ(platform.printerRequests, 1);

    RecordingPrintSurface surface(300, 300);
    platform.printerFactory = [&surface] { return surface.proxy(); };
    window.SpeedButton7->click();
    EXPECT_TRUE(platform.errors.empty());
    ASSERT_EQ(surface.texts.size(), 9u);
    const auto& jan = surface.texts[5];
    EXPECT_EQ(surface.texts[4].x, 1200); // the empty Forma at preset 2
    EXPECT_EQ(std::tie(jan.text, jan.x, jan.y, jan.face, jan.height, jan.style, jan.colour),
              std::make_tuple(std::string("Jan"), 1260, 1320, std::string("Arial"), -50, FontStyle::Italic, 0x0000FF));
    EXPECT_NE(std::find(surface.calls.begin(), surface.calls.end(), "setOrientation landscape"), surface.calls.end());
    EXPECT_EQ(surface.orientation, Orientation::Portrait);

    // Again: the same output.
    const auto first = surface.calls;
    surface.calls.clear();
    window.SpeedButton7->click();
    EXPECT_EQ(surface.calls, first);
}

TEST_F(EnvelopeWindow, KoniecAsksThenKeepsTheFormaAndCloses)
{
    window.open();
    window.o1->setText("Szanowna Pani Doktor Habilitowana");

    platform.askAnswers = {false};
    window.SpeedButton10->click();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(file("dane_kop_for.dat"), std::vector<std::uint8_t>(21, 0));

    platform.askAnswers = {true};
    window.SpeedButton10->click();
    EXPECT_EQ(platform.asked, (QStringList{"Koniec pracy ?", "Koniec pracy ?"}));
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.isEnabled());
    const auto forma = file("dane_kop_for.dat");
    ASSERT_EQ(forma.size(), 21u);
    EXPECT_EQ(countedAt(forma, 0), "Szanowna Pani Doktor");

    window.open();
    EXPECT_EQ(text(window.o1), "Szanowna Pani Doktor");
}

} // namespace
} // namespace wirtello
