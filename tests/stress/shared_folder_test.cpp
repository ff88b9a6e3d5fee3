// Two programs working on one data folder at once: every file stays one whole
// record that one of them wrote, and the last writer wins.
#include "child_process.h"
#include "stress_contents.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include <fcntl.h>
#include <unistd.h>

namespace wirtello::test {
namespace {

namespace fs = std::filesystem;

constexpr int kRounds = 40;
constexpr int kWriters = 2;

// The records of a log, in the order they were appended.
std::vector<std::vector<std::uint8_t>> records(const fs::path& log, std::size_t size)
{
    const std::vector<std::uint8_t> bytes = fs::exists(log) ? readBytes(log) : std::vector<std::uint8_t>{};
    EXPECT_EQ(bytes.size() % size, 0u) << log;
    std::vector<std::vector<std::uint8_t>> found;
    for (std::size_t at = 0; at + size <= bytes.size(); at += size)
        found.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                           bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
    return found;
}

TEST(SharedDataFolder, TwoProgramsLeaveWholeRecordsAndTheLastWriterWins)
{
    TempFolder folder{"dane/Admini", "dane/DOKUMENTY", "logi"};
    const fs::path data = folder / "dane";
    const fs::path logs = folder / "logi";

    // Both wait for this pipe to close, so they start together.
    int start[2];
    ASSERT_EQ(::pipe2(start, O_CLOEXEC), 0);
    std::vector<std::unique_ptr<ChildProcess>> writers;
    for (int writer = 1; writer <= kWriters; ++writer)
        writers.push_back(std::make_unique<ChildProcess>(
            WIRTELLO_STORE_LOOP,
            std::vector<std::string>{"shared", data.string(), std::to_string(writer), std::to_string(kRounds), logs.string()},
            start[0]));
    ::close(start[0]);
    for (auto& writer : writers)
        ASSERT_EQ(writer->readLine(), "r");
    ::close(start[1]);
    for (auto& writer : writers)
        ASSERT_TRUE(exitedCleanly(writer->wait())) << "a writer failed (its message is above)";

    for (const SharedFile file : kSharedFiles) {
        SCOPED_TRACE(sharedFileName(file));
        const std::size_t size = sharedFileSize(file);
        std::set<std::vector<std::uint8_t>> written{sharedFileInitial(file)};
        std::set<std::vector<std::uint8_t>> lastWritten;
        std::vector<std::vector<std::uint8_t>> read;
        for (int writer = 1; writer <= kWriters; ++writer) {
            const auto own = records(writtenLogPath(logs, writer, file), size);
            ASSERT_EQ(own.size(), static_cast<std::size_t>(kRounds));
            written.insert(own.begin(), own.end());
            lastWritten.insert(own.back());
            const auto seen = records(readLogPath(logs, writer, file), size);
            read.insert(read.end(), seen.begin(), seen.end());
        }
        // What either program read while the other wrote was a whole record.
        const auto mixed = std::count_if(read.begin(), read.end(), [&](const auto& r) { return !written.contains(r); });
        EXPECT_EQ(mixed, 0) << "records read that nobody wrote";
        const std::vector<std::uint8_t> final = readBytes(sharedFilePath(data, file));
        EXPECT_TRUE(lastWritten.contains(final)) << "the file is not the last record of either program";
    }

    // Each program read company data the other one wrote: they really worked at once.
    const std::size_t companySize = sharedFileSize(SharedFile::Company);
    for (int writer = 1; writer <= kWriters; ++writer) {
        const auto own = records(writtenLogPath(logs, writer, SharedFile::Company), companySize);
        const auto other = records(writtenLogPath(logs, kWriters + 1 - writer, SharedFile::Company), companySize);
        const auto seen = records(readLogPath(logs, writer, SharedFile::Company), companySize);
        const std::set<std::vector<std::uint8_t>> otherSet(other.begin(), other.end());
        EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [&](const auto& r) { return otherSet.contains(r); }))
            << "writer " << writer << " never saw the other's data";
    }

    // The numbering file is the record the last number taken left behind.
    std::int32_t highest = 0;
    for (int writer = 1; writer <= kWriters; ++writer)
        for (const auto& taken : records(numbersLogPath(logs, writer), sizeof(std::int32_t))) {
            std::int32_t number = 0;
            std::memcpy(&number, taken.data(), sizeof number);
            highest = std::max(highest, number);
        }
    EXPECT_EQ(readBytes(numberingPath(data, DocumentKind::Kp)), numberingBytes(highest + 1, ""));
}

} // namespace
} // namespace wirtello::test
