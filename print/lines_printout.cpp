#include "lines_printout.h"

#include "print/millimetre_page.h"
#include "print/print_job.h"

#include <algorithm>
#include <limits>

namespace wirtello {
namespace {

constexpr int kLeft = 10;
constexpr int kFirstRow = 5;
constexpr int kHeadingGap = 10;
constexpr int kLineSpacing = 5;
constexpr int kHeadingExtraPoints = 5;

// The heading over lines in the face's own size (no size stored): the
// default print font's 10 points and the extra.
constexpr int kHeadingOverDefaultSize = 10 + kHeadingExtraPoints;

std::int32_t headingPoints(std::int32_t points, HeadingSize rule)
{
    // A damaged file may hold any size; the heading must not overflow.
    constexpr std::int32_t most = std::numeric_limits<std::int32_t>::max() - kHeadingExtraPoints;
    if (rule == HeadingSize::StoredPlusFive || points > 0)
        return std::min(points, most) + kHeadingExtraPoints;
    // A negative size is a character height (Windows folders): larger is further from 0.
    if (points < 0)
        return std::max(points, -most) - kHeadingExtraPoints;
    return kHeadingOverDefaultSize;
}

} // namespace

void drawHeadedLines(PrintSurface& surface, const CurrentPrintFont& font, const std::string& jobTitle,
                     const std::string& heading, const std::vector<std::string>& lines, HeadingSize headingSize)
{
    surface.setFontStyle(font.style());
    surface.setFontColour(font.colour());

    PrintJob job(surface, jobTitle);
    LinesPrintPage page(surface);
    int row = kFirstRow;
    int onPage = 0;
    page.MeasurePage();

    page.SetPrintFont(font.face(), headingPoints(font.size(), headingSize));
    page.SetBold(1);
    page.TextAt(kLeft, row + 1, heading);
    page.SetBold(0);

    surface.setFontStyle(font.style());
    page.SetPrintFont(font.face(), font.size());
    row += kHeadingGap;

    for (const std::string& line : lines) {
        // A full page breaks only when another line follows, so exactly 51,
        // 102, ... lines do not end with a blank sheet.
        if (onPage == kLinesPerPage) {
            row = kFirstRow;
            surface.newPage();
            onPage = 0;
        }
        page.TextAt(kLeft, row + 1, line);
        row += kLineSpacing;
        ++onPage;
    }
    job.finish();
}

} // namespace wirtello
