// Two copies of the program storing the contact database: read, merge and
// replace happen under one lock, and a copy that waits in vain says who holds
// it and loses nothing.
#include "store/contact_book.h"
#include "store/contact_store_lock.h"
#include "store/safe_file.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace wirtello {
namespace {

using test::readBytes;
using test::TempFolder;

std::vector<std::string> displaysInFile(const std::filesystem::path& folder)
{
    ContactDatabase file;
    file.load(contactDatabasePath(folder));
    std::vector<std::string> texts;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (file.isUsed(slot))
            texts.push_back(file.text(ContactField::Display, slot));
    }
    return texts;
}

std::string thisComputer()
{
    char name[256] = {};
    EXPECT_EQ(::gethostname(name, sizeof name - 1), 0);
    return name;
}

// A wait of `retries` tries that records what the window would show and runs
// `atPause` at each pause instead of sleeping.
struct RecordedWait {
    std::vector<bool> cursor;
    int pauses = 0;
    std::function<void(int pause)> atPause = [](int) {};

    LockWait wait(int retries)
    {
        LockWait wait;
        wait.retries = retries;
        wait.waiting = [this](bool shown) { cursor.push_back(shown); };
        wait.pause = [this] { atPause(++pauses); };
        return wait;
    }
};

TEST(ContactStoreLock, ACopyThatWaitsInVainNamesTheHolderAndLosesNothing)
{
    TempFolder folder({"NOTATKI"});
    ContactBook book(folder.path());
    book.load();
    book.add("Adam");
    book.store();
    const std::vector<std::uint8_t> before = readBytes(book.databasePath());

    book.add("Bartek");
    std::optional<ContactStoreLock> other = ContactStoreLock::tryTake(book.databasePath());
    ASSERT_TRUE(other);
    RecordedWait recorded;
    book.setLockWait(recorded.wait(3));
    try {
        book.store();
        FAIL() << "stored while another copy held the lock";
    } catch (const ContactStoreBusy& busy) {
        EXPECT_EQ(busy.holder().computer, thisComputer());
        EXPECT_EQ(busy.holder().pid, static_cast<long>(::getpid()));
        EXPECT_NE(busy.operation().find("komputer „" + thisComputer() + "”, proces " + std::to_string(::getpid())),
                  std::string::npos)
            << busy.operation();
        EXPECT_EQ(busy.path(), book.databasePath());
    }
    EXPECT_EQ(recorded.pauses, 3);
    EXPECT_EQ(recorded.cursor, (std::vector<bool>{true, false}));
    EXPECT_EQ(readBytes(book.databasePath()), before);
    EXPECT_EQ(book.entries(), (std::vector<std::string>{"000 Adam", "001 Bartek"}));
    // An add waits for the same lock: the counter is never read by two at once.
    EXPECT_THROW(book.add("Cezary"), ContactStoreBusy);
    EXPECT_EQ(book.rowCount(), 2);

    // Once the other copy is done, trying again stores everything.
    other.reset();
    EXPECT_EQ(readLockHolder(contactLockPath(book.databasePath())).pid, 0) << "the holder is wiped when released";
    book.store();
    EXPECT_EQ(displaysInFile(folder.path()), (std::vector<std::string>{"000 Adam", "001 Bartek"}));
}

TEST(ContactStoreLock, TheWaitEndsWhenTheOtherCopyLetsGo)
{
    TempFolder folder({"NOTATKI"});
    ContactBook book(folder.path());
    book.load();
    std::optional<ContactStoreLock> other = ContactStoreLock::tryTake(book.databasePath());
    RecordedWait recorded;
    recorded.atPause = [&](int pause) {
        if (pause == 2)
            other.reset();
    };
    book.setLockWait(recorded.wait(50));
    book.add("Adam");
    EXPECT_EQ(recorded.pauses, 2);
    EXPECT_EQ(recorded.cursor, (std::vector<bool>{true, false}));
    book.store();
    EXPECT_EQ(recorded.pauses, 2) << "a free lock is taken without waiting";
    EXPECT_EQ(displaysInFile(folder.path()), std::vector<std::string>{"000 Adam"});
}

// What another copy stores while this one is between reading the file and
// replacing it is not replaced unseen: that copy waits, and stores after.
TEST(ContactStoreLock, AContactStoredFromOutsideDuringTheMergeIsKept)
{
    TempFolder folder({"NOTATKI"});
    ContactBook book(folder.path());
    book.load();
    book.add("Adam");
    book.store();

    ContactBook outside(folder.path());
    outside.load();
    outside.add("Dorota");
    RecordedWait outsideWait;
    outside.setLockWait(outsideWait.wait(0));
    book.add("Bartek");
    bool outsideStored = false;
    book.setBeforeWriteForTests([&] {
        try {
            outside.store();
            outsideStored = true;
        } catch (const ContactStoreBusy&) {
        }
    });
    book.store();
    book.setBeforeWriteForTests({});
    if (!outsideStored)
        outside.store(); // tries again once the lock is free
    EXPECT_FALSE(outsideStored) << "the outside copy stored in the middle of the merge";
    EXPECT_EQ(displaysInFile(folder.path()), (std::vector<std::string>{"000 Adam", "001 Dorota", "002 Bartek"}));
}

TEST(ContactStoreLock, ALockFileThatIsNoFileOrLeadsOutIsRefused)
{
    struct Case {
        const char* name;
        std::function<void(const std::filesystem::path& lockFile, const std::filesystem::path& outside)> put;
    };
    const std::vector<Case> cases = {
        {"folder", [](const auto& lockFile, const auto&) { std::filesystem::create_directory(lockFile); }},
        {"pipe", [](const auto& lockFile, const auto&) { ASSERT_EQ(::mkfifo(lockFile.c_str(), 0644), 0); }},
        {"link out", [](const auto& lockFile, const auto& outside) {
             std::filesystem::create_symlink(outside / "obcy.lock", lockFile);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder({"program/NOTATKI", "obce"});
        const std::filesystem::path program = trustFolderTree(folder / "program");
        ContactBook book(program);
        book.load();
        book.add("Adam");
        book.store();
        const std::vector<std::uint8_t> before = readBytes(book.databasePath());
        book.add("Bartek");
        std::filesystem::remove(contactLockPath(book.databasePath()));
        c.put(contactLockPath(book.databasePath()), folder / "obce");
        try {
            book.store();
            ADD_FAILURE() << "stored without the lock";
        } catch (const IoError& error) {
            EXPECT_EQ(error.operation(), kLockFileFailed);
        }
        EXPECT_EQ(readBytes(book.databasePath()), before);
        EXPECT_TRUE(std::filesystem::is_empty(folder / "obce"));
    }
}

} // namespace
} // namespace wirtello
