#include "companions/companion_kit/companion_app.h"
#include "companions/companion_kit/companion_files.h"
#include "companions/companion_kit/document_open.h"
#include "companions/companion_kit/document_watch.h"

#include "print/print_font.h"
#include "store/io_error.h"
#include "store/record_file.h"
#include "store/safe_file.h"
#include "tests/companions/companion_test_files.h"
#include "tests/support/recording_print_surface.h"
#include "tests/support/scripted_platform.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <sys/stat.h>

using namespace wirtello;

namespace {

namespace fs = std::filesystem;
using test::readText;
using test::writeText;

const auto kNoon = std::chrono::system_clock::from_time_t(1733486400); // a fixed moment

} // namespace

TEST(CompanionKit, ContactFileTakesOnlyAThreeCharacterIdWithTheExtension)
{
    const struct {
        const char* argument;
        bool accepted;
    } rows[] = {
        {"007.kom", true},   {"Łęc.kom", true},   {"../.kom", false},  {"a/b.kom", false}, {"..7.kom", false},
        {"0077.kom", false}, {"07.kom", false},   {"007.lis", false},  {".kom", false},    {"0\n7.kom", false},
        {"\xff\x30\x37.kom", false}, {"0\\7.kom", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.argument);
        if (row.accepted) {
            EXPECT_EQ(contactFile("/p/uwagi", row.argument, ".kom"), fs::path("/p/uwagi") / row.argument);
        } else {
            try {
                contactFile("/p/uwagi", row.argument, ".kom");
                ADD_FAILURE() << "accepted";
            } catch (const std::invalid_argument& error) {
                EXPECT_NE(std::string(error.what()).find("Nieprawidłowa nazwa pliku kontaktu"), std::string::npos);
            }
        }
    }
}

// What a companion finds on opening: the text as stored, or an empty
// document with the damaged file kept aside whole and the user told where.
TEST(CompanionKit, DocumentsRoundTripAndDamagedOnesAreKeptAside)
{
    const struct {
        const char* name;
        std::optional<std::string> onDisk; // nothing: no file
        bool parses;
        std::string opened;
        bool keptAside;
    } rows[] = {
        {"missing", std::nullopt, true, "", false},
        {"empty", "", true, "", false},
        {"polish", "Łęcka\nŻółć\r\n", true, "Łęcka\nŻółć\r\n", false},
        {"not UTF-8", "Ma\xb3gorzata", true, "", true},
        {"cut inside a letter", "\xc5", true, "", true},
        {"refused by the format", "coś", false, "", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempFolder program;
        const fs::path folder = companionFolder(program.path(), "uwagi");
        const fs::path file = folder / "007.kom";
        if (row.onDisk)
            writeCompanionText(file, *row.onDisk);
        std::string seen = "never called";
        const auto parses = [&](std::string_view text) {
            seen = text;
            return row.parses;
        };
        const LoadedDocument loaded = loadCompanionDocument(file, kCompanionFileLimit, kNoon, parses);
        EXPECT_EQ(loaded.text, row.opened);
        EXPECT_EQ(seen, row.opened);
        std::vector<fs::path> aside;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.path() != file)
                aside.push_back(entry.path());
        if (row.keptAside) {
            ASSERT_EQ(aside.size(), 1u);
            EXPECT_FALSE(fs::exists(file));
            EXPECT_EQ(readText(aside[0]), *row.onDisk);
            EXPECT_TRUE(aside[0].filename().string().starts_with("007.kom.uszkodzony-"));
            EXPECT_NE(loaded.damagedNotice.find(aside[0].string()), std::string::npos);
        } else {
            EXPECT_TRUE(aside.empty());
            EXPECT_TRUE(loaded.damagedNotice.empty());
            if (row.onDisk) {
                writeCompanionText(file, loaded.text);
                EXPECT_EQ(readText(file), *row.onDisk);
            }
        }
    }
}

