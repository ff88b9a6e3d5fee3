#pragma once

#include "contact_database.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace wirtello {

// What a merge with the database file took from disk, for the message that
// tells the user. Display texts are UTF-8.
struct ContactMergeReport {
    std::vector<std::string> fromDisk; // added or changed only on disk
    std::vector<std::string> removed;  // deleted on disk, untouched here
    std::vector<std::string> keptChanged; // deleted on disk but changed here: kept, the deletion undone
    std::vector<std::string> copies;   // disk versions of contacts changed on both sides, as new contacts
    std::vector<std::string> keptInFile; // disk versions that found no room, kept in `leftoverFile`
    std::filesystem::path leftoverFile;

    bool empty() const
    {
        return fromDisk.empty() && removed.empty() && keptChanged.empty() && copies.empty() && keptInFile.empty();
    }
};

inline constexpr std::string_view kCopySuffix = " (kopia)";

struct ContactMergeResult {
    ContactDatabase merged;
    ContactMergeReport report;
    // Slots of `disk` whose contacts found no slot or id in `merged`.
    std::vector<int> leftoverDiskSlots;
    // The next id after the merge: the larger of the two sides and above every merged id.
    std::int32_t counter = 0;
};

// Merges by contact id (the first three characters of the display text) what
// this program holds (`mine`) with what the file now holds (`disk`), both
// grown from `base`, the bytes this program last read or wrote:
// - a contact changed or added on one side only is taken from that side;
// - one deleted on one side and untouched on the other is deleted, while a
//   change wins over a deletion;
// - one changed differently on both sides keeps this side's version, and the
//   disk's version becomes a new contact named "... (kopia)" with the next
//   free id while slots and ids last (`lastIdCounter`), else a leftover.
// `counter` is the next id this side knows; the result's counter is at least
// it and above every merged id; a copy's new id skips `idsInUse` (ids that
// still have files of a removed contact). Merged contacts are compacted in id order.
ContactMergeResult mergeContacts(const ContactDatabase& base, const ContactDatabase& mine, const ContactDatabase& disk,
                                 std::int32_t counter, std::int32_t lastIdCounter,
                                 const std::set<std::int32_t>& idsInUse = {});

// The leftovers as a CSV file in the address export's format (UTF-8 with a
// byte order mark; id, name, the ten card fields, photo path), which the
// program's contact import reads back.
std::string leftoverContactsCsv(const ContactDatabase& disk, std::span<const int> slots);

// "Wirtello_kopie_2026-12-07_16-30-05.csv", in local time.
std::string leftoverFileName(std::chrono::system_clock::time_point when);

// The largest three-digit id among the used slots, -1 when there is none.
std::int32_t largestContactId(const ContactDatabase& database);

} // namespace wirtello
