// Add, rename and delete: the operations that change the contact list.
#include "main_window.h"

#include "platform/platform.h"
#include "store/io_error.h"

#include <QSignalBlocker>

#include <algorithm>

namespace wirtello {
namespace {

// Ids are three digits: the rest of the program takes the first three
// characters of an entry as its id and relies on ids growing with the slot.
constexpr std::int32_t kLastIdCounter = 999;

// The slot a new contact goes to: after the last used one, so the list keeps
// its slot order; only when slot 500 is taken, a gap left in a database that
// was not compacted. -1 when every slot is used.
int slotForNewContact(const ContactDatabase& contacts)
{
    int last = -1;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (contacts.isUsed(slot))
            last = slot;
    }
    if (last + 1 < kSlotCount)
        return last + 1;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!contacts.isUsed(slot))
            return slot;
    }
    return -1;
}

} // namespace

void Tzadania_f::SpeedButton2Click()
{
    try {
        addContact();
    } catch (const IoError& error) {
        platform_.showError(error);
    }
}

void Tzadania_f::addContact()
{
    const int slot = slotForNewContact(data_.contacts);
    if (slot < 0) {
        platform_.inform(QStringLiteral("Lista kontaktów jest pełna (%1 kontaktów). "
                                        "Usuń niepotrzebny kontakt, aby dodać nowy.")
                             .arg(kSlotCount));
        return;
    }
    const std::filesystem::path counterPath = idCounterPath(data_.programFolder);
    const std::int32_t counter = readIdCounter(counterPath);
    if (counter < 0 || counter > kLastIdCounter) {
        platform_.inform(QStringLiteral("Wyczerpano numery kontaktów (od 000 do 999). "
                                        "Nie można dodać nowego kontaktu."));
        return;
    }
    const std::optional<QString> name =
        platform_.inputText(QStringLiteral("Definiowanie kontaktu"), QStringLiteral("Podaj nazwę"));
    if (!name)
        return;
    const std::string id = contactIdText(counter);
    const QString display = QString::fromStdString(id) + QLatin1Char(' ') + *name;

    // The counter goes first: if it cannot be written, no contact holds an id
    // that the next add would hand out again.
    writeIdCounter(counterPath, counter + 1);

    data_.contacts.clearSlot(slot);
    data_.contacts.setText(ContactField::Display, slot, display.toStdString());
    data_.contacts.setText(ContactField::Id, slot, id);
    const auto row = std::ranges::lower_bound(rowSlots_, slot) - rowSlots_.begin();
    addRow(static_cast<int>(row), slot, display);
}

void Tzadania_f::SpeedButton13Click()
{
    const int row = listazadan->currentRow();
    const int slot = selectedSlot();
    if (slot < 0)
        return;
    const std::optional<QString> name =
        platform_.inputText(QStringLiteral("Modyfikacja kontaktu"), QStringLiteral("Podaj nową nazwę"));
    if (!name)
        return;
    QListWidgetItem* item = listazadan->item(row);
    const QString display = item->text().left(3) + QLatin1Char(' ') + *name;
    {
        const QSignalBlocker blocker(listazadan);
        item->setText(display);
    }
    data_.contacts.setText(ContactField::Display, slot, display.toStdString());
}

void Tzadania_f::SpeedButton3Click()
{
    try {
        deleteContact();
    } catch (const IoError& error) {
        platform_.showError(error);
    }
}

void Tzadania_f::deleteContact()
{
    if (!platform_.ask(QStringLiteral("Usunąć temat z listy ?")))
        return;
    const int removedRow = listazadan->currentRow();

    // Every other entry moves up into the next free slot, in list order, with
    // all thirteen fields; ids stay with their contacts.
    const ContactDatabase compacted = [&] {
        ContactDatabase result;
        int target = 0;
        for (std::size_t row = 0; row < rowSlots_.size(); ++row) {
            if (static_cast<int>(row) != removedRow)
                result.copySlotFrom(data_.contacts, rowSlots_[row], target++);
        }
        return result;
    }();
    std::ranges::copy(compacted.bytes(), data_.contacts.bytes().begin());

    fillList();
    // Selected before the store, so a failed write still leaves the card
    // showing the selected contact.
    setSelectedRow(listazadan->count() > 0 ? 0 : -1);
    select();
    storeContactDatabase(data_);
}

} // namespace wirtello
