#include "envelope/envelope_window.h"
#include "platform/session_end.h"

#include "admin/network_mode.h"
#include "envelope/envelope_records.h"
#include "print/print_actions.h"
#include "tests/envelope/envelope_test_files.h"
#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_controls.h"

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

using test::control;
using test::countedAt;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

using Texts = std::vector<std::string>;

class EnvelopeWindow : public ::testing::Test {
protected:
    TempFolder folder{"Admini", "FONT", "Koperty"};
    AppData data{folder.path()};
    ScriptedPlatform platform;
    CurrentPrintFont font;
    Tkoperta_f window{data, platform, font};

    std::vector<std::uint8_t> file(const char* name) const { return readBytes(folder / "Admini" / name); }

    // The window's controls by their component names.
    QLineEdit* edit(const char* name) const { return control<QLineEdit>(window, name); }
    QToolButton* button(const char* name) const { return control<QToolButton>(window, name); }
    QRadioButton* radio(const char* name) const { return control<QRadioButton>(window, name); }
    QCheckBox* tick(const char* name) const { return control<QCheckBox>(window, name); }
    QLabel* label(const char* name) const { return control<QLabel>(window, name); }
    std::string text(const char* name) const { return edit(name)->text().toStdString(); }
    Texts texts(std::initializer_list<const char*> names) const
    {
        Texts result;
        for (const char* name : names)
            result.push_back(text(name));
        return result;
    }

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

    EXPECT_EQ(texts({"l1", "l2", "l3", "l4"}), (Texts{"50", "100", "150", "200"}));
    EXPECT_EQ(texts({"g1", "g2", "g3", "g4"}), (Texts{"50", "100", "150", "200"}));
    EXPECT_EQ(texts({"l_n", "g_n", "od", "nazwa"}), (Texts{"5", "5", "5", ""}));
    EXPECT_TRUE(radio("RadioButton1")->isChecked());
    EXPECT_EQ(label("Label7")->text(), "Rozmiar 50X50");
    EXPECT_FALSE(tick("poziomo")->isChecked());
    EXPECT_FALSE(tick("logo")->isChecked());
    EXPECT_FALSE(tick("logo")->isEnabled());
    EXPECT_EQ(window.windowTitle(), "Adresowanie kopert - profil domyślny");
}

TEST_F(EnvelopeWindow, AddressingFillsTheLinesFromTheCardAndTheCompany)
{
    data.company.setLine(1, "Biuro Rachunkowe Żak");
    data.company.setLine(2, "ul. Polna 3");
    data.company.setLine(3, "00-001 Warszawa");
    data.company.setLine(4, "NIP 123");
    edit("n4")->setText("stary wiersz");

    openFor({"Jan Kowalski", "Kowalski i Syn", "ul. Leśna 5", "Łódź"});
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(texts({"o1", "o2", "o3", "o4", "o5"}),
              (Texts{"", "Jan Kowalski", "Kowalski i Syn", "ul. Leśna 5", "Łódź"}));
    EXPECT_EQ(texts({"n1", "n2", "n3", "n4"}), (Texts{"Biuro Rachunkowe Żak", "ul. Polna 3", "00-001 Warszawa", ""}));
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
        {"drukuj poziomo", control(window, "poziomo"), control(window, "GroupBox1"), {229, 13}},
        {"Dołącz obrazek", control(window, "SpeedButton8"), control(window, "GroupBox1"), {12, 307}},
        {"Odłącz obrazek", control(window, "SpeedButton9"), control(window, "GroupBox1"), {10, 327}},
        {"Forma", control(window, "Label17"), control(window, "Panel2"), {12, 24}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.control->parentWidget(), row.container);
        EXPECT_EQ(row.control->pos(), row.position);
    }
    EXPECT_LT(button("SpeedButton8")->geometry().bottom(), button("SpeedButton9")->geometry().top());
}

TEST_F(EnvelopeWindow, RadioButtonsShowTheirPresetWhenClicked)
{
    window.initialise();
    radio("RadioButton3")->click();
    EXPECT_EQ(label("Label7")->text(), "Rozmiar 150X150");
    edit("l3")->setText("90");
    EXPECT_EQ(label("Label7")->text(), "Rozmiar 150X150");
    radio("RadioButton3")->click();
    EXPECT_EQ(label("Label7")->text(), "Rozmiar 90X150");
    radio("RadioButton4")->click();
    EXPECT_EQ(label("Label7")->text(), "Rozmiar 200X200");
    EXPECT_EQ(label("Label7")->x() + label("Label7")->width(), 816);
}

