#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace wirtello {

// A decoded picture: rows of RGB triples, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    bool isNull() const { return width <= 0 || height <= 0; }
};

// Decodes a JPEG file with libjpeg. A missing file or one that is not a
// readable JPEG raises IoError naming the file.
Picture decodeJpegFile(const std::filesystem::path& path);
Picture decodeJpeg(const std::vector<std::uint8_t>& data, const std::filesystem::path& nameForErrors);

} // namespace wirtello
