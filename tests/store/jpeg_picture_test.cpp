#include "store/io_error.h"
#include "store/jpeg_picture.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

using namespace wirtello;
using wirtello::test::TempFolder;
using wirtello::test::writeBytes;

TEST(JpegPicture, DecodesTheShippedDefaultPicture)
{
    const Picture picture = decodeJpegFile(WIRTELLO_SAMPLE_JPEG);
    EXPECT_EQ(picture.width, 388);
    EXPECT_EQ(picture.height, 500);
    ASSERT_EQ(picture.rgb.size(), 388u * 500u * 3u);
    // A sky: blue dominates at the bottom edge.
    const std::size_t bottom = (499u * 388u + 10u) * 3u;
    EXPECT_GT(picture.rgb[bottom + 2], picture.rgb[bottom]);
}

TEST(JpegPicture, BrokenOrMissingFileRaisesAnErrorNamingIt)
{
    TempFolder folder;
    writeBytes(folder / "broken.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 0, 1, 2, 3});
    try {
        decodeJpegFile(folder / "broken.jpg");
        FAIL() << "decoding should fail";
    } catch (const IoError& error) {
        EXPECT_EQ(error.path(), folder / "broken.jpg");
    }
    EXPECT_THROW(decodeJpegFile(folder / "none.jpg"), IoError);
    writeBytes(folder / "empty.jpg", {});
    EXPECT_THROW(decodeJpegFile(folder / "empty.jpg"), IoError);
}
