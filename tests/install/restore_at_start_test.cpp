#include "app/program.h"

#include "store/app_data.h"
#include "store/restore_journal.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace wirtello {
namespace {

namespace fs = std::filesystem;

void writeText(const fs::path& file, const std::string& text)
{
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

std::string readText(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The program's start finishes a restore the archiver left half done (its
// journal written, the first file moved) before the data is read, and says so.
TEST(RestoreAtStart, TheProgramFinishesARestoreCutOffAndSaysSo)
{
    const struct {
        bool journal;
        const char* told;
    } rows[] = {
        {true, "Przywracanie archiwum kopia.zip zostało przerwane w połowie. Dokończono je: przywrócono plików: 2."},
        {false, "Przywracanie archiwum zostało przerwane, zanim zmieniło jakikolwiek plik"},
    };
    for (const auto& row : rows) {
        test::TempFolder folder({"Admini", "NOTATKI"});
        writeText(folder / "NOTATKI/007.kom", "uwagi sprzed przywracania");
        const fs::path staging = folder / ".skarbiec-przywracanie-2026-12-07-120000";
        writeText(staging / "blokada", "");
        writeText(staging / "1", "uwagi z archiwum");
        if (row.journal) {
            // "NOTATKI/008.kom" was placed; the rest was cut off.
            writeText(folder / "NOTATKI/008.kom", "nowe z archiwum");
            RestoreJournal journal;
            journal.archiveName = "kopia.zip";
            journal.keptFolder = "Archiwa/przed";
            journal.newFolders = {"Archiwa", "Archiwa/przed", "Archiwa/przed/NOTATKI"};
            journal.files = {{"0", "NOTATKI/008.kom", ""}, {"1", "NOTATKI/007.kom", "Archiwa/przed/NOTATKI/007.kom"}};
            writeRestoreJournal(staging, journal);
        }

        ScriptedPlatform platform;
        AppData data{folder.path()};
        Program program(data, platform);

        ASSERT_FALSE(platform.informed.isEmpty());
        EXPECT_TRUE(platform.informed[0].startsWith(QString::fromUtf8(row.told))) << platform.informed[0].toStdString();
        EXPECT_EQ(readText(folder / "NOTATKI/007.kom"), row.journal ? "uwagi z archiwum" : "uwagi sprzed przywracania");
        if (row.journal) {
            EXPECT_EQ(readText(folder / "Archiwa/przed/NOTATKI/007.kom"), "uwagi sprzed przywracania");
        }
        EXPECT_FALSE(fs::exists(staging));
    }
}

} // namespace
} // namespace wirtello
