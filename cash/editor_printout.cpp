#include "editor_printout.h"

#include "print/lines_printout.h"

namespace wirtello {

void drawEditorText(PrintSurface& surface, const CurrentPrintFont& font, const std::string& heading,
                    const std::vector<std::string>& lines)
{
    drawHeadedLines(surface, font, heading.empty() ? std::string("Notatnik") : heading, heading, lines);
}

} // namespace wirtello
