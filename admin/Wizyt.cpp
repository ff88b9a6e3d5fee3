#include "Wizyt.h"

namespace wirtello {

Tform3::Tform3(QWidget* parent)
    : ProgramWindow(parent)
{
    setObjectName(QStringLiteral("Tform3"));
    setWindowTitle(QStringLiteral(""));
    setFixedClientSize(349, 175);
}

} // namespace wirtello
