#include "jpeg_samples.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

namespace wirtello::test {
namespace {

// A compressor writing into memory, its defaults set for the size and colour
// space given; finish() hands the file over.
class MemoryJpeg {
public:
    MemoryJpeg(int width, int height, int components, J_COLOR_SPACE space)
    {
        info_.err = jpeg_std_error(&errors_);
        jpeg_create_compress(&info_);
        jpeg_mem_dest(&info_, &buffer_, &size_);
        info_.image_width = static_cast<JDIMENSION>(width);
        info_.image_height = static_cast<JDIMENSION>(height);
        info_.input_components = components;
        info_.in_color_space = space;
        jpeg_set_defaults(&info_);
    }
    ~MemoryJpeg()
    {
        jpeg_destroy_compress(&info_);
        std::free(buffer_);
    }
    MemoryJpeg(const MemoryJpeg&) = delete;
    MemoryJpeg& operator=(const MemoryJpeg&) = delete;

    jpeg_compress_struct& info() { return info_; }
    void writeRow(std::vector<std::uint8_t>& row)
    {
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info_, &pointer, 1);
    }
    std::vector<std::uint8_t> finish()
    {
        jpeg_finish_compress(&info_);
        return {buffer_, buffer_ + size_};
    }

private:
    jpeg_compress_struct info_{};
    jpeg_error_mgr errors_{};
    unsigned char* buffer_ = nullptr;
    unsigned long size_ = 0;
};

} // namespace

std::vector<std::uint8_t> exifSegment(int orientation, bool bigEndian)
{
    auto u16 = [bigEndian](std::vector<std::uint8_t>& out, unsigned v) {
        if (bigEndian) {
            out.push_back(std::uint8_t(v >> 8));
            out.push_back(std::uint8_t(v));
        } else {
            out.push_back(std::uint8_t(v));
            out.push_back(std::uint8_t(v >> 8));
        }
    };
    auto u32 = [&](std::vector<std::uint8_t>& out, std::uint32_t v) {
        if (bigEndian) {
            u16(out, v >> 16);
            u16(out, v & 0xFFFF);
        } else {
            u16(out, v & 0xFFFF);
            u16(out, v >> 16);
        }
    };
    std::vector<std::uint8_t> out = {'E', 'x', 'i', 'f', 0, 0};
    out.push_back(bigEndian ? 'M' : 'I');
    out.push_back(bigEndian ? 'M' : 'I');
    u16(out, 42);
    u32(out, 8);
    u16(out, 2);          // two entries: a resolution unit first, then the orientation
    u16(out, 0x0128);
    u16(out, 3);
    u32(out, 1);
    u16(out, 2);
    u16(out, 0);
    u16(out, 0x0112);
    u16(out, 3);
    u32(out, 1);
    u16(out, static_cast<unsigned>(orientation));
    u16(out, 0);
    u32(out, 0);
    return out;
}

std::vector<std::uint8_t> encodeJpeg(int width, int height, const std::function<Rgb(int, int)>& colour, JpegInk ink,
                                     int orientation, int quality)
{
    const bool cmyk = ink == JpegInk::AdobeCmyk || ink == JpegInk::PlainCmyk || ink == JpegInk::Ycck;
    MemoryJpeg jpeg(width, height, ink == JpegInk::Gray ? 1 : cmyk ? 4 : 3,
                    ink == JpegInk::Gray ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_RGB);
    jpeg_compress_struct& info = jpeg.info();
    jpeg_set_quality(&info, quality, TRUE);
    if (ink == JpegInk::Ycck)
        jpeg_set_colorspace(&info, JCS_YCCK);
    if (ink == JpegInk::PlainCmyk)
        info.write_Adobe_marker = FALSE;
    jpeg_start_compress(&info, TRUE);
    if (orientation != 0) {
        const auto exif = exifSegment(orientation, false);
        jpeg_write_marker(&info, JPEG_APP0 + 1, exif.data(), static_cast<unsigned>(exif.size()));
    }
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width) * info.input_components);
    const bool inverted = info.write_Adobe_marker;
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < width; ++x) {
            const Rgb c = colour(x, y);
            std::uint8_t* p = &row[static_cast<std::size_t>(x) * info.input_components];
            if (ink == JpegInk::Gray) {
                p[0] = static_cast<std::uint8_t>((c.r + c.g + c.b) / 3);
            } else if (!cmyk) {
                p[0] = c.r;
                p[1] = c.g;
                p[2] = c.b;
            } else {
                // Pure inks without black; Adobe files store them inverted.
                const std::uint8_t inks[4] = {std::uint8_t(255 - c.r), std::uint8_t(255 - c.g), std::uint8_t(255 - c.b), 0};
                for (int i = 0; i < 4; ++i)
                    p[i] = inverted ? std::uint8_t(255 - inks[i]) : inks[i];
            }
        }
        jpeg.writeRow(row);
    }
    return jpeg.finish();
}

std::vector<std::uint8_t> progressiveJpeg(int width, int height, int scans)
{
    constexpr int kLowestBit = 10; // the coarsest first bit libjpeg accepts
    std::vector<jpeg_scan_info> script;
    script.push_back({1, {0}, 0, 0, 0, 0});
    for (int coefficient = 1; coefficient < 64; ++coefficient)
        for (int bit = kLowestBit; bit >= 0; --bit)
            script.push_back({1, {0}, coefficient, coefficient, bit == kLowestBit ? 0 : bit + 1, bit});
    if (scans < 1 || scans > static_cast<int>(script.size()))
        throw std::runtime_error("scan count out of range");
    script.resize(static_cast<std::size_t>(scans));

    MemoryJpeg jpeg(width, height, 1, JCS_GRAYSCALE);
    jpeg_compress_struct& info = jpeg.info();
    info.scan_info = script.data();
    info.num_scans = scans;
    jpeg_start_compress(&info, TRUE);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(width), 128);
    while (info.next_scanline < info.image_height)
        jpeg.writeRow(row);
    return jpeg.finish();
}

void claimSize(std::vector<std::uint8_t>& jpeg, int width, int height)
{
    for (std::size_t i = 2; i + 8 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
            jpeg[i + 5] = std::uint8_t(height >> 8);
            jpeg[i + 6] = std::uint8_t(height);
            jpeg[i + 7] = std::uint8_t(width >> 8);
            jpeg[i + 8] = std::uint8_t(width);
            return;
        }
    }
    throw std::runtime_error("no frame header");
}

} // namespace wirtello::test
