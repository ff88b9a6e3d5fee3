#include "contact_merge.h"

#include "cp1250.h"

#include "csv_cell.h"
#include "own_csv.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <set>

namespace wirtello {
namespace {

// Each used slot under its id; a repeated id (a file not written by us) gets
// its occurrence number, so every contact has a key of its own.
std::map<std::string, int> slotsById(const ContactDatabase& database)
{
    std::map<std::string, int> slots;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (!database.isUsed(slot))
            continue;
        const std::string id = database.rawText(ContactField::Display, slot).substr(0, 3);
        std::string key = id;
        for (int n = 1; slots.contains(key); ++n)
            key = id + '\0' + std::to_string(n);
        slots.emplace(std::move(key), slot);
    }
    return slots;
}

int slotOf(const std::map<std::string, int>& slots, const std::string& key)
{
    const auto found = slots.find(key);
    return found == slots.end() ? -1 : found->second;
}

// Same significant texts in all thirteen fields.
bool sameContact(const ContactDatabase& a, int slotA, const ContactDatabase& b, int slotB)
{
    for (int i = 0; i < kContactFieldCount; ++i) {
        const auto field = static_cast<ContactField>(i);
        if (a.rawText(field, slotA) != b.rawText(field, slotB))
            return false;
    }
    return true;
}

// The name typed after "id ", in Windows-1250.
std::string rawName(const ContactDatabase& database, int slot)
{
    const std::string display = database.rawText(ContactField::Display, slot);
    if (display.size() > 3 && display[3] == ' ')
        return display.substr(4);
    return display.substr(std::min<std::size_t>(display.size(), 3));
}

std::string display(const ContactDatabase& database, int slot)
{
    return database.text(ContactField::Display, slot);
}

struct Entry {
    const ContactDatabase* source;
    int slot;
};

// Always quoted, a formula-like text guarded as the address export does, so
// the import reads it back as the export's.
std::string csvValue(const std::string& utf8)
{
    return csvField(utf8, CsvQuoting::Always);
}

} // namespace

std::int32_t largestContactId(const ContactDatabase& database)
{
    std::int32_t largest = -1;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const std::string id = database.rawText(ContactField::Display, slot).substr(0, 3);
        if (id.size() == 3 && std::ranges::all_of(id, [](char c) { return c >= '0' && c <= '9'; }))
            largest = std::max(largest, static_cast<std::int32_t>(std::stoi(id)));
    }
    return largest;
}

ContactMergeResult mergeContacts(const ContactDatabase& base, const ContactDatabase& mine, const ContactDatabase& disk,
                                 std::int32_t counter, std::int32_t lastIdCounter,
                                 const std::set<std::int32_t>& idsInUse)
{
    const auto baseSlots = slotsById(base);
    const auto mySlots = slotsById(mine);
    const auto diskSlots = slotsById(disk);
    std::set<std::string> keys;
    for (const auto* slots : {&baseSlots, &mySlots, &diskSlots})
        for (const auto& [key, slot] : *slots)
            keys.insert(key);

    ContactMergeResult result;
    std::vector<Entry> entries;
    std::vector<int> conflicts; // disk slots of contacts changed on both sides
    for (const std::string& key : keys) {
        const int b = slotOf(baseSlots, key);
        const int m = slotOf(mySlots, key);
        const int d = slotOf(diskSlots, key);
        const bool changedHere = m >= 0 && (b < 0 || !sameContact(mine, m, base, b));
        const bool changedOnDisk = d >= 0 && (b < 0 || !sameContact(disk, d, base, b));
        if (m >= 0 && d >= 0) {
            if (!changedOnDisk || sameContact(mine, m, disk, d)) {
                entries.push_back({&mine, m});
            } else if (!changedHere) {
                entries.push_back({&disk, d});
            } else {
                entries.push_back({&mine, m});
                conflicts.push_back(d);
            }
        } else if (m >= 0) {
            if (b >= 0 && !changedHere) {
                result.report.removed.push_back(display(mine, m));
            } else {
                entries.push_back({&mine, m});
                if (b >= 0) // the other copy deleted what was changed here
                    result.report.keptChanged.push_back(display(mine, m));
            }
        } else if (d >= 0 && (b < 0 || changedOnDisk)) {
            entries.push_back({&disk, d});
        }
    }

    // This side's contacts always fit (they fitted before); contacts from
    // disk beyond the last slot are kept aside, the highest ids first.
    for (auto it = entries.end(); std::ssize(entries) > kSlotCount && it != entries.begin();) {
        --it;
        if (it->source == &disk) {
            result.leftoverDiskSlots.push_back(it->slot);
            it = entries.erase(it);
        }
    }

    int next = 0;
    for (const Entry& entry : entries) {
        result.merged.copySlotFrom(*entry.source, entry.slot, next++);
        if (entry.source == &disk)
            result.report.fromDisk.push_back(display(disk, entry.slot));
    }

    result.counter = std::max({counter, largestContactId(mine) + 1, largestContactId(disk) + 1,
                               largestContactId(result.merged) + 1});
    for (const int d : conflicts) {
        while (idsInUse.contains(result.counter))
            ++result.counter;
        if (next >= kSlotCount || result.counter < 0 || result.counter > lastIdCounter) {
            result.leftoverDiskSlots.push_back(d);
            continue;
        }
        const std::string id = contactIdText(result.counter++);
        const std::size_t room =
            contactArrayLayout(ContactField::Display).capacity - id.size() - 1 - kCopySuffix.size();
        result.merged.copySlotFrom(disk, d, next);
        result.merged.setRawText(ContactField::Display, next,
                                 id + ' ' + rawName(disk, d).substr(0, room) + std::string(kCopySuffix));
        result.merged.setRawText(ContactField::Id, next, id);
        result.report.copies.push_back(display(result.merged, next));
        ++next;
    }
    for (const int d : result.leftoverDiskSlots)
        result.report.keptInFile.push_back(display(disk, d));
    return result;
}

std::string leftoverContactsCsv(const ContactDatabase& disk, std::span<const int> slots)
{
    std::string csv = "\xEF\xBB\xBF";
    for (const std::string_view caption : kOwnCsvHeader)
        csv += std::string(caption) + (caption == kOwnCsvHeader.back() ? "\r\n" : ";");
    for (const int slot : slots) {
        csv += csvValue(fromCp1250(disk.rawText(ContactField::Display, slot).substr(0, 3)));
        csv += ';' + csvValue(fromCp1250(rawName(disk, slot)));
        for (const ContactField field : kCardFields)
            csv += ';' + csvValue(disk.text(field, slot));
        csv += ';' + csvValue(disk.text(ContactField::PhotoPath, slot)) + "\r\n";
    }
    return csv;
}

std::string leftoverFileName(std::chrono::system_clock::time_point when)
{
    const std::time_t time = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &time);
#else
    localtime_r(&time, &local);
#endif
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
    return std::string(kDatabasePrefix) + "kopie_" + stamp + ".csv";
}

} // namespace wirtello
