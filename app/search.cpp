// Find next: steps through the entries after the selection that contain the search text.
#include "main_window.h"

#include "platform/platform.h"

namespace wirtello {

void Tzadania_f::SzukajDalej()
{
    // Compared as text: case-sensitive, no trimming. A character the entries
    // cannot hold finds nothing, rather than matching a stored '?'.
    const QString wanted = coszukac->text();
    if (!wanted.isEmpty()) {
        for (int row = listazadan->currentRow() + 1; row < listazadan->count(); ++row) {
            if (listazadan->item(row)->text().contains(wanted, Qt::CaseSensitive)) {
                setSelectedRow(row);
                select();
                return;
            }
        }
    }
    platform_.inform(QStringLiteral("Na liście nie ma wpisu zawierającego podany ciąg znaków."));
    coszukac->clear();
    setSelectedRow(listazadan->count() > 0 ? 0 : -1);
    select();
}

} // namespace wirtello
