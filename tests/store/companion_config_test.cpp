#include "store/companion_config.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <map>

using namespace wirtello;
using wirtello::test::countedAt;
using wirtello::test::readBytes;
using wirtello::test::TempFolder;
using wirtello::test::writeBytes;

TEST(CompanionConfig, FieldsNameTheProgramFolderAndItsSubfoldersAndEverythingElseIsZero)
{
    TempFolder folder({"ADMINI", "NOTATKI"});
    const std::string base = folder.path().string();
    writeBytes(folder / "skarbiec_config.dat", std::vector<std::uint8_t>(20000, 0xEE));
    writeCompanionConfig(folder.path());

    const auto bytes = readBytes(folder / "skarbiec_config.dat");
    ASSERT_EQ(bytes.size(), 10452u);
    // Field index and its text; folders that exist are named as they are spelled on disk.
    const std::map<std::size_t, std::string> texts = {
        {0, base + "/"},
        {1, base + "/Add_dok/*.*"},
        {2, base + "/Add_zad/*.*"},
        {3, base + "/ADMINI/*.*"},
        {4, base + "/Dokumenty/*.*"},
        {5, base + "/Komentarze/*.*"},
        {6, base + "/Koperta/*.*"},
        {7, base + "/Koperty/*.*"},
        {8, base + "/Logo/*.*"},
        {9, base + "/NOTATKI/*.*"},
        {10, base + "/Terminarz/*.*"},
        {11, base + "/Uwaga/*.*"},
        {51, base},
    };
    for (std::size_t field = 0; field < 52; ++field) {
        SCOPED_TRACE(field);
        const std::size_t offset = field * 201;
        const auto found = texts.find(field);
        const std::string text = found == texts.end() ? std::string() : found->second;
        EXPECT_EQ(countedAt(bytes, offset), text);
        // The bytes after each text, and whole unused fields, are zero.
        for (std::size_t i = offset + 1 + text.size(); i < offset + 201; ++i)
            ASSERT_EQ(bytes[i], 0) << "at " << i;
    }
}

TEST(CompanionConfig, LongFolderIsCutTo200Characters)
{
    const std::string folder = "/" + std::string(250, 'd');
    const auto record = buildCompanionConfig(std::filesystem::path(folder));
    EXPECT_EQ(countedAt(record, 0), folder.substr(0, 200));
    EXPECT_EQ(countedAt(record, 201), folder.substr(0, 200));
    EXPECT_EQ(countedAt(record, 10251), folder.substr(0, 200));
}
