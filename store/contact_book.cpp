#include "contact_book.h"

#include "cp1250.h"
#include "io_error.h"
#include "paths.h"
#include "record_file.h"

#include <algorithm>
#include <stdexcept>
#include <system_error>

namespace wirtello {

std::set<std::int32_t> idsWithContactFiles(const std::filesystem::path& programFolder)
{
    std::set<std::int32_t> ids;
    for (const std::string_view name : kContactFileFolders) {
        const std::filesystem::path folder = joinPath(programFolder, name);
        std::error_code ec;
        // Only names are read, and a linked folder is not followed.
        if (!std::filesystem::is_directory(std::filesystem::symlink_status(folder, ec)))
            continue;
        for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string file = it->path().filename().string();
            const bool digits = file.size() >= 3 && std::all_of(file.begin(), file.begin() + 3, [](char c) {
                return c >= '0' && c <= '9';
            });
            if (digits && (file.size() == 3 || file[3] == '.'))
                ids.insert(std::stoi(file.substr(0, 3)));
        }
    }
    return ids;
}

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
    base_ = database_;
    if (const std::int32_t largest = largestContactId(database_); largest >= 0)
        knownCounter_ = std::max(knownCounter_, largest + 1);
    loaded_ = true;
    refreshRows();
}

std::int32_t ContactBook::nextCounter(const std::set<std::int32_t>& idsInUse) const
{
    const std::int32_t stored = readIdCounter(counterPath());
    // A counter below zero hands out no id, as it always has; only a valid
    // one is raised to the ids this copy has seen.
    if (stored < 0)
        return stored;
    std::int32_t next = std::max(stored, knownCounter_);
    while (next >= 0 && next <= kLastIdCounter && idsInUse.contains(next))
        ++next;
    return next;
}

void ContactBook::refreshRows()
{
    typedEntries_.clear();
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
    // Three characters of the stored Windows-1250 text, not three bytes of its
    // UTF-8 form, which would cut a letter such as "ą" in half.
    return fromCp1250(database_.rawText(ContactField::Display, slot).substr(0, 3));
}

std::string ContactBook::entry(int row) const
{
    const int slot = slotOfRow(row);
    if (slot < 0)
        return {};
    const auto typed = typedEntries_.find(slot);
    return typed != typedEntries_.end() ? typed->second : database_.text(ContactField::Display, slot);
}

void ContactBook::keepTyped(int slot, std::string display)
{
    if (database_.text(ContactField::Display, slot) == display)
        typedEntries_.erase(slot);
    else
        typedEntries_[slot] = std::move(display);
}

std::vector<std::string> ContactBook::entries() const
{
    std::vector<std::string> texts;
    texts.reserve(rowSlots_.size());
    for (int row = 0; row < rowCount(); ++row)
        texts.push_back(entry(row));
    return texts;
}

int ContactBook::nextRowContaining(int afterRow, std::string_view wanted) const
{
    if (wanted.empty())
        return -1;
    // The entries are whole UTF-8 text, so a byte match is a match of whole letters.
    for (int row = std::max(afterRow + 1, 0); row < rowCount(); ++row) {
        if (entry(row).find(wanted) != std::string::npos)
            return row;
    }
    return -1;
}

bool ContactBook::photoPathStorable(std::string_view utf8)
{
    const std::string stored = toCp1250(utf8);
    return stored.size() <= contactArrayLayout(ContactField::PhotoPath).capacity && fromCp1250(stored) == utf8;
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
    const std::int32_t counter = nextCounter(idsWithContactFiles(programFolder_));
    if (counter < 0 || counter > kLastIdCounter)
        return AddCheck::IdsExhausted;
    return AddCheck::Possible;
}

ContactBook::Added ContactBook::add(std::string_view name)
{
    if (!loaded_)
        throw std::logic_error("contact book not loaded");
    const int slot = slotForNewContact();
    const ContactStoreLock lock = ContactStoreLock::take(databasePath(), lockWait_);
    const std::int32_t counter = nextCounter(idsWithContactFiles(programFolder_));
    if (slot < 0 || counter < 0 || counter > kLastIdCounter)
        throw std::logic_error("add without checkAdd");
    const std::string id = contactIdText(counter);
    std::string display = id + ' ' + std::string(name);

    writeIdCounter(counterPath(), counter + 1);
    knownCounter_ = counter + 1;

    database_.clearSlot(slot);
    database_.setText(ContactField::Display, slot, display);
    database_.setText(ContactField::Id, slot, id);
    const auto row = std::ranges::lower_bound(rowSlots_, slot) - rowSlots_.begin();
    rowSlots_.insert(rowSlots_.begin() + row, slot);
    keepTyped(slot, display);
    return {static_cast<int>(row), std::move(display)};
}

ContactBook::Room ContactBook::room() const
{
    int freeSlots = 0;
    for (int slot = 0; slot < kSlotCount; ++slot)
        freeSlots += database_.isUsed(slot) ? 0 : 1;
    const std::set<std::int32_t> idsInUse = idsWithContactFiles(programFolder_);
    const std::int32_t counter = nextCounter(idsInUse);
    int ids = 0;
    for (std::int32_t id = counter; id >= 0 && id <= kLastIdCounter; ++id)
        ids += idsInUse.contains(id) ? 0 : 1;
    return {freeSlots, ids};
}

