#include "contact_list_printout.h"

#include "lines_printout.h"

namespace wirtello {

void drawContactList(PrintSurface& surface, const CurrentPrintFont& font, const std::vector<std::string>& entries)
{
    drawHeadedLines(surface, font, "Lista kontaktów", "Lista kontaktów", entries);
}

} // namespace wirtello
