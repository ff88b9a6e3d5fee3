#include "store/company_record.h"
#include "store/io_error.h"
#include "store/run_history.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

using namespace wirtello;
using wirtello::test::countedAt;
using wirtello::test::readBytes;
using wirtello::test::TempFolder;
using wirtello::test::writeBytes;

TEST(RunCount, IsReadLeniently)
{
    EXPECT_EQ(parseRunCount("12a"), 12);
    EXPECT_EQ(parseRunCount(""), 0);
    EXPECT_EQ(parseRunCount("abc"), 0);
    EXPECT_EQ(parseRunCount("  +7"), 7);
    EXPECT_EQ(parseRunCount("-3x"), -3);
    EXPECT_EQ(parseRunCount("99999999999999"), 2147483646);
}

TEST(RunHistory, FirstStartCreatesZeroRecordAndCountsOne)
{
    TempFolder folder({"Admini"});
    RunHistoryRecord record;
    const auto values = prepareRunStart(folder.path(), record, "06.12.2026", "09:05:07");
    EXPECT_EQ(readBytes(folder / "Admini/historia.dat"), std::vector<std::uint8_t>(79, 0));
    EXPECT_EQ(values.runCount, 1);
    EXPECT_EQ(values.runCountText, "1");
}

TEST(RunHistory, RecordingWritesTheTextsAndKeepsTheReservedBytes)
{
    TempFolder folder({"ADMINI"});
    std::vector<std::uint8_t> stored(79, 0);
    stored[32] = 3;
    stored[33] = '1';
    stored[34] = '2';
    stored[35] = 'a';
    for (std::size_t i = 48; i < 79; ++i)
        stored[i] = static_cast<std::uint8_t>(0xA0 + i); // reserved
    writeBytes(folder / "ADMINI/historia.dat", stored);

    RunHistoryRecord record;
    const auto values = prepareRunStart(folder.path(), record, "06.12.2026", "09:05:07");
    EXPECT_EQ(values.runCount, 13);
    recordRun(folder.path(), record, values);

    const auto bytes = readBytes(folder / "ADMINI/historia.dat");
    ASSERT_EQ(bytes.size(), 79u);
    EXPECT_EQ(countedAt(bytes, 0), "06.12.2026");
    EXPECT_EQ(countedAt(bytes, 16), "09:05:07");
    EXPECT_EQ(countedAt(bytes, 32), "13");
    for (std::size_t i = 48; i < 79; ++i)
        EXPECT_EQ(bytes[i], 0xA0 + i) << "reserved byte " << i;
}

TEST(RunHistory, MissingFolderOrShortFileFails)
{
    TempFolder folder;
    RunHistoryRecord record;
    EXPECT_THROW(prepareRunStart(folder.path(), record, "", ""), IoError);
    std::filesystem::create_directory(folder / "Admini");
    writeBytes(folder / "Admini/historia.dat", std::vector<std::uint8_t>(40, 0));
    EXPECT_THROW(prepareRunStart(folder.path(), record, "", ""), IoError);
    EXPECT_EQ(readBytes(folder / "Admini/historia.dat").size(), 40u);
}

TEST(CompanyRecord, IsCreatedEmptyAndKeepsFullLines)
{
    TempFolder folder({"Admini"});
    CompanyRecord record;
    loadCompanyRecord(companyDataPath(folder.path()), record);
    EXPECT_EQ(readBytes(folder / "Admini/firma.dat"), std::vector<std::uint8_t>(306, 0));
    for (int line = 1; line <= 6; ++line)
        EXPECT_EQ(record.line(line), "");

    const std::string fifty(50, 'Q');
    record.setLine(4, fifty);
    record.setLine(6, fifty + "overflow");
    storeCompanyRecord(companyDataPath(folder.path()), record);
    const auto bytes = readBytes(folder / "Admini/firma.dat");
    EXPECT_EQ(countedAt(bytes, 153), fifty);
    EXPECT_EQ(countedAt(bytes, 255), fifty);

    CompanyRecord loaded;
    loadCompanyRecord(companyDataPath(folder.path()), loaded);
    EXPECT_EQ(loaded.line(4), fifty);
}
