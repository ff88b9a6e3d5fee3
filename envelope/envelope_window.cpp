#include "envelope_window.h"

namespace wirtello {

Tkoperta_f::Tkoperta_f(QWidget* parent)
    : ProgramWindow(parent)
{
    setObjectName(QStringLiteral("Tkoperta_f"));
    setWindowTitle(QStringLiteral("Adresowanie kopert - profil domyślny"));
    setFixedClientSize(824, 548);
}

} // namespace wirtello
