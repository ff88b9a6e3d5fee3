#include "contact_csv.h"

#include "contact_import/own_csv.h"

#include <array>

namespace wirtello {
namespace {

void appendLine(std::string& out, const std::array<std::string_view, 13>& fields)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ';';
        out += csvField(fields[i]);
    }
    out += "\r\n";
}

} // namespace

std::string csvField(std::string_view text)
{
    const std::string cell = guardedCell(text);
    const std::string_view utf8 = cell;
    const bool quote = utf8.find_first_of(";\"\r\n") != std::string_view::npos
        || (!utf8.empty() && (utf8.front() == ' ' || utf8.back() == ' ' || utf8.front() == '\t' || utf8.back() == '\t'));
    if (!quote)
        return std::string(utf8);
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string buildCsv(const std::vector<ExportedContact>& contacts)
{
    std::string out = "\xEF\xBB\xBF";
    appendLine(out, kOwnCsvHeader);
    for (const ExportedContact& c : contacts) {
        appendLine(out, {c.id, c.name, c.firstLine, c.secondLine, c.street, c.town, c.phone, c.fax, c.mobile,
                         c.email, c.web, c.messenger, c.photoPath});
    }
    return out;
}

} // namespace wirtello
