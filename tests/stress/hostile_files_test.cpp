// Every reader and writer of the program's files, faced with what a hostile
// user of a shared folder can put in their place.
#include "tests/store/hostile_files.h"

#include "admin/network_mode.h"
#include "admin/update_info.h"
#include "cash/numbering_file.h"
#include "cash/text_lines.h"
#include "contact_import/contact_file.h"
#include "contact_import/import_plan.h"
#include "envelope/logo_picture.h"
#include "store/io_error.h"
#include "store/program_folder.h"

#include <gtest/gtest.h>

#include <functional>

namespace fs = std::filesystem;
using namespace wirtello;
using namespace wirtello::test;

namespace {

const std::vector<std::uint8_t> kOwn{'o', 'w', 'n', ' ', 'f', 'i', 'l', 'e', ' ', '1', '5', 'b', 'y', 't', 'e'};

// The operation of the IoError that `action` raised, or "" when it raised none.
std::string failure(const std::function<void()>& action)
{
    try {
        action();
    } catch (const IoError& error) {
        return error.operation() + ": " + error.path().string();
    }
    return "";
}

} // namespace

TEST(HostileFiles, APipeInPlaceOfAnyFileIsAnErrorNamingItNeverAWait)
{
    const std::vector<std::pair<std::string, std::function<void(const fs::path& folder)>>> readers = {
        {"DOKUMENTY\\kptresc.dat", [](const fs::path& f) { readTextLines(fileIn(f, kDocumentsFolder, "kptresc.dat"), kFixedContentsLimit); }},
        {"NOTATKI\\notatka.txt", [](const fs::path& f) { readTextLines(fileIn(f, kNotesFolder, "notatka.txt")); }},
        {"Admini\\siec.dat", [](const fs::path& f) { loadNetworkMode(f); }},
        {"Admini\\27.txt", [](const fs::path& f) { readUpdateInfo(fileIn(f, kAdminFolder, "27.txt")); }},
        {"DOKUMENTY\\nrkp.dat", [](const fs::path& f) { takeDocumentNumber(numberingPath(f, DocumentKind::Kp)); }},
        {"LOGO\\logo.jpg", [](const fs::path& f) { loadLogoPicture(fileIn(f, kLogoFolder, "logo.jpg")); }},
        {"NOTATKI\\kontakty.csv", [](const fs::path& f) { readContactFile(fileIn(f, kNotesFolder, "kontakty.csv"), 10, {}); }},
    };
    for (const auto& [name, read] : readers) {
        SCOPED_TRACE(name);
        SharedFolder shared;
        for (const char* sub : {"Admini", "DOKUMENTY", "NOTATKI", "LOGO"})
            fs::create_directory(shared.prog / sub);
        const fs::path pipe = joinPath(shared.prog, name);
        ASSERT_TRUE(makeSpecialFile("pipe", pipe));
        const auto start = std::chrono::steady_clock::now();
        {
            PipeReleaser release(pipe);
            EXPECT_EQ(failure([&] { read(shared.prog); }), "Nie można odczytać pliku: " + pipe.string());
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, PipeReleaser::kPatience);
    }
    // The network folder's own record is checked the same way: a pipe there is no server.
    SharedFolder network;
    fs::create_directory(network.prog / "Admini");
    ASSERT_TRUE(makeSpecialFile("pipe", network.prog / "Admini/siec.dat"));
    EXPECT_FALSE(networkFolderReachable(network.prog));
}

