// The database file changed on disk while the book held it (another copy of
// the program, a restore from an archive): the store merges by contact id.
#include "store/contact_book.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <functional>

namespace wirtello {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

// "id name/street" of every used slot, in slot order.
std::vector<std::string> contactsIn(const ContactDatabase& database)
{
    std::vector<std::string> contacts;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (database.isUsed(slot))
            contacts.push_back(database.text(ContactField::Display, slot) + '/'
                               + database.text(ContactField::Street, slot));
    }
    return contacts;
}

std::string summary(const ContactMergeReport& report)
{
    std::string text;
    for (const auto& [label, names] :
         {std::pair{"disk", &report.fromDisk}, std::pair{"removed", &report.removed},
          std::pair{"kept", &report.keptChanged}, std::pair{"copies", &report.copies},
          std::pair{"file", &report.keptInFile}}) {
        for (const std::string& name : *names)
            text += std::string(label) + ':' + name + ';';
    }
    return text;
}

void writeContacts(const std::filesystem::path& folder, int count)
{
    ContactDatabase database;
    for (int slot = 0; slot < count; ++slot) {
        const std::string id = contactIdText(slot);
        database.setText(ContactField::Display, slot, id + " K" + std::to_string(slot));
        database.setText(ContactField::Id, slot, id);
        database.setText(ContactField::Street, slot, "s");
    }
    database.store(contactDatabasePath(folder));
    writeIdCounter(idCounterPath(folder), count);
}

// Another copy of the program on the same folder changes the file.
void otherCopy(const std::filesystem::path& folder, const std::function<void(ContactBook&)>& change)
{
    ContactBook other(folder);
    other.load();
    change(other);
    other.store();
}

