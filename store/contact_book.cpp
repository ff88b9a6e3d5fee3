#include "contact_book.h"

#include <algorithm>
#include <stdexcept>

namespace wirtello {

ContactBook::ContactBook(std::filesystem::path programFolder)
    : programFolder_(std::move(programFolder))
{
}

void ContactBook::load()
{
    createContactFilesIfMissing(programFolder_);
    ContactDatabase read;
    read.load(databasePath());
    database_ = std::move(read);
    loaded_ = true;
    refreshRows();
}

void ContactBook::refreshRows()
{
    rowSlots_.clear();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (database_.isUsed(slot))
            rowSlots_.push_back(slot);
    }
}

int ContactBook::slotOfRow(int row) const
{
    return row >= 0 && row < rowCount() ? rowSlots_[static_cast<std::size_t>(row)] : -1;
}

std::string ContactBook::idOfSlot(int slot) const
{
    return database_.text(ContactField::Display, slot).substr(0, 3);
}

void ContactBook::setText(ContactField field, int slot, std::string_view utf8)
{
    if (!loaded_)
        throw std::logic_error("contact book not loaded");
    database_.setText(field, slot, utf8);
}

// After the last used slot, so the list keeps its slot order; only when slot
// 500 is taken, a gap left in a database that was not compacted. -1 when full.
int ContactBook::slotForNewContact() const
{
    const int last = rowSlots_.empty() ? -1 : rowSlots_.back();
    if (last + 1 < kSlotCount)
        return last + 1;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!database_.isUsed(slot))
            return slot;
    }
    return -1;
}

ContactBook::AddCheck ContactBook::checkAdd() const
{
    if (slotForNewContact() < 0)
        return AddCheck::Full;
    const std::int32_t counter = readIdCounter(counterPath());
    if (counter < 0 || counter > kLastIdCounter)
        return AddCheck::IdsExhausted;
    return AddCheck::Possible;
}

ContactBook::Added ContactBook::add(std::string_view name)
{
    if (!loaded_)
        throw std::logic_error("contact book not loaded");
    const int slot = slotForNewContact();
    const std::int32_t counter = readIdCounter(counterPath());
    if (slot < 0 || counter < 0 || counter > kLastIdCounter)
        throw std::logic_error("add without checkAdd");
    const std::string id = contactIdText(counter);
    std::string display = id + ' ' + std::string(name);

    writeIdCounter(counterPath(), counter + 1);

    database_.clearSlot(slot);
    database_.setText(ContactField::Display, slot, display);
    database_.setText(ContactField::Id, slot, id);
    const auto row = std::ranges::lower_bound(rowSlots_, slot) - rowSlots_.begin();
    rowSlots_.insert(rowSlots_.begin() + row, slot);
    return {static_cast<int>(row), std::move(display)};
}

std::string ContactBook::rename(int row, std::string_view name)
{
    const int slot = slotOfRow(row);
    if (!loaded_ || slot < 0)
        throw std::logic_error("rename outside the list");
    std::string display = idOfSlot(slot) + ' ' + std::string(name);
    database_.setText(ContactField::Display, slot, display);
    return display;
}

void ContactBook::remove(int row)
{
    if (!loaded_)
        throw std::logic_error("contact book not loaded");
    ContactDatabase compacted;
    int target = 0;
    for (int r = 0; r < rowCount(); ++r) {
        if (r != row)
            compacted.copySlotFrom(database_, slotOfRow(r), target++);
    }
    database_ = std::move(compacted);
    refreshRows();
}

void ContactBook::store() const
{
    if (loaded_)
        database_.store(databasePath());
}

} // namespace wirtello
