// Amounts of the cash grid: any text reads without fault; an amount written in
// the amount format reads back as the same grosze; aligning and reformatting
// are idempotent; typed input keeps only what an amount may hold; the total is
// the sum of what reads as numbers.
#include "cash/cash_amount.h"
#include "fuzz/fuzz_support.h"

#include <vector>

using namespace wirtello;

namespace {

void checkCell(const std::string& text)
{
    const AmountReading reading = readAmount(text);
    if (reading.isNumber()) {
        const std::string formatted = formatAmount(reading.grosze);
        FUZZ_CHECK(formatted.size() >= 8);
        const AmountReading again = readAmount(formatted);
        FUZZ_CHECK(again.isNumber() && again.grosze == reading.grosze);
        FUZZ_CHECK(reformattedAmount(text) == formatted);
        // Only a text written as 0 stays; "0.004" rounds to 0 and is aligned.
        const bool writtenAsZero = text.find_first_of("123456789") == std::string::npos;
        FUZZ_CHECK(alignedAmount(text) == (reading.grosze == 0 && writtenAsZero ? text : formatted));
    } else {
        FUZZ_CHECK(reading.grosze == 0);
        FUZZ_CHECK(reformattedAmount(text) == text && alignedAmount(text) == text);
    }
    FUZZ_CHECK(alignedAmount(alignedAmount(text)) == alignedAmount(text));
    FUZZ_CHECK(reformattedAmount(reformattedAmount(text)) == reformattedAmount(text));

    const std::string kept = filterAmountInput(text);
    FUZZ_CHECK(filterAmountInput(kept) == kept);
    const std::size_t digitsFrom = kept.find_first_not_of(' ');
    if (digitsFrom != std::string::npos)
        FUZZ_CHECK(kept.find_first_not_of("0123456789.", digitsFrom) == std::string::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input input(data, size);
    // The grid's ten amount cells, each as typed.
    std::vector<std::string> cells;
    while (!input.empty() && cells.size() < 10)
        cells.push_back(input.text(40));
    std::int64_t sum = 0;
    bool tooLarge = false;
    for (const std::string& cell : cells) {
        checkCell(cell);
        const AmountReading reading = readAmount(cell);
        tooLarge = tooLarge || reading.kind == AmountReading::Kind::TooLarge;
        if (reading.isNumber())
            sum += reading.grosze;
    }
    const AmountTotal total = totalOf(cells);
    FUZZ_CHECK(total.tooLarge == tooLarge);
    if (!tooLarge) {
        FUZZ_CHECK(total.grosze == sum);
        // The total box reads back as the total while it stays within the digits of an amount.
        constexpr std::int64_t kAmountLimit = 100'000'000'000'000'000; // 10^15 złoty in grosze
        if (sum > -kAmountLimit && sum < kAmountLimit)
            FUZZ_CHECK(readAmount(totalText(total)).grosze == sum);
    }
    if (printableTotal(total))
        FUZZ_CHECK(!tooLarge && total.grosze >= 0);
    return 0;
}
