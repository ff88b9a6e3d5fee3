#pragma once

#include "platform/print_menu.h"
#include "print/print_font.h"

#include <string>
#include <vector>

namespace wirtello {

class Platform;

// Button handlers of the printing layer. Each one reports its IoError through
// Platform::showError and stops; nothing escapes to the caller.

// Prints the contact list to the destination: the print dialog, preview or
// PDF file dialog (cancel: nothing happens), the print font file, then the
// entries' display texts (UTF-8) in list order.
void printContactList(Platform& platform, CurrentPrintFont& font, const std::vector<std::string>& entriesUtf8,
                      PrintDestination destination = PrintDestination::Printer);

// Lets the user choose the print font and stores it in "FONT\font_zaplo_3906.dat".
void choosePrintFont(Platform& platform, CurrentPrintFont& font);

} // namespace wirtello
