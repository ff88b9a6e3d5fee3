// The cash document on its own: total and change, its file and its printout.
#include "cash/cash_document.h"

#include "cash/cash_document_file.h"
#include "cash/cash_printout.h"
#include "store/io_error.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace wirtello {
namespace {

using test::readBytes;
using test::TempFolder;
using test::writeBytes;

CashDocument documentWith(const std::vector<std::string>& amounts, const std::string& cash)
{
    CashDocument document;
    for (std::size_t row = 0; row < amounts.size(); ++row)
        document.setAmount(row, amounts[row]);
    document.setCash(cash);
    return document;
}

TEST(CashDocument, TotalAndChangeFollowTheLinesAndTheCash)
{
    const struct {
        std::vector<std::string> amounts;
        std::string cash;
        std::string total;
        std::optional<std::string> change; // none: the change box is left alone
    } rows[] = {
        {{"12.5", "2.50"}, "", "   15.00", std::nullopt},
        {{"12.5", "2.50"}, "100", "   15.00", "   85.00"},
        {{"12.5", "abc", "0.10"}, "  10.5", "   12.60", "   -2.10"},
        {{"1"}, "1.2.3", "    1.00", "   -1.00"}, // cash that is no number counts as 0
        {{"1000000000000000"}, "5", totalText({0, true}), ""},
    };
    for (const auto& row : rows) {
        const CashDocument document = documentWith(row.amounts, row.cash);
        EXPECT_EQ(totalText(document.total()), row.total) << row.cash;
        EXPECT_EQ(document.changeText(), row.change) << row.cash;
        EXPECT_EQ(printOf(document).total, row.total);
    }
}

TEST(CashDocument, FileAndPrintoutCarryWhatTheDocumentHolds)
{
    TempFolder folder;
    CashDocument document = documentWith({"7", "", "0.5"}, "10");
    document.setKind(DocumentKind::Kw);
    document.setDescription(2, "Zaliczka");
    document.setIssuer({"Biuro", "ul. Długa 1", "Warszawa", "NIP 1"});
    document.setCounterparty({"Jan Kowalski", "ul. Polna 3", "Łódź", ""});
    document.alignAmounts();
    EXPECT_EQ(document.lines().amounts[2], "    0.50");

    const CashDocumentPrint print = printOf(document);
    EXPECT_EQ(print.kind, DocumentKind::Kw);
    EXPECT_EQ(print.issuer, document.issuer());
    EXPECT_EQ(print.counterparty, document.counterparty());
    EXPECT_EQ(print.lines, document.lines());

    // The file holds the lines only, the bytes as the record layout gives them.
    CashDocumentRecord buffer;
    saveDocumentFile(folder / "a.kpw", buffer, document);
    CashDocumentRecord expected;
    putLines(expected, document.lines());
    EXPECT_EQ(readBytes(folder / "a.kpw"), std::vector<std::uint8_t>(expected.bytes().begin(), expected.bytes().end()));
    CashDocument reread;
    readDocumentFile(folder / "a.kpw", buffer, reread);
    EXPECT_EQ(reread.lines(), document.lines());

    // A short file changes neither the document nor the buffer.
    writeBytes(folder / "b.kpw", {3, 'a', 'b', 'c'});
    EXPECT_THROW(readDocumentFile(folder / "b.kpw", buffer, reread), IoError);
    EXPECT_EQ(reread.lines(), document.lines());
    EXPECT_EQ(linesOf(buffer), document.lines());
}

} // namespace
} // namespace wirtello
