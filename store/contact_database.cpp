#include "contact_database.h"

#include "counted_text.h"
#include "fixed_record.h"
#include "program_folder.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace wirtello {
namespace {

constexpr std::array<std::size_t, kContactFieldCount> kCapacities = {200, 10, 30, 30, 50, 50, 30, 30, 30, 50, 50, 50, 250};

} // namespace

ContactArrayLayout contactArrayLayout(ContactField field)
{
    const auto index = static_cast<std::size_t>(field);
    std::size_t offset = 0;
    for (std::size_t i = 0; i < index; ++i)
        offset += (kCapacities[i] + 1) * kSlotCount;
    return {offset, kCapacities[index]};
}

ContactDatabase::ContactDatabase()
    : data_(std::make_unique<std::array<std::uint8_t, kContactDatabaseSize>>())
{
    clear();
}

ContactDatabase::ContactDatabase(const ContactDatabase& other)
    : data_(std::make_unique<std::array<std::uint8_t, kContactDatabaseSize>>(*other.data_))
{
}

ContactDatabase& ContactDatabase::operator=(const ContactDatabase& other)
{
    if (!data_)
        data_ = std::make_unique<std::array<std::uint8_t, kContactDatabaseSize>>(*other.data_);
    else if (this != &other)
        *data_ = *other.data_;
    return *this;
}

void ContactDatabase::clear()
{
    data_->fill(0);
}

std::span<const std::uint8_t> ContactDatabase::field(ContactField f, int slot) const
{
    assert(slot >= 0 && slot < kSlotCount);
    const auto layout = contactArrayLayout(f);
    return bytes().subspan(layout.offset + static_cast<std::size_t>(slot) * (layout.capacity + 1), layout.capacity + 1);
}

std::span<std::uint8_t> ContactDatabase::field(ContactField f, int slot)
{
    assert(slot >= 0 && slot < kSlotCount);
    const auto layout = contactArrayLayout(f);
    return bytes().subspan(layout.offset + static_cast<std::size_t>(slot) * (layout.capacity + 1), layout.capacity + 1);
}

std::string ContactDatabase::text(ContactField f, int slot) const
{
    return readCounted(field(f, slot));
}

std::string ContactDatabase::rawText(ContactField f, int slot) const
{
    return readCountedRaw(field(f, slot));
}

void ContactDatabase::setText(ContactField f, int slot, std::string_view utf8)
{
    writeCounted(field(f, slot), utf8);
}

void ContactDatabase::setRawText(ContactField f, int slot, std::string_view cp1250)
{
    writeCountedRaw(field(f, slot), cp1250);
}

void ContactDatabase::clearSlot(int slot)
{
    for (int i = 0; i < kContactFieldCount; ++i) {
        const auto target = field(static_cast<ContactField>(i), slot);
        std::fill(target.begin(), target.end(), std::uint8_t{0});
    }
}

void ContactDatabase::copySlotFrom(const ContactDatabase& other, int fromSlot, int toSlot)
{
    for (int i = 0; i < kContactFieldCount; ++i) {
        const auto f = static_cast<ContactField>(i);
        const auto source = other.field(f, fromSlot);
        std::memcpy(field(f, toSlot).data(), source.data(), source.size());
    }
}

void ContactDatabase::load(const std::filesystem::path& path)
{
    *this = loadRecord<ContactDatabase>(path);
}

void ContactDatabase::store(const std::filesystem::path& path) const
{
    storeRecord(path, *this);
}

std::filesystem::path contactDatabasePath(const std::filesystem::path& programFolder)
{
    return fileIn(programFolder, kNotesFolder, std::string(kDatabasePrefix) + "nazwy_tematow.dat");
}

std::filesystem::path idCounterPath(const std::filesystem::path& programFolder)
{
    return fileIn(programFolder, kNotesFolder, std::string(kDatabasePrefix) + "id_tematow.dat");
}

std::string contactIdText(std::int32_t counter)
{
    // The value's digits without a sign, padded to three.
    const long long magnitude = counter < 0 ? -static_cast<long long>(counter) : counter;
    std::string digits = std::to_string(magnitude);
    if (digits.size() < 3)
        digits.insert(0, 3 - digits.size(), '0');
    return digits;
}

namespace {

// "Wirtello_id_tematow.dat": the number the next added contact receives.
using IdCounterRecord = FixedRecord<4>;
constexpr Int32Field kNextId{0};

template <RecordBytes Record>
void createIfMissing(const std::filesystem::path& path)
{
    if (!fileExists(path))
        storeRecord(path, Record{});
}

} // namespace

std::int32_t readIdCounter(const std::filesystem::path& path)
{
    return loadRecord<IdCounterRecord>(path).number(kNextId);
}

void writeIdCounter(const std::filesystem::path& path, std::int32_t value)
{
    IdCounterRecord record;
    record.setNumber(kNextId, value);
    storeRecord(path, record);
}

void createContactFilesIfMissing(const std::filesystem::path& programFolder)
{
    createIfMissing<IdCounterRecord>(idCounterPath(programFolder));
    createIfMissing<ContactDatabase>(contactDatabasePath(programFolder));
}

} // namespace wirtello
