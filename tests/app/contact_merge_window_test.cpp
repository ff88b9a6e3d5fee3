// The database file changed on disk while the program ran (a restore from
// "Archiwa", another copy of the program): the window keeps both sides'
// contacts and tells the user what came from disk.
#include "main_window_fixture.h"

#include "store/contact_store_lock.h"

#include <QGuiApplication>

#include <unistd.h>

namespace wirtello::test {
namespace {

TEST_F(MainWindowTest, KoniecAfterARestoreKeepsTheRestoredFilesAndThisSessionsContact)
{
    writeDatabase({{0, "000 Adam"}, {1, "001 Bartek"}, {2, "002 Cezary"}});
    writeBytes(counterPath(), {3, 0, 0, 0});
    start();
    // The archive's files replace the program's while it runs.
    writeDatabase({{0, "000 Adam"}, {1, "001 Bartek", "Archiwalna 1"}});
    writeBytes(counterPath(), {2, 0, 0, 0});
    addContact("Ewa");
    EXPECT_EQ(entries(), QStringList({"000 Adam", "001 Bartek", "002 Cezary", "003 Ewa"}));

    platform.askAnswers = {true};
    toolButton("SpeedButton27")->click();
    EXPECT_EQ(platform.endProcessCalls, 1);
    ASSERT_EQ(platform.informed.size(), 1);
    EXPECT_TRUE(platform.informed[0].contains(QStringLiteral("001 Bartek")));
    EXPECT_TRUE(platform.informed[0].contains(QStringLiteral("002 Cezary")));
    EXPECT_EQ(entries(), QStringList({"000 Adam", "001 Bartek", "003 Ewa"}));
    const auto bytes = databaseBytes();
    EXPECT_EQ(countedAt(bytes, 0), "000 Adam");
    EXPECT_EQ(countedAt(bytes, fieldOffset(ContactField::Display, 1)), "001 Bartek");
    EXPECT_EQ(countedAt(bytes, fieldOffset(ContactField::Street, 1)), "Archiwalna 1");
    EXPECT_EQ(countedAt(bytes, fieldOffset(ContactField::Display, 2)), "003 Ewa");
    EXPECT_EQ(countedAt(bytes, fieldOffset(ContactField::Display, 3)), "");
    EXPECT_EQ(readBytes(counterPath()), std::vector<std::uint8_t>({4, 0, 0, 0}));
}

// Another copy of the program is storing the database: Koniec waits with the
// wait cursor, then names that copy and keeps the window and its contacts.
TEST_F(MainWindowTest, KoniecWhileAnotherCopyStoresNamesItAndKeepsTheContacts)
{
    start();
    addContact("Ewa");
    std::optional<ContactStoreLock> other = ContactStoreLock::tryTake(databasePath());
    ASSERT_TRUE(other);
    std::vector<bool> waitCursor;
    LockWait wait;
    wait.retries = 2;
    wait.pause = [&] {
        const QCursor* cursor = QGuiApplication::overrideCursor();
        waitCursor.push_back(cursor && cursor->shape() == Qt::WaitCursor);
    };
    data.contacts.setLockWait(wait);

    platform.askAnswers = {true};
    toolButton("SpeedButton27")->click();
    EXPECT_EQ(platform.endProcessCalls, 0);
    ASSERT_EQ(platform.errors.size(), 1u);
    EXPECT_NE(platform.errors[0].operation().find("inna kopia programu"), std::string::npos);
    EXPECT_NE(platform.errors[0].operation().find("proces " + std::to_string(::getpid())), std::string::npos);
    EXPECT_EQ(waitCursor, (std::vector<bool>{true, true}));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(entries(), QStringList({"000 Ewa"}));
    EXPECT_EQ(countedAt(databaseBytes(), 0), "");

    // Once the other copy is done, Koniec stores and ends.
    other.reset();
    platform.askAnswers = {true};
    toolButton("SpeedButton27")->click();
    EXPECT_EQ(platform.endProcessCalls, 1);
    EXPECT_EQ(countedAt(databaseBytes(), 0), "000 Ewa");
}

// A contact changed here that another copy deleted stays, and the message names it.
TEST_F(MainWindowTest, AStoreNamesAContactKeptAfterAnotherCopyDeletedIt)
{
    writeDatabase({{0, "000 Adam"}, {1, "001 Bartek"}});
    writeBytes(counterPath(), {2, 0, 0, 0});
    start();
    writeDatabase({{0, "000 Adam"}});
    data.contacts.setText(ContactField::Street, 1, "Nowa 1");
    platform.askAnswers = {true};
    toolButton("SpeedButton27")->click();
    ASSERT_EQ(platform.informed.size(), 1);
    EXPECT_TRUE(platform.informed[0].contains(QStringLiteral("cofnęła usunięcie")));
    EXPECT_TRUE(platform.informed[0].contains(QStringLiteral("001 Bartek")));
    EXPECT_EQ(countedAt(databaseBytes(), fieldOffset(ContactField::Display, 1)), "001 Bartek");
}

} // namespace
} // namespace wirtello::test
