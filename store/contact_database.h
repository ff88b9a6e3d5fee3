#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace wirtello {

// The thirteen parallel arrays of the contact database record, in file order.
enum class ContactField {
    Display,
    Id,
    FirstLine,
    SecondLine,
    Street,
    Town,
    Phone,
    Fax,
    Mobile,
    Email,
    Web,
    Messenger,
    PhotoPath,
};

inline constexpr int kContactFieldCount = 13;
inline constexpr int kSlotCount = 501;
inline constexpr std::size_t kContactDatabaseSize = 437373;

// The ten card fields in card order.
inline constexpr std::array<ContactField, 10> kCardFields = {
    ContactField::FirstLine, ContactField::SecondLine, ContactField::Street, ContactField::Town,
    ContactField::Phone,     ContactField::Fax,        ContactField::Mobile, ContactField::Email,
    ContactField::Web,       ContactField::Messenger,
};

struct ContactArrayLayout {
    std::size_t offset;
    std::size_t capacity; // element size is capacity + 1
};

ContactArrayLayout contactArrayLayout(ContactField field);

// The whole database as one record with exactly the file's bytes, held on the heap.
class ContactDatabase {
public:
    ContactDatabase();
    ContactDatabase(const ContactDatabase& other);
    ContactDatabase& operator=(const ContactDatabase& other);
    ContactDatabase(ContactDatabase&&) noexcept = default;
    ContactDatabase& operator=(ContactDatabase&&) noexcept = default;

    void clear();

    std::span<const std::uint8_t> bytes() const { return {data_->data(), data_->size()}; }
    std::span<std::uint8_t> bytes() { return {data_->data(), data_->size()}; }

    std::span<const std::uint8_t> field(ContactField f, int slot) const;
    std::span<std::uint8_t> field(ContactField f, int slot);

    // UTF-8 text of a field.
    std::string text(ContactField f, int slot) const;
    // Windows-1250 bytes of a field.
    std::string rawText(ContactField f, int slot) const;
    // Stores a UTF-8 text cut to the field's capacity.
    void setText(ContactField f, int slot, std::string_view utf8);
    void setRawText(ContactField f, int slot, std::string_view cp1250);

    bool isUsed(int slot) const { return field(ContactField::Display, slot)[0] != 0; }

    // Zeroes all thirteen fields of one slot.
    void clearSlot(int slot);
    // Copies every byte of all thirteen fields of one slot.
    void copySlotFrom(const ContactDatabase& other, int fromSlot, int toSlot);

    void load(const std::filesystem::path& path);
    void store(const std::filesystem::path& path) const;

private:
    std::unique_ptr<std::array<std::uint8_t, kContactDatabaseSize>> data_;
};

// "Wirtello_" and the two file names below the program folder.
inline constexpr std::string_view kDatabasePrefix = "Wirtello_";
std::filesystem::path contactDatabasePath(const std::filesystem::path& programFolder);
std::filesystem::path idCounterPath(const std::filesystem::path& programFolder);

// 0 -> "000", 7 -> "007", 42 -> "042", 1000 -> "1000".
std::string contactIdText(std::int32_t counter);

std::int32_t readIdCounter(const std::filesystem::path& path);
void writeIdCounter(const std::filesystem::path& path, std::int32_t value);

// Creates the two files when missing: the counter holding 0, the database all zero.
void createContactFilesIfMissing(const std::filesystem::path& programFolder);

} // namespace wirtello
