#include "cash_document_window.h"

namespace wirtello {

Tkp_f::Tkp_f(QWidget* parent)
    : ProgramWindow(parent)
{
    setObjectName(QStringLiteral("Tkp_f"));
    setWindowTitle(QStringLiteral("Dokument Kp"));
    setFixedClientSize(760, 560);
}

} // namespace wirtello
