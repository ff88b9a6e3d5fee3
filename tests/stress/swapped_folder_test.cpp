// A folder of the program swapped for a link to a folder outside, once or
// over and over while the program stores: nothing may ever be created,
// written or locked outside. Everything happens in the test's own
// temporary folder.
#include "cash/numbering_file.h"
#include "companions/companion_kit/companion_files.h"
#include "store/io_error.h"
#include "store/record_file.h"
#include "store/safe_file.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include <fcntl.h>
#include <stdio.h>

namespace fs = std::filesystem;
using namespace wirtello;
using namespace wirtello::test;

namespace {

// A program folder "prog", registered as a folder tree, beside a folder "outside".
struct ProgramBesideOutside {
    TempFolder base{"prog", "outside"};
    fs::path prog = trustFolderTree(base / "prog");
    fs::path outside = base / "outside";

    std::vector<std::string> outsideNames() const
    {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(outside))
            names.push_back(entry.path().filename().string());
        return names;
    }
};

// Swaps prog/<folder> (a real folder) with prog/<folder>.swap (a link to
// the outside folder) for as long as it lives, each swap one atomic step.
class FolderSwapper {
public:
    FolderSwapper(const fs::path& folder, const fs::path& outside) : folder_(folder), link_(folder.string() + ".swap")
    {
        fs::create_directories(folder);
        fs::create_symlink(outside, link_);
        thread_ = std::jthread([this](std::stop_token stop) {
            while (!stop.stop_requested()) {
                if (::renameat2(AT_FDCWD, folder_.c_str(), AT_FDCWD, link_.c_str(), RENAME_EXCHANGE) == 0)
                    ++swaps_;
                else
                    failed_ = true;
            }
        });
    }

    // Stops swapping and leaves the real folder in place.
    void stop()
    {
        thread_.request_stop();
        thread_.join();
        if (fs::is_symlink(folder_))
            ::renameat2(AT_FDCWD, folder_.c_str(), AT_FDCWD, link_.c_str(), RENAME_EXCHANGE);
    }

    bool failed() const { return failed_; }

private:
    fs::path folder_;
    fs::path link_;
    std::atomic<long> swaps_ = 0;
    std::atomic<bool> failed_ = false;
    std::jthread thread_;
};

constexpr int kStores = 200;

std::vector<std::uint8_t> bytesOf(const std::string& text)
{
    return {text.begin(), text.end()};
}

} // namespace