TEST(CompanionKit, RefusedFilesAreErrorsAndStayWhole)
{
    const struct {
        const char* name;
        void (*make)(const fs::path& file, const fs::path& outside);
    } rows[] = {
        {"over the limit", [](const fs::path& file, const fs::path&) { writeText(file, std::string(11, 'a')); }},
        {"a pipe", [](const fs::path& file, const fs::path&) { ASSERT_EQ(mkfifo(file.c_str(), 0600), 0); }},
        {"a link leaving the folder",
         [](const fs::path& file, const fs::path& outside) {
             writeText(outside / "cudzy.txt", "cudzy");
             fs::create_symlink(outside / "cudzy.txt", file);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempFolder outside;
        test::TempFolder program;
        trustFolderTree(program.path());
        const fs::path folder = companionFolder(program.path(), "brulion");
        const fs::path file = folder / "007.txt";
        row.make(file, outside.path());
        EXPECT_THROW(loadCompanionDocument(file, 10, kNoon, [](std::string_view) { return true; }), IoError);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    }
}

TEST(CompanionKit, AFileKeptAsideNeverReplacesOneKeptEarlier)
{
    test::TempFolder program;
    const fs::path file = program / "007.kom";
    writeText(file, "pierwszy");
    const fs::path first = keepDamagedAside(file, kNoon);
    writeText(file, "drugi");
    const fs::path second = keepDamagedAside(file, kNoon);
    EXPECT_NE(first, second);
    EXPECT_EQ(readText(first), "pierwszy");
    EXPECT_EQ(readText(second), "drugi");
}

TEST(CompanionKit, TheSecondOpeningOfADocumentIsReadOnly)
{
    test::TempFolder program;
    const fs::path file = program / "007.lis";
    DocumentAccess first = openDocumentAccess(file);
    ASSERT_TRUE(first.lock.has_value());
    EXPECT_TRUE(first.readOnlyNote.empty());
    const DocumentAccess second = openDocumentAccess(file);
    EXPECT_FALSE(second.lock.has_value());
    EXPECT_EQ(second.readOnlyNote, "Dokument jest otwarty w innym oknie — tylko do odczytu.");
    first.lock.reset();
    EXPECT_TRUE(openDocumentAccess(file).lock.has_value());
}

// A wrapped line goes on indented, so that it does not read as a new entry.
TEST(CompanionKit, PrintedLinesBreakAtBlanksAndGoOnIndented)
{
    const struct {
        std::size_t columns;
        std::string text;
        std::vector<std::string> lines;
    } rows[] = {
        {5, "", {""}},
        {5, "Łęcka\nŻółć\n", {"Łęcka", "Żółć"}},
        {5, "a\r\n\tb", {"a", "    b"}},
        {10, "żółw żółw żółw", {"żółw żółw", "  żółw"}},
        {6, "żółwżółwżółw", {"żółwżó", "  łwżó", "  łw"}},
        {10, "  ab cd ef gh", {"  ab cd", "    ef gh"}}, // the indent itself is no place to break
        {8, "      abcdefgh", {"      ab", "    cdef", "    gh"}}, // never deeper than half the width
    };
    for (const auto& row : rows)
        EXPECT_EQ(printableLines(row.text, row.columns), row.lines) << row.text;
}

// The heading stands out above the lines in any print font, also with none chosen.
TEST(CompanionKit, PrintoutHeadingIsLargerThanItsLines)
{
    // Windows folders may hold a negative size: a character height.
    for (const std::optional<int> points : {std::optional<int>(10), std::optional<int>(), std::optional<int>(1),
                                            std::optional<int>(-13)}) {
        SCOPED_TRACE(points ? std::to_string(*points) : "no font file");
        test::TempFolder program({"FONT"});
        if (points) {
            PrintFontRecord record;
            record.setFace("Arial");
            record.setPoints(*points);
            writeRecord(program / "FONT/font_zaplo_3906.dat", record.bytes());
        }
        ScriptedPlatform platform;
        RecordingPrintSurface drawn;
        platform.saveFileAnswers = {program / "wydruk.pdf"};
        platform.pdfFactory = [&drawn](const fs::path&, PaperSize) { return drawn.proxy(); };
        printCompanionLines(platform, PrintDestination::Pdf, program.path(), QStringLiteral("Notatki"),
                            QStringLiteral("notatki.pdf"), "Anna Łęcka", {"pierwszy wiersz", "drugi wiersz"});
        ASSERT_EQ(drawn.texts.size(), 3u);
        EXPECT_EQ(drawn.texts[0].text, "Anna Łęcka");
        // Negative heights are character heights, positive ones cell heights, 0 the face's own size.
        const auto size = [](int height) { return height < 0 ? -height : height * 3 / 4; };
        EXPECT_GT(size(drawn.texts[0].height), size(drawn.texts[1].height));
        EXPECT_EQ(drawn.texts[2].height, drawn.texts[1].height);
    }
}

TEST(CompanionKit, ArgumentsKeepPolishLettersAndOptionLikeTexts)
{
    std::string program = "uwagi", id = "007.kom", title = "Komentarze dla: Anna Łęcka Żółć ", option = "-style=x";
    char* argv[] = {program.data(), id.data(), title.data(), option.data(), nullptr};
    EXPECT_EQ(companionArguments(4, argv), (std::vector<std::string>{id, title, option}));
}

// A store that would outgrow what the companion reads again is refused before
// a byte is written, so the file on disk stays as it was.
TEST(CompanionKit, AStorePastTheReadLimitIsRefusedAndTheFileStays)
{
    test::TempFolder program;
    const fs::path file = program / "007.txt";
    writeCompanionText(file, "stary tekst", 16);
    EXPECT_THROW(writeCompanionText(file, std::string(17, 'a'), 16), DocumentTooLarge);
    EXPECT_EQ(readText(file), "stary tekst");
    writeCompanionText(file, std::string(16, 'a'), 16);
    EXPECT_EQ(readCompanionText(file, 16), std::string(16, 'a'));
    try {
        writeCompanionText(file, std::string(kCompanionFileLimit + 1, 'a'));
        ADD_FAILURE() << "stored";
    } catch (const DocumentTooLarge& refusal) {
        EXPECT_NE(refusal.operation().find("4 MB"), std::string::npos) << refusal.operation();
        EXPECT_EQ(refusal.path(), file);
    }
}

namespace {

// A reader of lines "ok": every good line kept, the first other one named.
struct OkLines {
    std::vector<std::string> kept;
    std::optional<DocumentProblem> operator()(std::string_view text)
    {
        kept.clear();
        std::optional<DocumentProblem> problem;
        std::size_t number = 0;
        for (std::size_t start = 0; start < text.size();) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            const std::string line(text.substr(start, end - start));
            ++number;
            if (line == "ok")
                kept.push_back(line);
            else if (!problem)
                problem = DocumentProblem{number, "nieznany wiersz „" + line + "”"};
            start = end + 1;
        }
        return problem;
    }
};

} // namespace

// A bad line is named with its number and reason; the reader keeps what it
// can; nothing on disk is renamed or changed by reading.
TEST(CompanionKit, ReadingNamesTheFirstBadLineAndKeepsTheGoodOnes)
{
    const struct {
        const char* name;
        std::string onDisk;
        std::size_t kept;
        std::optional<DocumentProblem> problem;
    } rows[] = {
        {"all good", "ok\nok\n", 2, std::nullopt},
        {"a bad line", "ok\nzle\nok\n", 2, DocumentProblem{2, "nieznany wiersz „zle”"}},
        {"not UTF-8 on line 3", "ok\nok\nMa\xb3gorzata\nok\n", 2,
         DocumentProblem{3, "znaki spoza UTF-8 (inne kodowanie tekstu)"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempFolder program;
        const fs::path file = program / "007.kom";
        writeText(file, row.onDisk);
        OkLines reader;
        const LoadedDocument loaded = readCompanionDocument(file, kCompanionFileLimit, std::ref(reader));
        EXPECT_EQ(reader.kept.size(), row.kept);
        EXPECT_EQ(loaded.problem, row.problem);
        EXPECT_EQ(readText(file), row.onDisk);
        EXPECT_EQ(std::distance(fs::directory_iterator(program.path()), fs::directory_iterator()), 1);
    }
    EXPECT_EQ(describeProblem("/p/uwagi/007.kom", {4, "zły znak"}), "Plik /p/uwagi/007.kom, wiersz 4: zły znak.");
}

// Opening a document with a bad line: the user hears which line and why, and
// chooses between a copy kept aside with the good lines to edit, and reading only.
TEST(CompanionKit, OpeningADocumentWithABadLineAsksAndKeepsTheFile)
{
    for (const bool keepACopy : {true, false}) {
        SCOPED_TRACE(keepACopy ? "copy aside, edit" : "read only");
        test::TempFolder program;
        const fs::path file = program / "007.kom";
        writeText(file, "ok\nzle\n");
        ScriptedPlatform platform;
        platform.askAnswers = {keepACopy};
        OkLines reader;
        const OpenedDocument opened = openCompanionDocument(platform, file, std::ref(reader));
        EXPECT_EQ(reader.kept.size(), 1u);
        ASSERT_EQ(platform.asked.size(), 1);
        EXPECT_TRUE(platform.asked[0].contains(QStringLiteral("wiersz 2: nieznany wiersz „zle”")));
        EXPECT_EQ(opened.access.lock.has_value(), keepACopy);
        EXPECT_EQ(readText(file), "ok\nzle\n"); // the file stays until the window stores
        std::vector<fs::path> aside;
        for (const auto& entry : fs::directory_iterator(program.path()))
            if (entry.path().filename().string().starts_with("007.kom.uszkodzony-"))
                aside.push_back(entry.path());
        ASSERT_EQ(aside.size(), keepACopy ? 1u : 0u);
        if (keepACopy)
            EXPECT_EQ(readText(aside[0]), "ok\nzle\n");
        else
            EXPECT_NE(opened.access.readOnlyNote.find("tylko do odczytu"), std::string::npos);
    }
}

// An old note in Windows-1250 is read as such when the user says so.
TEST(CompanionKit, ATextNotInUtf8MayBeReadAsWindows1250)
{
    for (const bool asWindows1250 : {true, false}) {
        SCOPED_TRACE(asWindows1250 ? "Windows-1250" : "refused");
        test::TempFolder program;
        const fs::path file = program / "007.txt";
        writeText(file, "Ma\xb3gorzata\nWi\xea""cej\n");
        ScriptedPlatform platform;
        platform.askAnswers = asWindows1250 ? std::deque<bool>{true} : std::deque<bool>{false, false};
        std::string seen;
        const OpenedDocument opened = openCompanionDocument(
            platform, file, [&seen](std::string_view text) { seen = text; return std::optional<DocumentProblem>(); },
            true);
        EXPECT_EQ(opened.readAsWindows1250, asWindows1250);
        EXPECT_EQ(seen, asWindows1250 ? "Małgorzata\nWięcej\n" : "");
        EXPECT_EQ(opened.access.lock.has_value(), asWindows1250);
        EXPECT_EQ(platform.asked.size(), asWindows1250 ? 1 : 2);
    }
}

// A read-only window sees another copy's store and is offered the document
// once that copy lets it go; it is asked once.
TEST(CompanionKit, AWatchedDocumentTellsOfChangesAndOfItsLockComingFree)
{
    test::TempFolder program;
    const fs::path file = program / "007.lis";
    writeCompanionText(file, "pierwszy");
    std::optional<DocumentAccess> other = openDocumentAccess(file);
    ASSERT_TRUE(other->lock.has_value());

    DocumentWatch watch(file, nullptr);
    int changes = 0, offers = 0;
    QObject::connect(&watch, &DocumentWatch::changedOnDisk, [&changes] { ++changes; });
    QObject::connect(&watch, &DocumentWatch::lockFree, [&offers] { ++offers; });
    watch.setWatching(true);
    watch.check();
    EXPECT_EQ(changes, 0);
    writeCompanionText(file, "drugi, ta sama długość?");
    watch.check();
    watch.check();
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(offers, 0);

    other.reset();
    watch.check();
    EXPECT_EQ(offers, 1);
    EXPECT_FALSE(watch.watching());
    std::optional<DocumentLock> taken = watch.takeLock();
    ASSERT_TRUE(taken.has_value());
    EXPECT_FALSE(watch.takeLock().has_value());
    EXPECT_FALSE(openDocumentAccess(file).lock.has_value()); // held here now
    taken.reset();

    // Declined: let go at once, not offered again, changes still told.
    watch.setWatching(true);
    watch.check();
    EXPECT_EQ(offers, 2);
    watch.declineLock();
    EXPECT_TRUE(openDocumentAccess(file).lock.has_value());
    writeCompanionText(file, "trzeci");
    watch.check();
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(offers, 2);
    EXPECT_TRUE(watch.watching());
}
