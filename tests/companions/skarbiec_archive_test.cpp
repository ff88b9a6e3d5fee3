#include "companions/skarbiec/archive_selection.h"
#include "companions/skarbiec/zip_archive.h"

#include "store/companion_config.h"
#include "store/io_error.h"
#include "store/restore_journal.h"
#include "tests/companions/companion_test_files.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <csignal>
#include <map>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace wirtello;
using wirtello::test::readBytes;
using wirtello::test::TempFolder;

namespace {

namespace fs = std::filesystem;
using test::readText;
using test::writeText;

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

// Every regular file below `folder`, by '/'-separated relative name.
std::map<std::string, std::string> filesBelow(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            files[entry.path().lexically_relative(folder).generic_string()] = readText(entry.path());
    }
    return files;
}

// An archive written directly with the library, names as given.
void writeZip(const fs::path& file, const std::vector<std::pair<std::string, std::string>>& entries)
{
    int error = 0;
    zip_t* zip = zip_open(file.string().c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(zip, nullptr);
    for (const auto& [name, data] : entries) {
        zip_source_t* source = zip_source_buffer(zip, data.data(), data.size(), 0);
        ASSERT_GE(zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8), 0) << name;
    }
    ASSERT_EQ(zip_close(zip), 0);
}

// Makes the archive state `size` as the unpacked size of the entry `name`,
// in its local and its central header alike.
void claimSize(const fs::path& archive, const std::string& name, std::uint32_t size)
{
    auto bytes = readBytes(archive);
    auto patch = [&](const std::string& signature, std::size_t nameAt, std::size_t sizeAt) {
        for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), signature.begin(), signature.end())) != bytes.end();
             ++at) {
            if (std::equal(name.begin(), name.end(), at + static_cast<long>(nameAt))) {
                for (int i = 0; i < 4; ++i)
                    *(at + static_cast<long>(sizeAt) + i) = static_cast<std::uint8_t>(size >> (8 * i));
                return;
            }
        }
        ADD_FAILURE() << "no header for " << name;
    };
    patch(std::string("PK\3\4", 4), 30, 22);
    patch(std::string("PK\1\2", 4), 46, 24);
    test::writeBytes(archive, bytes);
}

// An archive of one entry whose name is stored as the raw bytes given,
// without the UTF-8 flag, as zips made on Windows store them.
void writeZipWithRawName(const fs::path& file, const std::string& raw, const std::string& data)
{
    const std::string placeholder(raw.size(), 'Q');
    writeZip(file, {{placeholder, data}});
    auto bytes = readBytes(file);
    for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), placeholder.begin(), placeholder.end())) != bytes.end();)
        at = std::copy(raw.begin(), raw.end(), at);
    test::writeBytes(file, bytes);
}

// Hidden entries of the program folder: staging folders left behind.
std::vector<std::string> hiddenEntries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().filename().string().starts_with("."))
            names.push_back(entry.path().filename().string());
    }
    return names;
}

// A program folder as start-up leaves it, with data in several folders.
struct ProgramFolder {
    TempFolder folder{"ADMINI", "NOTATKI", "Koperty"};
    CompanionConfig config;

    ProgramFolder()
    {
        writeText(folder / "ADMINI" / "firma.dat", std::string(306, '\0'));
        writeText(folder / "NOTATKI" / "Wirtello_nazwy_tematow.dat", "kontakty \xB9\xE6");
        writeText(folder / "NOTATKI" / "007.kom", "uwagi");
        writeText(folder / "Koperty" / "profile" / "duża.pro", "profil");
        writeText(folder / "Uwaga" / "x.txt", "x");
        writeText(folder / "nieobjęty.dat", "poza wzorcami");
        writeText(folder / "Archiwa" / "stare.zip", "stare archiwum");
        writeCompanionConfig(folder.path());
        config = readCompanionConfig(folder.path());
    }
    const fs::path& path() const { return folder.path(); }
};

} // namespace

TEST(ArchiveConfig, ReaderGivesBackWhatStartUpWrote)
{
    TempFolder folder({"ADMINI"});
    writeCompanionConfig(folder.path());
    const CompanionConfig config = readCompanionConfig(folder.path());
    const std::string base = folder.path().string();
    EXPECT_EQ(config.baseFolder, base + "/");
    EXPECT_EQ(config.programFolder, base);
    ASSERT_EQ(config.patterns.size(), 11u);
    EXPECT_EQ(config.patterns[0], base + "/Add_dok/*.*");
    EXPECT_EQ(config.patterns[2], base + "/ADMINI/*.*");
    EXPECT_EQ(config.patterns[10], base + "/Uwaga/*.*");

    fs::remove(folder / "skarbiec_config.dat");
    EXPECT_THROW(readCompanionConfig(folder.path()), IoError);
}

