#include "cash/cash_document_file.h"

#include "store/io_error.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace wirtello {
namespace {

using test::countedAt;
using test::readBytes;
using test::TempFolder;
using test::writeBytes;

DocumentLines sampleLines()
{
    DocumentLines lines;
    for (std::size_t row = 0; row < kDocumentRows; ++row) {
        lines.descriptions[row] = "Zażółć gęślą jaźń, wiersz " + std::to_string(row);
        lines.amounts[row] = row % 2 ? "   12.50" : std::to_string(row);
    }
    return lines;
}

TEST(CashDocumentFile, TwentyCellsRoundTripAtTheirOffsets)
{
    TempFolder folder({"DOKUMENTY"});
    const auto path = folder / "DOKUMENTY/czynsz.kpw";
    CashDocumentRecord buffer;
    putLines(buffer, sampleLines());
    storeRecord(path, buffer);

    const auto bytes = readBytes(path);
    ASSERT_EQ(bytes.size(), 4020u);
    const struct {
        std::size_t offset;
        std::string cp1250;
    } cells[] = {
        {0, "Za\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 ja\x9f\xf1, wiersz 0"},
        {201 * 9, "Za\xbf\xf3\xb3\xe6 g\xea\x9cl\xb9 ja\x9f\xf1, wiersz 9"},
        {2010, "0"},
        {2010 + 201, "   12.50"},
        {2010 + 201 * 9, "   12.50"},
    };
    for (const auto& cell : cells)
        EXPECT_EQ(countedAt(bytes, cell.offset), cell.cp1250) << cell.offset;

    EXPECT_EQ(linesOf(loadRecord<CashDocumentRecord>(path)), sampleLines());
}

TEST(CashDocumentFile, LongTextsAreCutTo200CharactersAndOldBytesStay)
{
    CashDocumentRecord buffer;
    DocumentLines lines;
    lines.descriptions[0] = std::string(300, 'x');
    lines.amounts[3] = "1234567890";
    putLines(buffer, lines);

    // 500 Polish letters: two UTF-8 bytes each, one byte each on disk.
    std::string polish;
    for (int i = 0; i < 250; ++i)
        polish += "ąŻ";
    lines.descriptions[0] = polish;
    lines.amounts[3] = "5";
    putLines(buffer, lines);

    const DocumentLines back = linesOf(buffer);
    EXPECT_EQ(back.descriptions[0], polish.substr(0, 400));
    EXPECT_EQ(back.amounts[3], "5");
    EXPECT_EQ(buffer.byte(0), 200);
    // What the old, longer amount left after the new text is not cleared.
    const TextField amount = amountField(3);
    EXPECT_EQ(buffer.byte(amount.offset), 1);
    EXPECT_EQ(buffer.byte(amount.offset + 2), '2');
}

} // namespace
} // namespace wirtello
