#include "csv_cell.h"

namespace wirtello {
namespace {

bool needsQuotes(std::string_view cell)
{
    if (cell.find_first_of(";\"\r\n") != std::string_view::npos)
        return true;
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return !cell.empty() && (blank(cell.front()) || blank(cell.back()));
}

} // namespace

std::string csvField(std::string_view utf8, CsvQuoting quoting)
{
    const std::string cell = guardedCell(utf8);
    if (quoting == CsvQuoting::WhenNeeded && !needsQuotes(cell))
        return cell;
    std::string out = "\"";
    for (const char c : cell) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

void appendCsvLine(std::string& out, std::span<const std::string_view> fields)
{
    bool first = true;
    for (const std::string_view field : fields) {
        if (!first)
            out += ';';
        first = false;
        out += csvField(field);
    }
    out += "\r\n";
}

} // namespace wirtello
