// The document register file of one contact: any bytes are read as the rows
// that can be read, with the first line that cannot named, and those rows
// written out read back whole as the same rows and write out as the same text.
#include "companions/segregator/document_register.h"
#include "fuzz/fuzz_support.h"

using namespace wirtello;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<RegisterRow> rows;
    if (const std::optional<DocumentProblem> problem = readRegister(bytes, rows))
        FUZZ_CHECK(problem->line > 0 && !problem->reason.empty());
    const std::string written = formatRegister(rows);
    FUZZ_CHECK(parseRegister(written) == rows);
    FUZZ_CHECK(formatRegister(parseRegister(written)) == written);
    for (const RegisterRow& row : rows) {
        FUZZ_CHECK(parseIsoDate(isoDate(row.date)) == row.date);
        FUZZ_CHECK(rowMatches(row, row.direction, row.sign));
        FUZZ_CHECK(rowMatches(row, std::nullopt, isoDate(row.date)));
    }
    // The window keeps the rows sorted by date, rows of one date in file order.
    const DocumentRegister sorted(rows);
    FUZZ_CHECK(sorted.rows().size() == rows.size());
    FUZZ_CHECK(std::ranges::is_sorted(sorted.rows(), {}, &RegisterRow::date));
    return 0;
}
