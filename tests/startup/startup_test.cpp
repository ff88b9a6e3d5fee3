#include "app/program.h"
#include "admin/about_window.h"
#include "admin/run_history_window.h"
#include "cash/company_window.h"
#include "envelope/envelope_records.h"
#include "envelope/envelope_window.h"
#include "store/company_record.h"
#include "tests/support/scripted_platform.h"
#include "store/contact_database.h"
#include "store/paths.h"

#include "tests/support/temp_folder.h"
#include "tests/support/window_controls.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProcess>

#include <csignal>

#include <map>

using namespace wirtello;
using wirtello::test::readBytes;
using wirtello::test::TempFolder;
using wirtello::test::writeBytes;

namespace {

// The contact list as the main window shows it.
QListView* contactList(const Tzadania_f& window)
{
    return wirtello::test::control<QListView>(window, "listazadan");
}

void installDefaultPicture(const TempFolder& folder)
{
    std::filesystem::create_directories(folder / "LOGO");
    std::filesystem::copy_file(WIRTELLO_SAMPLE_JPEG, folder / "LOGO/Chmury.jpg");
}

// One start of the program's data side: the main window's creation handler.
struct Start {
    ScriptedPlatform platform;
    AppData data{currentFolder()};
    CurrentPrintFont printFont;
    ProgramWindows windows;
    Tzadania_f window{data, platform, printFont, windows};

    Start() { window.FormCreate(); }
};

const std::vector<std::string> kDataFiles = {
    "Admini/firma.dat", "Admini/historia.dat", "NOTATKI/Wirtello_id_tematow.dat",
    "NOTATKI/Wirtello_nazwy_tematow.dat"};

} // namespace

TEST(Startup, FirstStartCreatesTheDataFilesAndSecondStartKeepsThem)
{
    TempFolder folder({"Admini", "NOTATKI"});
    installDefaultPicture(folder);
    std::map<std::string, std::vector<std::uint8_t>> first;
    {
        Start start;
        EXPECT_TRUE(start.platform.errors.empty());
        EXPECT_EQ(start.window.windowTitle(), QStringLiteral("Wirtello"));
        EXPECT_EQ(contactList(start.window)->model()->rowCount(), 0);
        EXPECT_EQ(start.data.runStart.runCount, 1);
        EXPECT_EQ(start.data.programFolder, folder.path());
    }
    EXPECT_EQ(readBytes(folder / "Admini/firma.dat"), std::vector<std::uint8_t>(306, 0));
    EXPECT_EQ(readBytes(folder / "Admini/historia.dat"), std::vector<std::uint8_t>(79, 0));
    EXPECT_EQ(readBytes(folder / "NOTATKI/Wirtello_id_tematow.dat"), std::vector<std::uint8_t>(4, 0));
    EXPECT_EQ(readBytes(folder / "NOTATKI/Wirtello_nazwy_tematow.dat"),
              std::vector<std::uint8_t>(kContactDatabaseSize, 0));
    const auto config = readBytes(folder / "skarbiec_config.dat");
    ASSERT_EQ(config.size(), 10452u);

    // Files that hold something must come through a second start untouched.
    writeBytes(folder / "Admini/firma.dat", std::vector<std::uint8_t>(306, 0x11));
    for (const auto& name : kDataFiles)
        first[name] = readBytes(folder / name);
    {
        Start start;
        EXPECT_TRUE(start.platform.errors.empty());
        EXPECT_EQ(start.data.company.line(1), std::string(0x11, '\x11'));
    }
    for (const auto& name : kDataFiles)
        EXPECT_EQ(readBytes(folder / name), first[name]) << name;
    EXPECT_EQ(readBytes(folder / "skarbiec_config.dat"), config);
}

