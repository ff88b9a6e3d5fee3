#include "narzedzia_admini.h"

namespace wirtello {

Tnarzedzia_f::Tnarzedzia_f(QWidget* parent)
    : ProgramWindow(parent)
{
    setObjectName(QStringLiteral("Tnarzedzia_f"));
    setWindowTitle(QStringLiteral("Narzędzia administratora"));
    setFixedClientSize(385, 399);
}

} // namespace wirtello
