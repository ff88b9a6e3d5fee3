#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wirtello {

// Splits a command line by the Windows rules: the program name ends at the
// first blank outside quotes and takes quotes only as grouping; in arguments,
// 2n backslashes before a quote give n backslashes and a quote that opens or
// closes, 2n+1 give n backslashes and a literal quote, and "" inside quotes is
// a literal quote. Works on bytes, so Windows-1250 and UTF-8 texts split alike.
// Nothing else is special: the result is handed to the program as it stands.
std::vector<std::string> splitWindowsCommandLine(std::string_view commandLine);

} // namespace wirtello
