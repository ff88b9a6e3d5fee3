#pragma once

#include <string_view>

namespace wirtello {

// Whether `text` is well-formed UTF-8: no stray or missing continuation
// bytes, no overlong forms, no surrogates, nothing past U+10FFFF.
bool isValidUtf8(std::string_view text);

} // namespace wirtello
