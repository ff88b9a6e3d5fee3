#pragma once

#include "store/jpeg_picture.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

namespace wirtello {

// Logo pictures are JPEG files chosen by the user or named by a profile that
// may be old. Before libjpeg sees a file it must be a whole JPEG of a size a
// logo can have: a huge picture would take long and a great deal of memory to
// decode, and a truncated one would decode with its missing part in grey.
inline constexpr std::uintmax_t kMaxLogoFileBytes = 64u << 20;
inline constexpr std::uint64_t kMaxLogoPixels = 25'000'000;

struct JpegFrameSize {
    int width = 0;
    int height = 0;
};

// The frame size of a JPEG held in `data`, when it starts with a JPEG's start
// marker, has a frame header and an end marker after its first scan; nothing
// otherwise.
std::optional<JpegFrameSize> jpegFrameSize(const std::vector<std::uint8_t>& data);

// Reads and decodes a logo picture. Anything that is not a whole JPEG of at
// most kMaxLogoPixels raises IoError naming the file.
Picture loadLogoPicture(const std::filesystem::path& path);

} // namespace wirtello
