#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wirtello {

// The address with blanks around it and a leading "mailto:" (any letter case)
// dropped, when it looks like one: exactly one '@' with something on both
// sides, and no blank or control character.
std::optional<std::string> mailAddress(std::string_view text);

// "mailto:" and the address, every byte but letters, digits, "-._~" and the
// '@' percent-encoded, so that '?', '&' or '%' in it can never add a subject,
// a copy or a body to the message.
std::string mailtoLink(std::string_view address);

} // namespace wirtello
