#pragma once

#include "print/lines_printout.h"

#include <string>
#include <vector>

namespace wirtello {

inline constexpr int kContactListEntriesPerPage = kLinesPerPage;

// Prints the contact list on `surface` as one job: the bold heading
// "Lista kontaktów" and one line per entry (its display text, UTF-8), in the
// current print font, 51 entries a page. A failure abandons the job and raises.
void drawContactList(PrintSurface& surface, const CurrentPrintFont& font, const std::vector<std::string>& entries);

} // namespace wirtello