std::vector<int> ContactBook::addAll(std::span<const NewContact> contacts)
{
    if (!loaded_)
        throw std::logic_error("contact book not loaded");
    if (contacts.empty())
        return {};
    const ContactStoreLock lock = ContactStoreLock::take(databasePath(), lockWait_);
    const std::set<std::int32_t> idsInUse = idsWithContactFiles(programFolder_);
    std::vector<std::int32_t> ids;
    for (std::int32_t id = nextCounter(idsInUse); id >= 0 && id <= kLastIdCounter && ids.size() < contacts.size(); ++id) {
        if (!idsInUse.contains(id))
            ids.push_back(id);
    }
    if (ids.size() < contacts.size() || room().freeSlots < std::ssize(contacts))
        throw std::logic_error("addAll beyond room()");

    writeIdCounter(counterPath(), ids.back() + 1);
    knownCounter_ = ids.back() + 1;

    std::vector<int> used;
    for (std::size_t i = 0; i < contacts.size(); ++i) {
        const NewContact& contact = contacts[i];
        const int slot = slotForNewContact();
        const std::string id = contactIdText(ids[i]);
        database_.clearSlot(slot);
        database_.setText(ContactField::Display, slot, id + ' ' + contact.name);
        database_.setText(ContactField::Id, slot, id);
        for (std::size_t f = 0; f < kCardFields.size(); ++f)
            database_.setText(kCardFields[f], slot, contact.card[f]);
        database_.setText(ContactField::PhotoPath, slot, contact.photoPath);
        const auto row = std::ranges::lower_bound(rowSlots_, slot) - rowSlots_.begin();
        rowSlots_.insert(rowSlots_.begin() + row, slot);
        used.push_back(slot);
    }
    typedEntries_.clear(); // the list is read anew after an import
    return used;
}

std::string ContactBook::rename(int row, std::string_view name)
{
    const int slot = slotOfRow(row);
    if (!loaded_ || slot < 0)
        throw std::logic_error("rename outside the list");
    std::string display = idOfSlot(slot) + ' ' + std::string(name);
    database_.setText(ContactField::Display, slot, display);
    keepTyped(slot, display);
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

std::optional<ContactDatabase> ContactBook::changedOnDisk() const
{
    ContactDatabase disk;
    try {
        disk.load(databasePath());
    } catch (const IoError&) {
        // A missing or damaged file holds nothing to merge; a file that may not
        // be written fails in the write that follows, with its own message.
        return std::nullopt;
    }
    // The bytes decide: the size is always the same and a restore may give
    // the file any modification time.
    if (std::ranges::equal(disk.bytes(), base_.bytes()))
        return std::nullopt;
    return disk;
}

namespace {

// `name` in `folder`, or with "_2", "_3"... before its extension when taken.
std::filesystem::path unusedPath(const std::filesystem::path& folder, const std::string& name)
{
    const std::filesystem::path first = folder / name;
    std::filesystem::path candidate = first;
    for (int n = 2; fileExists(candidate); ++n)
        candidate = folder / (first.stem().string() + '_' + std::to_string(n) + first.extension().string());
    return candidate;
}

std::optional<std::int32_t> counterOnDisk(const std::filesystem::path& path)
{
    try {
        return readIdCounter(path);
    } catch (const IoError&) {
        return std::nullopt; // left alone; the next add reports it
    }
}

} // namespace

ContactMergeReport ContactBook::store(std::chrono::system_clock::time_point now)
{
    if (!loaded_)
        return {};
    const ContactStoreLock lock = ContactStoreLock::take(databasePath(), lockWait_);
    const std::optional<ContactDatabase> disk = changedOnDisk();
    if (!disk) {
        if (beforeWrite_)
            beforeWrite_();
        database_.store(databasePath());
        base_ = database_;
        return {};
    }

    const std::optional<std::int32_t> diskCounter = counterOnDisk(counterPath());
    ContactMergeResult merge = mergeContacts(base_, database_, *disk, std::max(knownCounter_, diskCounter.value_or(0)),
                                             kLastIdCounter, idsWithContactFiles(programFolder_));
    if (beforeWrite_)
        beforeWrite_();
    if (!merge.leftoverDiskSlots.empty()) {
        merge.report.leftoverFile = unusedPath(databasePath().parent_path(), leftoverFileName(now));
        const std::string csv = leftoverContactsCsv(*disk, merge.leftoverDiskSlots);
        writeRecord(merge.report.leftoverFile,
                    std::span(reinterpret_cast<const std::uint8_t*>(csv.data()), csv.size()));
    }
    if (diskCounter && *diskCounter < merge.counter)
        writeIdCounter(counterPath(), merge.counter);
    // Bytes that differ only outside the counted texts change no contact.
    const bool changed = !merge.report.empty();
    (changed ? merge.merged : database_).store(databasePath());

    if (changed) {
        database_ = std::move(merge.merged);
        refreshRows();
    }
    base_ = database_;
    knownCounter_ = std::max(knownCounter_, merge.counter);
    return std::move(merge.report);
}

} // namespace wirtello
