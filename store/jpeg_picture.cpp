#include "jpeg_picture.h"

#include "io_error.h"
#include "safe_file.h"

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <new>
#include <string>

#include <jpeglib.h>
#include <jerror.h>

namespace wirtello {
namespace {

const char* const kTooLarge = "Obraz JPEG jest zbyt duży (ponad 100 milionów pikseli)";
const std::string kTooManyScans =
    "Obraz JPEG składa się ze zbyt wielu skanów (ponad " + std::to_string(kMaxJpegScans) + ")";
const char* const kTooMuchWork = "Odczyt obrazu JPEG trwałby zbyt długo";

constexpr unsigned kExifMarker = JPEG_APP0 + 1;

enum class Outcome { Decoded, Unreadable, TooLarge, OutOfMemory, TooManyScans, TooMuchWork };

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    Outcome stoppedFor = Outcome::Unreadable; // when our own limits stopped the decoding
};

void onError(j_common_ptr info)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(manager->jump, 1);
}

// Called by libjpeg before each row of blocks it reads and each row it
// puts out; counts the blocks read and stops a picture over the limits.
struct WorkMonitor {
    jpeg_progress_mgr base;
    std::uint64_t maxBlocks;
    std::uint64_t blocks = 0;
    int scan = 0;
    JDIMENSION row = 0;
};

void stopDecoding(j_common_ptr info, Outcome outcome)
{
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    manager->stoppedFor = outcome;
    std::longjmp(manager->jump, 1);
}

void onProgress(j_common_ptr common)
{
    auto* info = reinterpret_cast<j_decompress_ptr>(common);
    auto* monitor = reinterpret_cast<WorkMonitor*>(info->progress);
    if (info->input_scan_number > kMaxJpegScans)
        stopDecoding(common, Outcome::TooManyScans);
    // Output rows also call here; a row of blocks counts once, when its scan reads it.
    if (info->input_scan_number == monitor->scan && info->input_iMCU_row == monitor->row)
        return;
    monitor->scan = info->input_scan_number;
    monitor->row = info->input_iMCU_row;
    for (int i = 0; i < info->comps_in_scan; ++i) {
        const jpeg_component_info* component = info->cur_comp_info[i];
        monitor->blocks += std::uint64_t(component->width_in_blocks) * component->v_samp_factor;
    }
    if (monitor->blocks > monitor->maxBlocks)
        stopDecoding(common, Outcome::TooMuchWork);
}

void onMessage(j_common_ptr) {}

bool allocate(std::vector<std::uint8_t>& buffer, std::size_t size) noexcept
{
    try {
        buffer.resize(size);
        return true;
    } catch (...) {
        return false;
    }
}

bool swapsSides(int orientation) { return orientation >= 5 && orientation <= 8; }

int orientationOf(jpeg_decompress_struct& info)
{
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next) {
        if (marker->marker == kExifMarker)
            return exifOrientation(std::span<const std::uint8_t>(marker->data, marker->data_length));
    }
    return 1;
}

// Picks the coarsest of libjpeg's cheap scalings whose result still covers
// the wanted size; leaves the output dimensions calculated.
void chooseScale(jpeg_decompress_struct& info, int storedWidth, int storedHeight)
{
    for (unsigned denominator : {8u, 4u, 2u}) {
        info.scale_num = 1;
        info.scale_denom = denominator;
        jpeg_calc_output_dimensions(&info);
        if (info.output_width >= static_cast<JDIMENSION>(storedWidth)
            && info.output_height >= static_cast<JDIMENSION>(storedHeight))
            return;
    }
    info.scale_num = 1;
    info.scale_denom = 1;
    jpeg_calc_output_dimensions(&info);
}

// Adobe's CMYK JPEGs store the inks inverted; others store them plainly.
void cmykRowToRgb(const std::uint8_t* cmyk, std::uint8_t* rgb, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const int k = inverted ? cmyk[3] : 255 - cmyk[3];
        for (int channel = 0; channel < 3; ++channel) {
            const int ink = inverted ? cmyk[channel] : 255 - cmyk[channel];
            rgb[channel] = static_cast<std::uint8_t>((ink * k + 127) / 255);
        }
    }
}

