#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace wirtello {

// A counted text field: one length byte, then `capacity` bytes of Windows-1250.
// `field` spans the whole field (capacity + 1 bytes).

// Raw Windows-1250 bytes of the text. A length byte above the capacity (a file
// not written by us) is read as the capacity, so nothing past the field is read.
std::string readCountedRaw(std::span<const std::uint8_t> field);

// The text as UTF-8.
std::string readCounted(std::span<const std::uint8_t> field);

// Stores Windows-1250 bytes cut to the capacity. Bytes after the new text keep
// what they held, as the file format expects.
void writeCountedRaw(std::span<std::uint8_t> field, std::string_view cp1250);

// Stores a UTF-8 text converted to Windows-1250 and cut to the capacity.
void writeCounted(std::span<std::uint8_t> field, std::string_view utf8);

} // namespace wirtello
