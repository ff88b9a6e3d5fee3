#pragma once

#include "envelope/envelope_records.h"
#include "platform/print_surface.h"
#include "print/print_font.h"

#include <array>
#include <string>

namespace wirtello {

// What the envelope window holds when "Drukuj kopertę" is pressed: the texts
// as typed (UTF-8) and the ticks.
struct EnvelopeLayout {
    EnvelopeSettings settings;            // sender lines, presets, spacing, sender position
    LogoSettings logo;                    // only the position is printed from here
    std::array<std::string, 5> recipient; // o1 (form of address) .. o5
    LayoutTicks ticks;
};

// The device rectangle a logo of `width` x `height` picture pixels is
// stretched into: 2.5 dots per picture pixel at every resolution, the top-left
// corner rounded (halves to even) and the bottom-right truncated.
struct DeviceRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const DeviceRect&) const = default;
};
DeviceRect logoRectangle(std::int32_t left, std::int32_t top, int width, int height);

// Prints one envelope on `surface` in the current print font: the logo when
// ticked (and loaded), the four sender lines and the five recipient lines at
// the positions typed, in page millimetres. Landscape is set before the job
// when ticked; the surface is set back to portrait afterwards, also when a
// failure stops the printout (the job is then abandoned and the error raised).
void drawEnvelope(PrintSurface& surface, const CurrentPrintFont& font, const EnvelopeLayout& layout,
                  const Picture& logo);

} // namespace wirtello
