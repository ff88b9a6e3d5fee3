// The JPEG reader as the windows use it: a photo file decoded for its frame
// and stretched to the frame, a logo decoded at full size. A picture is either
// refused with an IoError or comes whole: its pixels fill its size, the frame
// decode covers the frame (or is the full picture), both agree on the picture's
// proportions, and the stretched photo is exactly the frame. A picture refused
// for its scans has more than the limit's scan headers.
#include "fuzz/fuzz_support.h"
#include "store/jpeg_picture.h"

using namespace wirtello;

namespace {

constexpr int kFrameWidth = 97;
constexpr int kFrameHeight = 125;

// Pictures whose header claims more than this are not decoded at full size:
// that would spend the run on one input. For the frame, any picture is
// decoded, under a work limit as low as the window thread's so that a few
// bytes claiming a huge picture in many scans cost milliseconds.
constexpr std::uint64_t kFuzzPixelLimit = 1u << 18;
constexpr std::uint64_t kFuzzMaxBlocks = 1u << 20;

// How many scan headers the bytes may hold (every one of them, and perhaps
// more where the bytes of other segments look like one).
std::size_t scanHeaders(std::span<const std::uint8_t> bytes)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
        count += bytes[i] == 0xFF && bytes[i + 1] == 0xDA;
    return count;
}

// The largest size any frame header in the bytes claims.
std::uint64_t largestClaimedPixels(std::span<const std::uint8_t> bytes)
{
    std::uint64_t largest = 0;
    for (std::size_t i = 0; i + 8 < bytes.size(); ++i) {
        const std::uint8_t marker = bytes[i + 1];
        if (bytes[i] != 0xFF || marker < 0xC0 || marker > 0xCF || marker == 0xC4 || marker == 0xC8 || marker == 0xCC)
            continue;
        const std::uint64_t height = bytes[i + 5] << 8 | bytes[i + 6];
        const std::uint64_t width = bytes[i + 7] << 8 | bytes[i + 8];
        largest = std::max(largest, width * height);
    }
    return largest;
}

bool whole(const Picture& picture)
{
    return !picture.isNull() && picture.rgb.size() == std::size_t(picture.width) * picture.height * 3;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path path = fuzz::emptyFolder("jpeg") / "zdjecie.jpg";
    const std::span<const std::uint8_t> bytes(data, size);
    const bool fullSizeDecoded = largestClaimedPixels(bytes) <= kFuzzPixelLimit;
    fuzz::writeFile(path, bytes);

    auto checkRefusal = [&](const IoError& error) {
        FUZZ_CHECK(error.path() == path);
        if (error.operation().find("skanów") != std::string::npos)
            FUZZ_CHECK(scanHeaders(bytes) > std::size_t(kMaxJpegScans));
    };
    Picture full;
    bool fullRead = fullSizeDecoded;
    if (fullSizeDecoded) {
        try {
            full = decodeJpegFile(path);
        } catch (const IoError& error) {
            checkRefusal(error);
            fullRead = false;
        }
    }
    Picture framed;
    bool frameRead = true;
    try {
        framed = decodeJpegFileToCover(path, kFrameWidth, kFrameHeight, kFuzzMaxBlocks);
    } catch (const JpegWorkLimitError& error) {
        FUZZ_CHECK(error.path() == path);
        return 0; // the full size decoding had a higher limit, so nothing to compare
    } catch (const IoError& error) {
        checkRefusal(error);
        frameRead = false;
    }
    // A picture readable at full size is readable for the frame; the other way
    // round may fail, as a damaged tail need not be read at the coarser scales.
    FUZZ_CHECK(!fullRead || frameRead);
    if (!frameRead)
        return 0;
    FUZZ_CHECK(whole(framed));
    if (fullRead) {
        FUZZ_CHECK(whole(full));
        // Scaled decoding rounds each side up from full / 8, / 4 or / 2.
        const bool covers = framed.width >= kFrameWidth && framed.height >= kFrameHeight;
        FUZZ_CHECK(covers || (framed.width == full.width && framed.height == full.height));
        FUZZ_CHECK(framed.width <= full.width && framed.height <= full.height);
        bool scaleFound = false;
        for (int denominator : {1, 2, 4, 8})
            scaleFound = scaleFound
                || (framed.width == (full.width + denominator - 1) / denominator
                    && framed.height == (full.height + denominator - 1) / denominator);
        FUZZ_CHECK(scaleFound);
    }

    const Picture stretched = stretchPicture(framed, kFrameWidth, kFrameHeight);
    FUZZ_CHECK(whole(stretched) && stretched.width == kFrameWidth && stretched.height == kFrameHeight);

    // The frame's cache gives the same pixels as decoding does.
    FramePictureCache cache;
    const Picture& cached = cache.picture(path, kFrameWidth, kFrameHeight);
    FUZZ_CHECK(cached.rgb == stretched.rgb);
    return 0;
}
