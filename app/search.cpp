// Find next: steps through the entries after the selection that contain the search text.
#include "main_window.h"

#include "platform/platform.h"
#include "store/cp1250.h"

namespace wirtello {

void Tzadania_f::SzukajDalej()
{
    // Compared as the Windows-1250 bytes the entries are kept in: case-sensitive, no trimming.
    const std::string wanted = toCp1250(coszukac->text().toStdString());
    if (!wanted.empty()) {
        for (int row = listazadan->currentRow() + 1; row < listazadan->count(); ++row) {
            if (toCp1250(listazadan->item(row)->text().toStdString()).find(wanted) != std::string::npos) {
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
