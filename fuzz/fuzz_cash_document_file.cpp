// The document file: read whole, shown in the grid and saved unchanged, it
// changes nothing but length bytes beyond the capacity, and reads back as shown.
#include "cash/cash_amount.h"
#include "cash/cash_document.h"
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

    // The document the window holds: read from the file, its amounts aligned,
    // saved and read again, it keeps its lines and its total.
    CashDocument document;
    CashDocumentRecord buffer;
    readDocumentFile(path, buffer, document);
    FUZZ_CHECK(document.lines() == lines);
    const AmountTotal total = document.total();
    document.alignAmounts();
    const AmountTotal alignedTotal = document.total();
    FUZZ_CHECK(total.tooLarge == alignedTotal.tooLarge);
    FUZZ_CHECK(total.tooLarge || total.grosze == alignedTotal.grosze);
    for (std::size_t row = 0; row < kDocumentRows; ++row)
        FUZZ_CHECK(document.lines().amounts[row] == alignedAmount(lines.amounts[row]));
    saveDocumentFile(path, buffer, document);
    CashDocument reread;
    readDocumentFile(path, buffer, reread);
    FUZZ_CHECK(reread.lines() == document.lines());
    return 0;
}
