#pragma once

#include "counted_text.h"
#include "little_endian.h"
#include "paths.h"
#include "record_file.h"

#include <array>
#include <concepts>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace wirtello {

// The vocabulary every record file is written in: a fixed number of bytes
// with named fields at fixed offsets, read and written whole as record 0.

// A counted text: its length byte at `offset`, then `capacity` bytes.
struct TextField {
    std::size_t offset;
    std::size_t capacity;
    constexpr std::size_t size() const { return capacity + 1; }
    constexpr std::size_t end() const { return offset + size(); }
};

// A little-endian signed 32-bit integer at `offset`.
struct Int32Field {
    std::size_t offset;
};

// A record kept as its bytes, so bytes no field names (padding, old
// characters after a counted text) are written back as they were found.
template <std::size_t Size>
class FixedRecord {
public:
    static constexpr std::size_t kSize = Size;

    std::span<const std::uint8_t> bytes() const { return bytes_; }
    std::span<std::uint8_t> bytes() { return bytes_; }

    // UTF-8 text of a counted field.
    std::string text(TextField field) const { return readCounted(span(field)); }
    // Windows-1250 bytes of a counted field.
    std::string rawText(TextField field) const { return readCountedRaw(span(field)); }
    // Stores a UTF-8 text converted to Windows-1250 and cut to the capacity.
    void setText(TextField field, std::string_view utf8) { writeCounted(span(field), utf8); }
    void setRawText(TextField field, std::string_view cp1250) { writeCountedRaw(span(field), cp1250); }

    std::int32_t number(Int32Field field) const { return readInt32(bytes_, field.offset); }
    void setNumber(Int32Field field, std::int32_t value) { writeInt32(bytes_, field.offset, value); }

    std::uint8_t byte(std::size_t offset) const { return bytes_.at(offset); }
    void setByte(std::size_t offset, std::uint8_t value) { bytes_.at(offset) = value; }

    bool operator==(const FixedRecord&) const = default;

private:
    std::span<const std::uint8_t> span(TextField field) const { return bytes().subspan(field.offset, field.size()); }
    std::span<std::uint8_t> span(TextField field) { return bytes().subspan(field.offset, field.size()); }

    std::array<std::uint8_t, Size> bytes_{};
};

// Anything with a fixed size whose bytes are the file's bytes.
template <typename R>
concept RecordBytes = requires(R record, const R constRecord) {
    { record.bytes() } -> std::convertible_to<std::span<std::uint8_t>>;
    { constRecord.bytes() } -> std::convertible_to<std::span<const std::uint8_t>>;
};

// Reads record 0 of the file. A shorter file raises IoError.
template <RecordBytes Record>
Record loadRecord(const std::filesystem::path& path)
{
    Record record{};
    readRecordInto(path, record.bytes());
    return record;
}

// Replaces the file atomically with exactly the record's bytes.
template <RecordBytes Record>
void storeRecord(const std::filesystem::path& path, const Record& record)
{
    writeRecord(path, record.bytes());
}

// Writes `initial` when no file exists there, then reads the file.
template <RecordBytes Record>
Record loadOrCreate(const std::filesystem::path& path, const Record& initial = Record{})
{
    if (!fileExists(path))
        storeRecord(path, initial);
    return loadRecord<Record>(path);
}

} // namespace wirtello