TEST(HostileFiles, NoWriteOfTheDataFolderFollowsALinkOut)
{
    struct Row {
        const char* name;
        const char* link;  // in "prog", to the victim outside
        std::function<void(const fs::path& folder)> write;
    };
    const Row rows[] = {
        {"numbering", "DOKUMENTY/nrkp.dat", [](const fs::path& f) { takeDocumentNumber(numberingPath(f, DocumentKind::Kp)); }},
        {"numbering folder", "DOKUMENTY", [](const fs::path& f) { takeDocumentNumber(numberingPath(f, DocumentKind::Kp)); }},
        {"new numbering", "DOKUMENTY/nrkw.dat>", [](const fs::path& f) {
             createNumberingFileIfMissing(numberingPath(f, DocumentKind::Kw));
             takeDocumentNumber(numberingPath(f, DocumentKind::Kw));
         }},
        {"fixed contents", "DOKUMENTY/kptresc.dat", [](const fs::path& f) { writeTextLines(fileIn(f, kDocumentsFolder, "kptresc.dat"), {"x"}); }},
        {"network mode", "Admini/siec.dat", [](const fs::path& f) {
             NetworkModeRecord record;
             switchToLocalMode(record, f);
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SharedFolder shared;
        fs::create_directory(shared.prog / "Admini");
        std::string link = row.link;
        // "name>": a dangling link to a file not yet outside.
        const bool dangling = link.ends_with('>');
        if (dangling)
            link.pop_back();
        if (link != "DOKUMENTY")
            fs::create_directory(shared.prog / "DOKUMENTY");
        writeBytes(shared.victim, kOwn);
        fs::create_symlink(link == "DOKUMENTY" ? shared.outside : dangling ? shared.outside / "new.dat" : shared.victim,
                           shared.prog / link);
        if (link == "DOKUMENTY")
            fs::copy_file(shared.victim, shared.outside / "nrkp.dat");

        EXPECT_NE(failure([&] { row.write(shared.prog); }), "");
        EXPECT_EQ(readBytes(shared.victim), kOwn);
        if (link == "DOKUMENTY") {
            EXPECT_EQ(readBytes(shared.outside / "nrkp.dat"), kOwn);
        }
        EXPECT_FALSE(fs::exists(shared.outside / "new.dat"));
    }
}

TEST(HostileFiles, TextFilesOverTheirReadersLimitsAreRefusedWithoutReadingThem)
{
    struct Row {
        const char* name;
        std::size_t bytes;
        std::string line; // repeated to fill the file
        std::function<std::size_t(const fs::path&)> read;
        std::string refusal; // "" when the file is read
    };
    const auto fixed = [](const fs::path& p) { return readTextLines(p, kFixedContentsLimit).size(); };
    const auto edited = [](const fs::path& p) { return readTextLines(p).size(); };
    const auto update = [](const fs::path& p) { return readUpdateInfo(p).referenceVersion.size(); };
    const Row rows[] = {
        {"blank lines for Wstaw treść", 10 << 20, "\r\n", fixed, "Plik jest za duży (największy możliwy ma 256 KB)"},
        {"many short fixed contents", 5001 * 3, "x\r\n", fixed, "Plik ma za dużo wierszy (najwięcej 5000)"},
        {"the most fixed contents", 5000 * 3, "x\r\n", fixed, ""},
        {"blank lines in the editor", 60'000, "\n", edited, "Plik ma za dużo wierszy (najwięcej 50000)"},
        {"a long text in the editor", (1 << 20) + 1, "a", edited, "Plik jest za duży (największy możliwy ma 1 MB)"},
        {"a text as long as the editor takes", 1 << 20, "a", edited, ""},
        {"update information", 16 * 1024 + 1, "a", update, "Plik jest za duży (największy możliwy ma 16 KB)"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder folder;
        std::vector<std::uint8_t> bytes;
        while (bytes.size() < row.bytes)
            bytes.insert(bytes.end(), row.line.begin(), row.line.end());
        bytes.resize(row.bytes);
        writeBytes(folder / "t.txt", bytes);
        if (row.refusal.empty())
            EXPECT_GT(row.read(folder / "t.txt"), 0u);
        else
            EXPECT_EQ(failure([&] { row.read(folder / "t.txt"); }), row.refusal + ": " + (folder / "t.txt").string());
    }
}

TEST(HostileFiles, ImportLeavesOutPhotoPathsOfDevicesAndPipes)
{
    TempFolder folder({"LOGO"});
    writeBytes(folder / "LOGO/anna.jpg", {0xFF, 0xD8});
    ASSERT_TRUE(makeSpecialFile("pipe", folder / "fifo"));
    ASSERT_TRUE(makeSpecialFile("zero device", folder / "zero"));
    const std::vector<std::pair<fs::path, bool>> photos = {
        {folder / "fifo", false}, {folder / "zero", false}, {folder / "LOGO", false},
        {folder / "LOGO/anna.jpg", true}, {folder / "LOGO/brak.jpg", true}, // a file of another computer may come later
    };
    std::vector<ImportedContact> contacts;
    for (const auto& [photo, kept] : photos)
        contacts.push_back(ImportedContact{"Anna", {}, photo.string()});
    const ImportPlan plan = planImport(contacts, contacts.size());
    ASSERT_EQ(plan.contacts.size(), photos.size());
    for (std::size_t i = 0; i < photos.size(); ++i)
        EXPECT_EQ(plan.contacts[i].photoPath, photos[i].second ? photos[i].first.string() : "") << photos[i].first;
    EXPECT_EQ(plan.refusedPhotos, 3u);
    EXPECT_EQ(plan.cutFields, 0u);
}
