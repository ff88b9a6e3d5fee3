#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

namespace wirtello::test {

struct Rgb {
    std::uint8_t r, g, b;
};

enum class JpegInk { Rgb, Gray, AdobeCmyk, PlainCmyk, Ycck };

// A baseline JPEG of `width` x `height` whose pixel (x, y) is `colour(x, y)`,
// stored in the given colour space (CMYK written as the inks of that colour),
// with an Exif orientation mark when `orientation` is not 0.
std::vector<std::uint8_t> encodeJpeg(int width, int height, const std::function<Rgb(int, int)>& colour,
                                     JpegInk ink = JpegInk::Rgb, int orientation = 0, int quality = 90);

// The payload of an APP1 Exif segment holding one orientation entry.
std::vector<std::uint8_t> exifSegment(int orientation, bool bigEndian);

// A flat grey progressive JPEG in `scans` scans (at most 694), as a sound
// encoder may write it: the DC first, then each AC coefficient alone, refined
// bit by bit. Small whatever its size, as every scan after the first is a few bytes.
std::vector<std::uint8_t> progressiveJpeg(int width, int height, int scans);

// Rewrites the frame header so the picture claims another size.
void claimSize(std::vector<std::uint8_t>& jpeg, int width, int height);

} // namespace wirtello::test