TEST_F(EnvelopeWindow, SavingTheDefaultsCutsTextsAndKeepsThemForTheNextOpening)
{
    window.initialise();
    edit("l1")->setText("123456");
    edit("n1")->setText(QString(90, QLatin1Char('N')));
    edit("n2")->setText("Łęczyca");
    edit("od")->setText("7a");
    edit("l_log")->setText("40");
    radio("RadioButton3")->click();
    tick("poziomo")->setChecked(true);
    button("SpeedButton1")->click();
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
    edit("n1")->setText("z karty");
    window.open();
    EXPECT_EQ(text("l1"), "12345");
    EXPECT_EQ(text("od"), "7a");
    EXPECT_EQ(text("n1"), "z karty");
    EXPECT_TRUE(radio("RadioButton3")->isChecked());
    EXPECT_EQ(label("Label7")->text(), "Rozmiar 150X150");
    EXPECT_TRUE(tick("poziomo")->isChecked());
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
    button("SpeedButton2")->click();
    EXPECT_EQ(platform.asked, QStringList{"Wczytać ustawienia domyślne ?"});
    EXPECT_EQ(platform.askCaptions, QStringList{"Pytanie"});
    EXPECT_EQ(text("n1"), "");
    EXPECT_TRUE(radio("RadioButton1")->isChecked());

    window.setWindowTitle("Adresowanie kopert /inny.pro");
    platform.askAnswers = {true};
    button("SpeedButton2")->click();
    EXPECT_TRUE(platform.errors.empty());
    EXPECT_EQ(text("n1"), "Nadawca 1");
    EXPECT_EQ(text("n4"), "Nadawca 4");
    EXPECT_TRUE(radio("RadioButton4")->isChecked());
    EXPECT_EQ(label("Label7")->text(), "Rozmiar 30X40");
    EXPECT_TRUE(tick("poziomo")->isChecked());
    EXPECT_EQ(window.windowTitle(), "Adresowanie kopert - profil domyślny");
}

TEST_F(EnvelopeWindow, AProfileKeepsTheLayoutButNotTheRecipient)
{
    window.initialise();
    edit("n1")->setText("Firma");
    edit("l3")->setText("77");
    edit("g_n")->setText("12");
    radio("RadioButton3")->click();
    tick("poziomo")->setChecked(true);
    tick("logo")->setChecked(true);

    platform.saveFileAnswers = {folder / "Koperty" / "biuro"};
    button("SpeedButton4")->click();
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
    edit("o1")->setText("Pan");
    const Texts recipient = texts({"o1", "o2", "o3", "o4", "o5"});
    platform.openFileAnswers = {folder / "Koperty" / "biuro.pro"};
    button("SpeedButton5")->click();
    ASSERT_TRUE(platform.errors.empty());
    EXPECT_EQ(platform.openFileRequests[0].startFolder, folder / "Koperty");
    EXPECT_EQ(text("n1"), "Firma");
    EXPECT_EQ(text("l3"), "77");
    EXPECT_EQ(text("g_n"), "12");
    EXPECT_TRUE(radio("RadioButton3")->isChecked());
    EXPECT_EQ(label("Label7")->text(), "Rozmiar 77X150");
    EXPECT_TRUE(tick("poziomo")->isChecked());
    EXPECT_TRUE(tick("logo")->isChecked());
    EXPECT_EQ(texts({"o1", "o2", "o3", "o4", "o5"}), recipient);
    EXPECT_EQ(window.windowTitle().toStdString(),
              "Adresowanie kopert " + (folder / "Koperty" / "biuro.pro").string());
    // Nothing of the profile reached the defaults.
    EXPECT_EQ(countedAt(file("dane_kop_1.dat"), 0), "");
}

