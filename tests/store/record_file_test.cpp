#include "store/io_error.h"
#include "store/record_file.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

using namespace wirtello;
using wirtello::test::readBytes;
using wirtello::test::TempFolder;
using wirtello::test::writeBytes;

namespace fs = std::filesystem;

namespace {

std::set<std::string> namesIn(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

unsigned modeOf(const fs::path& path)
{
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

// Makes one step of every write fail while it lives.
class WriteFault {
public:
    explicit WriteFault(std::function<bool(RecordWriteStep)> proceed) { setRecordWriteFaultForTests(std::move(proceed)); }
    ~WriteFault() { setRecordWriteFaultForTests(nullptr); }
};

const char* stepName(RecordWriteStep step)
{
    switch (step) {
    case RecordWriteStep::CreateTemporary: return "create";
    case RecordWriteStep::WriteBytes: return "write";
    case RecordWriteStep::FlushBytes: return "flush";
    case RecordWriteStep::SetPermissions: return "permissions";
    case RecordWriteStep::Close: return "close";
    case RecordWriteStep::Rename: return "rename";
    case RecordWriteStep::FlushFolder: return "flush folder";
    }
    return "?";
}

} // namespace

TEST(RecordFile, ShortFileFailsAndLongerFileIsReadFromItsFirstRecord)
{
    TempFolder folder;
    writeBytes(folder / "short.dat", {1, 2, 3});
    EXPECT_THROW(readRecord(folder / "short.dat", 4), IoError);
    EXPECT_THROW(readRecord(folder / "missing.dat", 4), IoError);

    writeBytes(folder / "long.dat", {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(readRecord(folder / "long.dat", 4), (std::vector<std::uint8_t>{1, 2, 3, 4}));
}

TEST(RecordFile, WriteReplacesTheWholeFileWithExactlyTheRecordAndLeavesNothingElse)
{
    TempFolder folder;
    writeBytes(folder / "r.dat", std::vector<std::uint8_t>(10, 7));
    writeRecord(folder / "r.dat", std::vector<std::uint8_t>{9, 8});
    EXPECT_EQ(readBytes(folder / "r.dat"), (std::vector<std::uint8_t>{9, 8}));
    EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"r.dat"});
}

TEST(RecordFile, AFailureAtAnyStepRemovesTheTemporaryFile)
{
    struct Row {
        RecordWriteStep failing;
        bool oldFileStays; // false: the new bytes were already in place when the step failed
    };
    const Row rows[] = {
        {RecordWriteStep::CreateTemporary, true}, {RecordWriteStep::WriteBytes, true},
        {RecordWriteStep::FlushBytes, true},      {RecordWriteStep::SetPermissions, true},
        {RecordWriteStep::Close, true},           {RecordWriteStep::Rename, true},
        {RecordWriteStep::FlushFolder, false},
    };
    const std::vector<std::uint8_t> old = {1, 2, 3, 4};
    const std::vector<std::uint8_t> fresh = {5, 6, 7, 8};
    for (const Row& row : rows) {
        SCOPED_TRACE(stepName(row.failing));
        for (const bool oldFileExists : {true, false}) {
            TempFolder folder;
            if (oldFileExists)
                writeBytes(folder / "r.dat", old);
            WriteFault fault([&](RecordWriteStep step) { return step != row.failing; });
            try {
                writeRecord(folder / "r.dat", fresh);
                ADD_FAILURE() << "write should fail";
            } catch (const IoError& error) {
                EXPECT_EQ(error.path(), folder / "r.dat");
                EXPECT_FALSE(error.operation().empty());
            }
            if (!row.oldFileStays) {
                EXPECT_EQ(readBytes(folder / "r.dat"), fresh);
            } else if (oldFileExists) {
                EXPECT_EQ(readBytes(folder / "r.dat"), old);
            }
            const std::set<std::string> expected =
                (oldFileExists || !row.oldFileStays) ? std::set<std::string>{"r.dat"} : std::set<std::string>{};
            EXPECT_EQ(namesIn(folder.path()), expected);
        }
    }
}

TEST(RecordFile, ASuccessfulWriteFlushesTheBytesBeforeAndTheFolderAfterTheRename)
{
    TempFolder folder;
    std::vector<RecordWriteStep> steps;
    WriteFault fault([&](RecordWriteStep step) {
        if (steps.empty() || steps.back() != step)
            steps.push_back(step);
        return true;
    });
    writeRecord(folder / "r.dat", std::vector<std::uint8_t>{1});
    EXPECT_EQ(steps, (std::vector<RecordWriteStep>{RecordWriteStep::CreateTemporary, RecordWriteStep::WriteBytes,
                                                   RecordWriteStep::FlushBytes, RecordWriteStep::SetPermissions,
                                                   RecordWriteStep::Close, RecordWriteStep::Rename,
                                                   RecordWriteStep::FlushFolder}));
}

TEST(RecordFile, TheBytesReachTheDiskBeforeTheRenameAndAFailedFlushFailsTheWrite)
{
    for (const bool flushWorks : {true, false}) {
        SCOPED_TRACE(flushWorks ? "flush works" : "flush fails");
        TempFolder folder;
        writeBytes(folder / "r.dat", {1, 2, 3});
        // The disk flush itself, with the size of the file it flushed, among the steps.
        std::vector<std::string> events;
        WriteFault watch([&](RecordWriteStep step) {
            events.push_back(stepName(step));
            return true;
        });
        setRecordFlushForTests([&](int descriptor) {
            struct stat info {};
            ::fstat(descriptor, &info);
            events.push_back("disk flush of " + std::to_string(info.st_size) + " bytes");
            return flushWorks;
        });
        try {
            writeRecord(folder / "r.dat", std::vector<std::uint8_t>{9, 9});
            EXPECT_TRUE(flushWorks) << "a failed flush went unnoticed";
        } catch (const IoError& error) {
            EXPECT_FALSE(flushWorks);
            EXPECT_EQ(error.path(), folder / "r.dat");
        }
        setRecordFlushForTests({});
        const auto flushed = std::find(events.begin(), events.end(), "disk flush of 2 bytes");
        EXPECT_EQ(std::count(events.begin(), events.end(), "disk flush of 2 bytes"), 1);
        EXPECT_LT(flushed, std::find(events.begin(), events.end(), "rename"));
        const std::vector<std::uint8_t> expected = flushWorks ? std::vector<std::uint8_t>{9, 9} : std::vector<std::uint8_t>{1, 2, 3};
        EXPECT_EQ(readBytes(folder / "r.dat"), expected);
        EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"r.dat"});
    }
}