TEST(ArchiveSelection, MasksMatchAsOnWindows)
{
    struct Row {
        const char* name;
        const char* mask;
        bool matches;
    };
    const Row rows[] = {
        {"firma.dat", "*.*", true},   {"README", "*.*", true},     {"a.KOM", "*.kom", true},
        {"a.kom", "*.lis", false},    {"007.adr", "0??.adr", true}, {"07.adr", "0??.adr", false},
        {"profil.pro", "p*l.pro", true}, {"x", "*", true},         {"abc", "a*b*c*", true},
        {"ab", "a*b*c", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(matchesMask(row.name, row.mask), row.matches) << row.name << " " << row.mask;
}

TEST(ArchiveSelection, PatternFoldersInAnyCaseAndTheirSubfolders)
{
    ProgramFolder program;
    CompanionConfig config = program.config;
    config.patterns.push_back("/gdzie/indziej/*.*");
    // What an unfinished write left behind is no data of the office.
    writeText(program.folder / "NOTATKI" / "Wirtello_nazwy_tematow.dat.0123456789abcdef.tmp~", "pół zapisu");
    writeText(program.folder / "NOTATKI" / "007.kom.tmp~", "pół zapisu");
    const ArchiveSelection selection = selectArchiveFiles(config, program.path());
    std::vector<std::string> names;
    for (const ArchiveFile& file : selection.files)
        names.push_back(file.entryName);
    // "Notatki" and "Admini" in the record find "NOTATKI" and "ADMINI" on disk;
    // files beside the folders, the archives themselves and temporary files are left out.
    EXPECT_EQ(names, (std::vector<std::string>{"ADMINI/firma.dat", "Koperty/profile/duża.pro", "NOTATKI/007.kom",
                                               "NOTATKI/Wirtello_nazwy_tematow.dat", "Uwaga/x.txt"}));
    EXPECT_EQ(selection.outsidePatterns, std::vector<std::string>{"/gdzie/indziej/*.*"});
}

TEST(ZipArchive, CreateThenRestoreGivesByteIdenticalFiles)
{
    ProgramFolder program;
    std::vector<double> shares;
    const CreatedArchive created =
        createArchive(program.config, program.path(), "2026-12-07-101500", [&](double s) { shares.push_back(s); });
    EXPECT_EQ(created.fileCount, 5u);
    EXPECT_EQ(created.file, program.path() / "Archiwa" / "wirtello-2026-12-07-101500.zip");
    ASSERT_FALSE(shares.empty());
    EXPECT_DOUBLE_EQ(shares.back(), 1.0);

    // A second archive in the same second does not replace the first.
    EXPECT_EQ(createArchive(program.config, program.path(), "2026-12-07-101500").file,
              program.path() / "Archiwa" / "wirtello-2026-12-07-101500-2.zip");

    const auto before = filesBelow(program.path());
    // Changed, deleted and new files since the archive was made.
    writeText(program.folder / "NOTATKI" / "Wirtello_nazwy_tematow.dat", "zmienione po archiwum");
    fs::remove_all(program.folder / "Koperty");
    writeText(program.folder / "NOTATKI" / "nowy.kom", "nowy");
    writeText(program.folder / ".skarbiec-przywracanie-2026-12-07-110000" / "0", "po przerwanym przywracaniu");

    const RestoredArchive restored = restoreArchive(created.file, program.path(), "2026-12-07-120000");
    EXPECT_EQ(restored.fileCount, 5u);
    EXPECT_EQ(restored.replacedCount, 4u);
    const fs::path kept = program.path() / "Archiwa" / "przed-przywroceniem-2026-12-07-120000";
    EXPECT_EQ(restored.keptFolder, kept);

    auto after = filesBelow(program.path());
    // Everything archived is back byte for byte; the newer file stays.
    for (const auto& [name, data] : before) {
        if (!name.starts_with("Archiwa/")) {
            EXPECT_EQ(after[name], data) << name;
        }
    }
    EXPECT_EQ(after["NOTATKI/nowy.kom"], "nowy");
    // What was replaced is kept under its own path, the changed file too.
    EXPECT_EQ(readText(kept / "NOTATKI" / "Wirtello_nazwy_tematow.dat"), "zmienione po archiwum");
    EXPECT_EQ(readText(kept / "ADMINI" / "firma.dat"), std::string(306, '\0'));
    EXPECT_FALSE(fs::exists(kept / "Koperty"));
    // No staging folder is left behind.
    for (const auto& entry : fs::directory_iterator(program.folder / "Archiwa"))
        EXPECT_FALSE(entry.path().filename().string().starts_with("przywracanie")) << entry.path();
    EXPECT_EQ(hiddenEntries(program.path()), std::vector<std::string>{});
}

TEST(ZipArchive, CompanionFoldersInAnyCaseAreArchivedAndRestored)
{
    struct Row {
        const char* folder;
        bool archived;
    };
    const Row rows[] = {
        {"brulion", true},     {"UWAGI", true},  {"Segregator", true},
        {"kalendarium", true}, {"GrAfIk", true}, {"brulion-stary", false},
    };
    for (const Row& row : rows) {
        ProgramFolder program;
        const fs::path record = program.path() / "skarbiec_config.dat";
        const auto recordBytes = readBytes(record);
        const fs::path file = program.folder / row.folder / "2026" / "007.txt";
        writeText(file, "dane towarzysza");
        // The record start-up writes stays as it was.
        writeCompanionConfig(program.path());
        EXPECT_EQ(readBytes(record), recordBytes) << row.folder;

        const CreatedArchive created = createArchive(program.config, program.path(), "2026-12-07-101500");
        EXPECT_EQ(created.fileCount, row.archived ? 6u : 5u) << row.folder;
        fs::remove(file);
        restoreArchive(created.file, program.path(), "2026-12-07-120000");
        EXPECT_EQ(fs::exists(file), row.archived) << row.folder;
        if (row.archived) {
            EXPECT_EQ(readText(file), "dane towarzysza") << row.folder;
        }
    }
}

TEST(ZipArchive, EntriesThatClimbOutAreRefusedAndNothingIsWritten)
{
    struct Row {
        const char* name;
        bool safe;
    };
    const Row rows[] = {
        {"NOTATKI/007.kom", true},  {"./NOTATKI//a.dat", true}, {"Koperty\\profil.pro", true},
        {"../evil", false},         {"NOTATKI/../../evil", false}, {"NOTATKI\\..\\..\\evil", false},
        {"/etc/passwd", false},     {"\\Windows\\evil", false},    {"C:/evil", false},
        {"C:evil", false},          {"a/b:strumień", false},       {"..", false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(safeEntryPath(row.name).has_value(), row.safe) << row.name;
        if (row.safe)
            continue;

        ProgramFolder program;
        const fs::path archive = program.path() / "Archiwa" / "obce.zip";
        writeZip(archive, {{"NOTATKI/007.kom", "podmienione"}, {row.name, "zło"}, {"NOTATKI/nowe.dat", "nowe"}});
        const auto before = filesBelow(program.path());
        try {
            restoreArchive(archive, program.path(), "2026-12-07-120000");
            ADD_FAILURE() << row.name << " was restored";
        } catch (const RefusedArchive& refused) {
            EXPECT_EQ(refused.entryName(), row.name);
        }
        EXPECT_EQ(filesBelow(program.path()), before) << row.name;
        EXPECT_FALSE(fs::exists(program.path().parent_path() / "evil")) << row.name;
    }
}

TEST(ZipArchive, DamagedArchiveChangesNothing)
{
    ProgramFolder program;
    const fs::path archive = program.path() / "Archiwa" / "uszkodzone.zip";
    writeZip(archive, {{"NOTATKI/007.kom", std::string(4000, 'a')}, {"NOTATKI/008.kom", std::string(4000, 'b')}});
    // Flip a byte inside the second entry's compressed data: its checksum fails.
    auto bytes = readBytes(archive);
    const std::string marker = "NOTATKI/008.kom";
    const auto at = std::search(bytes.begin(), bytes.end(), marker.begin(), marker.end());
    ASSERT_NE(at, bytes.end());
    *(at + static_cast<long>(marker.size()) + 2) ^= 0xFF;
    test::writeBytes(archive, bytes);

    const auto before = filesBelow(program.path());
    EXPECT_THROW(restoreArchive(archive, program.path(), "2026-12-07-120000"), IoError);
    EXPECT_EQ(filesBelow(program.path()), before);

    test::writeBytes(archive, bytesOf("to nie jest archiwum"));
    EXPECT_THROW(readArchiveEntries(archive), IoError);
}

TEST(ZipArchive, NothingToArchiveWritesNothing)
{
    TempFolder folder;
    writeCompanionConfig(folder.path());
    const CreatedArchive created = createArchive(readCompanionConfig(folder.path()), folder.path(), "2026-12-07-101500");
    EXPECT_EQ(created.fileCount, 0u);
    EXPECT_TRUE(created.file.empty());
    EXPECT_FALSE(fs::exists(folder / "Archiwa"));
}

TEST(ZipArchive, ArchivesThatWouldWriteOutsideClashOrFillTheDiskAreRefusedWhole)
{
    struct Row {
        std::vector<std::pair<std::string, std::string>> entries; // after a changed "ADMINI/firma.dat"
        std::uint32_t claimed;                                    // stated size of the last entry; 0: true size
        const char* reason;                                       // part of what the user is told
    };
    const Row rows[] = {
        {{{"Koperty/linkdir/x", "zło"}}, 0, "dowiązanie poza folder programu"},
        {{{"Koperty/pusty/x", "zło"}}, 0, "dowiązanie poza folder programu"},
        {{{"NOTATKI/x", "plik"}, {"NOTATKI/x/y", "w folderze"}}, 0, "plik i folder o tej samej nazwie"},
        {{{"NOTATKI/x", "plik"}, {"NOTATKI/x/", ""}}, 0, "plik i folder o tej samej nazwie"},
        {{{"notatki", "plik"}}, 0, "w którego miejscu jest folder"},
        {{{"nieobjęty.dat/x", "plik"}}, 0, "w którego miejscu jest plik"},
        {{{"archiwa/stare.zip", "podmienione"}}, 0, "folderze Archiwa"},
        {{{"NOTATKI/duzy.dat", "x"}}, 3u << 30, "3,0 GB, więcej niż przywraca się z jednego archiwum (2,0 GB)"},
        {{{"NOTATKI/gesty.dat", "x"}}, 100u << 20, "ponad 100 razy więcej, niż zajmuje"},
    };
    for (const Row& row : rows) {
        ProgramFolder program;
        TempFolder outside;
        fs::create_directory_symlink(outside.path(), program.folder / "Koperty" / "linkdir");
        fs::create_directory_symlink(outside / "brak", program.folder / "Koperty" / "pusty");
        auto entries = row.entries;
        entries.insert(entries.begin(), {"ADMINI/firma.dat", "podmienione"});
        const fs::path archive = program.path() / "Archiwa" / "obce.zip";
        writeZip(archive, entries);
        if (row.claimed != 0)
            claimSize(archive, entries.back().first, row.claimed);
        const auto before = filesBelow(program.path());

        try {
            restoreArchive(archive, program.path(), "2026-12-07-120000");
            ADD_FAILURE() << row.reason << ": restored";
        } catch (const RefusedArchive& refused) {
            EXPECT_NE(refused.reason().find(row.reason), std::string::npos) << refused.reason();
        }
        EXPECT_EQ(filesBelow(program.path()), before) << row.reason;
        EXPECT_TRUE(fs::is_empty(outside.path())) << row.reason;
        EXPECT_EQ(hiddenEntries(program.path()), std::vector<std::string>{}) << row.reason;
    }
}

TEST(ZipArchive, MoveThatFailsHalfWayPutsBackWhatWasMoved)
{
    ProgramFolder program;
    const fs::path archive = program.path() / "Archiwa" / "kopia.zip";
    writeZip(archive, {{"ADMINI/firma.dat", "z archiwum"}, {"ADMINI/nowy.dat", "nowy"}, {"NOTATKI/007.kom", "z archiwum"}});
    const auto before = filesBelow(program.path());

    // After two of the three files are in place, "NOTATKI" turns into a file,
    // as another program might do meanwhile: the third move fails.
    int calls = 0;
    auto meddle = [&](double) {
        if (++calls == 5) {
            fs::rename(program.folder / "NOTATKI", program.folder / "NOTATKI.bak");
            writeText(program.folder / "NOTATKI", "plik");
        }
    };
    try {
        restoreArchive(archive, program.path(), "2026-12-07-120000", meddle);
        ADD_FAILURE() << "restored";
    } catch (const UndoneRestore& undone) {
        EXPECT_EQ(undone.notPutBack(), std::vector<fs::path>{});
    }
    fs::remove(program.folder / "NOTATKI");
    fs::rename(program.folder / "NOTATKI.bak", program.folder / "NOTATKI");
    EXPECT_EQ(filesBelow(program.path()), before);
    EXPECT_FALSE(fs::exists(program.folder / "Archiwa" / "przed-przywroceniem-2026-12-07-120000"));
    EXPECT_EQ(hiddenEntries(program.path()), std::vector<std::string>{});
}

TEST(ZipArchive, NamesWithoutTheUtf8FlagReadAsPolishDosThenAsCodePage437)
{
    struct Row {
        std::string stored;
        bool flagged; // stored with the UTF-8 flag
        const char* restored;
    };
    const Row rows[] = {
        {"NOTATKI/Za\xBE\xA2\x88\x86.txt", false, "NOTATKI/Zażółć.txt"},
        {"\x97wi\xA9ta/\x9D\xA5ka \xE3\xAB\xBD\x8F.txt", false, "Święta/Łąka ŃźŻĆ.txt"},
        {"NOTATKI/Caf\x82.txt", false, "NOTATKI/Café.txt"},
        {"NOTATKI/Gr\x94\xE1" "e \x85.txt", false, "NOTATKI/Größe à.txt"},
        {"NOTATKI/łódź.txt", false, "NOTATKI/łódź.txt"},
        {"NOTATKI/Zażółć.txt", true, "NOTATKI/Zażółć.txt"},
        // Code page 437's "ñ" and "Ñ" read as Polish "Ą" and "ą" where Polish words never have them.
        {"NOTATKI/\xA5" "and\xA3.txt", false, "NOTATKI/Ñandú.txt"},
        {"NOTATKI/Espa\xA4" "a.txt", false, "NOTATKI/España.txt"},
        {"NOTATKI/Ma\xA4" "ana \xA5u.txt", false, "NOTATKI/Mañana Ñu.txt"},
        {"NOTATKI/\x97WI\xA8TA \x9D\xA4KA.txt", false, "NOTATKI/ŚWIĘTA ŁĄKA.txt"},
        {"NOTATKI/Pi\xA9\xE4 p\xA5k\xA2w.txt", false, "NOTATKI/Pięń pąków.txt"},
    };
    for (const Row& row : rows) {
        ProgramFolder program;
        const fs::path archive = program.path() / "Archiwa" / "z-windows.zip";
        if (row.flagged)
            writeZip(archive, {{row.stored, "treść"}});
        else
            writeZipWithRawName(archive, row.stored, "treść");
        EXPECT_EQ(restoreArchive(archive, program.path(), "2026-12-07-120000").fileCount, 1u);
        EXPECT_EQ(readText(program.folder / row.restored), "treść") << row.restored;
    }
}

TEST(ZipArchive, LongProgramFolderIsArchivedWhole)
{
    for (const std::size_t length : {150u, 195u, 260u}) {
        TempFolder root;
        fs::path folder = root.path();
        while (folder.string().size() < length)
            folder /= std::string(std::min<std::size_t>(100, length - folder.string().size()), 'k');
        writeText(folder / "ADMINI" / "firma.dat", "firma");
        writeText(folder / "NOTATKI" / "007.kom", "uwagi");
        writeCompanionConfig(folder);

        const CreatedArchive created = createArchive(readCompanionConfig(folder), folder, "2026-12-07-101500");
        std::vector<std::string> names;
        for (const ArchiveEntry& entry : readArchiveEntries(created.file))
            names.push_back(entry.relativePath);
        EXPECT_EQ(names, (std::vector<std::string>{"ADMINI/firma.dat", "NOTATKI/007.kom"})) << length;
    }
}

TEST(ZipArchive, CheckTellsTheUnpackedSize)
{
    ProgramFolder program;
    const fs::path archive = program.path() / "Archiwa" / "kopia.zip";
    writeZip(archive, {{"ADMINI/firma.dat", std::string(1536, 'a')}, {"NOTATKI/", ""}, {"NOTATKI/a", "abc"}});
    const ArchiveSummary summary = checkArchive(archive, program.path());
    EXPECT_EQ(summary.fileCount, 2u);
    EXPECT_EQ(summary.unpackedBytes, 1539u);

    const std::pair<std::uint64_t, const char*> sizes[] = {
        {0, "0 B"}, {1023, "1023 B"}, {1539, "1,5 KB"}, {437373, "427,1 KB"}, {std::uint64_t{3} << 30, "3,0 GB"}};
    for (const auto& [bytes, text] : sizes)
        EXPECT_EQ(sizeText(bytes), text);
}

// Replaces every occurrence of `from` in the file's bytes by `to`, of the same length.
void patchBytes(const fs::path& file, const std::string& from, const std::string& to)
{
    ASSERT_EQ(from.size(), to.size());
    auto bytes = readBytes(file);
    int patched = 0;
    for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), from.begin(), from.end())) != bytes.end(); ++patched)
        at = std::copy(to.begin(), to.end(), at);
    EXPECT_GT(patched, 0) << from;
    test::writeBytes(file, bytes);
}

