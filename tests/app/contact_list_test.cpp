// Add, rename and delete, on compacted databases and on one with gaps.
#include "main_window_fixture.h"

#include "store/contact_database.h"
#include "store/record_file.h"

namespace wirtello::test {
namespace {

TEST_F(MainWindowTest, AddHandsOutIdsAndKeepsTheCounterFile)
{
    start();
    addContact(QStringLiteral("Przykładowa"));
    ASSERT_EQ(platform.inputsAsked.size(), 1u);
    EXPECT_EQ(platform.inputsAsked[0], std::make_pair(QStringLiteral("Definiowanie kontaktu"), QStringLiteral("Podaj nazwę")));
    EXPECT_EQ(entries(), QStringList({QStringLiteral("000 Przykładowa")}));
    // The new contact is selected, so what is typed next goes to it.
    EXPECT_EQ(window->selectedSlot(), 0);
    EXPECT_EQ(lineEdit("imie")->text(), "");

    addContact("");
    addContact("Trzeci");
    EXPECT_EQ(entries(), QStringList({QStringLiteral("000 Przykładowa"), "001 ", "002 Trzeci"}));
    EXPECT_EQ(readBytes(counterPath()), std::vector<std::uint8_t>({3, 0, 0, 0}));
    EXPECT_EQ(data.contacts.rawText(ContactField::Display, 0), "000 Przyk\xb3" "adowa");
    EXPECT_EQ(data.contacts.text(ContactField::Id, 2), "002");

    platform.inputAnswers.push_back(std::nullopt); // cancel
    toolButton("SpeedButton2")->click();
    EXPECT_EQ(rowCount(), 3);
    EXPECT_EQ(readBytes(counterPath()), std::vector<std::uint8_t>({3, 0, 0, 0}));
}

TEST_F(MainWindowTest, AddCutsTheStoredNameButListsItWhole)
{
    start();
    const QString name(230, QLatin1Char('n'));
    addContact(name);
    EXPECT_EQ(entries().at(0), "000 " + name);
    EXPECT_EQ(data.contacts.rawText(ContactField::Display, 0).size(), 200u);
}

TEST_F(MainWindowTest, AddRefusesBeyondId999WithoutAskingOrChanging)
{
    writeBytes(counterPath(), {0xE8, 0x03, 0, 0}); // 1000
    start();
    toolButton("SpeedButton2")->click(); // an input box asked for would fail the test as unanswered
    EXPECT_TRUE(platform.inputsAsked.empty());
    ASSERT_EQ(platform.informed.size(), 1u);
    EXPECT_TRUE(platform.informed[0].contains("999"));
    EXPECT_EQ(rowCount(), 0);
    EXPECT_EQ(readBytes(counterPath()), std::vector<std::uint8_t>({0xE8, 0x03, 0, 0}));
}

TEST_F(MainWindowTest, AddRefusesWhenEverySlotIsUsed)
{
    std::vector<StoredContact> full;
    for (int slot = 0; slot < kSlotCount; ++slot)
        full.push_back({slot, std::string(slot < 10 ? "00" : slot < 100 ? "0" : "") + std::to_string(slot) + " K"});
    writeDatabase(full);
    writeBytes(counterPath(), {0xF5, 0x01, 0, 0}); // 501
    start();
    const auto before = databaseBytes();
    toolButton("SpeedButton2")->click(); // an input box asked for would fail the test as unanswered
    EXPECT_TRUE(platform.inputsAsked.empty());
    ASSERT_EQ(platform.informed.size(), 1u);
    EXPECT_TRUE(platform.informed[0].contains("501"));
    EXPECT_EQ(rowCount(), kSlotCount);
    EXPECT_EQ(readBytes(counterPath()), std::vector<std::uint8_t>({0xF5, 0x01, 0, 0}));
    EXPECT_EQ(data.contacts.rawText(ContactField::Display, 500), "500 K");
    EXPECT_EQ(databaseBytes(), before);
}

TEST_F(MainWindowTest, AddThatCannotWriteTheCounterAddsNothing)
{
    start();
    // A write-protected counter cannot be replaced.
    std::filesystem::permissions(counterPath(), std::filesystem::perms::owner_read);
    addContact("Adam");
    EXPECT_EQ(platform.errors.size(), 1u);
    EXPECT_EQ(readBytes(counterPath()), std::vector<std::uint8_t>(4, 0));
    EXPECT_EQ(rowCount(), 0);
    EXPECT_FALSE(data.contacts.isUsed(0));
}

TEST_F(MainWindowTest, RenameKeepsIdPositionAndCard)
{
    writeDatabase({{0, "003 Kowal"}, {1, "004 Nowak", "Polna 1"}, {2, "005 Zieliński"}});
    start();
    clickRow(1);
    platform.inputAnswers.push_back(QStringLiteral("Nowak Jan"));
    toolButton("SpeedButton13")->click();
    EXPECT_EQ(platform.inputsAsked.back(), std::make_pair(QStringLiteral("Modyfikacja kontaktu"), QStringLiteral("Podaj nową nazwę")));
    EXPECT_EQ(entries(), QStringList({"003 Kowal", "004 Nowak Jan", QStringLiteral("005 Zieliński")}));
    EXPECT_EQ(currentRow(), 1);
    EXPECT_EQ(data.contacts.text(ContactField::Display, 1), "004 Nowak Jan");
    EXPECT_EQ(data.contacts.text(ContactField::Id, 1), "004");
    EXPECT_EQ(data.contacts.text(ContactField::Street, 1), "Polna 1");

    platform.inputAnswers.push_back(std::nullopt);
    toolButton("SpeedButton13")->click();
    EXPECT_EQ(entries().at(1), "004 Nowak Jan");
}

TEST_F(MainWindowTest, DeleteMovesTheLaterContactsUpWithTheirFieldsAndWritesTheFile)
{
    writeJpeg(folder / "adam.jpg", Qt::red);
    writeJpeg(folder / "cezary.jpg", Qt::green);
    writeDatabase({{0, "000 Adam", "Polna 1", "adam@example.pl", (folder / "adam.jpg").string()},
                   {1, "001 Bartek", "Leśna 2", "bartek@example.pl"},
                   {2, "002 Cezary", "Długa 3", "cezary@example.pl", (folder / "cezary.jpg").string()}});
    writeBytes(counterPath(), {3, 0, 0, 0});
    start();
    clickRow(1);
    lineEdit("ulica")->setText("niezapisana");

    platform.threeWayAnswers = {Platform::Answer::No};
    platform.askAnswers.push_back(true);
    toolButton("SpeedButton3")->click();
    EXPECT_EQ(platform.asked,
              QStringList({QStringLiteral("Zapisać zmiany kontaktu ?"), QStringLiteral("Usunąć temat „001 Bartek” z listy ?")}));
    EXPECT_EQ(entries(), QStringList({"000 Adam", "002 Cezary"}));
    EXPECT_EQ(currentRow(), 0);
    EXPECT_EQ(lineEdit("ulica")->text(), "Polna 1");
    EXPECT_TRUE(isRed(shownColour()));

    const auto bytes = databaseBytes();
    ASSERT_EQ(bytes.size(), kContactDatabaseSize);
    EXPECT_EQ(countedAt(bytes, 0), "000 Adam");
    EXPECT_EQ(countedAt(bytes, 201), "002 Cezary");
    EXPECT_EQ(bytes[402], 0); // slot 2 is free
    EXPECT_EQ(countedAt(bytes, 100701 + 11), "002");
    EXPECT_EQ(countedAt(bytes, 137274 + 51), "D\xb3uga 3");
    EXPECT_EQ(countedAt(bytes, 234969 + 51), "cezary@example.pl");
    EXPECT_EQ(countedAt(bytes, 311622 + 251), (folder / "cezary.jpg").string());
    EXPECT_EQ(countedAt(bytes, 311622), (folder / "adam.jpg").string());
    for (std::size_t offset : {fieldOffset(ContactField::Street, 2), fieldOffset(ContactField::Email, 2),
                               fieldOffset(ContactField::Id, 2)})
        EXPECT_EQ(bytes[offset], 0);
    EXPECT_EQ(readBytes(counterPath()), std::vector<std::uint8_t>({3, 0, 0, 0}));

    clickRow(1);
    EXPECT_TRUE(isGreen(shownColour()));

    // Ids are never handed out twice.
    addContact("Dawid");
    EXPECT_EQ(entries().at(2), "003 Dawid");
}

TEST_F(MainWindowTest, DeleteAnsweredNoChangesNothing)
{
    writeDatabase({{0, "000 Adam"}, {1, "001 Bartek"}});
    start();
    const auto before = databaseBytes();
    clickRow(1);
    platform.askAnswers.push_back(false);
    toolButton("SpeedButton3")->click();
    EXPECT_EQ(entries(), QStringList({"000 Adam", "001 Bartek"}));
    EXPECT_EQ(currentRow(), 1);
    EXPECT_EQ(databaseBytes(), before);
}

TEST_F(MainWindowTest, DeleteOnAnEmptyListStillWritesTheFile)
{
    start();
    std::filesystem::remove(databasePath());
    platform.askAnswers.push_back(true);
    toolButton("SpeedButton3")->click();
    EXPECT_EQ(databaseBytes(), std::vector<std::uint8_t>(kContactDatabaseSize, 0));
}

// A database file with free slots between used ones, as another program may leave it.
TEST_F(MainWindowTest, DatabaseWithGapsIsReadAndChangedSlotBySlot)
{
    writeDatabase({{0, "000 Adam", "Polna 1"}, {2, "001 Bartek", "Leśna 2"}, {5, "002 Cezary", "Długa 3"}});
    writeBytes(counterPath(), {3, 0, 0, 0});
    start();
    EXPECT_EQ(entries(), QStringList({"000 Adam", "001 Bartek", "002 Cezary"}));
    EXPECT_EQ(data.contacts.rowSlots(), std::vector<int>({0, 2, 5}));

    clickRow(2);
    EXPECT_EQ(lineEdit("ulica")->text(), QStringLiteral("Długa 3"));
    lineEdit("telefon")->setText("123");
    toolButton("SpeedButton9")->click();
    EXPECT_EQ(data.contacts.text(ContactField::Phone, 5), "123");
    EXPECT_EQ(data.contacts.text(ContactField::Phone, 2), "");

    clickRow(1);
    platform.inputAnswers.push_back(QStringLiteral("Bartosz"));
    toolButton("SpeedButton13")->click();
    EXPECT_EQ(data.contacts.text(ContactField::Display, 2), "001 Bartosz");
    EXPECT_EQ(data.contacts.text(ContactField::Display, 1), "");

    // A new contact goes after the last used slot and to the end of the list.
    addContact("Dawid");
    EXPECT_EQ(data.contacts.rowSlots(), std::vector<int>({0, 2, 5, 6}));
    EXPECT_EQ(data.contacts.text(ContactField::Display, 6), "003 Dawid");

    clickRow(1);
    platform.askAnswers.push_back(true);
    toolButton("SpeedButton3")->click();
    EXPECT_EQ(entries(), QStringList({"000 Adam", "002 Cezary", "003 Dawid"}));
    EXPECT_EQ(data.contacts.rowSlots(), std::vector<int>({0, 1, 2}));
    const auto bytes = databaseBytes();
    EXPECT_EQ(countedAt(bytes, fieldOffset(ContactField::Display, 1)), "002 Cezary");
    EXPECT_EQ(countedAt(bytes, fieldOffset(ContactField::Phone, 1)), "123");
    EXPECT_EQ(countedAt(bytes, fieldOffset(ContactField::Display, 2)), "003 Dawid");
    EXPECT_EQ(bytes[fieldOffset(ContactField::Display, 5)], 0);
}

TEST_F(MainWindowTest, AddUsesAGapOnlyWhenTheLastSlotIsTaken)
{
    writeDatabase({{0, "000 A"}, {500, "001 B"}});
    writeBytes(counterPath(), {2, 0, 0, 0});
    start();
    addContact("C");
    EXPECT_EQ(data.contacts.rowSlots(), std::vector<int>({0, 1, 500}));
    EXPECT_EQ(entries(), QStringList({"000 A", "002 C", "001 B"}));
    EXPECT_EQ(data.contacts.text(ContactField::Display, 1), "002 C");
}

} // namespace
} // namespace wirtello::test
