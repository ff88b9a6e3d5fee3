// The database file changed on disk while the program ran (a restore from
// "Archiwa", another copy of the program): the window keeps both sides'
// contacts and tells the user what came from disk.
#include "main_window_fixture.h"

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

} // namespace
} // namespace wirtello::test