TEST(ZipArchive, NamesThatCannotBeRestoredAreRefusedForWhatTheyAre)
{
    auto nested = [](int levels) {
        std::string path;
        for (int level = 0; level < levels; ++level)
            path += "a/";
        return path + "x.txt";
    };
    struct Row {
        std::vector<std::pair<std::string, std::string>> entries;
        std::pair<std::string, std::string> patch; // raw bytes put in place of others after writing
        const char* entryName;                     // as the user is told
        const char* reason;
    };
    const Row rows[] = {
        {{{"NOTATKI/a.kom", "1"}, {"NOTATKI/b.kom", "2"}}, {"NOTATKI/b.kom", "NOTATKI/a.kom"}, "NOTATKI/a.kom",
         "dwa pliki o tej samej nazwie"},
        {{{"NOTATKI/a.kom", "1"}, {"./NOTATKI//a.kom", "2"}}, {}, "NOTATKI/a.kom", "dwa pliki o tej samej nazwie"},
        {{{"notatki/007.kom", "1"}, {"NOTATKI/007.kom", "2"}}, {}, "NOTATKI/007.kom", "dwa pliki o tej samej nazwie"},
        {{{nested(2100), "głęboko"}}, {}, "", "zbyt głęboko zagnieżdżoną ścieżkę"},
        {{{nested(70), "głęboko"}}, {}, "", "zbyt głęboko zagnieżdżoną ścieżkę"},
        {{{"NOTATKI/abcXdef.txt", "1"}}, {"abcXdef", std::string("abc\0def", 7)}, "NOTATKI/abc def.txt",
         "znakiem NUL"},
    };
    for (const Row& row : rows) {
        ProgramFolder program;
        const fs::path archive = program.path() / "Archiwa" / "obce.zip";
        auto entries = row.entries;
        entries.insert(entries.begin(), {"ADMINI/firma.dat", "podmienione"});
        writeZip(archive, entries);
        if (!row.patch.first.empty())
            patchBytes(archive, row.patch.first, row.patch.second);
        const auto before = filesBelow(program.path());
        try {
            restoreArchive(archive, program.path(), "2026-12-07-120000");
            ADD_FAILURE() << row.reason << ": restored";
        } catch (const RefusedArchive& refused) {
            EXPECT_NE(refused.reason().find(row.reason), std::string::npos) << refused.reason();
            if (*row.entryName != '\0') {
                EXPECT_EQ(refused.entryName(), row.entryName) << row.reason;
            }
        }
        EXPECT_EQ(filesBelow(program.path()), before) << row.reason;
        EXPECT_EQ(hiddenEntries(program.path()), std::vector<std::string>{}) << row.reason;
    }
}

