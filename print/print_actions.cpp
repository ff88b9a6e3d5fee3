#include "print_actions.h"

#include "platform/platform.h"
#include "print/contact_list_printout.h"

namespace wirtello {

void printContactList(Platform& platform, CurrentPrintFont& font, const std::vector<std::string>& entriesUtf8,
                      PrintDestination destination)
{
    const PrintoutTarget target{QStringLiteral("Lista kontaktów"), PaperSize::A4, QStringLiteral("lista kontaktów.pdf")};
    try {
        printTo(platform, destination, target, [&](PrintSurface& surface, PrintDestination) {
            CzytajFonty(font, kPrintFontFile);
            drawContactList(surface, font, entriesUtf8);
        });
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
