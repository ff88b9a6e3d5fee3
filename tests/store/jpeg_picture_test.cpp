#include "store/io_error.h"
#include "store/jpeg_picture.h"

#include "tests/store/jpeg_samples.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

using namespace wirtello;
using wirtello::test::claimSize;
using wirtello::test::encodeJpeg;
using wirtello::test::exifSegment;
using wirtello::test::JpegInk;
using wirtello::test::Rgb;
using wirtello::test::TempFolder;
using wirtello::test::writeBytes;

namespace {

// Red, green, blue and white quarters: top left, top right, bottom left, bottom right.
Rgb quarters(int x, int y, int width, int height)
{
    const bool right = x >= width / 2;
    const bool bottom = y >= height / 2;
    if (!bottom)
        return right ? Rgb{0, 255, 0} : Rgb{255, 0, 0};
    return right ? Rgb{255, 255, 255} : Rgb{0, 0, 255};
}

std::vector<std::uint8_t> quarterJpeg(int width, int height, JpegInk ink = JpegInk::Rgb, int orientation = 0)
{
    return encodeJpeg(width, height, [&](int x, int y) { return quarters(x, y, width, height); }, ink, orientation);
}

// The nearest of the four quarter colours, as a letter.
char colourAt(const Picture& picture, int x, int y)
{
    const std::uint8_t* p = &picture.rgb[(static_cast<std::size_t>(y) * picture.width + x) * 3];
    const std::pair<char, Rgb> known[] = {{'R', {255, 0, 0}}, {'G', {0, 255, 0}}, {'B', {0, 0, 255}}, {'W', {255, 255, 255}}};
    char best = '?';
    int bestDistance = 1 << 30;
    for (const auto& [letter, c] : known) {
        const int distance = (p[0] - c.r) * (p[0] - c.r) + (p[1] - c.g) * (p[1] - c.g) + (p[2] - c.b) * (p[2] - c.b);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = letter;
        }
    }
    return bestDistance < 60 * 60 ? best : '?';
}

// Colours a quarter of the way in from each corner: top left, top right, bottom left, bottom right.
std::string corners(const Picture& picture)
{
    const int left = picture.width / 4;
    const int right = picture.width - 1 - picture.width / 4;
    const int top = picture.height / 4;
    const int bottom = picture.height - 1 - picture.height / 4;
    return {colourAt(picture, left, top), colourAt(picture, right, top), colourAt(picture, left, bottom),
            colourAt(picture, right, bottom)};
}

std::string operationOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const IoError& error) {
        return error.operation();
    }
    return "";
}

} // namespace

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
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> files = {
        {"broken.jpg", {0xFF, 0xD8, 0xFF, 0xE0, 0, 1, 2, 3}},
        {"empty.jpg", {}},
        {"text.jpg", {'J', 'P', 'E', 'G'}},
    };
    for (const auto& [name, bytes] : files)
        writeBytes(folder / name, bytes);
    for (const std::string name : {"broken.jpg", "empty.jpg", "text.jpg", "none.jpg"}) {
        SCOPED_TRACE(name);
        for (const bool small : {false, true}) {
            try {
                small ? decodeJpegFileToCover(folder / name, 97, 125) : decodeJpegFile(folder / name);
                ADD_FAILURE() << "decoding should fail";
            } catch (const IoError& error) {
                EXPECT_EQ(error.path(), folder / name);
            }
        }
    }
}

TEST(JpegPicture, AHeaderClaimingTooManyPixelsIsRefusedBeforeAnythingIsAllocated)
{
    TempFolder folder;
    struct Row {
        int width, height;
    };
    const Row rows[] = {{60000, 60000}, {10001, 10000}, {65500, 1600}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + "x" + std::to_string(row.height));
        auto bytes = quarterJpeg(16, 16);
        claimSize(bytes, row.width, row.height);
        writeBytes(folder / "huge.jpg", bytes);
        const std::string full = operationOf([&] { decodeJpegFile(folder / "huge.jpg"); });
        const std::string small = operationOf([&] { decodeJpegFileToCover(folder / "huge.jpg", 97, 125); });
        EXPECT_NE(full.find("zbyt duży"), std::string::npos) << full;
        EXPECT_EQ(small, full);
    }
}

