// The contact book without any window: ids, slots, compaction and when the
// database file may be written.
#include "store/contact_book.h"
#include "store/io_error.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace wirtello {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

std::vector<std::string> displays(const ContactBook& book)
{
    std::vector<std::string> texts;
    for (const int slot : book.rowSlots())
        texts.push_back(book.text(ContactField::Display, slot));
    return texts;
}

TEST(ContactBook, IdsGrowAndAreNeverHandedOutTwice)
{
    TempFolder folder({"NOTATKI"});
    ContactBook book(folder.path());
    book.load();
    for (const char* name : {"Adam", "Bartek", "Cezary"})
        book.add(name);
    EXPECT_EQ(readBytes(book.counterPath()), std::vector<std::uint8_t>({3, 0, 0, 0}));

    book.setText(ContactField::Street, 2, "Polna 1");
    book.remove(1);
    book.store();
    const ContactBook::Added added = book.add("Dawid");
    EXPECT_EQ(added.row, 2);
    EXPECT_EQ(displays(book), (std::vector<std::string>{"000 Adam", "002 Cezary", "003 Dawid"}));
    // Fields travel with their contact and the ids stay.
    EXPECT_EQ(book.text(ContactField::Street, 1), "Polna 1");
    EXPECT_EQ(book.text(ContactField::Id, 1), "002");
    EXPECT_EQ(book.rename(1, "Cezary Nowak"), "002 Cezary Nowak");

    ContactBook reread(folder.path());
    reread.load();
    EXPECT_EQ(displays(reread), (std::vector<std::string>{"000 Adam", "002 Cezary"}));
}

TEST(ContactBook, SlotsOfADatabaseWithGaps)
{
    TempFolder folder({"NOTATKI"});
    ContactDatabase database;
    for (const auto& [slot, text] : std::vector<std::pair<int, const char*>>{{0, "000 A"}, {2, "001 B"}, {5, "002 C"}})
        database.setText(ContactField::Display, slot, text);
    database.store(contactDatabasePath(folder.path()));
    writeBytes(idCounterPath(folder.path()), {3, 0, 0, 0});

    ContactBook book(folder.path());
    book.load();
    EXPECT_EQ(book.rowSlots(), (std::vector<int>{0, 2, 5}));
    EXPECT_EQ(book.slotOfRow(2), 5);
    EXPECT_EQ(book.slotOfRow(3), -1);
    EXPECT_EQ(book.add("D").row, 3);
    EXPECT_EQ(book.rowSlots(), (std::vector<int>{0, 2, 5, 6})); // after the last used slot
    book.remove(0);
    EXPECT_EQ(book.rowSlots(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(displays(book), (std::vector<std::string>{"001 B", "002 C", "003 D"}));
}

TEST(ContactBook, AddCheckNamesWhatStopsIt)
{
    struct Row {
        std::vector<std::uint8_t> counter;
        int usedSlots;
        ContactBook::AddCheck expected;
    };
    const std::vector<Row> rows = {
        {{0, 0, 0, 0}, 0, ContactBook::AddCheck::Possible},
        {{0xE7, 0x03, 0, 0}, 0, ContactBook::AddCheck::Possible},        // 999 is the last id
        {{0xE8, 0x03, 0, 0}, 0, ContactBook::AddCheck::IdsExhausted},    // 1000
        {{0xFF, 0xFF, 0xFF, 0xFF}, 0, ContactBook::AddCheck::IdsExhausted}, // -1
        {{5, 0, 0, 0}, kSlotCount, ContactBook::AddCheck::Full},
    };
    for (const Row& row : rows) {
        TempFolder folder({"NOTATKI"});
        ContactDatabase database;
        for (int slot = 0; slot < row.usedSlots; ++slot)
            database.setText(ContactField::Display, slot, "x");
        database.store(contactDatabasePath(folder.path()));
        writeBytes(idCounterPath(folder.path()), row.counter);
        ContactBook book(folder.path());
        book.load();
        EXPECT_EQ(book.checkAdd(), row.expected) << int(row.counter[0]) << " " << row.usedSlots;
    }
}

TEST(ContactBook, ACounterThatCannotBeWrittenAddsNothing)
{
    TempFolder folder({"NOTATKI"});
    ContactBook book(folder.path());
    book.load();
    std::filesystem::remove(book.counterPath());
    std::filesystem::create_directory(book.counterPath()); // neither readable nor writable as a file
    EXPECT_THROW(book.add("Adam"), IoError);
    EXPECT_EQ(book.rowCount(), 0);
    EXPECT_FALSE(book.isUsed(0));
}

// A database that could not be read must never be written over, and the book
// refuses every change until it was read.
TEST(ContactBook, UnreadDatabaseIsNeverWritten)
{
    TempFolder folder({"NOTATKI"});
    const std::vector<std::uint8_t> damaged(100, 7);
    writeBytes(contactDatabasePath(folder.path()), damaged);
    ContactBook book(folder.path());
    EXPECT_THROW(book.load(), IoError);
    EXPECT_FALSE(book.isLoaded());
    EXPECT_EQ(book.rowCount(), 0);
    EXPECT_THROW(book.add("Adam"), std::logic_error);
    EXPECT_THROW(book.remove(0), std::logic_error);
    EXPECT_THROW(book.setText(ContactField::Street, 0, "x"), std::logic_error);
    book.store();
    EXPECT_EQ(readBytes(contactDatabasePath(folder.path())), damaged);
    EXPECT_EQ(readBytes(idCounterPath(folder.path())), std::vector<std::uint8_t>({0, 0, 0, 0}));
}

} // namespace
} // namespace wirtello

