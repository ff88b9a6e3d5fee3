#pragma once

#include <cstdint>
#include <string_view>

namespace wirtello {

// Reads a position or spacing typed into the envelope window. Leading blanks
// are skipped, then an optional "-" or "+", then decimal digits, or
// hexadecimal digits after "$", "x", "X", "0x" or "0X". Reading stops at the
// first character that does not belong and keeps the value read so far, but
// then drops a minus sign read before it ("-7a" reads 7). No digits read 0.
// A digit that would carry the value past 32 bits counts as such a stranger,
// so nothing overflows. Never fails.
std::int32_t readTypedNumber(std::string_view text);

} // namespace wirtello
