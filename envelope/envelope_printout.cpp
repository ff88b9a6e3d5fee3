#include "envelope_printout.h"

#include "envelope/typed_number.h"
#include "print/millimetre_page.h"
#include "print/print_job.h"

#include <algorithm>
#include <limits>

namespace wirtello {
namespace {

// The address lines stand this far right of the form of address.
constexpr std::int32_t kAddressIndent = 5;
// The sender lines sit one millimetre below their grid.
constexpr std::int32_t kSenderDrop = 1;

int clampToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

// Millimetre sums of typed numbers may leave 32 bits; the page clamps dots
// the same way.
std::int32_t sum(std::int64_t a, std::int64_t b)
{
    return clampToInt(a + b);
}

// Sets the surface back to portrait however the printout ends.
class PortraitAfterwards {
public:
    explicit PortraitAfterwards(EnvelopePrintPage& page) : page_(page) {}
    ~PortraitAfterwards()
    {
        try {
            page_.SetPortrait();
        } catch (...) {
            // The failure that ended the printout is the one to report.
        }
    }
    PortraitAfterwards(const PortraitAfterwards&) = delete;
    PortraitAfterwards& operator=(const PortraitAfterwards&) = delete;

private:
    EnvelopePrintPage& page_;
};

} // namespace

DeviceRect logoRectangle(std::int32_t left, std::int32_t top, int width, int height)
{
    // 2.5 x = 5x / 2: rounded with halves to even for the corner, truncated toward zero for the far edge.
    const auto rounded = [](std::int64_t pixels) { return clampToInt(divideRoundedHalfEven(5 * pixels, 2)); };
    const auto truncated = [](std::int64_t pixels) { return clampToInt(5 * pixels / 2); };
    return {rounded(left), rounded(top), truncated(std::int64_t{left} + width), truncated(std::int64_t{top} + height)};
}

void drawEnvelope(PrintSurface& surface, const CurrentPrintFont& font, const EnvelopeLayout& layout,
                  const Picture& logo)
{
    const EnvelopeSettings& s = layout.settings;
    const std::int32_t spacing = readTypedNumber(s.spacing);
    const std::int32_t senderLeft = readTypedNumber(s.senderLeft);
    const std::int32_t senderTop = readTypedNumber(s.senderTop);
    std::int32_t recipientLeft = 0;
    std::int32_t recipientTop = 0;
    if (layout.ticks.preset >= 1 && layout.ticks.preset <= 4) {
        recipientLeft = readTypedNumber(s.left[layout.ticks.preset - 1]);
        recipientTop = readTypedNumber(s.top[layout.ticks.preset - 1]);
    }

    surface.setFontStyle(font.style());
    surface.setFontColour(font.colour());

    EnvelopePrintPage page(surface);
    if (layout.ticks.landscape)
        page.SetLandscape();
    else
        page.SetPortrait();
    PortraitAfterwards portrait(page);
    PrintJob job(surface, "Koperta");
    std::int32_t cursor = senderTop;
    page.MeasurePage();

    if (layout.ticks.logo && !logo.isNull()) {
        const DeviceRect r = logoRectangle(readTypedNumber(layout.logo.left), readTypedNumber(layout.logo.top),
                                           logo.width, logo.height);
        surface.stretchPicture(r.left, r.top, r.right, r.bottom, logo);
    }

    page.SetPrintFont(font.face(), font.size());
    for (std::size_t i = 0; i < s.sender.size(); ++i) {
        page.TextAt(senderLeft, sum(cursor, kSenderDrop), s.sender[i]);
        if (i < 3)
            cursor = sum(cursor, spacing);
    }

    cursor = senderTop;
    page.SetPrintFont(font.face(), font.size());
    page.TextAt(recipientLeft, recipientTop, layout.recipient[0]);
    cursor = sum(cursor, spacing);
    const std::int32_t addressLeft = sum(recipientLeft, kAddressIndent);
    for (std::size_t i = 1; i < layout.recipient.size(); ++i) {
        page.TextAt(addressLeft, sum(recipientTop, cursor), layout.recipient[i]);
        if (i < 4)
            cursor = sum(cursor, spacing);
    }
    job.finish();
}

} // namespace wirtello
