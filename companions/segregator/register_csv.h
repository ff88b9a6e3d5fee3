#pragma once

#include "document_register.h"

#include <string>
#include <vector>

namespace wirtello {

// The register as a spreadsheet file, the way the address export writes one:
// UTF-8 with a byte order mark, a header row, fields separated by ';', lines
// ended by CR LF, formula-like cells guarded with an apostrophe. Dates are
// yyyy-mm-dd, which every spreadsheet reads as a date.
std::string registerCsv(const std::vector<RegisterRow>& rows);

} // namespace wirtello