TEST(SwappedFolder, StoresWhileAFolderIsSwappedForALinkOutLandInsideOrFail)
{
    struct Row {
        const char* name;
        const char* folder;
        // Stores text `i` in the file; raises IoError when refused.
        std::function<void(const fs::path& file, int i)> store;
    };
    const Row rows[] = {
        {"note with its lock", "brulion",
         [](const fs::path& file, int i) {
             const std::optional<DocumentLock> lock = DocumentLock::tryLock(file);
             writeCompanionText(file, "notatka " + std::to_string(i));
         }},
        {"record", "NOTATKI", [](const fs::path& file, int i) { writeRecord(file, bytesOf("notatka " + std::to_string(i))); }},
        {"new numbering files", "DOKUMENTY",
         [](const fs::path& file, int i) { createNumberingFileIfMissing(file.parent_path() / ("nr" + std::to_string(i) + ".dat")); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ProgramBesideOutside shared;
        const fs::path folder = shared.prog / row.folder;
        const fs::path file = folder / "006.txt";
        int stored = 0;
        std::string last;
        FolderSwapper swapper(folder, shared.outside);
        for (int i = 0; i < kStores; ++i) {
            try {
                row.store(file, i);
                ++stored;
                last = "notatka " + std::to_string(i);
            } catch (const IoError& error) {
                EXPECT_TRUE(error.path().parent_path() == folder) << error.what();
            }
        }
        swapper.stop();
        ASSERT_FALSE(swapper.failed());
        EXPECT_EQ(shared.outsideNames(), std::vector<std::string>()) << "written outside";
        // What was stored last is in the real folder, and nothing half done is left there.
        if (stored > 0 && row.folder != std::string("DOKUMENTY")) {
            EXPECT_EQ(readBytes(file), bytesOf(last));
        }
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            EXPECT_FALSE(isTemporaryFileName(entry.path())) << entry.path();
    }
}

TEST(SwappedFolder, ACompanionFolderLinkedOutIsRefusedBeforeAnythingIsMadeThere)
{
    for (const std::string_view name : kCompanionDataFolders) {
        SCOPED_TRACE(std::string(name));
        ProgramBesideOutside shared;
        writeBytes(shared.outside / "006.txt", bytesOf("cudza"));
        fs::create_symlink(shared.outside, shared.prog / std::string(name));
        const fs::path folder = shared.prog / std::string(name);
        const fs::path file = folder / "006.txt";
        const std::vector<std::pair<const char*, std::function<void()>>> steps = {
            {"folder", [&] { companionFolder(shared.prog, name); }},
            {"lock", [&] { DocumentLock::tryLock(file); }},
            {"read", [&] { readCompanionText(file, kCompanionFileLimit); }},
            {"write", [&] { writeCompanionText(file, "nowa"); }},
            {"kept aside", [&] { keepDamagedAside(file, std::chrono::system_clock::now()); }},
        };
        for (const auto& [step, run] : steps) {
            SCOPED_TRACE(step);
            EXPECT_THROW(run(), IoError);
        }
        try {
            companionFolder(shared.prog, name);
        } catch (const IoError& error) {
            EXPECT_EQ(error.operation(), kCompanionFolderLeadsOut);
            EXPECT_EQ(error.path(), folder);
        }
        const DocumentAccess access = openDocumentAccess(file);
        EXPECT_FALSE(access.lock.has_value());
        EXPECT_NE(access.readOnlyNote.find(lockFileOf(file).string()), std::string::npos) << access.readOnlyNote;
        EXPECT_EQ(shared.outsideNames(), std::vector<std::string>{"006.txt"});
        EXPECT_EQ(readBytes(shared.outside / "006.txt"), bytesOf("cudza"));
    }
}

TEST(SwappedFolder, ACompanionFolderLinkedInsideIsUsedAndAMissingOneIsMade)
{
    ProgramBesideOutside shared;
    fs::create_directories(shared.prog / "dane/uwagi");
    fs::create_symlink("dane/uwagi", shared.prog / "uwagi");
    const fs::path file = companionFolder(shared.prog, kCommentsFolder) / "006.kom";
    EXPECT_TRUE(DocumentLock::tryLock(file).has_value());
    writeCompanionText(file, "komentarz");
    EXPECT_EQ(readBytes(shared.prog / "dane/uwagi/006.kom"), bytesOf("komentarz"));
    EXPECT_TRUE(fs::exists(shared.prog / "dane/uwagi/006.kom.lock"));

    EXPECT_TRUE(fs::is_directory(companionFolder(shared.prog, kNotebookFolder)));
    EXPECT_TRUE(fs::is_directory(shared.prog / "brulion"));
}

TEST(SwappedFolder, StaleTemporaryFilesAreRemovedOnlyInTheFolderItself)
{
    ProgramBesideOutside shared;
    writeBytes(shared.outside / "a.dat.0123456789abcdef.tmp~", bytesOf("x"));
    writeBytes(shared.prog / "b.dat.0123456789abcdef.tmp~", bytesOf("x"));
    fs::create_symlink(shared.outside, shared.prog / "brulion");
    EXPECT_EQ(removeStaleTemporaryFiles(shared.prog / "brulion", std::chrono::seconds(0)), 0u);
    EXPECT_EQ(shared.outsideNames().size(), 1u);
    EXPECT_EQ(removeStaleTemporaryFiles(shared.prog, std::chrono::seconds(0)), 1u);
    EXPECT_FALSE(fs::exists(shared.prog / "b.dat.0123456789abcdef.tmp~"));
}