// Every scan of a progressive picture is read over the whole picture again:
// many scans, or a few over a large claimed size, are refused in moments.
TEST(JpegPicture, APictureOfTooManyScansOrTooMuchWorkIsRefusedQuickly)
{
    TempFolder folder;
    const std::filesystem::path path = folder / "skany.jpg";
    const std::string tooManyScans = "Obraz JPEG składa się ze zbyt wielu skanów (ponad 300)";
    const std::string tooLong = "Odczyt obrazu JPEG trwałby zbyt długo";
    struct Row {
        int scans;
        int claimedSide; // 0: the picture's own 64 x 64
        std::uint64_t framedMaxBlocks;
        std::string full, framed; // the refusals; empty: decoded
    };
    const Row rows[] = {
        {10, 0, kMaxJpegDecodeBlocks, "", ""},
        {300, 0, kMaxJpegDecodeBlocks, "", ""},
        {301, 0, kMaxJpegDecodeBlocks, tooManyScans, tooManyScans},
        {694, 0, kMaxJpegDecodeBlocks, tooManyScans, tooManyScans},
        {300, 10000, kMaxJpegDecodeBlocks, tooLong, tooLong},
        {40, 0, 64 * 20, "", tooLong}, // a lowered limit, as for the window thread
    };
    // The refusal's text; a work refusal must be told apart from a broken file.
    auto refusalOf = [&](const std::function<void()>& decode) -> std::string {
        try {
            decode();
        } catch (const JpegWorkLimitError& error) {
            EXPECT_EQ(error.path(), path);
            return error.operation();
        } catch (const IoError& error) {
            EXPECT_EQ(error.path(), path);
            return error.operation() == tooLong ? "not a JpegWorkLimitError" : error.operation();
        }
        return "";
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.scans) + " scans, claimed " + std::to_string(row.claimedSide));
        auto bytes = test::progressiveJpeg(64, 64, row.scans);
        if (row.claimedSide != 0)
            claimSize(bytes, row.claimedSide, row.claimedSide);
        writeBytes(path, bytes);
        EXPECT_EQ(refusalOf([&] { decodeJpegFile(path); }), row.full);
        EXPECT_EQ(refusalOf([&] { decodeJpegFileToCover(path, 97, 125, row.framedMaxBlocks); }), row.framed);
    }
}

TEST(JpegPicture, APictureThatDoesNotFitInMemoryIsAnErrorNamingTheFile)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address space limit and the address sanitizer do not mix";
#else
    TempFolder folder;
    auto bytes = quarterJpeg(16, 16);
    claimSize(bytes, 10000, 10000); // allowed by the pixel limit, 300 MB decoded
    writeBytes(folder / "big.jpg", bytes);
    const std::filesystem::path path = folder / "big.jpg";
    auto decodeWithLittleMemory = [&] {
        // Room for 64 MB more than the process holds now.
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t limit = static_cast<rlim_t>(pages) * ::sysconf(_SC_PAGESIZE) + (64u << 20);
        const rlimit cap{limit, limit};
        ::setrlimit(RLIMIT_AS, &cap);
        try {
            decodeJpegFile(path);
        } catch (const IoError& error) {
            std::_Exit(error.path() == path && error.operation().find("pamięci") != std::string::npos ? 0 : 2);
        }
        std::_Exit(3);
    };
    EXPECT_EXIT(decodeWithLittleMemory(), ::testing::ExitedWithCode(0), "");
#endif
}

TEST(JpegPicture, TheCameraOrientationIsApplied)
{
    struct Row {
        int orientation;
        int width, height; // as shown
        const char* corners;
    };
    // Stored 64 x 32 with red, green, blue, white quarters.
    const Row rows[] = {
        {0, 64, 32, "RGBW"}, {1, 64, 32, "RGBW"}, {2, 64, 32, "GRWB"}, {3, 64, 32, "WBGR"}, {4, 64, 32, "BWRG"},
        {5, 32, 64, "RBGW"}, {6, 32, 64, "BRWG"}, {7, 32, 64, "WGBR"}, {8, 32, 64, "GWRB"}, {9, 64, 32, "RGBW"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.orientation);
        const Picture picture = decodeJpeg(quarterJpeg(64, 32, JpegInk::Rgb, row.orientation), "p.jpg");
        EXPECT_EQ(picture.width, row.width);
        EXPECT_EQ(picture.height, row.height);
        EXPECT_EQ(corners(picture), row.corners);
    }
}

