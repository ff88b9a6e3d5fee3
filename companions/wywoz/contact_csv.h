#pragma once

#include "exported_contact.h"

#include <string>
#include <string_view>

namespace wirtello {

// One field of a semicolon-separated line: quoted when it holds ';', '"', a
// line break or blanks at either end, with inner quotes doubled. A text a
// spreadsheet would run as a formula ("=", "+", "-", "@", tab, CR first)
// gets an apostrophe in front; the import takes it off again.
std::string csvField(std::string_view utf8);

// The contact book as a spreadsheet file: UTF-8 with a byte order mark, a
// header row, fields separated by ';', lines ended by CR LF.
std::string buildCsv(const std::vector<ExportedContact>& contacts);

} // namespace wirtello
