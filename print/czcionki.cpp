#include "czcionki.h"

namespace wirtello {

Tfont_f::Tfont_f(QWidget* parent)
    : ProgramWindow(parent)
{
    setObjectName(QStringLiteral("Tfont_f"));
    setWindowTitle(QStringLiteral("Fonty"));
    setFixedClientSize(200, 100);
}

} // namespace wirtello
