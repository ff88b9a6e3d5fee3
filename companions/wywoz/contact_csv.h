#pragma once

#include "exported_contact.h"
#include "store/csv_cell.h"

#include <string>
#include <vector>

namespace wirtello {

// The contact book as a spreadsheet file: UTF-8 with a byte order mark, a
// header row, fields as csvField (store/csv_cell.h) writes them separated by
// ';', lines ended by CR LF.
std::string buildCsv(const std::vector<ExportedContact>& contacts);

} // namespace wirtello
