#pragma once

#include <string>
#include <string_view>

namespace wirtello {

// Text helpers for reading contact files written by other programs.

// Converts text in a named character set to UTF-8. UTF-8 stays as it is when
// valid; Windows-1250 goes through the program's own table; other sets through
// the C library's converter. An unknown set, or bytes that are not what the set
// says, are read as UTF-8 when valid and as Windows-1250 otherwise, so no byte
// is ever dropped.
std::string toUtf8(std::string_view bytes, std::string_view charset);

// Bytes of "=XX" escapes; an '=' not followed by two hex digits stays.
std::string decodeQuotedPrintable(std::string_view text);

// "%XX" escapes decoded when the result is valid UTF-8; otherwise unchanged.
std::string percentDecoded(std::string_view text);

// A text fit for one line of the card: line breaks become ", ", tabs and other
// control characters a blank, blanks at both ends removed.
std::string oneLine(std::string_view utf8);

// Code points of a UTF-8 text (a malformed byte counts as one).
std::size_t codePointCount(std::string_view utf8);

} // namespace wirtello
