#pragma once

#include <array>
#include <string>
#include <string_view>

namespace wirtello {

// Texts inside the program are UTF-8; on disk and on command lines they are
// Windows-1250. A character Windows-1250 cannot hold becomes '?'.
std::string toCp1250(std::string_view utf8);
std::string fromCp1250(std::string_view cp1250);

// The code points of bytes 0x80 to 0xFF of a single-byte code page.
using CodePageHighHalf = std::array<char16_t, 128>;

// Text in such a code page as UTF-8; bytes below 0x80 are ASCII.
std::string fromCodePage(const CodePageHighHalf& highHalf, std::string_view bytes);

} // namespace wirtello
