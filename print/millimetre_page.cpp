#include "millimetre_page.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace wirtello {
namespace {

// Oversized positions and sizes are passed on, but never wrap around.
int clampToInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

// resolution + round(percent / 100 * resolution), the quotient taken in floating point.
std::int32_t calibrated(std::int32_t resolution, std::int32_t percent)
{
    const double added = std::nearbyint((percent / 100.0) * resolution); // ties to even
    return clampToInt(static_cast<std::int64_t>(std::clamp(added + resolution, -2e9, 2e9)));
}

} // namespace

std::int64_t divideRoundedHalfEven(std::int64_t n, std::int64_t d)
{
    std::int64_t q = n / d;
    std::int64_t r = n % d;
    if (r < 0) { // floor division
        --q;
        r += d;
    }
    if (2 * r > d || (2 * r == d && q % 2 != 0))
        ++q;
    return q;
}

int MillimetrePage::dotsX(std::int64_t mm) const
{
    return clampToInt(mm * state_.dotsPerMmX);
}

int MillimetrePage::dotsY(std::int64_t mm) const
{
    return clampToInt(mm * state_.dotsPerMmY);
}

void MillimetrePage::MeasurePage()
{
    state_.resolutionX = calibrated(surface_.resolutionX(), state_.calibrationX);
    state_.resolutionY = calibrated(surface_.resolutionY(), state_.calibrationY);
    state_.dotsPerMmX = static_cast<std::int32_t>(divideRoundedHalfEven(state_.resolutionX, 25));
    state_.dotsPerMmY = static_cast<std::int32_t>(divideRoundedHalfEven(state_.resolutionY, 25));
}

void MillimetrePage::BeginCalibratedDocument(std::int32_t percentX, std::int32_t percentY, const std::string& title)
{
    state_.calibrationX = percentX;
    state_.calibrationY = percentY;
    MeasurePage();
    surface_.beginJob(title);
}

void MillimetrePage::EndDocument()
{
    surface_.endJob();
}

void MillimetrePage::SetPrintFont(const std::string& face, std::int32_t points)
{
    if (!face.empty())
        surface_.setFontFace(face);
    const std::int64_t product = static_cast<std::int64_t>(points) * state_.resolutionY;
    surface_.setFontHeight(clampToInt(-divideRoundedHalfEven(product, 72)));
}

void MillimetrePage::SetTextColor(std::int32_t colour)
{
    surface_.setFontColour(colour);
}

void MillimetrePage::SetLineColor(std::int32_t colour)
{
    surface_.setPenColour(colour);
}

void MillimetrePage::SetBold(std::uint8_t value)
{
    if (value == 1)
        surface_.setFontStyle(FontStyle::Bold);
    else if (value == 0)
        surface_.setFontStyle(0);
}

void MillimetrePage::TextAt(std::int32_t x, std::int32_t y, const std::string& utf8)
{
    surface_.textOut(dotsX(x), dotsY(y), utf8);
}

void MillimetrePage::FrameAt(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height)
{
    surface_.rectangle(dotsX(x), dotsY(y), dotsX(std::int64_t{x} + width), dotsY(std::int64_t{y} + height));
}

void MillimetrePage::SetLandscape()
{
    surface_.setOrientation(Orientation::Landscape);
}

void MillimetrePage::SetPortrait()
{
    surface_.setOrientation(Orientation::Portrait);
}

} // namespace wirtello