// The companion configuration is written only when its bytes would change:
// a protected file that already holds them is no error, a stale one is replaced.
TEST(Startup, CompanionConfigurationIsRewrittenOnlyWhenItDiffers)
{
    TempFolder folder({"Admini", "NOTATKI"});
    installDefaultPicture(folder);
    const std::filesystem::path config = folder / "skarbiec_config.dat";
    { Start first; }
    const auto written = readBytes(config);
    std::filesystem::permissions(config, std::filesystem::perms::owner_read);
    {
        Start second;
        EXPECT_TRUE(second.platform.errors.empty());
    }
    std::filesystem::permissions(config, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    writeBytes(config, std::vector<std::uint8_t>(written.size(), 1));
    { Start third; }
    EXPECT_EQ(readBytes(config), written);
}

TEST(Startup, ListShowsEveryUsedSlotInOrder)
{
    TempFolder folder({"Admini", "NOTATKI"});
    installDefaultPicture(folder);
    ContactDatabase db;
    for (int slot = 0; slot < 5; ++slot)
        db.setText(ContactField::Display, slot, contactIdText(slot) + " Kontakt " + std::to_string(slot));
    db.setText(ContactField::FirstLine, 0, "Anna Nowak");
    std::filesystem::create_directories(folder / "NOTATKI");
    db.store(contactDatabasePath(folder.path()));

    Start start;
    ASSERT_EQ(contactList(start.window)->model()->rowCount(), 5);
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(contactList(start.window)->model()->index(row, 0).data().toString().toStdString(),
                  contactIdText(row) + " Kontakt " + std::to_string(row));
    EXPECT_EQ(contactList(start.window)->currentIndex().row(), 0);
    EXPECT_EQ(wirtello::test::control<QLineEdit>(start.window, "imie")->text(), QStringLiteral("Anna Nowak"));
    EXPECT_FALSE(start.window.changesPending());
}

TEST(Startup, MissingNotatkiShowsOneErrorAndAnEmptyList)
{
    TempFolder folder({"Admini"});
    installDefaultPicture(folder);
    Start start;
    ASSERT_EQ(start.platform.errors.size(), 1u);
    EXPECT_EQ(contactList(start.window)->model()->rowCount(), 0);
    EXPECT_TRUE(std::filesystem::exists(folder / "Admini/firma.dat"));
    EXPECT_FALSE(start.data.contacts.isLoaded());
}

TEST(Startup, FailuresLeaveExistingFilesWhole)
{
    // No "Admini": the history and the company record fail, each shown, and
    // the contacts are still read and listed.
    TempFolder folder({"NOTATKI"});
    installDefaultPicture(folder);
    ContactDatabase db;
    db.setText(ContactField::Display, 0, "000 Adam");
    db.store(contactDatabasePath(folder.path()));
    const auto stored = readBytes(folder / "NOTATKI/Wirtello_nazwy_tematow.dat");
    {
        Start start;
        EXPECT_EQ(start.platform.errors.size(), 2u);
        EXPECT_EQ(start.window.windowTitle(), QStringLiteral("Wirtello"));
        EXPECT_TRUE(start.data.contacts.isLoaded());
        EXPECT_EQ(contactList(start.window)->model()->rowCount(), 1);
    }
    EXPECT_EQ(readBytes(folder / "NOTATKI/Wirtello_nazwy_tematow.dat"), stored);

    // A damaged run history alone: one error, the contacts listed.
    std::filesystem::create_directory(folder / "Admini");
    writeBytes(folder / "Admini/historia.dat", {1, '5'});
    {
        Start start;
        ASSERT_EQ(start.platform.errors.size(), 1u);
        EXPECT_NE(start.platform.errors[0].path().string().find("historia.dat"), std::string::npos);
        EXPECT_EQ(contactList(start.window)->model()->rowCount(), 1);
        EXPECT_EQ(wirtello::test::control<QLineEdit>(start.window, "imie")->text(), "");
    }
    std::filesystem::remove(folder / "Admini/historia.dat");

    // A database shorter than its record is reported and left as it is.
    writeBytes(folder / "NOTATKI/Wirtello_nazwy_tematow.dat", std::vector<std::uint8_t>(1000, 7));
    {
        Start start;
        EXPECT_EQ(start.platform.errors.size(), 1u);
        EXPECT_EQ(contactList(start.window)->model()->rowCount(), 0);
    }
    EXPECT_EQ(readBytes(folder / "NOTATKI/Wirtello_nazwy_tematow.dat"), std::vector<std::uint8_t>(1000, 7));

    // A configuration file that cannot be replaced is reported once.
    writeBytes(folder / "NOTATKI/Wirtello_nazwy_tematow.dat", stored);
    std::filesystem::remove(folder / "skarbiec_config.dat");
    std::filesystem::create_directory(folder / "skarbiec_config.dat");
    Start start;
    EXPECT_EQ(start.platform.errors.size(), 1u);
}

TEST(Startup, NineWindowsAreCreatedInOrderWithTheirCaptionsAndSizes)
{
    TempFolder folder({"Admini", "NOTATKI"});
    installDefaultPicture(folder);
    ScriptedPlatform platform;
    AppData data{folder.path()};
    Program program(data, platform);

    struct Expected {
        const char* className;
        QString caption;
        QSize size;
    };
    const std::vector<Expected> expected = {
        {"Tzadania_f", QStringLiteral("Wirtello"), {1001, 669}},
        {"Tform3", QStringLiteral("O programie"), {349, 175}},
        {"Tfirma_f", QString(), {597, 217}},
        {"Tlogowania_f", QStringLiteral("Notatnik"), {536, 476}},
        {"Thisto_f", QStringLiteral("Historia"), {347, 231}},
        {"Tfont_f", QStringLiteral("Fonty"), {}},
        {"Tkp_f", QStringLiteral("Dokument Kp"), {}},
        {"Tkoperta_f", QStringLiteral("Adresowanie kopert - profil domyślny"), {824, 548}},
        {"Tnarzedzia_f", QStringLiteral("Narzędzia administratora"), {385, 399}},
    };
    const auto& windows = program.creationOrder();
    ASSERT_EQ(windows.size(), expected.size());
    for (std::size_t i = 0; i < windows.size(); ++i) {
        EXPECT_STREQ(windows[i]->metaObject()->className(), (std::string("wirtello::") + expected[i].className).c_str());
        EXPECT_EQ(windows[i]->windowTitle(), expected[i].caption) << expected[i].className;
        if (expected[i].size.isValid()) {
            EXPECT_EQ(windows[i]->size(), expected[i].size) << expected[i].className;
        }
        EXPECT_FALSE(windows[i]->isVisible());
    }
    EXPECT_TRUE(platform.errors.empty());
    // The text editor window resolved its data folder first: the record exists.
    EXPECT_EQ(readBytes(folder / "Admini/siec.dat").size(), 403u);
}

// The hidden windows' widgets are built when each is first shown; their
// creation handlers still run at start with every effect on files and data.
TEST(Startup, HiddenWindowsBuildTheirWidgetsWhenFirstShown)
{
    TempFolder folder({"Admini", "NOTATKI", "LOGO"});
    installDefaultPicture(folder);
    CompanyRecord company;
    company.setLine(1, "Biuro Rachunkowe Żak");
    storeRecord(companyDataPath(folder.path()), company);
    // A logo named by the envelope defaults that cannot be read: reported at start.
    writeBytes(folder / "LOGO/zepsute.jpg", {0xFF, 0xD8, 0xFF});
    LogoSettingsRecord logoSettings;
    logoSettings.setLogo({(folder / "LOGO/zepsute.jpg").string(), "10", "10"});
    storeRecord(logoSettingsPath(folder.path()), logoSettings);

    ScriptedPlatform platform;
    AppData data{folder.path()};
    Program program(data, platform);

    for (ProgramWindow* window : program.creationOrder()) {
        if (window != &program.mainWindow()) {
            EXPECT_FALSE(window->widgetsBuilt()) << window->metaObject()->className();
        }
    }
    EXPECT_EQ(data.company.line(1), "Biuro Rachunkowe Żak");
    EXPECT_TRUE(std::filesystem::exists(folder / "Admini/historia.dat"));
    for (const auto& envelopeFile : {envelopeSettingsPath(folder.path()), formaPath(folder.path()),
                                     layoutChoicePath(folder.path())}) {
        EXPECT_TRUE(std::filesystem::exists(envelopeFile)) << envelopeFile;
    }
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(platform.errors[0].path(), folder / "LOGO/zepsute.jpg");

    const auto window = [&program](const char* className) {
        for (ProgramWindow* candidate : program.creationOrder()) {
            if (std::string(candidate->metaObject()->className()) == std::string("wirtello::") + className)
                return candidate;
        }
        return static_cast<ProgramWindow*>(nullptr);
    };
    auto* companyWindow = dynamic_cast<Tfirma_f*>(window("Tfirma_f"));
    companyWindow->open();
    ASSERT_TRUE(companyWindow->widgetsBuilt());
    EXPECT_EQ(test::control<QLineEdit>(companyWindow, "firma1")->text(), "Biuro Rachunkowe Żak");

    // Clocks show the time from the first moment, not their placeholder.
    auto* history = dynamic_cast<Thisto_f*>(window("Thisto_f"));
    history->open();
    EXPECT_EQ(test::control<QLabel>(history, "Label13")->text(), "09:05:07");
    auto* about = dynamic_cast<Tform3*>(window("Tform3"));
    about->show(); // the main window shows it without opening it
    EXPECT_EQ(test::control<QLabel>(about, "Label7")->text(), "09:05:07");

    auto* envelope = dynamic_cast<Tkoperta_f*>(window("Tkoperta_f"));
    envelope->addressTo({QStringLiteral("Jan"), QStringLiteral("Kowalski"), QStringLiteral("Polna 3"), QStringLiteral("Łódź")});
    envelope->open();
    EXPECT_EQ(test::control<QLineEdit>(envelope, "o2")->text(), "Jan");
    EXPECT_EQ(test::control<QLineEdit>(envelope, "n1")->text(), "Biuro Rachunkowe Żak");
    EXPECT_EQ(test::control<QLineEdit>(envelope, "nazwa")->text().toStdString(), (folder / "LOGO/zepsute.jpg").string());
    EXPECT_FALSE(test::control<QCheckBox>(envelope, "logo")->isEnabled());
    EXPECT_EQ(platform.errors.size(), 2u); // reported again at the opening, as every opening re-reads
}

// The desktop's TERM at log-out or shutdown reaches the real program: it
// stores the contact file as its end does, and ends at once with success.
TEST(Startup, TermSignalStoresTheContactFileOfTheRunningProgram)
{
    TempFolder folder({"Admini", "NOTATKI"});
    installDefaultPicture(folder);
    ContactDatabase db;
    db.setText(ContactField::Display, 0, "000 Adam");
    db.setText(ContactField::Id, 0, "000");
    const std::filesystem::path contacts = folder / "NOTATKI/Wirtello_nazwy_tematow.dat";
    db.store(contacts);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(QString::fromStdString(folder.path().string()));
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(WIRTELLO_PROGRAM), {});
    ASSERT_TRUE(program.waitForStarted(-1));
    // Its later windows make their network mode record after the contacts are read.
    while (!std::filesystem::exists(folder / "Admini/siec.dat")) {
        ASSERT_EQ(program.state(), QProcess::Running) << "the program ended by itself";
        program.waitForFinished(50);
    }
    // A longer file is read as its first record, so only a store brings it back to size.
    std::vector<std::uint8_t> longer = readBytes(contacts);
    longer.resize(longer.size() + 7, 0);
    writeBytes(contacts, longer);

    ASSERT_EQ(::kill(static_cast<pid_t>(program.processId()), SIGTERM), 0);
    ASSERT_TRUE(program.waitForFinished(-1));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    const std::vector<std::uint8_t> stored = readBytes(contacts);
    ASSERT_EQ(stored.size(), kContactDatabaseSize);
    EXPECT_EQ(wirtello::test::countedAt(stored, 0), "000 Adam");
}
