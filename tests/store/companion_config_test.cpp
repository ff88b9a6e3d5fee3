#include "store/companion_config.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

using namespace wirtello;
using wirtello::test::countedAt;
using wirtello::test::readBytes;
using wirtello::test::TempFolder;
using wirtello::test::writeBytes;

TEST(CompanionConfig, FieldsNameTheProgramFolderAndItsSubfolders)
{
    TempFolder folder({"ADMINI", "NOTATKI"});
    const std::string base = folder.path().string();
    writeBytes(folder / "skarbiec_config.dat", std::vector<std::uint8_t>(20000, 0xEE));
    writeCompanionConfig(folder.path());

    const auto bytes = readBytes(folder / "skarbiec_config.dat");
    ASSERT_EQ(bytes.size(), 10452u);
    EXPECT_EQ(countedAt(bytes, 0), base + "/");
    EXPECT_EQ(countedAt(bytes, 201), base + "/Add_dok/*.*");
    // Folders that exist are named as they are spelled on disk.
    EXPECT_EQ(countedAt(bytes, 603), base + "/ADMINI/*.*");
    EXPECT_EQ(countedAt(bytes, 1809), base + "/NOTATKI/*.*");
    EXPECT_EQ(countedAt(bytes, 1608), base + "/Logo/*.*");
    EXPECT_EQ(countedAt(bytes, 2211), base + "/Uwaga/*.*");
    EXPECT_EQ(countedAt(bytes, 10251), base);

    // Everything else is zero: unused fields and the bytes after each text.
    for (std::size_t i = 2412; i < 10251; ++i)
        ASSERT_EQ(bytes[i], 0) << "at " << i;
    EXPECT_EQ(bytes[1 + base.size() + 1], 0);
}

TEST(CompanionConfig, LongFolderIsCutTo200Characters)
{
    const auto record = buildCompanionConfig(std::filesystem::path("/" + std::string(250, 'd')));
    EXPECT_EQ(record[0], 200);
    EXPECT_EQ(record[10251], 200);
}
