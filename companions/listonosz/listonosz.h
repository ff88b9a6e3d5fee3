#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace wirtello {

class Platform;

// The e-mail composer: `arguments` are the command line's arguments after the
// program name (UTF-8). Opens a new message to the address in the desktop's
// mail program; returns the exit code. Every failure is written to `errors`
// and, with `showBoxes`, shown in a message box as well.
int runListonosz(const std::vector<std::string>& arguments, Platform& platform, std::ostream& errors,
                 bool showBoxes);

} // namespace wirtello