// All libjpeg calls live here, free of C++ objects with destructors, so the
// longjmp out of an error never skips one. `coverWidth` 0 means full size.
Outcome decodeInto(std::span<const std::uint8_t> data, int coverWidth, int coverHeight, std::uint64_t maxBlocks,
                   Picture& picture, std::vector<std::uint8_t>& row, int& orientation)
{
    jpeg_decompress_struct info;
    ErrorManager errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.output_message = onMessage;
    WorkMonitor monitor{{onProgress, 0, 0, 0, 0}, maxBlocks};
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        if (errors.stoppedFor != Outcome::Unreadable)
            return errors.stoppedFor;
        // libjpeg reports its own failed allocations as errors too.
        return errors.base.msg_code == JERR_OUT_OF_MEMORY ? Outcome::OutOfMemory : Outcome::Unreadable;
    }
    jpeg_create_decompress(&info);
    info.progress = &monitor.base;
    jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_save_markers(&info, kExifMarker, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    if (static_cast<std::uint64_t>(info.image_width) * info.image_height > kMaxPicturePixels) {
        jpeg_destroy_decompress(&info);
        return Outcome::TooLarge;
    }
    // Each block is read at least once: a picture of more blocks than the work
    // allowed is refused before its coefficient memory is set up and cleared.
    std::uint64_t blocks = 0;
    for (int i = 0; i < info.num_components; ++i)
        blocks += std::uint64_t(info.comp_info[i].width_in_blocks) * info.comp_info[i].height_in_blocks;
    if (blocks > maxBlocks) {
        jpeg_destroy_decompress(&info);
        return Outcome::TooMuchWork;
    }
    orientation = orientationOf(info);

    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    const bool inverted = info.saw_Adobe_marker;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    if (coverWidth > 0) {
        const bool swapped = swapsSides(orientation);
        chooseScale(info, swapped ? coverHeight : coverWidth, swapped ? coverWidth : coverHeight);
    }
    jpeg_start_decompress(&info);
    if (info.output_components != (cmyk ? 4 : 3)) {
        jpeg_destroy_decompress(&info);
        return Outcome::Unreadable;
    }
    picture.width = static_cast<int>(info.output_width);
    picture.height = static_cast<int>(info.output_height);
    const std::size_t stride = static_cast<std::size_t>(picture.width) * 3;
    if (!allocate(picture.rgb, stride * picture.height)
        || (cmyk && !allocate(row, static_cast<std::size_t>(picture.width) * 4))) {
        jpeg_destroy_decompress(&info);
        return Outcome::OutOfMemory;
    }
    while (info.output_scanline < info.output_height) {
        std::uint8_t* target = picture.rgb.data() + static_cast<std::size_t>(info.output_scanline) * stride;
        JSAMPROW rowPointer = cmyk ? row.data() : target;
        if (jpeg_read_scanlines(&info, &rowPointer, 1) != 1)
            break;
        if (cmyk)
            cmykRowToRgb(row.data(), target, picture.width, inverted);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return Outcome::Decoded;
}

// Turns the picture as stored into the picture as the camera was held.
Picture applyOrientation(Picture stored, int orientation)
{
    if (orientation <= 1 || orientation > 8)
        return stored;
    const int w = stored.width;
    const int h = stored.height;
    Picture shown;
    shown.width = swapsSides(orientation) ? h : w;
    shown.height = swapsSides(orientation) ? w : h;
    shown.rgb.resize(stored.rgb.size());
    for (int y = 0; y < shown.height; ++y) {
        for (int x = 0; x < shown.width; ++x) {
            int sx = x;
            int sy = y;
            switch (orientation) {
            case 2: sx = w - 1 - x; break;
            case 3: sx = w - 1 - x; sy = h - 1 - y; break;
            case 4: sy = h - 1 - y; break;
            case 5: sx = y; sy = x; break;
            case 6: sx = y; sy = h - 1 - x; break;
            case 7: sx = w - 1 - y; sy = h - 1 - x; break;
            case 8: sx = w - 1 - y; sy = x; break;
            }
            const std::uint8_t* from = &stored.rgb[(static_cast<std::size_t>(sy) * w + sx) * 3];
            std::copy(from, from + 3, &shown.rgb[(static_cast<std::size_t>(y) * shown.width + x) * 3]);
        }
    }
    return shown;
}

Picture decode(std::span<const std::uint8_t> data, const std::filesystem::path& name, int coverWidth, int coverHeight,
               std::uint64_t maxBlocks = kMaxJpegDecodeBlocks)
{
    if (data.empty())
        throw IoError(kPictureUnreadable, name);
    try {
        Picture picture;
        std::vector<std::uint8_t> row;
        int orientation = 1;
        switch (decodeInto(data, coverWidth, coverHeight, maxBlocks, picture, row, orientation)) {
        case Outcome::Decoded: break;
        case Outcome::TooLarge: throw IoError(kTooLarge, name);
        case Outcome::TooManyScans: throw IoError(kTooManyScans, name);
        case Outcome::TooMuchWork: throw JpegWorkLimitError(kTooMuchWork, name);
        case Outcome::OutOfMemory: throw IoError(kPictureOutOfMemory, name);
        case Outcome::Unreadable: throw IoError(kPictureUnreadable, name);
        }
        if (picture.isNull())
            throw IoError(kPictureUnreadable, name);
        return applyOrientation(std::move(picture), orientation);
    } catch (const std::bad_alloc&) {
        throw IoError(kPictureOutOfMemory, name);
    }
}

// A photo's file, read only when it is a regular file (never a device or a
// pipe) of a size a picture can have.
constexpr std::uintmax_t kMaxJpegFileBytes = 64u << 20;

std::vector<std::uint8_t> readWholeFile(const std::filesystem::path& path)
{
    try {
        return readRegularFile(path, kMaxJpegFileBytes);
    } catch (const std::bad_alloc&) {
        throw IoError(kPictureOutOfMemory, path);
    }
}

// For each target index along one axis: the source indexes it covers and how
// much of it each contributes.
struct Share {
    int source;
    float weight;
};
std::vector<std::vector<Share>> sharesAlong(int from, int to)
{
    std::vector<std::vector<Share>> shares(static_cast<std::size_t>(to));
    const double step = static_cast<double>(from) / to;
    for (int t = 0; t < to; ++t) {
        const double start = t * step;
        const double end = std::min<double>(from, (t + 1) * step);
        for (int s = static_cast<int>(start); s < from && s < end; ++s) {
            const double overlap = std::min<double>(end, s + 1) - std::max<double>(start, s);
            if (overlap > 0)
                shares[t].push_back({s, static_cast<float>(overlap / step)});
        }
    }
    return shares;
}

// Reads the 16-bit or 32-bit integer at `offset` in the Exif block's byte order.
struct TiffReader {
    std::span<const std::uint8_t> bytes;
    bool bigEndian;

    bool has(std::size_t offset, std::size_t size) const { return offset <= bytes.size() && size <= bytes.size() - offset; }
    unsigned u16(std::size_t offset) const
    {
        return bigEndian ? (bytes[offset] << 8) | bytes[offset + 1] : bytes[offset] | (bytes[offset + 1] << 8);
    }
    std::uint32_t u32(std::size_t offset) const
    {
        return bigEndian ? (std::uint32_t(u16(offset)) << 16) | u16(offset + 2)
                         : u16(offset) | (std::uint32_t(u16(offset + 2)) << 16);
    }
};

} // namespace

