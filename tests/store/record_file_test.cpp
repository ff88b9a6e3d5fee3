#include "store/io_error.h"
#include "store/record_file.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

using namespace wirtello;
using wirtello::test::readBytes;
using wirtello::test::TempFolder;
using wirtello::test::writeBytes;

TEST(RecordFile, ShortFileFailsAndLongerFileIsReadFromItsFirstRecord)
{
    TempFolder folder;
    writeBytes(folder / "short.dat", {1, 2, 3});
    EXPECT_THROW(readRecord(folder / "short.dat", 4), IoError);
    EXPECT_THROW(readRecord(folder / "missing.dat", 4), IoError);

    writeBytes(folder / "long.dat", {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(readRecord(folder / "long.dat", 4), (std::vector<std::uint8_t>{1, 2, 3, 4}));
}

TEST(RecordFile, WriteReplacesTheWholeFileWithExactlyTheRecord)
{
    TempFolder folder;
    writeBytes(folder / "r.dat", std::vector<std::uint8_t>(10, 7));
    writeRecord(folder / "r.dat", std::vector<std::uint8_t>{9, 8});
    EXPECT_EQ(readBytes(folder / "r.dat"), (std::vector<std::uint8_t>{9, 8}));
    EXPECT_FALSE(std::filesystem::exists(temporaryPathFor(folder / "r.dat")));
}

TEST(RecordFile, FailedWriteLeavesTheOldFileWhole)
{
    TempFolder folder;
    const std::vector<std::uint8_t> old = {1, 2, 3, 4};
    writeBytes(folder / "r.dat", old);
    // Something in the way of the temporary file makes the write fail half way.
    std::filesystem::create_directory(temporaryPathFor(folder / "r.dat"));

    try {
        writeRecord(folder / "r.dat", std::vector<std::uint8_t>{0, 0});
        FAIL() << "write should fail";
    } catch (const IoError& error) {
        EXPECT_EQ(error.path(), folder / "r.dat");
        EXPECT_FALSE(error.operation().empty());
    }
    EXPECT_EQ(readBytes(folder / "r.dat"), old);
}

TEST(RecordFile, WriteIntoMissingFolderFails)
{
    TempFolder folder;
    EXPECT_THROW(writeRecord(folder / "NOTATKI/x.dat", std::vector<std::uint8_t>{1}), IoError);
    EXPECT_THROW(createZeroRecordIfMissing(folder / "NOTATKI/x.dat", 4), IoError);
}

TEST(RecordFile, CreateIfMissingNeverTouchesAnExistingFile)
{
    TempFolder folder;
    createZeroRecordIfMissing(folder / "z.dat", 5);
    EXPECT_EQ(readBytes(folder / "z.dat"), std::vector<std::uint8_t>(5, 0));
    writeBytes(folder / "z.dat", {4, 4});
    createZeroRecordIfMissing(folder / "z.dat", 5);
    EXPECT_EQ(readBytes(folder / "z.dat"), (std::vector<std::uint8_t>{4, 4}));
}
