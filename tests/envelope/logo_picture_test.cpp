#include "envelope/logo_picture.h"

#include "store/io_error.h"
#include "tests/envelope/envelope_test_files.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>


namespace wirtello {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

TEST(LogoPicture, AWholeJpegLoadsAtItsOwnSize)
{
    TempFolder folder;
    const auto path = folder / "znak.jpg";
    test::writeJpeg(path, 100, 50);
    const Picture picture = loadLogoPicture(path);
    EXPECT_EQ(picture.width, 100);
    EXPECT_EQ(picture.height, 50);
    EXPECT_EQ(picture.rgb.size(), 100u * 50 * 3);

    const auto frame = jpegFrameSize(readBytes(path));
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width, 100);
    EXPECT_EQ(frame->height, 50);
}

TEST(LogoPicture, WhatIsNotAWholeJpegOfALogosSizeIsRefusedNamingTheFile)
{
    TempFolder folder;
    test::writeJpeg(folder / "dobry.jpg", 64, 48);
    const std::vector<std::uint8_t> good = readBytes(folder / "dobry.jpg");

    const struct {
        const char* name;
        std::vector<std::uint8_t> bytes;
    } rows[] = {
        {"pusty.jpg", {}},
        {"png.jpg", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'}},
        {"tekst.jpg", std::vector<std::uint8_t>(500, 'a')},
        {"uciety.jpg", std::vector<std::uint8_t>(good.begin(), good.begin() + good.size() * 2 / 3)},
        {"sam_naglowek.jpg", std::vector<std::uint8_t>(good.begin(), good.begin() + 20)},
        {"ogromny.jpg", test::withFrameSize(good, 20000, 20000)},
        {"zerowy.jpg", test::withFrameSize(good, 0, 48)},
        {"bez_konca.jpg", std::vector<std::uint8_t>(good.begin(), good.end() - 2)},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto path = folder / row.name;
        writeBytes(path, row.bytes);
        try {
            loadLogoPicture(path);
            ADD_FAILURE() << "loaded";
        } catch (const IoError& error) {
            EXPECT_EQ(error.path(), path);
        }
    }
    EXPECT_THROW(loadLogoPicture(folder / "brak.jpg"), IoError);
    EXPECT_THROW(loadLogoPicture(folder.path()), IoError);
}

} // namespace
} // namespace wirtello
