#pragma once

#include "exported_contact.h"
#include "store/csv_cell.h"

#include <string>
#include <string_view>

namespace wirtello {

// Its fields are written by csvField (store/csv_cell.h).

// The contact book as a spreadsheet file: UTF-8 with a byte order mark, a
// header row, fields separated by ';', lines ended by CR LF.
std::string buildCsv(const std::vector<ExportedContact>& contacts);

} // namespace wirtello
