#pragma once

#include "contact_database.h"
#include "contact_merge.h"
#include "contact_store_lock.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <map>
#include <functional>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace wirtello {

// The folders below the program folder whose files belong to one contact each,
// named by its id ("brulion/006.txt", "uwagi/006.kom", ...).
inline constexpr std::array<std::string_view, 5> kContactFileFolders = {
    "brulion", "uwagi", "segregator", "kalendarium", "grafik",
};

// The ids that files or folders in those folders are named for: a name of
// three digits, alone or before a dot. Unreadable folders hold none.
std::set<std::int32_t> idsWithContactFiles(const std::filesystem::path& programFolder);

// The contact book of a program folder: the in-memory database, the order of
// its list, id allocation, add, rename, delete with compaction, and when the
// database file may be written.
//
// The list shows the used slots in slot order; rowSlots() maps each row to
// its slot, so a database with gaps (not written by us) is still read and
// changed slot by slot correctly.
class ContactBook {
public:
    // Ids are three digits: the rest of the program takes the first three
    // characters of an entry as its id and relies on ids growing with the slot.
    static constexpr std::int32_t kLastIdCounter = 999;

    explicit ContactBook(std::filesystem::path programFolder);

    std::filesystem::path databasePath() const { return contactDatabasePath(programFolder_); }
    std::filesystem::path counterPath() const { return idCounterPath(programFolder_); }

    // Creates the two files when missing, then reads the database. Until this
    // succeeded the book holds no contacts and refuses every change, so a
    // database that could not be read is never written over.
    void load();
    bool isLoaded() const { return loaded_; }

    const ContactDatabase& database() const { return database_; }
    std::string text(ContactField field, int slot) const { return database_.text(field, slot); }
    std::string rawText(ContactField field, int slot) const { return database_.rawText(field, slot); }
    bool isUsed(int slot) const { return database_.isUsed(slot); }

    int rowCount() const { return static_cast<int>(rowSlots_.size()); }
    const std::vector<int>& rowSlots() const { return rowSlots_; }
    // The slot shown in `row`, -1 outside the list.
    int slotOfRow(int row) const;
    // The first three characters of the slot's display text.
    std::string idOfSlot(int slot) const;
    // The list entry of `row` (its display text, UTF-8); empty outside the list.
    // A name added or renamed in this run is listed as typed, even where the
    // file keeps it cut or with '?' for letters it cannot hold, until the
    // list is read anew (a delete, an import, a merge with the file on disk).
    std::string entry(int row) const;
    // Every list entry in list order.
    std::vector<std::string> entries() const;
    // The first row after `afterRow` whose entry contains `wanted` (UTF-8,
    // case-sensitive, no trimming), -1 for none or an empty `wanted`. A
    // character the entries cannot hold finds nothing, rather than matching
    // the '?' it would be stored as.
    int nextRowContaining(int afterRow, std::string_view wanted) const;
    // Whether a photo path (UTF-8) can be stored and read back unchanged:
    // Windows-1250 text of at most 250 characters.
    static bool photoPathStorable(std::string_view utf8);

    // Stores a UTF-8 text into one field of a used slot (the card's save).
    void setText(ContactField field, int slot, std::string_view utf8);

    // How adds and stores wait for another copy that holds the database's lock.
    void setLockWait(LockWait wait) { lockWait_ = std::move(wait); }
    const LockWait& lockWait() const { return lockWait_; }

    enum class AddCheck { Possible, Full, IdsExhausted };
    // Whether a contact can be added now; reads the id counter file.
    AddCheck checkAdd() const;

    struct Added {
        int row;
        std::string display; // UTF-8, as typed (the stored text is cut to 200)
    };
    // Adds a contact with the next id. The counter file is written before the
    // contact is placed: if it cannot be written, nothing is added and no id
    // can be handed out twice. The next id is above the counter file, every
    // id this book held and the largest id in the list, and skips ids that
    // companion files are still named for (a contact removed after the
    // database was saved, then an older database restored). The counter is
    // read and written under the database's lock.
    Added add(std::string_view name);

    // A contact brought in whole, all texts UTF-8 (they are cut when stored).
    struct NewContact {
        std::string name;
        std::array<std::string, 10> card; // in kCardFields order
        std::string photoPath;
    };
    struct Room {
        int freeSlots;
        int freeIds; // ids left up to the last one
        int count() const { return freeSlots < freeIds ? freeSlots : freeIds; }
    };
    // How many contacts can be added now; reads the id counter file.
    Room room() const;
    // Adds the contacts in order with growing ids, all or none: the
    // counter file is written once, for all of them, before any is placed, so
    // a failed write adds nothing. They must fit room(). Returns the slots used.
    std::vector<int> addAll(std::span<const NewContact> contacts);

    // Replaces the name after the id; returns the new display text.
    std::string rename(int row, std::string_view name);

    // Removes the contact of `row` in memory; every later contact moves up
    // into the next free slot with all its fields, ids unchanged. The caller
    // stores the file next.
    void remove(int row);

    // Writes the database file. A book that was never loaded has nothing of
    // the user's to write, and the file it could not read stays as it is.
    //
    // When the file no longer holds the bytes this book last read or wrote
    // (another copy of the program, a restore from an archive), the book is
    // first merged with it by contact id (mergeContacts) and the report says
    // what came from disk; disk versions that find no room go to a dated CSV
    // file beside the database. The id counter file is raised to the merged
    // counter. Nothing in memory changes unless every write succeeded. When
    // the file is as it was, exactly the book's bytes are written.
    //
    // Read, merge and replace happen under the database's lock, so no other
    // copy replaces the file in between; when another copy holds it past the
    // wait, ContactStoreBusy is raised and nothing is written or changed.
    ContactMergeReport store(std::chrono::system_clock::time_point now = std::chrono::system_clock::now());

    // Test seam: runs after the file was read and merged, before anything is written.
    void setBeforeWriteForTests(std::function<void()> hook) { beforeWrite_ = std::move(hook); }

private:
    void refreshRows();
    // Keeps `display` as the slot's entry when the stored text differs from it.
    void keepTyped(int slot, std::string display);
    int slotForNewContact() const;
    // The id the next contact receives: the counter file's value, but never
    // below an id this book holds or handed out (a restored counter file may
    // be older than the contacts in memory), nor one in `idsInUse`.
    std::int32_t nextCounter(const std::set<std::int32_t>& idsInUse) const;
    std::optional<ContactDatabase> changedOnDisk() const;

    std::filesystem::path programFolder_;
    ContactDatabase database_;
    // The file's bytes as this book last read or wrote them.
    ContactDatabase base_;
    std::int32_t knownCounter_ = std::numeric_limits<std::int32_t>::min();
    std::vector<int> rowSlots_;
    // Entries as typed where they differ from the stored display text, by slot.
    std::map<int, std::string> typedEntries_;
    bool loaded_ = false;
    LockWait lockWait_;
    std::function<void()> beforeWrite_;
};

} // namespace wirtello
