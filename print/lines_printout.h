#pragma once

#include "platform/print_surface.h"
#include "print/print_font.h"

#include <string>
#include <vector>

namespace wirtello {

inline constexpr int kLinesPerPage = 51;

// How large the heading is printed.
enum class HeadingSize {
    StoredPlusFive, // the stored size plus 5 points, whatever it is
    AboveLines,     // always larger than the lines: also for a character height or no size stored
};

// The contact list and the text editor print alike, as one job titled
// `jobTitle`: the bold `heading` on the first page, then one line each (UTF-8)
// in the current print font, 51 a page. A failure abandons the job and raises.
void drawHeadedLines(PrintSurface& surface, const CurrentPrintFont& font, const std::string& jobTitle,
                     const std::string& heading, const std::vector<std::string>& lines,
                     HeadingSize headingSize = HeadingSize::StoredPlusFive);

} // namespace wirtello