namespace wirtello {
namespace {

// Find next over the entries: whole letters, case-sensitive, after the given row only.
TEST(ContactBook, NextRowContainingMatchesEntriesAfterTheRow)
{
    TempFolder folder({"NOTATKI"});
    ContactBook book(folder.path());
    book.load();
    for (const char* name : {"Adam", "Przykładowa", "Łukasz", "Pytanie?"})
        book.add(name);
    const struct {
        int after;
        const char* wanted;
        int row;
    } rows[] = {
        {-1, "Adam", 0}, {0, "Adam", -1}, {-1, "przyk", -1}, {-1, "kład", 1}, {1, "Ł", 2}, {-1, "001", 1},
        {-1, "", -1},    {-1, "ñ", -1},   {-1, "?ñ", -1},   {2, "?", 3},     {3, "?", -1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(book.nextRowContaining(row.after, row.wanted), row.row) << row.wanted << " after " << row.after;
}

// A name longer than a slot holds is listed whole until the list is read
// anew; the file keeps it cut.
TEST(ContactBook, EntriesListNamesAsTypedUntilReadAnew)
{
    TempFolder folder({"NOTATKI"});
    ContactBook book(folder.path());
    book.load();
    const std::string longName(230, 'n');
    book.add("Adam");
    book.add(longName);
    book.rename(0, "Añna");
    EXPECT_EQ(book.entries(), (std::vector<std::string>{"000 Añna", "001 " + longName}));
    EXPECT_EQ(book.nextRowContaining(-1, std::string(220, 'n')), 1);
    book.remove(0);
    EXPECT_EQ(book.entries(), (std::vector<std::string>{"001 " + longName.substr(0, 196)}));
}

TEST(ContactBook, PhotoPathStorableOnlyWhenItComesBackTheSame)
{
    EXPECT_TRUE(ContactBook::photoPathStorable("C:\\Zdjęcia\\Łukasz.jpg"));
    EXPECT_TRUE(ContactBook::photoPathStorable(std::string(250, 'a')));
    EXPECT_FALSE(ContactBook::photoPathStorable(std::string(251, 'a')));
    EXPECT_FALSE(ContactBook::photoPathStorable("/zdjęcia/Фото.jpg"));
}

// A removed contact's notes, comments, register and tasks stay in the
// companion folders; when an older NOTATKI is restored (its counter from
// before that contact was added), its id must not be handed out again.
TEST(ContactBook, AnIdThatCompanionFilesAreStillNamedForIsNeverHandedOutAgain)
{
    struct Row {
        const char* name;
        std::vector<const char*> files; // below the program folder; a trailing '/' makes a folder
        std::string expectedId;
    };
    const std::vector<Row> rows = {
        {"note", {"brulion/006.txt"}, "007"},
        {"comments and their lock", {"uwagi/006.kom", "uwagi/007.kom.lock"}, "008"},
        {"register and tasks", {"segregator/006.lis", "KALENDARIUM/007.adr"}, "008"},
        {"a folder of the id", {"segregator/006/"}, "007"},
        {"a damaged file kept aside", {"brulion/006.txt.uszkodzony-20261207-101010"}, "007"},
        {"names of no id", {"brulion/0061.txt", "brulion/abc.txt", "brulion/06.txt", "Eksport/006.csv"}, "006"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder folder({"NOTATKI", "brulion", "uwagi", "segregator", "KALENDARIUM", "Eksport"});
        ContactBook earlier(folder.path());
        earlier.load();
        for (const char* name : {"A", "B", "C", "D", "E", "F"})
            earlier.add(name);
        earlier.store();
        const std::vector<std::uint8_t> savedDatabase = readBytes(earlier.databasePath());
        const std::vector<std::uint8_t> savedCounter = readBytes(earlier.counterPath());
        // Later contacts got files and were removed again; then the older NOTATKI came back.
        for (const char* file : row.files) {
            const std::filesystem::path path = folder / file;
            if (path.filename().empty())
                std::filesystem::create_directories(path);
            else
                writeBytes(path, {'x'});
        }
        writeBytes(earlier.databasePath(), savedDatabase);
        writeBytes(earlier.counterPath(), savedCounter);

        ContactBook book(folder.path());
        book.load();
        const ContactBook::Added added = book.add("Nowy");
        EXPECT_EQ(added.display, row.expectedId + " Nowy");
        EXPECT_EQ(readIdCounter(book.counterPath()), std::stoi(row.expectedId) + 1);
        EXPECT_EQ(idsWithContactFiles(folder.path()).count(std::stoi(row.expectedId)), 0u);
    }
}

TEST(ContactBook, ImportedContactsSkipIdsWithCompanionFiles)
{
    TempFolder folder({"NOTATKI", "brulion"});
    writeBytes(folder / "brulion/001.txt", {'x'});
    writeBytes(folder / "brulion/003.txt", {'x'});
    writeIdCounter(idCounterPath(folder.path()), 996);
    writeBytes(folder / "brulion/997.txt", {'x'});
    ContactBook book(folder.path());
    book.load();
    // 996, 998 and 999 are free: 997 has a note.
    EXPECT_EQ(book.room().freeIds, 3);
    std::vector<ContactBook::NewContact> contacts(3);
    contacts[0].name = "A";
    contacts[1].name = "B";
    contacts[2].name = "C";
    book.addAll(contacts);
    EXPECT_EQ(book.entries(), (std::vector<std::string>{"996 A", "998 B", "999 C"}));
    EXPECT_EQ(readIdCounter(book.counterPath()), 1000);
    EXPECT_EQ(book.checkAdd(), ContactBook::AddCheck::IdsExhausted);
}

} // namespace
} // namespace wirtello
