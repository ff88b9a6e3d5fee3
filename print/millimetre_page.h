#pragma once

#include "platform/print_surface.h"

#include <cstdint>
#include <string>

namespace wirtello {

// n / d rounded to the nearest whole number, halves to even (d > 0).
std::int64_t divideRoundedHalfEven(std::int64_t n, std::int64_t d);

// Places texts and frames on a printer's page in page millimetres measured from
// the top-left corner of the printable area. A page millimetre is
// round(resolution / 25) device dots: the stored layouts were made with that
// divisor, so it must stay 25 and not 25.4.
//
// This class holds every operation and the arithmetic; each printout uses one
// of the instances below, which expose only the operations it needs. Only the
// cash document instance calibrates.
class MillimetrePage {
public:
    struct State {
        std::int32_t resolutionX = 0;
        std::int32_t resolutionY = 0;
        std::int32_t dotsPerMmX = 0;
        std::int32_t dotsPerMmY = 0;
        std::int32_t calibrationX = 0; // percent
        std::int32_t calibrationY = 0;
    };

    const State& state() const { return state_; }
    // For job start, new page and font style, which the printouts set themselves.
    PrintSurface& surface() const { return surface_; }

protected:
    explicit MillimetrePage(PrintSurface& surface) : surface_(surface) {}

    // Reads the resolution, applies the calibration, computes dots per millimetre.
    void MeasurePage();
    // Stores the calibration, measures, then starts the print job.
    void BeginCalibratedDocument(std::int32_t percentX, std::int32_t percentY,
                                 const std::string& title = "Wirtello");
    void EndDocument();
    // An empty face keeps the current one; 0 points asks for the face's default height.
    void SetPrintFont(const std::string& face, std::int32_t points);
    void SetTextColor(std::int32_t colour);
    void SetLineColor(std::int32_t colour);
    // 1: exactly bold; 0: plain; anything else: no change.
    void SetBold(std::uint8_t value);
    void TextAt(std::int32_t x, std::int32_t y, const std::string& utf8);
    // Left, top, width, height.
    void FrameAt(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
    void SetLandscape();
    void SetPortrait();

private:
    int dotsX(std::int64_t mm) const;
    int dotsY(std::int64_t mm) const;

    PrintSurface& surface_;
    State state_;
};

// Envelope printout: sets the orientation, starts the job itself,
// then measures.
class EnvelopePrintPage : public MillimetrePage {
public:
    explicit EnvelopePrintPage(PrintSurface& surface) : MillimetrePage(surface) {}
    using MillimetrePage::MeasurePage;
    using MillimetrePage::SetPrintFont;
    using MillimetrePage::TextAt;
    using MillimetrePage::SetLandscape;
    using MillimetrePage::SetPortrait;
};

// Cash document printout: measures, with calibration, before
// the job starts.
class CashPrintPage : public MillimetrePage {
public:
    explicit CashPrintPage(PrintSurface& surface) : MillimetrePage(surface) {}
    using MillimetrePage::BeginCalibratedDocument;
    using MillimetrePage::EndDocument;
    using MillimetrePage::SetPrintFont;
    using MillimetrePage::SetTextColor;
    using MillimetrePage::SetLineColor;
    using MillimetrePage::SetBold;
    using MillimetrePage::TextAt;
    using MillimetrePage::FrameAt;
};

// Contact list and text editor printouts: start the job themselves, then measure.
class LinesPrintPage : public MillimetrePage {
public:
    explicit LinesPrintPage(PrintSurface& surface) : MillimetrePage(surface) {}
    using MillimetrePage::MeasurePage;
    using MillimetrePage::SetPrintFont;
    using MillimetrePage::TextAt;
    using MillimetrePage::SetBold;
};

} // namespace wirtello