namespace {

// The data files of the program folder: none of the archives, the record or a staging folder.
std::map<std::string, std::string> dataFiles(const fs::path& folder)
{
    auto files = filesBelow(folder);
    std::erase_if(files, [](const auto& file) {
        return file.first.starts_with("Archiwa/") || file.first.starts_with(".") || file.first == "skarbiec_config.dat";
    });
    return files;
}

// Runs the restore in a child process that kills itself at move `killAt` of
// its journal (or, when negative, while unpacking, before the journal).
void restoreKilledAt(const fs::path& archive, const fs::path& programFolder, int killAt)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setRestoreStepHookForTests([killAt](std::size_t step) {
            if (static_cast<int>(step) == killAt)
                std::raise(SIGKILL);
        });
        auto progress = [killAt](double) {
            if (killAt < 0)
                std::raise(SIGKILL);
        };
        try {
            restoreArchive(archive, programFolder, "2026-12-07-120000", progress);
        } catch (...) {
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "not killed at " << killAt;
}

} // namespace

TEST(RestoreJournal, RestoreKilledAtEachStepIsFinishedByTheNextStart)
{
    // Moves: keep and place "ADMINI/firma.dat" (0, 1), place the new
    // "ADMINI/nowy.dat" (2), keep and place "NOTATKI/007.kom" (3, 4), place
    // "Nowe/pod/a.txt" in folders made anew (5); 6 is after the last move.
    const std::vector<std::pair<std::string, std::string>> entries = {
        {"ADMINI/firma.dat", "firma z archiwum"},
        {"ADMINI/nowy.dat", "nowy"},
        {"NOTATKI/007.kom", "uwagi z archiwum"},
        {"Nowe/pod/a.txt", "w nowym folderze"},
    };
    for (int killAt = -1; killAt <= 6; ++killAt) {
        ProgramFolder program;
        const fs::path archive = program.path() / "Archiwa" / "kopia.zip";
        writeZip(archive, entries);
        const auto before = dataFiles(program.path());
        auto after = before;
        for (const auto& [name, data] : entries)
            after[name] = data;

        restoreKilledAt(archive, program.path(), killAt);
        const std::vector<InterruptedRestore> found = finishInterruptedRestores(program.path());

        ASSERT_EQ(found.size(), 1u) << killAt;
        const fs::path kept = program.path() / "Archiwa" / "przed-przywroceniem-2026-12-07-120000";
        const std::string told = interruptedRestoresText(found);
        if (killAt < 0) {
            // Cut off before anything moved: the unpacked files are gone, nothing else changed.
            EXPECT_EQ(found[0].outcome, InterruptedRestore::Outcome::NothingMoved);
            EXPECT_EQ(dataFiles(program.path()), before);
            EXPECT_FALSE(fs::exists(kept));
            EXPECT_NE(told.find("zanim zmieniło jakikolwiek plik"), std::string::npos) << told;
        } else {
            EXPECT_EQ(found[0].outcome, InterruptedRestore::Outcome::Finished) << killAt;
            EXPECT_EQ(dataFiles(program.path()), after) << killAt;
            EXPECT_EQ(readText(kept / "ADMINI" / "firma.dat"), std::string(306, '\0')) << killAt;
            EXPECT_EQ(readText(kept / "NOTATKI" / "007.kom"), "uwagi") << killAt;
            EXPECT_EQ(told, "Przywracanie archiwum kopia.zip zostało przerwane w połowie. Dokończono je: przywrócono "
                            "plików: 4.\nPoprzednie wersje zastąpionych plików są w folderze:\n" +
                                kept.string());
        }
        EXPECT_EQ(hiddenEntries(program.path()), std::vector<std::string>{}) << killAt;
        // A second start finds nothing more to do.
        EXPECT_TRUE(finishInterruptedRestores(program.path()).empty()) << killAt;
    }
}

