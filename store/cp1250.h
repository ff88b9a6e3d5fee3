#pragma once

#include <string>
#include <string_view>

namespace wirtello {

// Texts inside the program are UTF-8; on disk and on command lines they are
// Windows-1250. A character Windows-1250 cannot hold becomes '?'.
std::string toCp1250(std::string_view utf8);
std::string fromCp1250(std::string_view cp1250);

} // namespace wirtello
