// Two programs working on one data folder at once: every file stays one whole
// record that one of them wrote, and the last writer wins.
#include "child_process.h"
#include "stress_contents.h"

#include "store/contact_book.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include <fcntl.h>
#include <sys/wait.h>
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

// One byte through a pipe; false when the other end is gone.
bool send(int fd, char byte)
{
    return ::write(fd, &byte, 1) == 1;
}

char receive(int fd)
{
    char byte = 0;
    return ::read(fd, &byte, 1) == 1 ? byte : '\0';
}

// Two copies of the program store the contact database at once, one of them
// paused between reading the file and replacing it, as on a slow share: the
// other waits for it, and the file ends with both copies' new contacts.
TEST(SharedDataFolder, TwoCopiesStoringTheContactsAtOnceLoseNoContact)
{
    TempFolder folder{"NOTATKI"};
    {
        ContactBook first(folder.path());
        first.load();
        first.add("Adam");
        first.store();
    }
    ContactBook here(folder.path());
    here.load();
    here.add("Tutaj");

    int paused[2];
    int resume[2];
    ASSERT_EQ(::pipe2(paused, O_CLOEXEC), 0);
    ASSERT_EQ(::pipe2(resume, O_CLOEXEC), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The other copy: only plain file work here, then out without cleanup.
        int status = 1;
        try {
            ContactBook there(folder.path());
            there.load();
            there.add("Tam");
            there.setBeforeWriteForTests([&] {
                send(paused[1], 'p');
                receive(resume[0]);
            });
            there.store();
            status = 0;
        } catch (...) {
        }
        ::_exit(status);
    }
    ::close(paused[1]);
    ::close(resume[0]);
    ASSERT_EQ(receive(paused[0]), 'p');

    // This copy stores while the other is paused: it finds the lock taken,
    // lets the other go on and waits until the other has ended.
    int otherStatus = -1;
    int pauses = 0;
    LockWait wait;
    wait.retries = 3;
    wait.pause = [&] {
        if (++pauses == 1) {
            send(resume[1], 'g');
            ::waitpid(child, &otherStatus, 0);
        }
    };
    here.setLockWait(wait);
    here.store();
    if (otherStatus == -1) { // it never waited: let the other finish anyway
        send(resume[1], 'g');
        ::waitpid(child, &otherStatus, 0);
    }
    ::close(paused[0]);
    ::close(resume[1]);
    EXPECT_TRUE(WIFEXITED(otherStatus) && WEXITSTATUS(otherStatus) == 0) << "the other copy failed";
    EXPECT_EQ(pauses, 1) << "this copy did not wait for the other";

    ContactBook reread(folder.path());
    reread.load();
    EXPECT_EQ(reread.entries(), (std::vector<std::string>{"000 Adam", "001 Tutaj", "002 Tam"}));
}

} // namespace
} // namespace wirtello::test
