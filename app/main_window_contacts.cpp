// The contact list: filling it, and add, rename and delete.
#include "main_window.h"
#include "ui_main_window.h"

#include "contact_list_model.h"

#include "platform/handler_guard.h"
#include "platform/platform.h"

#include <QDateTime>
#include <QScopedValueRollback>

#include <chrono>

namespace wirtello {
namespace {

// One part of the merge message: a heading and at most ten names.
void addMergeSection(QString& text, const QString& heading, const std::vector<std::string>& names)
{
    if (names.empty())
        return;
    constexpr std::size_t kShown = 10;
    text += QStringLiteral("\r\r") + heading;
    for (std::size_t i = 0; i < names.size() && i < kShown; ++i)
        text += QStringLiteral("\r   ") + QString::fromStdString(names[i]);
    if (names.size() > kShown)
        text += QStringLiteral("\r   i %1 innych").arg(names.size() - kShown);
}

QString mergeText(const ContactMergeReport& merged)
{
    QString text = QStringLiteral("Plik bazy kontaktów został zmieniony na dysku, odkąd program go odczytał "
                                  "(przez inną kopię programu lub przywrócenie z archiwum). "
                                  "Zmiany z dysku zostały dołączone do listy kontaktów.");
    addMergeSection(text, QStringLiteral("Dodane lub zmienione na dysku:"), merged.fromDisk);
    addMergeSection(text, QStringLiteral("Usunięte na dysku:"), merged.removed);
    addMergeSection(text,
                    QStringLiteral("Usunięte na dysku, ale zmienione tutaj - zmiana cofnęła usunięcie "
                                   "i kontakt pozostał na liście:"),
                    merged.keptChanged);
    addMergeSection(text,
                    QStringLiteral("Zmienione tu i na dysku - zachowano wersję z tego programu, "
                                   "a wersję z dysku dodano jako nowy kontakt:"),
                    merged.copies);
    addMergeSection(text,
                    QStringLiteral("Zmienione tu i na dysku, bez miejsca na liście - wersję z dysku "
                                   "zapisano w pliku %1 (można ją zaimportować):")
                        .arg(QString::fromStdString(merged.leftoverFile.string())),
                    merged.keptInFile);
    return text;
}

} // namespace

int Tzadania_f::currentRow() const
{
    return ui_->listazadan->currentIndex().row();
}

void Tzadania_f::waitForOtherCopiesWithCursor()
{
    LockWait wait = data_.contacts.lockWait();
    wait.waiting = [this](bool shown) { platform_.showWaitCursor(shown); };
    data_.contacts.setLockWait(std::move(wait));
}

void Tzadania_f::storeContacts()
{
    waitForOtherCopiesWithCursor();
    const int slot = selectedSlot();
    const std::string selectedId = slot >= 0 ? data_.contacts.idOfSlot(slot) : std::string();
    const std::chrono::milliseconds now(platform_.now().toMSecsSinceEpoch());
    const ContactMergeReport merged = data_.contacts.store(std::chrono::system_clock::time_point(now));
    if (merged.empty())
        return;
    contactList_->reload();
    // The same contact stays selected; its card is filled again from the
    // merged record unless it holds edits not saved yet.
    int row = -1;
    for (int r = 0; r < data_.contacts.rowCount() && !selectedId.empty(); ++r) {
        if (data_.contacts.idOfSlot(data_.contacts.slotOfRow(r)) == selectedId)
            row = r;
    }
    setSelectedRow(row >= 0 ? row : data_.contacts.rowCount() > 0 ? 0 : -1);
    if (row < 0 || !changesPending_)
        runGuarded(platform_, [this] { select(); }); // a bad photo must not stop the store's caller
    else
        cardRow_ = row;
    platform_.inform(mergeText(merged));
}

void Tzadania_f::setSelectedRow(int row)
{
    const QScopedValueRollback moving(movingSelection_, true);
    ui_->listazadan->selectionModel()->setCurrentIndex(contactList_->index(row), QItemSelectionModel::ClearAndSelect);
}

void Tzadania_f::addContact()
{
    if (!contactsChangeable() || !settleCardChanges())
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
    waitForOtherCopiesWithCursor();
    const ContactBook::Added added = data_.contacts.add(name->toStdString());
    contactList_->rowAdded(added.row);
    // What is typed next goes to the new contact, not over the one shown before.
    setSelectedRow(added.row);
    select();
    // The new contact's card is filled in next, from its first field.
    ui_->imie->setFocus(Qt::OtherFocusReason);
}

void Tzadania_f::renameContact()
{
    if (!contactsChangeable())
        return;
    const int row = currentRow();
    if (selectedSlot() < 0)
        return;
    const std::optional<QString> name =
        platform_.inputText(QStringLiteral("Modyfikacja kontaktu"), QStringLiteral("Podaj nową nazwę"));
    if (!name)
        return;
    data_.contacts.rename(row, name->toStdString());
    contactList_->rowChanged(row);
}

void Tzadania_f::deleteContact()
{
    if (!contactsChangeable() || !settleCardChanges())
        return;
    // The question names the contact, so the answer is never given for another one.
    const int slot = selectedSlot();
    const QString question = slot < 0 ? QStringLiteral("Usunąć temat z listy ?")
                                      : QStringLiteral("Usunąć temat „%1” z listy ?")
                                            .arg(QString::fromStdString(data_.contacts.text(ContactField::Display, slot)));
    if (!platform_.ask(question))
        return;
    data_.contacts.remove(currentRow());
    contactList_->reload();
    // Stored before the card changes: if the file cannot be written, the
    // card still shows the unsaved edits.
    storeContacts();
    setSelectedRow(data_.contacts.rowCount() > 0 ? 0 : -1);
    select();
}

} // namespace wirtello
