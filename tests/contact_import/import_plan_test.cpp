// What storing imported contacts cuts and replaces, and adding them to the
// contact book all at once.
#include "contact_import/import_plan.h"

#include "store/contact_book.h"
#include "store/io_error.h"
#include "store/record_file.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace wirtello::test {
namespace {

TEST(ImportPlan, CountsCutTextsAndCharactersWindows1250CannotHold)
{
    struct Case {
        const char* text;
        std::size_t capacity;
        bool cut;
        std::size_t replaced;
    };
    const Case cases[] = {
        {"Zażółć gęślą jaźń", 30, false, 0}, // Polish letters fit
        {"Zażółć gęślą jaźń", 17, false, 0}, // 17 characters in 17 bytes
        {"Zażółć gęślą jaźń", 16, true, 0},
        {"€ 100 – „cytat”", 30, false, 0},   // Windows-1250 holds these too
        {"Ελλάδα", 30, false, 6},
        {"Kraków 🙂", 30, false, 1},
        {"A?B", 30, false, 0},               // a question mark of the text's own
        {"abc🙂", 3, true, 0},               // replaced only past the cut
        {"", 30, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const StoredTextChange change = storedTextChange(c.text, c.capacity);
        EXPECT_EQ(change.cut, c.cut);
        EXPECT_EQ(change.replaced, c.replaced);
    }
}

TEST(ImportPlan, TakesWhatFitsAndCountsOverLongFields)
{
    ImportedContact longOne;
    longOne.name = std::string(196, 'n'); // with "000 " exactly the display text's 200
    longOne.card[0] = std::string(31, 'i'); // first line holds 30
    longOne.card[2] = std::string(50, 'u'); // street holds 50
    longOne.card[7] = "ktoś@przykład.pl";
    ImportedContact cutName;
    cutName.name = std::string(197, 'n');
    cutName.card[9] = "Ωmega";
    cutName.photoPath = "/zdjęcia/Ωmega.jpg"; // would name another file: left out
    ImportedContact third;
    third.name = "Trzeci";

    const ImportPlan plan = planImport({longOne, cutName, third}, 2);
    ASSERT_EQ(plan.contacts.size(), 2u);
    EXPECT_EQ(plan.leftOut, 1u);
    EXPECT_EQ(plan.cutFields, 3u); // first line, second name, photo path
    EXPECT_EQ(plan.replacedCharacters, 1u);
    EXPECT_EQ(plan.contacts[0].card[0], longOne.card[0]); // cut when stored, not before
    EXPECT_EQ(plan.contacts[1].photoPath, "");
}

class ContactBookAddAll : public ::testing::Test {
protected:
    ContactBookAddAll() { book.load(); }

    static ContactBook::NewContact contact(std::string name, std::string street = {})
    {
        ContactBook::NewContact c;
        c.name = std::move(name);
        c.card[2] = std::move(street);
        return c;
    }

    TempFolder folder{"NOTATKI"};
    ContactBook book{folder.path()};
};

TEST_F(ContactBookAddAll, GivesConsecutiveIdsAndWritesTheCounterOnce)
{
    book.add("Pierwszy");
    std::vector<ContactBook::NewContact> contacts = {contact("Łucja", std::string(60, 'u')), contact("Marek")};
    contacts[1].card[7] = "marek@x.pl";
    contacts[1].photoPath = "/LOGO/marek.jpg";
    int writes = 0;
    setRecordWriteFaultForTests([&](RecordWriteStep step) {
        writes += step == RecordWriteStep::Rename ? 1 : 0;
        return true;
    });
    const std::vector<int> slots = book.addAll(contacts);
    setRecordWriteFaultForTests(nullptr);

    EXPECT_EQ(writes, 1);
    EXPECT_EQ(slots, (std::vector<int>{1, 2}));
    EXPECT_EQ(readBytes(book.counterPath()), std::vector<std::uint8_t>({3, 0, 0, 0}));
    EXPECT_EQ(book.text(ContactField::Display, 1), "001 Łucja");
    EXPECT_EQ(book.rawText(ContactField::Display, 1), "001 \xa3" "ucja");
    EXPECT_EQ(book.text(ContactField::Id, 2), "002");
    EXPECT_EQ(book.text(ContactField::Street, 1), std::string(50, 'u'));
    EXPECT_EQ(book.text(ContactField::Email, 2), "marek@x.pl");
    EXPECT_EQ(book.text(ContactField::PhotoPath, 2), "/LOGO/marek.jpg");
    EXPECT_EQ(book.rowCount(), 3);
    // Nothing is stored until the usual store.
    EXPECT_EQ(readBytes(book.databasePath()), std::vector<std::uint8_t>(kContactDatabaseSize, 0));
}

TEST_F(ContactBookAddAll, AFailedCounterWriteAddsNothing)
{
    setRecordWriteFaultForTests([](RecordWriteStep step) { return step != RecordWriteStep::WriteBytes; });
    EXPECT_THROW(book.addAll(std::vector{contact("A"), contact("B")}), IoError);
    setRecordWriteFaultForTests(nullptr);
    EXPECT_EQ(book.rowCount(), 0);
    EXPECT_FALSE(book.isUsed(0));
    EXPECT_EQ(readBytes(book.counterPath()), std::vector<std::uint8_t>({0, 0, 0, 0}));
}

TEST_F(ContactBookAddAll, RoomIsTheFewerOfFreeSlotsAndIdsLeft)
{
    struct Case {
        std::vector<std::uint8_t> counter;
        int contacts;
        int slots;
        int ids;
    };
    const Case cases[] = {
        {{0, 0, 0, 0}, 0, 501, 1000},
        {{0xE0, 0x03, 0, 0}, 0, 501, 8},   // 992: ids 992..999 left
        {{0xE8, 0x03, 0, 0}, 0, 501, 0},   // 1000
        {{0xFF, 0xFF, 0xFF, 0xFF}, 0, 501, 0},
        {{0xF4, 0x01, 0, 0}, 500, 1, 500},
    };
    for (const Case& c : cases) {
        TempFolder own({"NOTATKI"});
        ContactBook fresh(own.path());
        fresh.load();
        std::vector<ContactBook::NewContact> many(static_cast<std::size_t>(c.contacts), contact("K"));
        fresh.addAll(many);
        writeBytes(fresh.counterPath(), c.counter);
        const ContactBook::Room room = fresh.room();
        EXPECT_EQ(room.freeSlots, c.slots);
        EXPECT_EQ(room.freeIds, c.ids);
        EXPECT_EQ(room.count(), std::min(c.slots, c.ids));
    }
}

} // namespace
} // namespace wirtello::test
