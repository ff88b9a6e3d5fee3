// The document file: read whole, shown in the grid and saved unchanged, it
// changes nothing but length bytes beyond the capacity, and reads back as shown.
#include "cash/cash_amount.h"
#include "cash/cash_document_file.h"
#include "fuzz/fuzz_support.h"

using namespace wirtello;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path path = fuzz::emptyFolder("document") / "dokument.kpw";
    const std::span<const std::uint8_t> file(data, size);

    CashDocumentRecord record;
    if (!fuzz::checkRecordFile(file, path, record))
        return 0;

    const DocumentLines lines = linesOf(record);
    CashDocumentRecord saved = record;
    putLines(saved, lines);
    std::vector<std::uint8_t> expected(record.bytes().begin(), record.bytes().end());
    for (std::size_t row = 0; row < kDocumentRows; ++row)
        for (const TextField field : {descriptionField(row), amountField(row)})
            expected[field.offset] = static_cast<std::uint8_t>(std::min<std::size_t>(expected[field.offset], field.capacity));
    FUZZ_CHECK(fuzz::bytesEqual(saved, expected));
    storeRecord(path, saved);
    FUZZ_CHECK(linesOf(loadRecord<CashDocumentRecord>(path)) == lines);

    // Aligning the amount column of a read document, then saving, then
    // reading, gives the same total.
    DocumentLines aligned = lines;
    for (std::string& amount : aligned.amounts)
        amount = alignedAmount(amount);
    const AmountTotal total = totalOf(lines.amounts);
    const AmountTotal alignedTotal = totalOf(aligned.amounts);
    FUZZ_CHECK(total.tooLarge == alignedTotal.tooLarge);
    FUZZ_CHECK(total.tooLarge || total.grosze == alignedTotal.grosze);
    putLines(saved, aligned);
    storeRecord(path, saved);
    const DocumentLines reread = linesOf(loadRecord<CashDocumentRecord>(path));
    FUZZ_CHECK(reread == aligned);
    return 0;
}
