#pragma once

#include <string>
#include <string_view>

namespace wirtello {

// The UTF-8 spelling of a zip entry name stored without the UTF-8 flag, as
// zips made on Polish Windows store them: code page 852 when every byte above
// ASCII reads as a letter there, one at least as a Polish letter, and no
// Polish letter stands where Polish words never have it (a small "ą" first in
// a word, a capital between small letters); else the
// name as UTF-8 when it is valid UTF-8 (tools that leave the flag unset);
// else code page 437, which the zip format names for such entries.
std::string decodeDosEntryName(std::string_view raw);

} // namespace wirtello