TEST_F(EnvelopeWindow, BrokenFilesShowTheErrorAndLeaveTheRestAlone)
{
    window.initialise();
    edit("n1")->setText("bez zmian");

    // A short profile is refused, a cancelled dialog does nothing.
    writeBytes(folder / "Koperty" / "krotki.pro", std::vector<std::uint8_t>(725, 1));
    platform.openFileAnswers = {folder / "Koperty" / "krotki.pro", std::nullopt};
    button("SpeedButton5")->click();
    button("SpeedButton5")->click();
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.errors[0].path(), folder / "Koperty" / "krotki.pro");
    EXPECT_EQ(text("n1"), "bez zmian");
    EXPECT_EQ(window.windowTitle(), "Adresowanie kopert - profil domyślny");

    // A short defaults file: the error, and nothing read after it.
    writeBytes(folder / "Admini/dane_kop_log_1.dat", std::vector<std::uint8_t>(100, 0));
    platform.askAnswers = {true};
    button("SpeedButton2")->click();
    ASSERT_EQ(platform.errors.size(), 2u);
    EXPECT_EQ(platform.errors[1].path(), folder / "Admini/dane_kop_log_1.dat");
    EXPECT_EQ(text("n1"), "bez zmian");
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
    button("SpeedButton4")->click();
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
    edit("l1")->setText("99");
    button("SpeedButton1")->click();
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
    button("SpeedButton8")->click();
    EXPECT_EQ(platform.openFileRequests.back().filter, "Pliki graficzne|*.jpg");
    EXPECT_EQ(text("nazwa"), (folder / "znak.jpg").string());
    EXPECT_TRUE(tick("logo")->isEnabled());
    EXPECT_FALSE(tick("logo")->isChecked()); // attaching does not tick
    EXPECT_EQ(window.logoPicture().width, 100);
    EXPECT_EQ(window.logoPicture().height, 50);

    platform.openFileAnswers = {std::nullopt};
    button("SpeedButton8")->click();
    EXPECT_EQ(text("nazwa"), (folder / "znak.jpg").string());
    EXPECT_EQ(window.logoPicture().width, 100);

    platform.openFileAnswers = {folder / "zepsuty.jpg"};
    button("SpeedButton8")->click();
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.errors[0].path(), folder / "zepsuty.jpg");
    EXPECT_EQ(text("nazwa"), (folder / "zepsuty.jpg").string());
    EXPECT_FALSE(tick("logo")->isEnabled());
    EXPECT_TRUE(window.logoPicture().isNull());

    platform.openFileAnswers = {folder / "znak.jpg"};
    button("SpeedButton8")->click();
    tick("logo")->setChecked(true);
    button("SpeedButton9")->click();
    EXPECT_EQ(text("nazwa"), "");
    EXPECT_FALSE(tick("logo")->isEnabled());
    EXPECT_FALSE(tick("logo")->isChecked());
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
    button("SpeedButton8")->click();
    ASSERT_FALSE(window.logoPicture().isNull());

    platform.openFileAnswers = {folder / "Koperty" / "stary"}; // typed without ".pro"
    button("SpeedButton5")->click();
    EXPECT_TRUE(platform.errors.empty());
    EXPECT_EQ(text("nazwa"), (folder / "usuniety.jpg").string());
    EXPECT_TRUE(tick("logo")->isChecked());
    EXPECT_FALSE(tick("logo")->isEnabled());
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
    radio("RadioButton2")->click();
    tick("poziomo")->setChecked(true);

    platform.printerFactory = [] { return std::unique_ptr<PrintSurface>(); };
    button("SpeedButton7")->click();
    EXPECT_EQ(platform.printerRequests, 1);

    RecordingPrintSurface surface(300, 300);
    platform.printerFactory = [&surface] { return surface.proxy(); };
    button("SpeedButton7")->click();
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
    button("SpeedButton7")->click();
    EXPECT_EQ(surface.calls, first);
}

TEST_F(EnvelopeWindow, KoniecAsksThenKeepsTheFormaAndCloses)
{
    window.open();
    edit("o1")->setText("Szanowna Pani Doktor Habilitowana");

    platform.askAnswers = {false};
    button("SpeedButton10")->click();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(file("dane_kop_for.dat"), std::vector<std::uint8_t>(21, 0));

    platform.askAnswers = {true};
    button("SpeedButton10")->click();
    EXPECT_EQ(platform.asked, (QStringList{"Koniec pracy ?", "Koniec pracy ?"}));
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.isEnabled());
    const auto forma = file("dane_kop_for.dat");
    ASSERT_EQ(forma.size(), 21u);
    EXPECT_EQ(countedAt(forma, 0), "Szanowna Pani Doktor");

    window.open();
    EXPECT_EQ(text("o1"), "Szanowna Pani Doktor");
}

TEST_F(EnvelopeWindow, SessionEndKeepsTheFormaOfAnOpenEnvelopeOnly)
{
    window.open();
    edit("o1")->setText("Szanowny Panie");
    storeForSessionEnd();
    EXPECT_TRUE(platform.asked.isEmpty());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(countedAt(file("dane_kop_for.dat"), 0), "Szanowny Panie");

    window.hide();
    edit("o1")->setText("Szanowna Pani");
    storeForSessionEnd();
    EXPECT_EQ(countedAt(file("dane_kop_for.dat"), 0), "Szanowny Panie");
}

} // namespace
} // namespace wirtello
