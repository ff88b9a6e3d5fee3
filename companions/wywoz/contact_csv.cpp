#include "contact_csv.h"

#include "store/own_csv.h"

#include <array>

namespace wirtello {
std::string buildCsv(const std::vector<ExportedContact>& contacts)
{
    std::string out = "\xEF\xBB\xBF";
    appendCsvLine(out, kOwnCsvHeader);
    for (const ExportedContact& c : contacts) {
        const std::array<std::string_view, 13> fields = {
            c.id,  c.name, c.firstLine, c.secondLine, c.street,    c.town,     c.phone,
            c.fax, c.mobile, c.email,   c.web,        c.messenger, c.photoPath,
        };
        appendCsvLine(out, fields);
    }
    return out;
}

} // namespace wirtello
