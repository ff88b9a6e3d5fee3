#include "admin/data_folder.h"
#include "admin/run_history_window.h"
#include "cash/text_editor_window.h"

#include "admin/run_records.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"
#include "tests/support/window_controls.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QToolButton>

#include <gtest/gtest.h>

namespace wirtello {
namespace {

using test::control;
using test::countedAt;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

const QString kServerQuestion = QStringLiteral(
    "Serwer baz danych nie jest dostępny.\rWlącz serwer lub sprawdź połączenia sieci a następnie ponownie uruchom "
    "program.\r\rCzy anulować połączenie sieciowe i przełączyć się w tryb lokalny ?");

// A record as an outside tool would write it: mode, local and network folder,
// with some leftover bytes after each text.
std::vector<std::uint8_t> siecBytes(std::uint8_t mode, const std::string& local, const std::string& network)
{
    std::vector<std::uint8_t> bytes(NetworkModeRecord::kSize, 0xAB);
    bytes[0] = mode;
    bytes[1] = static_cast<std::uint8_t>(local.size());
    std::copy(local.begin(), local.end(), bytes.begin() + 2);
    bytes[202] = static_cast<std::uint8_t>(network.size());
    std::copy(network.begin(), network.end(), bytes.begin() + 203);
    return bytes;
}

std::filesystem::path siecPath(const std::filesystem::path& folder)
{
    return folder / "Admini" / "siec.dat";
}

TEST(NetworkMode, FirstStartRecordsLocalModeOnTheProgramFolder)
{
    TempFolder folder({"Admini"});
    AppData data{folder.path()};
    ScriptedPlatform platform;
    CurrentPrintFont printFont;
    Tlogowania_f editor(data, platform, printFont);
    editor.initialise();

    const auto bytes = readBytes(siecPath(folder.path()));
    ASSERT_EQ(bytes.size(), 403u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(countedAt(bytes, 1), folder.path().string());
    // Zero apart from the mode and the local folder text.
    for (std::size_t i = 2 + folder.path().string().size(); i < bytes.size(); ++i)
        ASSERT_EQ(bytes[i], 0) << "byte " << i;
    EXPECT_EQ(editor.dataFolder(), folder.path());
    EXPECT_TRUE(platform.asked.isEmpty());

    // The next window reads the same record and keeps it as it is.
    NetworkModeRecord own;
    EXPECT_EQ(ResolveDataFolder(own, true, platform, folder.path()), folder.path());
    EXPECT_EQ(readBytes(siecPath(folder.path())), bytes);
}

TEST(NetworkMode, LocalModeMeansTheFolderStartedAndCutsLongOnes)
{
    TempFolder base;
    // A program folder copied elsewhere uses itself, not the folder it was copied from.
    std::filesystem::create_directories(base / "copy/Admini");
    std::filesystem::create_directories(base / "old/place");
    writeBytes(siecPath(base / "copy"), siecBytes(1, (base / "old/place").string(), ""));
    std::filesystem::current_path(base / "copy");
    EXPECT_EQ(selectedFolder(loadNetworkMode(std::filesystem::current_path()), base / "copy"), base / "copy");

    // A folder of more than 200 characters is recorded cut to 200.
    std::filesystem::path deep = base.path();
    while (deep.string().size() <= 230)
        deep /= "katalog_o_dlugiej_nazwie";
    std::filesystem::create_directories(deep / "Admini");
    const NetworkModeRecord record = loadNetworkMode(deep);
    EXPECT_EQ(record.localFolder(), deep.string().substr(0, 200));
    EXPECT_EQ(selectedFolder(record, deep), deep);
}

// The first start records the folder's absolute path; a copy of the whole
// folder started elsewhere keeps its files to itself and leaves the record's
// bytes as they were.
TEST(NetworkMode, ACopiedProgramFolderWritesOnlyIntoItself)
{
    TempFolder base;
    const std::filesystem::path original = base / "Wirtello";
    const std::filesystem::path copy = base / "kopia";
    std::filesystem::create_directories(original / "Admini");
    std::filesystem::create_directories(original / "DOKUMENTY");
    ScriptedPlatform platform;
    NetworkModeRecord record;
    ASSERT_EQ(ResolveDataFolder(record, true, platform, original), original);
    writeBytes(original / "DOKUMENTY/kptresc.dat", {'s', 't', 'a', 'r', 'e', '\r', '\n'});
    std::filesystem::copy(original, copy, std::filesystem::copy_options::recursive);
    const auto siec = readBytes(siecPath(copy));

    AppData data{copy};
    CurrentPrintFont printFont;
    Tlogowania_f editor(data, platform, printFont);
    editor.setParameters({"\\DOKUMENTY\\kptresc.dat", "Edytor stałej treści", Tlogowania_f::kStoreOnReturn});
    editor.open();
    control<QPlainTextEdit>(editor, "Memo1")->setPlainText(QStringLiteral("nowe"));
    control<QToolButton>(editor, "SpeedButton2")->click();

    EXPECT_EQ(readBytes(copy / "DOKUMENTY/kptresc.dat"), std::vector<std::uint8_t>({'n', 'o', 'w', 'e', '\r', '\n'}));
    EXPECT_EQ(readBytes(original / "DOKUMENTY/kptresc.dat"),
              std::vector<std::uint8_t>({'s', 't', 'a', 'r', 'e', '\r', '\n'}));
    EXPECT_EQ(readBytes(siecPath(copy)), siec);
    EXPECT_TRUE(platform.errors.empty());
}

// A program folder whose name holds letters outside Windows-1250 is recorded
// with '?' for them; that record resolves to the folder itself, so every
// window still finds its files there.
TEST(NetworkMode, FolderWithLettersOutsideTheCodePageResolvesToItself)
{
    TempFolder base;
    const std::filesystem::path program = base / "Año Фото";
    std::filesystem::create_directories(program / "Admini");
    ScriptedPlatform platform;
    NetworkModeRecord record;
    EXPECT_EQ(ResolveDataFolder(record, true, platform, program), program);
    EXPECT_EQ(record.localFolder(), (base / "A?o ????").string());
    // Opened again from the record it wrote.
    EXPECT_EQ(ResolveDataFolder(record, true, platform, program), program);
    // Another folder holding a copy of the record is itself too, never the
    // place named with '?'.
    const std::filesystem::path other = base / "Aho Фото";
    std::filesystem::create_directories(other / "Admini");
    std::filesystem::copy_file(siecPath(program), siecPath(other));
    EXPECT_EQ(ResolveDataFolder(record, true, platform, other), other);
}

// A folder brought over from Windows keeps its old record, which names a
// place that does not exist here; it is taken to mean the program folder.
// The network folder is kept as recorded.
TEST(NetworkMode, WindowsFoldersInALocalRecordMeanTheProgramFolder)
{
    TempFolder folder({"Admini"});
    for (const char* windowsFolder : {"C:\\Wirtello", "d:/dane", "\\\\serwer\\wirtello"}) {
        writeBytes(siecPath(folder.path()), siecBytes(1, windowsFolder, "\\\\serwer\\wirtello"));
        EXPECT_EQ(selectedFolder(loadNetworkMode(folder.path()), folder.path()), folder.path()) << windowsFolder;
    }
    writeBytes(siecPath(folder.path()), siecBytes(2, "C:\\Wirtello", "\\\\serwer\\wirtello"));
    EXPECT_EQ(selectedFolder(loadNetworkMode(folder.path()), folder.path()), "\\\\serwer\\wirtello");
}

TEST(NetworkMode, UnknownModesAndEmptyTextsNeverAsk)
{
    TempFolder folder({"Admini"});
    ScriptedPlatform platform;
    NetworkModeRecord record;
    for (std::uint8_t mode : {0, 3, 255}) {
        writeBytes(siecPath(folder.path()), siecBytes(mode, "/lokalny", "/nieosiagalny/serwer"));
        EXPECT_EQ(ResolveDataFolder(record, true, platform, folder.path()), folder.path()) << int(mode);
    }
    // An empty local folder text is the folder started too; an empty network
    // folder text names the root of the current drive.
    writeBytes(siecPath(folder.path()), siecBytes(1, "", "/serwer"));
    EXPECT_EQ(ResolveDataFolder(record, true, platform, folder.path()), folder.path());
    writeBytes(siecPath(folder.path()), siecBytes(2, "/lokalny", ""));
    EXPECT_EQ(ResolveDataFolder(record, false, platform, folder.path()), folder.path().root_path());
    // Without the server check an unreachable network folder goes unnoticed.
    writeBytes(siecPath(folder.path()), siecBytes(2, "/lokalny", "/nieosiagalny/serwer"));
    EXPECT_EQ(ResolveDataFolder(record, false, platform, folder.path()), "/nieosiagalny/serwer");
    EXPECT_TRUE(platform.asked.isEmpty());
    EXPECT_EQ(platform.endProcessCalls, 0);
}

TEST(NetworkMode, ReachableServerHoldsTheHistoryWhileTheProgramFolderCountsRuns)
{
    TempFolder server({"Admini"});
    writeBytes(siecPath(server.path()), std::vector<std::uint8_t>(403, 0));
    RunHistoryRecord serverHistory;
    serverHistory.setLastRunDate("01.02.2025");
    serverHistory.setRunCountText("41");
    writeBytes(server / "Admini/historia.dat",
               std::vector<std::uint8_t>(serverHistory.bytes().begin(), serverHistory.bytes().end()));

    TempFolder program({"Admini"});
    writeBytes(siecPath(program.path()), siecBytes(2, program.path().string(), server.path().string()));
    AppData data{program.path()};
    ScriptedPlatform platform;
    PobierzDane(data, platform);
    EXPECT_EQ(data.runStart.runCount, 1);
    const auto programHistory = readBytes(program / "Admini/historia.dat");

    Thisto_f histo(data, platform);
    histo.open();
    EXPECT_TRUE(histo.isVisible());
    EXPECT_EQ(histo.dataFolder(), server.path());
    EXPECT_EQ(control<QLabel>(histo, "Label4")->text(), "01.02.2025");
    EXPECT_EQ(control<QLabel>(histo, "Label6")->text(), "41 razy");
    EXPECT_TRUE(platform.asked.isEmpty());

    // Counting the run stays with the program folder.
    ZapiszUruchomienia(data);
    EXPECT_EQ(countedAt(readBytes(program / "Admini/historia.dat"), 32), "1");
    EXPECT_EQ(countedAt(readBytes(server / "Admini/historia.dat"), 32), "41");
    EXPECT_EQ(std::filesystem::current_path(), program.path());
    EXPECT_NE(programHistory, readBytes(program / "Admini/historia.dat"));
}

TEST(NetworkMode, UnreachableServerAnsweredNoEndsTheProgramAndKeepsTheRecord)
{
    TempFolder program({"Admini"});
    const auto record = siecBytes(2, program.path().string(), "/nie/ma/takiego/serwera");
    writeBytes(siecPath(program.path()), record);
    AppData data{program.path()};
    ScriptedPlatform platform;
    platform.askAnswers = {false};
    Thisto_f histo(data, platform);
    histo.open();

    EXPECT_EQ(platform.askCaptions, QStringList{"Informacja"});
    EXPECT_EQ(platform.asked, QStringList{kServerQuestion});
    EXPECT_EQ(platform.endProcessCalls, 1);
    EXPECT_TRUE(platform.informed.isEmpty());
    EXPECT_EQ(readBytes(siecPath(program.path())), record);
    // The rest of the initialisation does not run and the window stays hidden.
    EXPECT_FALSE(histo.isVisible());
    EXPECT_EQ(control<QLabel>(histo, "Label4")->text(), "nieznana");
    EXPECT_FALSE(std::filesystem::exists(program / "Admini/historia.dat"));
}

TEST(NetworkMode, UnreachableServerAnsweredYesSwitchesToLocalModeAndEnds)
{
    TempFolder server; // reachable share without its own copy of the record
    TempFolder program({"Admini"});
    const auto record = siecBytes(2, "/dawny/lokalny", server.path().string());
    writeBytes(siecPath(program.path()), record);
    AppData data{program.path()};
    ScriptedPlatform platform;
    platform.askAnswers = {true};
    CurrentPrintFont printFont;
    Tlogowania_f editor(data, platform, printFont);
    editor.open();

    EXPECT_EQ(platform.endProcessCalls, 1);
    EXPECT_EQ(platform.informed, QStringList{"Uruchom ponownie program"});
    EXPECT_FALSE(editor.isVisible());
    auto expected = record;
    expected[0] = 1; // only the mode changes: both texts and what follows them stay
    EXPECT_EQ(readBytes(siecPath(program.path())), expected);

}

TEST(NetworkMode, ShortRecordOrMissingAdminiIsAnErrorAndTheWindowStaysHidden)
{
    TempFolder program({"Admini"});
    writeBytes(siecPath(program.path()), std::vector<std::uint8_t>(402, 1));
    AppData data{program.path()};
    data.runHistory.setRunCountText("7");
    ScriptedPlatform platform;
    Thisto_f histo(data, platform);
    histo.open();
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_FALSE(histo.isVisible());
    EXPECT_EQ(control<QLabel>(histo, "Label4")->text(), "nieznana");
    EXPECT_EQ(control<QLabel>(histo, "Label5")->text(), "nieznany");
    EXPECT_EQ(control<QLabel>(histo, "Label6")->text(), "0");
    EXPECT_EQ(data.runHistory.runCountText(), "7");

    std::filesystem::remove_all(program / "Admini");
    CurrentPrintFont printFont;
    Tlogowania_f editor(data, platform, printFont);
    editor.open();
    EXPECT_EQ(platform.errors.size(), 2u);
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(platform.endProcessCalls, 0);
}

TEST(NetworkMode, BossLevelOperationsAlwaysRefuse)
{
    ScriptedPlatform platform;
    EXPECT_FALSE(checkBossLevel(platform));
    EXPECT_EQ(platform.informed,
              QStringList{"Nie masz uprawnień do tej operacji. Jest ona dostępna jedynie z poziomu Szefa."});
}

} // namespace
} // namespace wirtello