TEST(RecordFile, ProtectedFilesAreRefusedAndOthersKeepTheirPermissions)
{
    struct Row {
        unsigned mode;
        bool refused;
    };
    // The owner's write bit decides, for root as for anyone.
    const Row rows[] = {
        {0444, true}, {0400, true}, {0555, true}, {0464, true},
        {0644, false}, {0600, false}, {0640, false}, {0664, false}, {0755, false}, {0200, false},
    };
    const std::vector<std::uint8_t> old = {1, 2, 3, 4};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.mode));
        TempFolder folder;
        writeBytes(folder / "r.dat", old);
        fs::permissions(folder / "r.dat", static_cast<fs::perms>(row.mode));
        if (row.refused) {
            EXPECT_THROW(writeRecord(folder / "r.dat", std::vector<std::uint8_t>{9}), IoError);
            EXPECT_EQ(modeOf(folder / "r.dat"), row.mode);
            fs::permissions(folder / "r.dat", fs::perms::owner_read, fs::perm_options::add);
            EXPECT_EQ(readBytes(folder / "r.dat"), old);
        } else {
            writeRecord(folder / "r.dat", std::vector<std::uint8_t>{9});
            EXPECT_EQ(modeOf(folder / "r.dat"), row.mode);
            fs::permissions(folder / "r.dat", fs::perms::owner_read, fs::perm_options::add);
            EXPECT_EQ(readBytes(folder / "r.dat"), std::vector<std::uint8_t>{9});
        }
        EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"r.dat"});
    }
}

