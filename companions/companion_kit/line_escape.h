#pragma once

// Texts kept one to a line in the companions' files (comments, the document
// register): a backslash, tab, line feed and carriage return are written as
// "\\", "\t", "\n" and "\r", so a text never breaks its line or its fields.
// No Qt here.

#include <optional>
#include <string>
#include <string_view>

namespace wirtello {

std::string escapeLineText(std::string_view text);

// The text escapeLineText was given; nothing for a lone backslash at the end
// or a backslash before any other character.
std::optional<std::string> unescapeLineText(std::string_view text);

} // namespace wirtello