TEST(JpegPicture, ScannerAndPrintShopColourSpacesAreShown)
{
    struct Row {
        const char* name;
        JpegInk ink;
        const char* corners;
    };
    const Row rows[] = {
        {"rgb", JpegInk::Rgb, "RGBW"},
        {"adobe cmyk", JpegInk::AdobeCmyk, "RGBW"},
        {"plain cmyk", JpegInk::PlainCmyk, "RGBW"},
        {"ycck", JpegInk::Ycck, "RGBW"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto bytes = quarterJpeg(64, 48, row.ink);
        EXPECT_EQ(corners(decodeJpeg(bytes, "p.jpg")), row.corners);
        EXPECT_EQ(corners(decodeJpegToCover(bytes, "p.jpg", 8, 6)), row.corners);
    }
    const Picture gray = decodeJpeg(quarterJpeg(16, 16, JpegInk::Gray), "g.jpg");
    ASSERT_EQ(gray.rgb.size(), 16u * 16u * 3u);
    EXPECT_EQ(gray.rgb[0], gray.rgb[2]);
}

TEST(JpegPicture, AFramePictureIsDecodedAsCoarselyAsStillCoversTheFrame)
{
    struct Row {
        int width, height, orientation;
        int decodedWidth, decodedHeight; // as shown
    };
    const Row rows[] = {
        {1600, 1200, 0, 200, 150},  // 1/8
        {800, 600, 0, 200, 150},    // 1/4: an eighth is 75 high
        {388, 500, 0, 97, 125},     // the default picture: 1/4 exactly
        {385, 500, 0, 97, 125},     // 1/4 rounds up
        {380, 500, 0, 190, 250},    // 1/4 would be 95 wide
        {200, 250, 0, 100, 125},    // 1/2
        {150, 200, 0, 150, 200},    // full size
        {50, 40, 0, 50, 40},        // smaller than the frame
        {1000, 776, 6, 97, 125},    // a portrait held sideways: 1/8 covers once turned
        {1000, 776, 0, 250, 194},   // the same bytes shown as stored need 1/4
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.width) + "x" + std::to_string(row.height) + " o" + std::to_string(row.orientation));
        const auto bytes = quarterJpeg(row.width, row.height, JpegInk::Rgb, row.orientation);
        const Picture picture = decodeJpegToCover(bytes, "p.jpg", 97, 125);
        EXPECT_EQ(picture.width, row.decodedWidth);
        EXPECT_EQ(picture.height, row.decodedHeight);
        EXPECT_EQ(picture.rgb.size(), static_cast<std::size_t>(picture.width) * picture.height * 3);
    }
}

