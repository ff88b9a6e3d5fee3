#pragma once

#include "imported_contact.h"

#include <filesystem>
#include <string_view>

namespace wirtello {

// Files above this size are refused before they are read.
inline constexpr std::uintmax_t kLargestContactFile = 256u * 1024 * 1024;

// Reads a vCard or CSV file, whichever it holds, until `room` contacts are
// read. UTF-16 files (with their byte order mark) are read too.
// ContactFileError: not a contact file, empty, or too large. IoError: the file
// could not be read. ImportCancelled: `progress` said stop.
ContactFileReading readContactFile(const std::filesystem::path& path, std::size_t room, const ImportProgress& progress);

// The same for bytes already in memory.
ContactFileReading readContactBytes(std::string_view bytes, std::size_t room, const ImportProgress& progress);

} // namespace wirtello
