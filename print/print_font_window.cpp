#include "print_font_window.h"
#include "ui_print_font_window.h"

#include "platform/platform.h"

namespace wirtello {

Tfont_f::Tfont_f(Platform& platform, CurrentPrintFont& printFont, QWidget* parent)
    : ProgramWindow(parent), platform_(platform), printFont_(printFont)
{
    // The window holds no controls: its Designer file names it and gives its caption.
    Ui::Tfont_f().setupUi(this);
    setFixedClientSize(200, 100);
}

void Tfont_f::CzytajFonty(const std::string& name)
{
    wirtello::CzytajFonty(printFont_, name);
}

void Tfont_f::ZapiszFonty(const std::string& name)
{
    wirtello::ZapiszFonty(printFont_, name,
                          [this](const FontChoice& initial) { return platform_.chooseFont(initial); });
}

} // namespace wirtello
