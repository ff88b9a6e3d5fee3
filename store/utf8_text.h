#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace wirtello {

// Whether `text` is well-formed UTF-8: no stray or missing continuation
// bytes, no overlong forms, no surrogates, nothing past U+10FFFF.
bool isValidUtf8(std::string_view text);

// Length of the well-formed UTF-8 sequence starting at `pos`, 0 when malformed.
std::size_t utf8SequenceLength(std::string_view text, std::size_t pos);

// A header or type name folded for comparison: lower case, Polish and other
// Latin letters without their marks, every run of other characters one blank,
// no blank at either end. "Telefon kom." -> "telefon kom", "E-mail" -> "e mail".
std::string foldedKey(std::string_view utf8);

} // namespace wirtello