int exifOrientation(std::span<const std::uint8_t> app1)
{
    static constexpr std::uint8_t kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};
    constexpr unsigned kOrientationTag = 0x0112;
    constexpr unsigned kShortType = 3;
    if (app1.size() < sizeof kExifHeader || !std::equal(std::begin(kExifHeader), std::end(kExifHeader), app1.begin()))
        return 1;
    const TiffReader tiff{app1.subspan(sizeof kExifHeader), app1.size() > 7 && app1[6] == 'M'};
    if (!tiff.has(0, 8) || !((tiff.bytes[0] == 'I' && tiff.bytes[1] == 'I') || (tiff.bytes[0] == 'M' && tiff.bytes[1] == 'M'))
        || tiff.u16(2) != 42)
        return 1;
    const std::uint32_t directory = tiff.u32(4);
    if (!tiff.has(directory, 2))
        return 1;
    const unsigned entries = tiff.u16(directory);
    for (unsigned i = 0; i < entries; ++i) {
        const std::size_t entry = directory + 2 + std::size_t(i) * 12;
        if (!tiff.has(entry, 12))
            return 1;
        if (tiff.u16(entry) != kOrientationTag)
            continue;
        if (tiff.u16(entry + 2) != kShortType || tiff.u32(entry + 4) != 1)
            return 1;
        const unsigned value = tiff.u16(entry + 8);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : 1;
    }
    return 1;
}