TEST(RestoreJournal, ManyFilesKilledAnywhereLeaveEveryFolderWhollyNew)
{
    // 240 files in four folders, every other one replacing a file there:
    // 360 moves, cut off at a handful of them, first and last included.
    std::vector<std::pair<std::string, std::string>> entries;
    for (const char* folder : {"ADMINI", "NOTATKI", "brulion", "Koperty/profile"}) {
        for (int i = 0; i < 60; ++i)
            entries.push_back({std::string(folder) + "/" + std::to_string(100 + i) + ".dat", "nowy " + std::to_string(i)});
    }
    for (const int killAt : {0, 1, 91, 180, 271, 359, 360}) {
        ProgramFolder program;
        for (std::size_t i = 0; i < entries.size(); i += 2)
            writeText(program.folder / entries[i].first, "stary");
        const fs::path archive = program.path() / "Archiwa" / "kopia.zip";
        writeZip(archive, entries);
        auto after = dataFiles(program.path());
        for (const auto& [name, data] : entries)
            after[name] = data;

        restoreKilledAt(archive, program.path(), killAt);
        const std::vector<InterruptedRestore> found = finishInterruptedRestores(program.path());

        ASSERT_EQ(found.size(), 1u) << killAt;
        EXPECT_EQ(found[0].outcome, InterruptedRestore::Outcome::Finished) << killAt;
        EXPECT_EQ(found[0].fileCount, entries.size()) << killAt;
        EXPECT_TRUE(dataFiles(program.path()) == after) << killAt;
        EXPECT_EQ(hiddenEntries(program.path()), std::vector<std::string>{}) << killAt;
    }
}