TEST(RecordFile, RootRewritingAnotherUsersFileGivesItBack)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    TempFolder folder;
    writeBytes(folder / "r.dat", {1, 2});
    constexpr uid_t kNobody = 65534;
    ASSERT_EQ(::chown((folder / "r.dat").c_str(), kNobody, kNobody), 0);
    writeRecord(folder / "r.dat", std::vector<std::uint8_t>{7});
    struct stat info {};
    ASSERT_EQ(::stat((folder / "r.dat").c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, kNobody);
    EXPECT_EQ(info.st_gid, kNobody);
    EXPECT_EQ(readBytes(folder / "r.dat"), std::vector<std::uint8_t>{7});
}

TEST(RecordFile, ALinkedFileGetsItsTargetReplacedAndStaysALink)
{
    struct Row {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links; // link, what it points to
        std::string target;                                      // the file that must receive the bytes
    };
    const Row rows[] = {
        {"absolute", {{"r.dat", "@/data/real.dat"}}, "data/real.dat"},
        {"relative", {{"r.dat", "data/real.dat"}}, "data/real.dat"},
        {"chain", {{"r.dat", "hop.dat"}, {"hop.dat", "data/real.dat"}}, "data/real.dat"},
        {"dangling", {{"r.dat", "data/new.dat"}}, "data/new.dat"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder folder({"data"});
        writeBytes(folder / "data/real.dat", {1, 2, 3});
        for (const auto& [link, to] : row.links)
            fs::create_symlink(to[0] == '@' ? folder.path().string() + to.substr(1) : to, folder / link);

        // The temporary file lies beside the target, not beside the link.
        std::set<std::string> linkFolderAtRename;
        std::set<std::string> targetFolderAtRename;
        {
            WriteFault watch([&](RecordWriteStep step) {
                if (step == RecordWriteStep::Rename) {
                    linkFolderAtRename = namesIn(folder.path());
                    targetFolderAtRename = namesIn(folder / "data");
                }
                return true;
            });
            writeRecord(folder / "r.dat", std::vector<std::uint8_t>{9, 9});
        }
        EXPECT_TRUE(fs::is_symlink(fs::symlink_status(folder / "r.dat")));
        EXPECT_EQ(readBytes(folder / row.target), (std::vector<std::uint8_t>{9, 9}));
        std::set<std::string> links;
        for (const auto& [link, to] : row.links)
            links.insert(link);
        links.insert("data");
        EXPECT_EQ(linkFolderAtRename, links);
        std::size_t temporariesBesideTarget = 0;
        for (const auto& name : targetFolderAtRename)
            temporariesBesideTarget += isTemporaryFileName(name) ? 1 : 0;
        EXPECT_EQ(temporariesBesideTarget, 1u);
        EXPECT_EQ(namesIn(folder.path()), links);
    }
}

TEST(RecordFile, ALoopOfLinksFailsAndWritesNothing)
{
    TempFolder folder;
    fs::create_symlink("b.dat", folder / "a.dat");
    fs::create_symlink("a.dat", folder / "b.dat");
    EXPECT_THROW(writeRecord(folder / "a.dat", std::vector<std::uint8_t>{1}), IoError);
    EXPECT_EQ(namesIn(folder.path()), (std::set<std::string>{"a.dat", "b.dat"}));
}

TEST(RecordFile, TwoWritersOfOneFileNeverShareATemporaryFile)
{
    TempFolder folder;
    writeBytes(folder / "r.dat", {0});
    // Another copy of the program writes the same file while this write is
    // about to rename: each renames only its own complete bytes.
    const std::vector<std::uint8_t> mine(1000, 'A');
    const std::vector<std::uint8_t> theirs(500, 'B');
    std::set<std::string> temporaries;
    bool inner = false;
    {
        WriteFault interleave([&](RecordWriteStep step) {
            if (step == RecordWriteStep::Rename) {
                for (const auto& name : namesIn(folder.path()))
                    if (name != "r.dat")
                        temporaries.insert(name);
                if (!inner) {
                    inner = true;
                    writeRecord(folder / "r.dat", theirs);
                    EXPECT_EQ(readBytes(folder / "r.dat"), theirs);
                }
            }
            return true;
        });
        writeRecord(folder / "r.dat", mine);
    }
    EXPECT_EQ(readBytes(folder / "r.dat"), mine);
    EXPECT_EQ(temporaries.size(), 2u);
    for (const auto& name : temporaries)
        EXPECT_TRUE(isTemporaryFileName(name)) << name;
    EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"r.dat"});
}