TEST(JpegPicture, StretchingAveragesTheCoveredArea)
{
    struct Row {
        const char* name;
        int width, height;
        std::vector<std::uint8_t> values; // one grey level per pixel
        int toWidth, toHeight;
        std::vector<std::uint8_t> expected;
    };
    const Row rows[] = {
        {"halve", 4, 2, {0, 100, 200, 40, 10, 110, 210, 50}, 2, 1, {55, 125}},
        {"thirds", 3, 1, {0, 90, 180}, 2, 1, {30, 150}},
        {"grow", 1, 1, {77}, 2, 3, {77, 77, 77, 77, 77, 77}},
        {"same", 2, 1, {1, 2}, 2, 1, {1, 2}},
        {"squeeze one way", 2, 2, {0, 0, 100, 100}, 2, 1, {50, 50}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Picture picture;
        picture.width = row.width;
        picture.height = row.height;
        for (std::uint8_t v : row.values)
            picture.rgb.insert(picture.rgb.end(), {v, v, v});
        const Picture stretched = stretchPicture(picture, row.toWidth, row.toHeight);
        ASSERT_EQ(stretched.width, row.toWidth);
        ASSERT_EQ(stretched.height, row.toHeight);
        std::vector<std::uint8_t> reds;
        for (std::size_t i = 0; i < stretched.rgb.size(); i += 3)
            reds.push_back(stretched.rgb[i]);
        EXPECT_EQ(reds, row.expected);
    }
    EXPECT_TRUE(stretchPicture(Picture{}, 97, 125).isNull());
}

TEST(JpegPicture, ExifOrientationIsReadOnlyFromAWellFormedEntry)
{
    auto patched = [](std::vector<std::uint8_t> bytes, std::size_t at, std::uint8_t value) {
        bytes.at(at) = value;
        return bytes;
    };
    const auto little = exifSegment(6, false);
    const auto big = exifSegment(8, true);
    // Offsets in the segment: 6 header bytes, TIFF header 8, entry count 2, the
    // orientation entry at 6 + 8 + 2 + 12 = 28 (tag, type at 30, count at 32, value at 36).
    const std::vector<std::pair<const char*, std::pair<std::vector<std::uint8_t>, int>>> rows = {
        {"little endian", {little, 6}},
        {"big endian", {big, 8}},
        {"no exif header", {patched(little, 0, 'X'), 1}},
        {"wrong byte order mark", {patched(little, 6, 'X'), 1}},
        {"wrong magic", {patched(little, 8, 43), 1}},
        {"directory beyond the end", {patched(little, 10, 200), 1}},
        {"orientation beyond the entry count", {patched(little, 14, 1), 1}},
        {"entries missing after it", {patched(exifSegment(6, false), 14, 200), 6}},
        {"not a short", {patched(little, 30, 4), 1}},
        {"two values", {patched(little, 32, 2), 1}},
        {"value zero", {patched(little, 36, 0), 1}},
        {"value nine", {patched(little, 36, 9), 1}},
        {"cut in the entry", {std::vector<std::uint8_t>(little.begin(), little.begin() + 34), 1}},
        {"empty", {{}, 1}},
    };
    for (const auto& [name, row] : rows)
        EXPECT_EQ(exifOrientation(row.first), row.second) << name;
}

TEST(FramePictureCache, KeepsTheStretchedPictureUntilTheFileChanges)
{
    TempFolder folder;
    const auto a = quarterJpeg(776, 1000);
    writeBytes(folder / "a.jpg", a);

    FramePictureCache cache(2);
    const Picture first = cache.picture(folder / "a.jpg", 97, 125);
    EXPECT_EQ(first.width, 97);
    EXPECT_EQ(first.height, 125);
    EXPECT_EQ(corners(first), "RGBW");

    // Same size and time: not decoded again, so even damaged bytes go unnoticed.
    const auto stamp = std::filesystem::last_write_time(folder / "a.jpg");
    writeBytes(folder / "a.jpg", std::vector<std::uint8_t>(a.size(), 0));
    std::filesystem::last_write_time(folder / "a.jpg", stamp);
    EXPECT_EQ(cache.picture(folder / "a.jpg", 97, 125).rgb, first.rgb);

    // Another time of change: decoded again.
    std::filesystem::last_write_time(folder / "a.jpg", stamp - std::chrono::seconds(5));
    EXPECT_THROW(cache.picture(folder / "a.jpg", 97, 125), IoError);

    // A new picture under the old name is shown.
    writeBytes(folder / "a.jpg", quarterJpeg(200, 250, JpegInk::Rgb, 3));
    EXPECT_EQ(corners(cache.picture(folder / "a.jpg", 97, 125)), "WBGR");

    // A removed file is an error, not an old picture.
    std::filesystem::remove(folder / "a.jpg");
    EXPECT_THROW(cache.picture(folder / "a.jpg", 97, 125), IoError);
}

TEST(FramePictureCache, ForgetsTheLeastRecentlyShownBeyondItsCapacity)
{
    TempFolder folder;
    FramePictureCache cache(2);
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        writeBytes(folder / name, quarterJpeg(200, 250));
    cache.picture(folder / "a.jpg", 97, 125);
    cache.picture(folder / "b.jpg", 97, 125);
    cache.picture(folder / "a.jpg", 97, 125); // a is now the most recent
    cache.picture(folder / "c.jpg", 97, 125); // b goes
    EXPECT_EQ(cache.size(), 2u);

    // Damage every file without changing its size or time: only what is kept still shows.
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
        const auto stamp = std::filesystem::last_write_time(folder / name);
        const auto size = std::filesystem::file_size(folder / name);
        writeBytes(folder / name, std::vector<std::uint8_t>(size, 0));
        std::filesystem::last_write_time(folder / name, stamp);
    }
    EXPECT_NO_THROW(cache.picture(folder / "a.jpg", 97, 125));
    EXPECT_NO_THROW(cache.picture(folder / "c.jpg", 97, 125));
    EXPECT_THROW(cache.picture(folder / "b.jpg", 97, 125), IoError);
    // Another frame size is another picture.
    EXPECT_THROW(cache.picture(folder / "a.jpg", 50, 50), IoError);
}
