#include "cash/numbering_file.h"
#include "tests/cash/numbering_bytes.h"

#include "store/io_error.h"
#include "store/record_file.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <fstream>
#include <set>
#include <thread>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace wirtello {
namespace {

using test::numberingBytes;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

std::int32_t storedNumber(const std::filesystem::path& path)
{
    return loadRecord<NumberingRecord>(path).number(kNumberField);
}

TEST(NumberingFile, IsCreatedWithNumberOneForItsKindOnly)
{
    TempFolder folder({"DOKUMENTY"});
    const auto kp = numberingPath(folder.path(), DocumentKind::Kp);
    const auto kw = numberingPath(folder.path(), DocumentKind::Kw);
    EXPECT_EQ(kp, folder / "DOKUMENTY/nrkp.dat");
    EXPECT_EQ(kw, folder / "DOKUMENTY/nrkw.dat");

    createNumberingFileIfMissing(kp);
    EXPECT_EQ(readBytes(kp), numberingBytes(1, ""));
    EXPECT_FALSE(std::filesystem::exists(kw));

    // An existing file is never replaced by a new one.
    writeBytes(kp, numberingBytes(41, "2026"));
    createNumberingFileIfMissing(kp);
    EXPECT_EQ(readBytes(kp), numberingBytes(41, "2026"));
}

TEST(NumberingFile, TakingANumberReturnsTheStoredOneAndLeavesTheNext)
{
    TempFolder folder({"DOKUMENTY"});
    const auto path = numberingPath(folder.path(), DocumentKind::Kp);
    createNumberingFileIfMissing(path);

    const DocumentNumber first = takeDocumentNumber(path);
    EXPECT_EQ(first.number, 1);
    EXPECT_EQ(first.extension, "");
    EXPECT_EQ(readBytes(path), numberingBytes(2, ""));

    // The extension and the bytes after it go back as they were.
    auto bytes = numberingBytes(5, "2026/ż");
    bytes[14] = 0x7A;
    writeBytes(path, bytes);
    const DocumentNumber fifth = takeDocumentNumber(path);
    EXPECT_EQ(fifth.number, 5);
    EXPECT_EQ(fifth.extension, "2026/ż");
    bytes[0] = 6;
    EXPECT_EQ(readBytes(path), bytes);

    // A length byte beyond the field, from a file we did not write, reads as 10.
    bytes = numberingBytes(7, "abcdefghij");
    bytes[4] = 200;
    writeBytes(path, bytes);
    EXPECT_EQ(takeDocumentNumber(path).extension, "abcdefghij");
    EXPECT_EQ(readBytes(path), numberingBytes(8, "abcdefghij"));
}

TEST(NumberingFile, DamagedOrMissingFilesAreErrorsAndConsumeNothing)
{
    TempFolder folder({"DOKUMENTY"});
    const auto path = numberingPath(folder.path(), DocumentKind::Kw);
    auto shortFile = numberingBytes(9, "x");
    shortFile.resize(14);
    for (const auto& bytes : {std::vector<std::uint8_t>{}, shortFile}) {
        writeBytes(path, bytes);
        EXPECT_THROW(takeDocumentNumber(path), IoError) << bytes.size();
        EXPECT_THROW(readNextDocumentNumber(path), IoError) << bytes.size();
        EXPECT_EQ(readBytes(path), bytes);
    }

    // Taking a number and looking at the next one call the damage by one name.
    writeBytes(path, shortFile);
    for (const auto& read : {std::function<void()>([&] { takeDocumentNumber(path); }),
                             std::function<void()>([&] { readNextDocumentNumber(path); })}) {
        try {
            read();
            ADD_FAILURE() << "a damaged file gave a number";
        } catch (const IoError& error) {
            EXPECT_EQ(error.operation(), "Uszkodzony plik numeratora");
        }
    }

    std::filesystem::remove(path);
    EXPECT_THROW(takeDocumentNumber(path), IoError);
    EXPECT_FALSE(std::filesystem::exists(path));

    // No "DOKUMENTY": the file cannot be created.
    TempFolder bare;
    EXPECT_THROW(createNumberingFileIfMissing(numberingPath(bare.path(), DocumentKind::Kp)), IoError);
}

// Another program's lock is waited for a short while, not forever: a lock let
// go meanwhile gives the number, one held throughout is refused.
TEST(NumberingFile, ALockHeldElsewhereIsAwaitedForAWhileThenRefused)
{
    using namespace std::chrono_literals;
    TempFolder folder({"DOKUMENTY"});
    const auto path = numberingPath(folder.path(), DocumentKind::Kp);
    for (const bool letGo : {true, false}) {
        writeBytes(path, numberingBytes(8, "A"));
        test::HeldNumberingLock other(path);
        ASSERT_TRUE(other.held());
        std::thread release([&] {
            std::this_thread::sleep_for(150ms);
            if (letGo)
                other.release();
        });
        int waits = 0;
        bool refused = false;
        try {
            takeDocumentNumber(path, 600ms, [&waits] { ++waits; });
        } catch (const NumberingRefused&) {
            refused = true;
        }
        release.join();
        EXPECT_EQ(refused, !letGo);
        EXPECT_EQ(waits, 1);
        EXPECT_EQ(readBytes(path), numberingBytes(letGo ? 9 : 8, "A"));
    }
}

TEST(NumberingFile, AFailedWriteLeavesTheOldNumber)
{
    TempFolder folder({"DOKUMENTY"});
    const auto path = numberingPath(folder.path(), DocumentKind::Kp);
    writeBytes(path, numberingBytes(12, "A"));
    for (const RecordWriteStep failing :
         {RecordWriteStep::CreateTemporary, RecordWriteStep::WriteBytes, RecordWriteStep::Rename}) {
        setRecordWriteFaultForTests([failing](RecordWriteStep step) { return step != failing; });
        EXPECT_THROW(takeDocumentNumber(path), IoError);
        setRecordWriteFaultForTests(nullptr);
        EXPECT_EQ(readBytes(path), numberingBytes(12, "A"));
    }
    EXPECT_EQ(takeDocumentNumber(path).number, 12);
    EXPECT_EQ(storedNumber(path), 13);
}

// A folder in memory where the system has one: the locking is the same, and
// two thousand flushes to disk would make the test slow.
struct MemoryTempFolder {
    MemoryTempFolder()
    {
        const char* old = std::getenv("TMPDIR");
        if (old)
            previous = old;
        if (std::filesystem::is_directory("/dev/shm"))
            ::setenv("TMPDIR", "/dev/shm", 1);
        folder = std::make_unique<TempFolder>(std::initializer_list<const char*>{"DOKUMENTY"});
        if (old)
            ::setenv("TMPDIR", previous.c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    std::string previous;
    std::unique_ptr<TempFolder> folder;
};

// Two processes stand in for two computers printing into one shared folder.
TEST(NumberingFile, TwoProcessesNumberingAtOnceNeverShareANumber)
{
    MemoryTempFolder memory;
    const TempFolder& folder = *memory.folder;
    const auto path = numberingPath(folder.path(), DocumentKind::Kp);
    createNumberingFileIfMissing(path);
    constexpr int kEach = 1000;

    std::vector<pid_t> children;
    for (int child = 0; child < 2; ++child) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            int status = 0;
            try {
                std::ofstream out(folder / ("taken" + std::to_string(child) + ".txt"));
                for (int i = 0; i < kEach; ++i)
                    out << takeDocumentNumber(path).number << '\n';
                out.close();
                status = out ? 0 : 2;
            } catch (...) {
                status = 1;
            }
            ::_exit(status);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = -1;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }

    std::set<std::int32_t> numbers;
    for (int child = 0; child < 2; ++child) {
        std::ifstream in(folder / ("taken" + std::to_string(child) + ".txt"));
        std::int32_t number = 0;
        int count = 0;
        while (in >> number) {
            numbers.insert(number);
            ++count;
        }
        EXPECT_EQ(count, kEach);
    }
    EXPECT_EQ(numbers.size(), 2u * kEach);
    EXPECT_EQ(*numbers.begin(), 1);
    EXPECT_EQ(*numbers.rbegin(), 2 * kEach);
    EXPECT_EQ(storedNumber(path), 2 * kEach + 1);
}

} // namespace
} // namespace wirtello
