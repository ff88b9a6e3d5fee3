#include "handler_guard.h"

namespace wirtello {

QString failureText(const std::exception& error)
{
    if (dynamic_cast<const std::bad_alloc*>(&error))
        return QStringLiteral("Za mało pamięci, aby wykonać tę operację. Operacja została przerwana.");
    return QStringLiteral("Operacja została przerwana z powodu błędu programu:\n%1")
        .arg(QString::fromLocal8Bit(error.what()));
}

} // namespace wirtello