TEST(ContactMerge, StoreMergesWhatChangedOnDiskByContactId)
{
    const auto street = [](int slot, const char* text) {
        return [=](ContactBook& book) { book.setText(ContactField::Street, slot, text); };
    };
    const auto removeRow = [](int row) { return [=](ContactBook& book) { book.remove(row); }; };
    const auto nothing = [](ContactBook&) {};
    struct Row {
        const char* name;
        std::function<void(ContactBook&)> otherCopy; // runs first
        std::function<void(ContactBook&)> here;
        std::vector<std::string> contacts;
        std::string report;
        std::int32_t counter;
    };
    const std::vector<Row> rows = {
        {"added on disk", [](ContactBook& o) { o.add("Dorota"); }, nothing,
         {"000 K0/s", "001 K1/s", "002 K2/s", "003 Dorota/"}, "disk:003 Dorota;", 4},
        {"changed on disk", street(1, "Nowa 5"), nothing, {"000 K0/s", "001 K1/Nowa 5", "002 K2/s"}, "disk:001 K1;", 3},
        {"deleted on disk", removeRow(1), nothing, {"000 K0/s", "002 K2/s"}, "removed:001 K1;", 3},
        {"changed here", street(0, "Dysk 1"), street(1, "Tu 1"), {"000 K0/Dysk 1", "001 K1/Tu 1", "002 K2/s"},
         "disk:000 K0;", 3},
        {"deleted here", street(0, "Dysk 1"), removeRow(1), {"000 K0/Dysk 1", "002 K2/s"}, "disk:000 K0;", 3},
        {"deleted on disk, changed here", removeRow(1), street(1, "Tu 1"), {"000 K0/s", "001 K1/Tu 1", "002 K2/s"},
         "kept:001 K1;", 3},
        {"deleted here, changed on disk", street(1, "Dysk 1"), removeRow(1), {"000 K0/s", "001 K1/Dysk 1", "002 K2/s"},
         "disk:001 K1;", 3},
        {"changed on both sides", street(1, "Tam 2"), street(1, "Tu 1"),
         {"000 K0/s", "001 K1/Tu 1", "002 K2/s", "003 K1 (kopia)/Tam 2"}, "copies:003 K1 (kopia);", 4},
        {"restored while a contact was added here",
         [](ContactBook& o) { o.remove(2); writeIdCounter(o.counterPath(), 2); },
         [](ContactBook& b) { b.add("Ewa"); }, {"000 K0/s", "001 K1/s", "003 Ewa/"}, "removed:002 K2;", 4},
        {"a copy's new id skips one with companion files",
         [](ContactBook& o) {
             o.setText(ContactField::Street, 1, "Tam 2");
             writeBytes(o.databasePath().parent_path().parent_path() / "uwagi" / "003.kom", {'x'});
         },
         street(1, "Tu 1"), {"000 K0/s", "001 K1/Tu 1", "002 K2/s", "004 K1 (kopia)/Tam 2"}, "copies:004 K1 (kopia);", 5},
        {"other copy's counter is larger", [](ContactBook& o) { writeIdCounter(o.counterPath(), 9); o.add("Jan"); },
         street(0, "Tu 1"), {"000 K0/Tu 1", "001 K1/s", "002 K2/s", "009 Jan/"}, "disk:009 Jan;", 10},
        {"unchanged contacts written again on disk", nothing,
         [](ContactBook& b) { b.remove(0); b.setText(ContactField::Street, 0, "Tu 1"); },
         {"001 K1/Tu 1", "002 K2/s"}, "", 3},
        {"only old characters after a text differ on disk",
         [](ContactBook& o) { o.setText(ContactField::Street, 1, "sx"); o.setText(ContactField::Street, 1, "s"); },
         street(2, "Tu 1"), {"000 K0/s", "001 K1/s", "002 K2/Tu 1"}, "", 3},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder folder({"NOTATKI", "uwagi"});
        writeContacts(folder.path(), 3);
        ContactBook book(folder.path());
        book.load();
        otherCopy(folder.path(), row.otherCopy);
        row.here(book);
        const ContactMergeReport report = book.store();

        EXPECT_EQ(summary(report), row.report);
        ContactDatabase file;
        file.load(book.databasePath());
        EXPECT_EQ(contactsIn(file), row.contacts);
        // Exactly the book's bytes, also when nothing came from disk.
        EXPECT_TRUE(std::ranges::equal(file.bytes(), book.database().bytes()));
        EXPECT_EQ(book.rowCount(), std::ssize(row.contacts));
        EXPECT_EQ(readIdCounter(book.counterPath()), row.counter);
        // Merged once: the next store finds the file as written.
        EXPECT_TRUE(book.store().empty());
    }
}

TEST(ContactMerge, DiskVersionsWithoutRoomGoToADatedFileBesideTheDatabase)
{
    TempFolder folder({"NOTATKI"});
    writeContacts(folder.path(), kSlotCount);
    ContactBook book(folder.path());
    book.load();
    otherCopy(folder.path(), [](ContactBook& o) { o.setText(ContactField::Street, 7, "Tam \"2\""); });
    book.setText(ContactField::Street, 7, "Tu 1");
    const auto when = std::chrono::system_clock::time_point(std::chrono::hours(500000));
    const ContactMergeReport report = book.store(when);

    EXPECT_EQ(summary(report), "file:007 K7;");
    EXPECT_EQ(report.leftoverFile, folder.path() / "NOTATKI" / leftoverFileName(when));
    const std::vector<std::uint8_t> csv = readBytes(report.leftoverFile);
    const std::string text(csv.begin(), csv.end());
    EXPECT_NE(text.find("\r\n\"007\";\"K7\";\"\";\"\";\"Tam \"\"2\"\"\";"), std::string::npos) << text;
    ContactDatabase file;
    file.load(book.databasePath());
    EXPECT_EQ(contactsIn(file).size(), std::size_t{kSlotCount});
    EXPECT_EQ(file.text(ContactField::Street, 7), "Tu 1");
    EXPECT_EQ(readIdCounter(book.counterPath()), kSlotCount);
}

} // namespace
} // namespace wirtello
