// The contact list: filling it, and add, rename and delete.
#include "main_window.h"

#include "platform/platform.h"

#include <QSignalBlocker>

namespace wirtello {

void Tzadania_f::fillList()
{
    const QSignalBlocker blocker(listazadan);
    listazadan->clear();
    for (const int slot : data_.contacts.rowSlots())
        listazadan->addItem(QString::fromStdString(data_.contacts.text(ContactField::Display, slot)));
}

void Tzadania_f::addRow(int row, const QString& text)
{
    const QSignalBlocker blocker(listazadan);
    listazadan->insertItem(row, text);
}

void Tzadania_f::setSelectedRow(int row)
{
    const QSignalBlocker blocker(listazadan);
    listazadan->setCurrentRow(row);
}

void Tzadania_f::addContact()
{
    if (!contactsChangeable())
        return;
    switch (data_.contacts.checkAdd()) {
    case ContactBook::AddCheck::Full:
        platform_.inform(QStringLiteral("Lista kontaktów jest pełna (%1 kontaktów). "
                                        "Usuń niepotrzebny kontakt, aby dodać nowy.")
                             .arg(kSlotCount));
        return;
    case ContactBook::AddCheck::IdsExhausted:
        platform_.inform(QStringLiteral("Wyczerpano numery kontaktów (od 000 do 999). "
                                        "Nie można dodać nowego kontaktu."));
        return;
    case ContactBook::AddCheck::Possible:
        break;
    }
    const std::optional<QString> name =
        platform_.inputText(QStringLiteral("Definiowanie kontaktu"), QStringLiteral("Podaj nazwę"));
    if (!name)
        return;
    const ContactBook::Added added = data_.contacts.add(name->toStdString());
    addRow(added.row, QString::fromStdString(added.display));
}

void Tzadania_f::renameContact()
{
    if (!contactsChangeable())
        return;
    const int row = listazadan->currentRow();
    if (selectedSlot() < 0)
        return;
    const std::optional<QString> name =
        platform_.inputText(QStringLiteral("Modyfikacja kontaktu"), QStringLiteral("Podaj nową nazwę"));
    if (!name)
        return;
    const std::string display = data_.contacts.rename(row, name->toStdString());
    const QSignalBlocker blocker(listazadan);
    listazadan->item(row)->setText(QString::fromStdString(display));
}

void Tzadania_f::deleteContact()
{
    if (!contactsChangeable())
        return;
    if (!platform_.ask(QStringLiteral("Usunąć temat z listy ?")))
        return;
    data_.contacts.remove(listazadan->currentRow());
    fillList();
    // Stored before the card changes: if the file cannot be written, the
    // card still shows the unsaved edits.
    data_.contacts.store();
    setSelectedRow(listazadan->count() > 0 ? 0 : -1);
    select();
}

} // namespace wirtello
