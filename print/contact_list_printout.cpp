#include "contact_list_printout.h"

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

std::int32_t headingPoints(std::int32_t points)
{
    // A damaged file may hold any size; the heading must not overflow.
    return std::min(points, std::numeric_limits<std::int32_t>::max() - kHeadingExtraPoints) + kHeadingExtraPoints;
}

} // namespace

void drawContactList(PrintSurface& surface, const CurrentPrintFont& font, const std::vector<std::string>& entries)
{
    surface.setFontStyle(font.style());
    surface.setFontColour(font.colour());

    PrintJob job(surface, "Lista kontaktów");
    ContactListPrintPage page(surface);
    int row = kFirstRow;
    int lines = 0;
    page.MeasurePage();

    page.SetPrintFont(font.face(), headingPoints(font.size()));
    page.SetBold(1);
    page.TextAt(kLeft, row + 1, "Lista kontaktów");
    page.SetBold(0);

    surface.setFontStyle(font.style());
    page.SetPrintFont(font.face(), font.size());
    row += kHeadingGap;

    for (const std::string& entry : entries) {
        // A full page breaks only when another entry follows, so a list of
        // exactly 51, 102, ... entries does not end with a blank sheet.
        if (lines == kContactListEntriesPerPage) {
            row = kFirstRow;
            surface.newPage();
            lines = 0;
        }
        page.TextAt(kLeft, row + 1, entry);
        row += kLineSpacing;
        ++lines;
    }
    job.finish();
}

} // namespace wirtello
