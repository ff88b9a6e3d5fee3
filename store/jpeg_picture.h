#pragma once

#include <cstdint>
#include <filesystem>
#include <list>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

namespace wirtello {

// A decoded picture: rows of RGB triples, top row first.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    bool isNull() const { return width <= 0 || height <= 0; }
};

// Pictures whose header claims more pixels than this are refused before
// anything is allocated for them.
constexpr std::uint64_t kMaxPicturePixels = 100'000'000;

// Decodes a JPEG file with libjpeg at full size, upright as the camera's
// orientation mark says; CMYK and YCCK pictures are converted. A missing file,
// one that is not a readable JPEG, one over the pixel limit and one that does
// not fit in memory raise IoError naming the file.
Picture decodeJpegFile(const std::filesystem::path& path);
Picture decodeJpeg(const std::vector<std::uint8_t>& data, const std::filesystem::path& nameForErrors);

// As above, but decoded at the smallest of 1/8, 1/4, 1/2 and full size that
// still covers `width` x `height` as shown (a picture smaller than that comes
// at full size). Much cheaper for a large photo shown in a small frame.
Picture decodeJpegFileToCover(const std::filesystem::path& path, int width, int height);
Picture decodeJpegToCover(std::span<const std::uint8_t> data, const std::filesystem::path& nameForErrors, int width,
                          int height);

// The picture stretched to exactly `width` x `height`, each target pixel the
// average of the source area it covers.
Picture stretchPicture(const Picture& picture, int width, int height);

// The orientation value (1..8) of an APP1 Exif segment's payload (starting
// with "Exif\0\0"); 1 when there is none or the segment is damaged.
int exifOrientation(std::span<const std::uint8_t> app1);

// Contact photos stretched into their frame, kept so that selecting a contact
// again costs no decoding. A file is decoded again when its size or time of
// change differs from what was decoded. The oldest entries go first.
class FramePictureCache {
public:
    explicit FramePictureCache(std::size_t capacity = 64) : capacity_(capacity) {}

    // The file's picture stretched to `width` x `height`; raises IoError as
    // decodeJpegFile does. Failures are not kept. The reference holds until
    // the next call.
    const Picture& picture(const std::filesystem::path& path, int width, int height);

    std::size_t size() const { return entries_.size(); }
    void clear();

private:
    struct Entry {
        std::string key;
        std::uintmax_t fileSize = 0;
        std::filesystem::file_time_type changed;
        Picture picture;
    };

    std::size_t capacity_;
    std::list<Entry> entries_; // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> index_;
};

} // namespace wirtello
