#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace wirtello::test {

// A JPEG of the given size, a colour gradient, written through Qt's own writer.
void writeJpeg(const std::filesystem::path& path, int width, int height);

// The same JPEG bytes with the frame header claiming another size.
std::vector<std::uint8_t> withFrameSize(std::vector<std::uint8_t> jpeg, int width, int height);

} // namespace wirtello::test
