#include "register_csv.h"

#include "store/csv_cell.h"

#include <array>
#include <string_view>

namespace wirtello {
namespace {

constexpr std::array<std::string_view, 6> kHeader = {"Data", "Kierunek", "Znak / numer", "Tytuł", "Uwagi", "Plik"};

} // namespace

std::string registerCsv(const std::vector<RegisterRow>& rows)
{
    std::string out = "\xEF\xBB\xBF";
    appendCsvLine(out, kHeader);
    for (const RegisterRow& row : rows) {
        const std::string date = isoDate(row.date);
        const std::array<std::string_view, 6> fields = {
            date, directionName(row.direction), row.sign, row.title, row.note, row.attachment,
        };
        appendCsvLine(out, fields);
    }
    return out;
}

} // namespace wirtello