TEST(RestoreJournal, WhatTheNextStartDoesWithWhatARestoreLeft)
{
    struct Row {
        const char* situation;
        InterruptedRestore::Outcome outcome; // when found
        bool found;
        bool wholeOld;      // every data file as before the restore, else as the archive has it
        bool stagingLeft;
    };
    const Row rows[] = {
        // Finishing fails (a file where a folder for the kept files must be made): undone, wholly old.
        {"kept folder blocked", InterruptedRestore::Outcome::Undone, true, true, false},
        // The journal was tampered with: nothing is moved on its word.
        {"journal damaged", InterruptedRestore::Outcome::Left, true, false, true},
        {"journal leads out", InterruptedRestore::Outcome::Left, true, false, true},
        // Another process still restores: left alone.
        {"restore running", InterruptedRestore::Outcome::NothingMoved, false, true, true},
    };
    for (const Row& row : rows) {
        const std::string situation = row.situation;
        ProgramFolder program;
        TempFolder outside;
        const fs::path archive = program.path() / "Archiwa" / "kopia.zip";
        writeZip(archive, {{"ADMINI/firma.dat", "firma z archiwum"}, {"ADMINI/nowy.dat", "nowy"},
                           {"NOTATKI/007.kom", "uwagi z archiwum"}});
        const auto before = dataFiles(program.path());
        const fs::path kept = program.path() / "Archiwa" / "przed-przywroceniem-2026-12-07-120000";
        std::optional<StagingFolder> running;
        if (situation == "restore running") {
            running.emplace(program.path(), "2026-12-07-130000");
            writeText(running->path() / "0", "rozpakowany");
        } else {
            // Killed after "ADMINI/firma.dat" was replaced and "ADMINI/nowy.dat" placed.
            restoreKilledAt(archive, program.path(), 3);
        }
        const std::vector<std::string> staging = hiddenEntries(program.path());
        ASSERT_EQ(staging.size(), 1u) << situation;
        const fs::path journal = program.path() / staging[0] / "dziennik";
        if (situation == "kept folder blocked") {
            fs::remove(kept / "NOTATKI");
            writeText(kept / "NOTATKI", "plik w miejscu folderu");
        } else if (situation == "journal damaged") {
            std::string text = readText(journal);
            text.resize(text.size() - 4);
            writeText(journal, text);
        } else if (situation == "journal leads out") {
            std::string text = readText(journal);
            const std::string line = "plik 2 NOTATKI/007.kom";
            text.replace(text.find(line), line.size(), "plik 2 ../" + outside.path().filename().string() + "/x");
            writeText(journal, text);
        }
        const auto inPlace = dataFiles(program.path());

        const std::vector<InterruptedRestore> found = finishInterruptedRestores(program.path());
        ASSERT_EQ(found.size(), row.found ? 1u : 0u) << situation;
        if (row.found) {
            EXPECT_EQ(found[0].outcome, row.outcome) << situation;
            EXPECT_FALSE(interruptedRestoresText(found).empty()) << situation;
        }
        if (row.wholeOld)
            EXPECT_EQ(dataFiles(program.path()), before) << situation;
        else // left as the kill left it
            EXPECT_EQ(dataFiles(program.path()), inPlace) << situation;
        EXPECT_EQ(hiddenEntries(program.path()).size(), row.stagingLeft ? 1u : 0u) << situation;
        EXPECT_TRUE(fs::is_empty(outside.path())) << situation;
    }
}

