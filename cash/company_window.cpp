#include "company_window.h"

namespace wirtello {

Tfirma_f::Tfirma_f(QWidget* parent)
    : ProgramWindow(parent)
{
    setObjectName(QStringLiteral("Tfirma_f"));
    setWindowTitle(QStringLiteral(""));
    setFixedClientSize(597, 217);
}

} // namespace wirtello
