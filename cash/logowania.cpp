#include "logowania.h"

namespace wirtello {

Tlogowania_f::Tlogowania_f(QWidget* parent)
    : ProgramWindow(parent)
{
    setObjectName(QStringLiteral("Tlogowania_f"));
    setWindowTitle(QStringLiteral("Notatnik"));
    setFixedClientSize(536, 476);
}

} // namespace wirtello
