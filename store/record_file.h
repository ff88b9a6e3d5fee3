#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace wirtello {

// Record files: fixed-size records, no header, record 0 only. Every failure
// raises IoError.

// Reads record 0. A file shorter than one record is an error; a longer one is
// read from its first record.
std::vector<std::uint8_t> readRecord(const std::filesystem::path& path, std::size_t recordSize);

// Reads record 0 into `record` (whose size is the record size).
void readRecordInto(const std::filesystem::path& path, std::span<std::uint8_t> record);

// Replaces the file with exactly these bytes. The bytes go to a temporary file
// in the same folder, are flushed to disk and renamed over the old file, so a
// failure at any step leaves the old file whole.
void writeRecord(const std::filesystem::path& path, std::span<const std::uint8_t> record);

// Creates the file holding `recordSize` zero bytes when no file exists there.
void createZeroRecordIfMissing(const std::filesystem::path& path, std::size_t recordSize);

// Name of the temporary file used while replacing `path`.
std::filesystem::path temporaryPathFor(const std::filesystem::path& path);

} // namespace wirtello
