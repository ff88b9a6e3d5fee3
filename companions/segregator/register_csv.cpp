#include "register_csv.h"

#include "companions/wywoz/contact_csv.h"

#include <array>
#include <string_view>

namespace wirtello {
namespace {

constexpr std::array<std::string_view, 6> kHeader = {"Data", "Kierunek", "Znak / numer", "Tytuł", "Uwagi", "Plik"};

void appendLine(std::string& out, const std::array<std::string_view, 6>& fields)
{
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ';';
        out += csvField(fields[i]);
    }
    out += "\r\n";
}

} // namespace

std::string registerCsv(const std::vector<RegisterRow>& rows)
{
    std::string out = "\xEF\xBB\xBF";
    appendLine(out, kHeader);
    for (const RegisterRow& row : rows) {
        const std::string date = isoDate(row.date);
        appendLine(out, {date, directionName(row.direction), row.sign, row.title, row.note, row.attachment});
    }
    return out;
}

} // namespace wirtello
