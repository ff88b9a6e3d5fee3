#include "print_font.h"

#include "store/counted_text.h"
#include "store/io_error.h"
#include "store/little_endian.h"
#include "store/paths.h"
#include "store/record_file.h"

#include <filesystem>
#include <span>
#include <system_error>

namespace wirtello {
namespace {

constexpr std::size_t kColourAt = 0;
constexpr std::size_t kFaceAt = 4;
constexpr std::size_t kPointsAt = 68;
constexpr std::size_t kStyleAt = 72;
constexpr std::uint8_t kStyleBits = 0x0F;

std::filesystem::path fontPath(const std::string& name)
{
    return joinPath(currentFolder(), "FONT\\" + name);
}

// The whole record or nothing: a short file must not leave half a record in memory.
PrintFontRecord readFontFile(const std::filesystem::path& path)
{
    PrintFontRecord record;
    readRecordInto(path, record.bytes());
    return record;
}

} // namespace

std::int32_t PrintFontRecord::colour() const
{
    return readInt32(bytes_, kColourAt);
}

void PrintFontRecord::setColour(std::int32_t colour)
{
    writeInt32(bytes_, kColourAt, colour);
}

std::string PrintFontRecord::face() const
{
    return readCounted(std::span(bytes_).subspan(kFaceAt, kFaceCapacity + 1));
}

void PrintFontRecord::setFace(const std::string& utf8)
{
    writeCounted(std::span(bytes_).subspan(kFaceAt, kFaceCapacity + 1), utf8);
}

std::int32_t PrintFontRecord::points() const
{
    return readInt32(bytes_, kPointsAt);
}

void PrintFontRecord::setPoints(std::int32_t points)
{
    writeInt32(bytes_, kPointsAt, points);
}

std::uint8_t PrintFontRecord::style() const
{
    return bytes_[kStyleAt];
}

void PrintFontRecord::setStyle(std::uint8_t style)
{
    bytes_[kStyleAt] = style & kStyleBits;
}

void CzytajFonty(CurrentPrintFont& font, const std::string& name)
{
    const std::filesystem::path path = fontPath(name);
    if (!fileExists(path))
        return;
    font.record_ = readFontFile(path);
    font.face_ = font.record_.face();
    font.size_ = font.record_.points();
}

void ZapiszFonty(CurrentPrintFont& font, const std::string& name, const FontChooser& choose)
{
    const std::filesystem::path path = fontPath(name);
    if (fileExists(path)) {
        // The record is taken in, but the face and size copies stay until a choice is written.
        font.record_ = readFontFile(path);
        FontChoice& shown = font.dialogFont_;
        shown.colour = font.record_.colour();
        const std::string face = font.record_.face();
        if (!face.empty())
            shown.face = face;
        shown.points = font.record_.points();
        shown.style = font.record_.style();
    }

    const std::optional<FontChoice> chosen = choose(font.dialogFont_);
    if (!chosen)
        return;

    PrintFontRecord record = font.record_;
    record.setColour(chosen->colour);
    record.setFace(chosen->face);
    record.setPoints(chosen->points);
    record.setStyle(chosen->style);
    writeRecord(path, record.bytes());

    font.record_ = record;
    font.face_ = record.face();
    font.size_ = record.points();
    font.dialogFont_ = *chosen;
}

} // namespace wirtello
