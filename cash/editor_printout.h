#pragma once

#include "print/lines_printout.h"

#include <string>
#include <vector>

namespace wirtello {

inline constexpr int kEditorLinesPerPage = kLinesPerPage;

// Prints an edited text on `surface` as one job: the bold heading (the
// editor's caption) on the first page, then the lines (UTF-8) in the current
// print font, 51 a page. A failure abandons the job and raises.
void drawEditorText(PrintSurface& surface, const CurrentPrintFont& font, const std::string& heading,
                    const std::vector<std::string>& lines);

} // namespace wirtello
