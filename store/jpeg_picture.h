#pragma once

#include "io_error.h"

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

// A progressive JPEG comes in scans, each read over the whole picture again:
// cameras write one, encoders about ten. A file with more scans than this is
// refused, so a small file cannot make decoding go on for minutes.
constexpr int kMaxJpegScans = 300;

// The decoding work a picture may take, in 8x8 blocks read summed over its
// scans: about twenty scans of the largest picture allowed, a second or two.
// With the scan limit it bounds the time any picture holds up the window.
constexpr std::uint64_t kMaxJpegDecodeBlocks = 40'000'000;

// Raised for a picture that would take more decoding work than was allowed
// for it; the picture itself may be sound.
class JpegWorkLimitError : public IoError {
public:
    using IoError::IoError;
};

// Decodes a JPEG file with libjpeg at full size, upright as the camera's
// orientation mark says; CMYK and YCCK pictures are converted. A missing file,
// one that is not a readable JPEG, one over the pixel or scan limit and one
// that does not fit in memory raise IoError naming the file, one over the
// work limit JpegWorkLimitError.
Picture decodeJpegFile(const std::filesystem::path& path);
Picture decodeJpeg(const std::vector<std::uint8_t>& data, const std::filesystem::path& nameForErrors);

// As above, but decoded at the smallest of 1/8, 1/4, 1/2 and full size that
// still covers `width` x `height` as shown (a picture smaller than that comes
// at full size). Much cheaper for a large photo shown in a small frame.
// `maxBlocks` lowers the work limit, e.g. for decoding on the window thread.
Picture decodeJpegFileToCover(const std::filesystem::path& path, int width, int height,
                              std::uint64_t maxBlocks = kMaxJpegDecodeBlocks);
Picture decodeJpegToCover(std::span<const std::uint8_t> data, const std::filesystem::path& nameForErrors, int width,
                          int height, std::uint64_t maxBlocks = kMaxJpegDecodeBlocks);

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
