// Find next: steps through the entries after the selection that contain the search text.
#include "main_window.h"
#include "ui_main_window.h"

#include "platform/platform.h"

namespace wirtello {

void Tzadania_f::SzukajDalej()
{
    // Found or not, the card is filled again: edits not saved are asked about first.
    if (!settleCardChanges())
        return;
    const int found = data_.contacts.nextRowContaining(currentRow(), ui_->coszukac->text().toStdString());
    if (found >= 0) {
        setSelectedRow(found);
        select();
        return;
    }
    platform_.inform(QStringLiteral("Na liście nie ma wpisu zawierającego podany ciąg znaków."));
    ui_->coszukac->clear();
    setSelectedRow(data_.contacts.rowCount() > 0 ? 0 : -1);
    select();
}

} // namespace wirtello
