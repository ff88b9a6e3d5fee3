#include "print_actions.h"

#include "platform/platform.h"
#include "print/contact_list_printout.h"

namespace wirtello {

void printContactList(Platform& platform, CurrentPrintFont& font, const std::vector<std::string>& entriesUtf8)
{
    try {
        const std::unique_ptr<PrintSurface> surface = platform.choosePrinter();
        if (!surface)
            return;
        CzytajFonty(font, kPrintFontFile);
        drawContactList(*surface, font, entriesUtf8);
    } catch (const IoError& error) {
        platform.showError(error);
    }
}

void choosePrintFont(Platform& platform, CurrentPrintFont& font)
{
    try {
        ZapiszFonty(font, kPrintFontFile,
                    [&platform](const FontChoice& initial) { return platform.chooseFont(initial); });
    } catch (const IoError& error) {
        platform.showError(error);
    }
}

} // namespace wirtello
