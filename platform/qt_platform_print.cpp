#include "qt_platform.h"

// Print dialog and font dialog; filled in with the printing layer.

namespace wirtello {

std::unique_ptr<PrintSurface> QtPlatform::choosePrinter()
{
    return nullptr;
}

std::optional<FontChoice> QtPlatform::chooseFont(const FontChoice&)
{
    return std::nullopt;
}

} // namespace wirtello
