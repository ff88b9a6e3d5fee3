#include "logo_picture.h"

#include "store/io_error.h"
#include "store/safe_file.h"

namespace wirtello {
namespace {

const char* const kTooLarge = "Obraz jest zbyt duży, aby go użyć jako logo";

bool isFrameMarker(std::uint8_t marker)
{
    // SOF0..SOF15 except DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool standsAlone(std::uint8_t marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

} // namespace

std::optional<JpegFrameSize> jpegFrameSize(const std::vector<std::uint8_t>& data)
{
    const std::size_t size = data.size();
    if (size < 4 || data[0] != 0xFF || data[1] != 0xD8)
        return std::nullopt;
    std::optional<JpegFrameSize> frame;
    std::size_t i = 2;
    while (i + 1 < size) {
        if (data[i] != 0xFF)
            return std::nullopt;
        const std::uint8_t marker = data[i + 1];
        if (marker == 0xFF) { // fill byte
            ++i;
            continue;
        }
        if (standsAlone(marker)) {
            i += 2;
            continue;
        }
        if (marker == 0xD9)
            return std::nullopt; // ended before any scan
        if (i + 3 >= size)
            return std::nullopt;
        const std::size_t length = static_cast<std::size_t>(data[i + 2]) << 8 | data[i + 3];
        if (length < 2 || i + 2 + length > size)
            return std::nullopt;
        if (isFrameMarker(marker)) {
            if (length < 7)
                return std::nullopt;
            frame = JpegFrameSize{static_cast<int>(data[i + 7]) << 8 | data[i + 8],
                                  static_cast<int>(data[i + 5]) << 8 | data[i + 6]};
        }
        if (marker == 0xDA) {
            if (!frame)
                return std::nullopt;
            // Inside the coded data a 0xFF byte is always followed by 0x00 or a
            // restart marker, so an end marker here is the picture's own.
            for (std::size_t k = i + 2 + length; k + 1 < size; ++k)
                if (data[k] == 0xFF && data[k + 1] == 0xD9)
                    return frame;
            return std::nullopt;
        }
        i += 2 + length;
    }
    return std::nullopt;
}

Picture loadLogoPicture(const std::filesystem::path& path)
{
    const std::vector<std::uint8_t> data = readRegularFile(path, kMaxLogoFileBytes, kTooLarge);
    const std::optional<JpegFrameSize> frame = jpegFrameSize(data);
    if (!frame || frame->width <= 0 || frame->height <= 0)
        throw IoError(kPictureUnreadable, path);
    if (static_cast<std::uint64_t>(frame->width) * static_cast<std::uint64_t>(frame->height) > kMaxLogoPixels)
        throw IoError(kTooLarge, path);
    return decodeJpeg(data, path);
}

} // namespace wirtello
