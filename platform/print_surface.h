#pragma once

#include "store/jpeg_picture.h"

#include <cstdint>
#include <string>

namespace wirtello {

enum class Orientation { Portrait, Landscape };

// The cell a text takes in device dots: its advance and the font's line height.
struct TextExtent {
    int width = 0;
    int height = 0;
};

// Font style bits, as the print font record stores them.
namespace FontStyle {
inline constexpr std::uint8_t Bold = 0x01;
inline constexpr std::uint8_t Italic = 0x02;
inline constexpr std::uint8_t Underline = 0x04;
inline constexpr std::uint8_t StrikeOut = 0x08;
} // namespace FontStyle

// A printer's drawing surface in device dots. Colours are platform colour
// values: 0x00BBGGRR, or a system colour with the high byte 0xFF.
// Failures of the printing layer (no printer, a job that cannot start) raise IoError.
class PrintSurface {
public:
    virtual ~PrintSurface() = default;

    // Dots per inch; readable before the job starts.
    virtual int resolutionX() const = 0;
    virtual int resolutionY() const = 0;

    virtual void beginJob(const std::string& title) = 0;
    virtual void endJob() = 0;
    // Drops an open job without printing it; does nothing when no job is open.
    virtual void abortJob() = 0;
    virtual bool jobOpen() const = 0;
    virtual void newPage() = 0;
    // Only while no job is open.
    virtual void setOrientation(Orientation orientation) = 0;

    virtual void setFontFace(const std::string& face) = 0;
    virtual std::string fontFace() const = 0;
    // Negative: character height in dots; 0: the face's default height.
    virtual void setFontHeight(int height) = 0;
    virtual int fontHeight() const = 0;
    virtual void setFontStyle(std::uint8_t style) = 0;
    virtual std::uint8_t fontStyle() const = 0;
    virtual void setFontColour(std::int32_t colour) = 0;
    virtual void setPenColour(std::int32_t colour) = 0;
    // What textOut would cover with `utf8` in the current font.
    virtual TextExtent textExtent(const std::string& utf8) const = 0;

    // Text with its cell's top-left corner at (x, y), on a white background.
    virtual void textOut(int x, int y, const std::string& utf8) = 0;
    // Outlined with the pen, filled white.
    virtual void rectangle(int left, int top, int right, int bottom) = 0;
    virtual void stretchPicture(int left, int top, int right, int bottom, const Picture& picture) = 0;
};

} // namespace wirtello
