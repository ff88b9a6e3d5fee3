#pragma once

#include "platform/font_choice.h"
#include "platform/print_surface.h" // FontStyle
#include "store/fixed_record.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace wirtello {

// The print font file every caller names, below the folder "FONT".
inline constexpr const char* kPrintFontFile = "font_zaplo_3906.dat";

// The 76-byte print font record, kept as its bytes so that the padding is
// written back as it was found.
//   0  int32   colour (0x00BBGGRR, or a system colour with high byte 0xFF)
//   4  61      face name, counted text of capacity 60
//   68 int32   size in points
//   72 uint8   style bits (FontStyle)
class PrintFontRecord : public FixedRecord<76> {
public:
    static constexpr Int32Field kColour{0};
    static constexpr TextField kFace{4, 60};
    static constexpr Int32Field kPoints{68};
    static constexpr std::size_t kStyleAt = 72;
    static constexpr std::uint8_t kStyleBits = 0x0F;

    std::int32_t colour() const { return number(kColour); }
    void setColour(std::int32_t colour) { setNumber(kColour, colour); }
    std::string face() const { return text(kFace); } // UTF-8
    void setFace(const std::string& utf8) { setText(kFace, utf8); }
    std::int32_t points() const { return number(kPoints); }
    void setPoints(std::int32_t points) { setNumber(kPoints, points); }
    std::uint8_t style() const { return byte(kStyleAt); }
    void setStyle(std::uint8_t style) { setByte(kStyleAt, style & kStyleBits); }
};

using FontChooser = std::function<std::optional<FontChoice>(const FontChoice&)>;

// The process-wide print font: one object owned by the program and handed to
// everything that prints or chooses the font. All zero at start: black, the
// surface's own face, the face's default height, no style.
class CurrentPrintFont {
public:
    // The print font of the program folder `folder`, whose "FONT" folder holds
    // its file.
    explicit CurrentPrintFont(std::filesystem::path folder) : folder_(std::move(folder)) {}
    // For printouts drawn without the program (tests, tools): the folder
    // current at construction.
    CurrentPrintFont();

    const std::filesystem::path& folder() const { return folder_; }

    // The record last read or written; printouts apply its colour and style.
    const PrintFontRecord& record() const { return record_; }
    std::int32_t colour() const { return record_.colour(); }
    std::uint8_t style() const { return record_.style(); }
    // Copies of the record's face and size, taken when a whole read or a write succeeds.
    const std::string& face() const { return face_; }
    std::int32_t size() const { return size_; }

    // What the font dialog shows when there is no file to prefill it from:
    // the font it showed last in this run.
    const FontChoice& dialogFont() const { return dialogFont_; }

private:
    friend void CzytajFonty(CurrentPrintFont&, const std::string&);
    friend void ZapiszFonty(CurrentPrintFont&, const std::string&, const FontChooser&);

    std::filesystem::path folder_;
    PrintFontRecord record_;
    std::string face_;
    std::int32_t size_ = 0;
    FontChoice dialogFont_{kWindowTextColour, "Tahoma", 8, 0};
};

// Reads "FONT\<name>" below the font's folder into the current print font.
// No file: nothing changes. A short or unreadable file raises IoError and
// leaves the current print font as it was.
void CzytajFonty(CurrentPrintFont& font, const std::string& name);

// Lets the user choose the print font, prefilled from "FONT\<name>" when it
// exists, and on confirmation writes the file and the current print font.
// Cancelling writes nothing. Failures raise IoError; a failed write leaves the
// file and the current print font as they were.
void ZapiszFonty(CurrentPrintFont& font, const std::string& name, const FontChooser& choose);

} // namespace wirtello
