#include "modul_hist.h"

namespace wirtello {

Thisto_f::Thisto_f(QWidget* parent)
    : ProgramWindow(parent)
{
    setObjectName(QStringLiteral("Thisto_f"));
    setWindowTitle(QStringLiteral("Historia"));
    setFixedClientSize(347, 231);
}

} // namespace wirtello