TEST(RecordFile, SomethingInTheWayOfTheOldTemporaryNameNoLongerBlocksAWrite)
{
    TempFolder folder;
    writeBytes(folder / "r.dat", {1});
    fs::create_directory(temporaryPathFor(folder / "r.dat"));
    writeRecord(folder / "r.dat", std::vector<std::uint8_t>{2});
    EXPECT_EQ(readBytes(folder / "r.dat"), std::vector<std::uint8_t>{2});
}

TEST(RecordFile, StaleTemporaryFilesOfOursAreRemovedAndNothingElse)
{
    struct Row {
        const char* name;
        enum Kind { File, Folder, Link } kind;
        bool old;
        bool removed;
    };
    const Row rows[] = {
        {"r.dat.0123456789abcdef.tmp~", Row::File, true, true},
        {"firma.dat.fedcba9876543210.tmp~", Row::File, true, true},
        {"r.dat.tmp~", Row::File, true, true},                   // the earlier versions' name
        {"s.dat.0123456789abcdef.tmp~", Row::File, false, false}, // maybe being written right now
        {"r.dat", Row::File, true, false},
        {"notatka.txt", Row::File, true, false},
        {"tmp~", Row::File, true, false},
        {"stary.tmp~x", Row::File, true, false},
        {"kat.tmp~", Row::Folder, true, false},
        {"link.tmp~", Row::Link, true, false},
    };
    TempFolder folder;
    const auto longAgo = fs::file_time_type::clock::now() - std::chrono::minutes(2);
    for (const Row& row : rows) {
        const fs::path path = folder / row.name;
        if (row.kind == Row::Folder)
            fs::create_directory(path);
        else if (row.kind == Row::Link)
            fs::create_symlink("r.dat", path);
        else
            writeBytes(path, {1});
        if (row.old && row.kind != Row::Link)
            fs::last_write_time(path, longAgo);
    }

    std::size_t expectedRemoved = 0;
    for (const Row& row : rows)
        expectedRemoved += row.removed ? 1 : 0;
    EXPECT_EQ(removeStaleTemporaryFiles(folder.path()), expectedRemoved);
    for (const Row& row : rows)
        EXPECT_EQ(fs::exists(fs::symlink_status(folder / row.name)), !row.removed) << row.name;

    EXPECT_EQ(removeStaleTemporaryFiles(folder / "brak"), 0u);
}

TEST(RecordFile, WriteIntoMissingFolderFails)
{
    TempFolder folder;
    EXPECT_THROW(writeRecord(folder / "NOTATKI/x.dat", std::vector<std::uint8_t>{1}), IoError);
    EXPECT_THROW(createZeroRecordIfMissing(folder / "NOTATKI/x.dat", 4), IoError);
    EXPECT_TRUE(namesIn(folder.path()).empty());
}

TEST(RecordFile, WriteOverAFolderFailsAndLeavesIt)
{
    TempFolder folder({"r.dat"});
    EXPECT_THROW(writeRecord(folder / "r.dat", std::vector<std::uint8_t>{1}), IoError);
    EXPECT_TRUE(fs::is_directory(folder / "r.dat"));
    EXPECT_EQ(namesIn(folder.path()), std::set<std::string>{"r.dat"});
}

TEST(RecordFile, CreateIfMissingNeverTouchesAnExistingFile)
{
    TempFolder folder;
    createZeroRecordIfMissing(folder / "z.dat", 5);
    EXPECT_EQ(readBytes(folder / "z.dat"), std::vector<std::uint8_t>(5, 0));
    writeBytes(folder / "z.dat", {4, 4});
    createZeroRecordIfMissing(folder / "z.dat", 5);
    EXPECT_EQ(readBytes(folder / "z.dat"), (std::vector<std::uint8_t>{4, 4}));
}

TEST(RecordFile, ANewFileGetsTheUsualPermissions)
{
    TempFolder folder;
    const mode_t mask = ::umask(022);
    writeRecord(folder / "n.dat", std::vector<std::uint8_t>{1});
    ::umask(mask);
    EXPECT_EQ(modeOf(folder / "n.dat"), 0644u);
}
