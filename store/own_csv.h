#pragma once

#include "csv_cell.h"

#include <array>
#include <string>
#include <string_view>

namespace wirtello {

// The CSV file of the program's own address export, as far as its import
// needs to know it again. Its cells are written and guarded as
// store/csv_cell.h does.

// The header row: the card's captions after the id and the list's name.
inline constexpr std::array<std::string_view, 13> kOwnCsvHeader = {
    "Identyfikator", "Nazwa", "Imię i nazwisko", "Instytucja", "Ulica", "Miejscowość", "Telefon",
    "Fax", "Telefon kom.", "E-mail", "WWW", "Komunikator", "Zdjęcie",
};

} // namespace wirtello