Picture decodeJpeg(const std::vector<std::uint8_t>& data, const std::filesystem::path& nameForErrors)
{
    return decode(data, nameForErrors, 0, 0);
}

Picture decodeJpegFile(const std::filesystem::path& path)
{
    return decode(readWholeFile(path), path, 0, 0);
}

Picture decodeJpegToCover(std::span<const std::uint8_t> data, const std::filesystem::path& nameForErrors, int width,
                          int height, std::uint64_t maxBlocks)
{
    return decode(data, nameForErrors, std::max(width, 1), std::max(height, 1), maxBlocks);
}

Picture decodeJpegFileToCover(const std::filesystem::path& path, int width, int height, std::uint64_t maxBlocks)
{
    return decodeJpegToCover(readWholeFile(path), path, width, height, maxBlocks);
}

Picture stretchPicture(const Picture& picture, int width, int height)
{
    if (picture.isNull() || width <= 0 || height <= 0)
        return {};
    if (picture.width == width && picture.height == height)
        return picture;
    const auto across = sharesAlong(picture.width, width);
    const auto down = sharesAlong(picture.height, height);

    // Across first, into floats, then down.
    std::vector<float> rows(static_cast<std::size_t>(width) * picture.height * 3);
    for (int y = 0; y < picture.height; ++y) {
        const std::uint8_t* source = &picture.rgb[static_cast<std::size_t>(y) * picture.width * 3];
        float* target = &rows[static_cast<std::size_t>(y) * width * 3];
        for (int x = 0; x < width; ++x)
            for (const Share& share : across[x])
                for (int c = 0; c < 3; ++c)
                    target[x * 3 + c] += share.weight * source[share.source * 3 + c];
    }
    Picture stretched;
    stretched.width = width;
    stretched.height = height;
    stretched.rgb.resize(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width * 3; ++x) {
            float sum = 0;
            for (const Share& share : down[y])
                sum += share.weight * rows[static_cast<std::size_t>(share.source) * width * 3 + x];
            stretched.rgb[static_cast<std::size_t>(y) * width * 3 + x] =
                static_cast<std::uint8_t>(std::clamp(std::lround(sum), 0L, 255L));
        }
    }
    return stretched;
}

const Picture& FramePictureCache::picture(const std::filesystem::path& path, int width, int height)
{
    const std::string key = std::to_string(width) + "x" + std::to_string(height) + ":" + path.string();
    std::error_code sizeError;
    std::error_code timeError;
    const std::uintmax_t fileSize = std::filesystem::file_size(path, sizeError);
    const auto changed = std::filesystem::last_write_time(path, timeError);
    const auto found = index_.find(key);
    if (found != index_.end()) {
        const auto entry = found->second;
        if (!sizeError && !timeError && entry->fileSize == fileSize && entry->changed == changed) {
            entries_.splice(entries_.begin(), entries_, entry);
            return entry->picture;
        }
        entries_.erase(entry);
        index_.erase(found);
    }
    Picture stretched = stretchPicture(decodeJpegFileToCover(path, width, height), width, height);
    entries_.push_front(Entry{key, fileSize, changed, std::move(stretched)});
    index_[key] = entries_.begin();
    while (entries_.size() > std::max<std::size_t>(capacity_, 1)) {
        index_.erase(entries_.back().key);
        entries_.pop_back();
    }
    return entries_.front().picture;
}

void FramePictureCache::clear()
{
    entries_.clear();
    index_.clear();
}

} // namespace wirtello