// Nothing reached through a link leading out of the program folder is
// written or archived: a linked "Archiwa" is refused before anything is
// written, a linked data folder is left out and named, a pipe is never read,
// and a folder swapped for a link while the archive is written fails it.
TEST(ZipArchive, LinksLeadingOutAreNeitherWrittenThroughNorArchived)
{
    struct Row {
        const char* linked;     // made a link to the outside folder; "" for none
        const char* swapped;    // swapped for a link to it while the archive is written
        bool written;           // an archive is written
        std::vector<std::string> leftOut;
    };
    const Row rows[] = {
        {"Archiwa", "", false, {}},
        {"brulion", "", true, {"NOTATKI/sekret.kom", "brulion"}},
        {"ADMINI", "", true, {"ADMINI", "NOTATKI/sekret.kom"}},
        {"Koperty/profile", "", true, {"Koperty/profile", "NOTATKI/sekret.kom"}},
        {"", "Uwaga", false, {}},
        {"", "", true, {"NOTATKI/sekret.kom"}},
    };
    for (const Row& row : rows) {
        const std::string linked = row.linked;
        ProgramFolder program;
        TempFolder outside;
        writeText(outside / "sekret.txt", "spoza folderu programu");
        writeText(outside / "x.txt", "spoza folderu programu");
        writeText(program.folder / "brulion" / "007.txt", "notatka");
        // Never read: a pipe and a link to a file outside.
        ASSERT_EQ(::mkfifo((program.folder / "NOTATKI" / "kolejka.kom").c_str(), 0600), 0);
        fs::create_symlink(outside / "sekret.txt", program.folder / "NOTATKI" / "sekret.kom");
        if (!linked.empty()) {
            fs::remove_all(program.folder / linked);
            fs::create_directory_symlink(outside.path(), program.folder / linked);
        }
        const auto outsideBefore = filesBelow(outside.path());
        bool swapped = false;
        auto meddle = [&](double) {
            if (*row.swapped != '\0' && !swapped) {
                swapped = true;
                fs::remove_all(program.folder / row.swapped);
                fs::create_directory_symlink(outside.path(), program.folder / row.swapped);
            }
        };
        std::vector<std::string> names;
        try {
            const CreatedArchive created = createArchive(program.config, program.path(), "2026-12-07-101500", meddle);
            EXPECT_TRUE(row.written) << linked << row.swapped;
            EXPECT_EQ(created.linksLeadingOut, row.leftOut) << linked;
            for (const ArchiveEntry& entry : readArchiveEntries(created.file))
                names.push_back(entry.relativePath);
        } catch (const IoError& error) {
            EXPECT_FALSE(row.written) << linked << row.swapped << ": " << error.what();
            if (linked == "Archiwa") {
                EXPECT_NE(error.operation().find("folder Archiwa jest dowiązaniem prowadzącym poza folder programu"),
                          std::string::npos) << error.operation();
            } else {
                EXPECT_EQ(error.path(), program.folder / row.swapped / "x.txt");
            }
        }
        EXPECT_EQ(filesBelow(outside.path()), outsideBefore) << linked << row.swapped;
        for (const std::string& name : names) {
            EXPECT_FALSE(name.starts_with(linked.empty() ? "\n" : linked + "/")) << name;
            EXPECT_EQ(name.find("sekret"), std::string::npos) << name;
            EXPECT_EQ(name.find("kolejka"), std::string::npos) << name;
        }
        if (row.written && linked != "brulion") {
            EXPECT_NE(std::ranges::find(names, "brulion/007.txt"), names.end()) << linked;
        }
        if (!row.written && linked != "Archiwa") {
            // Nothing but the old archive in "Archiwa", no temporary file either.
            EXPECT_EQ(filesBelow(program.folder / "Archiwa"),
                      (std::map<std::string, std::string>{{"stare.zip", "stare archiwum"}}));
        }
    }
}
