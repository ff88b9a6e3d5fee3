#pragma once

#include <algorithm>
#include <array>
#include <string>
#include <string_view>

namespace wirtello {

// The CSV file of the program's own address export, as far as its import
// needs to know it again.

// The header row: the card's captions after the id and the list's name.
inline constexpr std::array<std::string_view, 13> kOwnCsvHeader = {
    "Identyfikator", "Nazwa", "Imię i nazwisko", "Instytucja", "Ulica", "Miejscowość", "Telefon",
    "Fax", "Telefon kom.", "E-mail", "WWW", "Komunikator", "Zdjęcie",
};

// A spreadsheet runs a cell that begins with one of these as a formula.
inline bool startsLikeFormula(std::string_view cell)
{
    // Cells already guarded count too, so that guarding can always be undone.
    cell.remove_prefix(std::min(cell.find_first_not_of('\''), cell.size()));
    return !cell.empty() && std::string_view("=+-@\t\r").find(cell.front()) != std::string_view::npos;
}

// "=1+1" -> "'=1+1": the apostrophe makes a spreadsheet take the cell as text.
inline std::string guardedCell(std::string_view cell)
{
    return startsLikeFormula(cell) ? "'" + std::string(cell) : std::string(cell);
}

// The text guardedCell was given.
inline std::string unguardedCell(std::string_view cell)
{
    if (cell.starts_with('\'') && startsLikeFormula(cell))
        cell.remove_prefix(1);
    return std::string(cell);
}

} // namespace wirtello
