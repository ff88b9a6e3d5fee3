#pragma once

// Cells of the semicolon-separated files the program and its companions write
// (address export, document register, contacts left over by a merge) and read
// back. No Qt, no other library: every part of the program can link it.

#include <algorithm>
#include <span>
#include <string>
#include <string_view>

namespace wirtello {

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

enum class CsvQuoting { WhenNeeded, Always };

// One field of a semicolon-separated line, guarded as guardedCell does. It is
// quoted, inner quotes doubled, always or when it holds ';', '"', a line break
// or blanks at either end.
std::string csvField(std::string_view utf8, CsvQuoting quoting = CsvQuoting::WhenNeeded);

// Appends the fields, each as csvField writes it, separated by ';', and CR LF.
void appendCsvLine(std::string& out, std::span<const std::string_view> fields);

} // namespace wirtello
