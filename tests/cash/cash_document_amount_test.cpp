#include "cash/cash_amount.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace wirtello {
namespace {

using Kind = AmountReading::Kind;

TEST(CashAmount, ReadsDecimalTextsExactlyIntoGrosze)
{
    const struct {
        const char* text;
        Kind kind;
        std::int64_t grosze;
    } rows[] = {
        {"", Kind::Number, 0},
        {"   ", Kind::Number, 0},
        {"0", Kind::Number, 0},
        {"10", Kind::Number, 1000},
        {"2.5", Kind::Number, 250},
        {"   12.50", Kind::Number, 1250},
        {"12.50 ", Kind::Number, 1250},
        {".5", Kind::Number, 50},
        {"5.", Kind::Number, 500},
        {"0.29", Kind::Number, 29},
        {"0.10", Kind::Number, 10},
        {"007.05", Kind::Number, 705},
        // Beyond the grosz: nearest, halves to even.
        {"0.125", Kind::Number, 12},
        {"0.135", Kind::Number, 14},
        {"0.1251", Kind::Number, 13},
        {"0.999", Kind::Number, 100},
        {"-5", Kind::Number, -500},
        {"-0.01", Kind::Number, -1},
        {"999999999999999.99", Kind::Number, 99999999999999999},
        {"000000000000000000001", Kind::Number, 100},
        {"1000000000000000", Kind::TooLarge, 0},
        {"999999999999999.995", Kind::TooLarge, 0}, // rounds up to a 16th whole digit
        {"1.2.3", Kind::NotANumber, 0},
        {".", Kind::NotANumber, 0},
        {"-", Kind::NotANumber, 0},
        {"1-2", Kind::NotANumber, 0},
        {"5-", Kind::NotANumber, 0},
        {"--5", Kind::NotANumber, 0},
        {"12a", Kind::NotANumber, 0},
        {"1 2", Kind::NotANumber, 0},
        {"12,5", Kind::NotANumber, 0},
        {"+5", Kind::NotANumber, 0},
    };
    for (const auto& row : rows) {
        const AmountReading reading = readAmount(row.text);
        EXPECT_EQ(reading.kind, row.kind) << '"' << row.text << '"';
        EXPECT_EQ(reading.grosze, row.grosze) << '"' << row.text << '"';
    }
}

TEST(CashAmount, FormatsTwoDecimalsRightAlignedInEightCharacters)
{
    const struct {
        std::int64_t grosze;
        const char* text;
    } rows[] = {
        {1250, "   12.50"}, {0, "    0.00"},       {5, "    0.05"},         {750, "    7.50"},
        {1234567, "12345.67"}, {12345678, "123456.78"}, {-1250, "  -12.50"}, {214748364799, "2147483647.99"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(formatAmount(row.grosze), row.text) << row.grosze;
}

TEST(CashAmount, TypedAndPastedTextKeepsOnlyDigitsAndPoints)
{
    const struct {
        const char* typed;
        const char* kept;
    } rows[] = {
        {"12,5", "12.5"}, {"1a2b", "12"},     {"12 50", "1250"}, {"-5", "5"},
        {"1,2,3", "1.2.3"}, {"   12.50", "   12.50"}, {"3,50 zł", "3.50"}, {"abc", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(filterAmountInput(row.typed), row.kept) << row.typed;
}

TEST(CashAmount, AligningRewritesNumbersOtherThanZeroOnly)
{
    const struct {
        const char* cell;
        const char* aligned;
        const char* reformatted; // the cash field on Enter
    } rows[] = {
        {"12.5", "   12.50", "   12.50"},   {"   12.50", "   12.50", "   12.50"}, {"0", "0", "    0.00"},
        {"0.00", "0.00", "    0.00"},       {"", "", "    0.00"},                 {"1.2.3", "1.2.3", "1.2.3"},
        {"123456.789", "123456.79", "123456.79"},
        {"0.004", "    0.00", "    0.00"}, // rounds to 0 but is not written as 0
    };
    for (const auto& row : rows) {
        EXPECT_EQ(alignedAmount(row.cell), row.aligned) << row.cell;
        EXPECT_EQ(reformattedAmount(row.cell), row.reformatted) << row.cell;
    }
}

TEST(CashAmount, TotalsAreExactAndSkipTextsThatAreNotNumbers)
{
    const struct {
        std::vector<std::string> amounts;
        std::int64_t grosze;
        bool tooLarge;
        bool printable;
    } rows[] = {
        {std::vector<std::string>(10, "0.10"), 100, false, true},
        {{"10", "2.5", ""}, 1250, false, true},
        {{"1.2.3", "5", "abc"}, 500, false, true},
        {{"0.1", "0.2"}, 30, false, true},
        {{"2147483647.99"}, 214748364799, false, true},
        {{"2147483647.99", "0.01"}, 214748364800, false, false},
        {{"10", "-10.01"}, -1, false, false},
        {{"1", "1000000000000000"}, 100, true, false},
        {std::vector<std::string>(10, "999999999999999.99"), 999999999999999990, false, false},
    };
    for (const auto& row : rows) {
        const AmountTotal total = totalOf(row.amounts);
        EXPECT_EQ(total.grosze, row.grosze) << row.amounts.front();
        EXPECT_EQ(total.tooLarge, row.tooLarge) << row.amounts.front();
        EXPECT_EQ(printableTotal(total), row.printable) << row.amounts.front();
    }
}

} // namespace
} // namespace wirtello
