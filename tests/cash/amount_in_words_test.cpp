#include "cash/amount_in_words.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace wirtello {
namespace {

// n spelled with the currency word its count takes: n, then the expected words.
const std::pair<std::int32_t, const char*> kNumbers[] = {
    {1, "jeden złoty"}, {2, "dwa złote"}, {5, "pięć złotych"}, {20, "dwadzieścia złotych"},
    {21, "dwadzieścia jeden złotych"}, {22, "dwadzieścia dwa złote"}, {100, "sto złotych"},
    {101, "sto jeden złotych"}, {200, "dwieście złotych"}, {1000, "tysiąc złotych"},
    {1001, "jeden tysiąc jeden złotych"}, {2000, "dwa tysiące złotych"}, {5000, "pięć tysięcy złotych"},
    {10000, "dziesięć tysięcy złotych"}, {12345, "dwanaście tysięcy trzysta czterdzieści pięć złotych"},
    {100000, "sto tysięcy złotych"}, {200000, "dwieście tysięcy złotych"}, {1000000, "jeden milion złotych"},
    {1000000000, "jeden miliard złotych"},
    {2147483647, "dwa miliardy sto czterdzieści siedem milionów czterysta osiemdziesiąt trzy tysiące sześćset "
                 "czterdzieści siedem złotych"},
    // Teens.
    {10, "dziesięć złotych"}, {11, "jedenaście złotych"}, {12, "dwanaście złotych"}, {13, "trzynaście złotych"},
    {14, "czternaście złotych"}, {15, "piętnaście złotych"}, {16, "szesnaście złotych"},
    {17, "siedemnaście złotych"}, {18, "osiemnaście złotych"}, {19, "dziewiętnaście złotych"},
    // Round numbers.
    {30, "trzydzieści złotych"}, {40, "czterdzieści złotych"}, {50, "pięćdziesiąt złotych"},
    {60, "sześćdziesiąt złotych"}, {70, "siedemdziesiąt złotych"}, {80, "osiemdziesiąt złotych"},
    {90, "dziewięćdziesiąt złotych"}, {300, "trzysta złotych"}, {400, "czterysta złotych"},
    {500, "pięćset złotych"}, {600, "sześćset złotych"}, {700, "siedemset złotych"}, {800, "osiemset złotych"},
    {900, "dziewięćset złotych"}, {1100, "jeden tysiąc sto złotych"}, {3000, "trzy tysiące złotych"},
    {20000, "dwadzieścia tysięcy złotych"}, {110000, "sto dziesięć tysięcy złotych"},
    {900000, "dziewięćset tysięcy złotych"}, {2000000, "dwa miliony złotych"}, {3000000, "trzy miliony złotych"},
    {5000000, "pięć milionów złotych"}, {100000000, "sto milionów złotych"}, {2000000000, "dwa miliardy złotych"},
    // Empty groups add nothing; only a group reading exactly one is singular.
    {1000001, "jeden milion jeden złotych"}, {1001000, "jeden milion jeden tysiąc złotych"},
    {11000, "jedenaście tysięcy złotych"}, {21000, "dwadzieścia jeden tysięcy złotych"},
    {1001001001, "jeden miliard jeden milion jeden tysiąc jeden złotych"},
    // Endings 2-4 against 12-14, in every group.
    {32, "trzydzieści dwa złote"}, {104, "sto cztery złote"}, {114, "sto czternaście złotych"},
    {212, "dwieście dwanaście złotych"}, {14000, "czternaście tysięcy złotych"},
    {24000, "dwadzieścia cztery tysiące złotych"}, {113000, "sto trzynaście tysięcy złotych"},
    {4000000, "cztery miliony złotych"}, {12000000, "dwanaście milionów złotych"},
    {23000000, "dwadzieścia trzy miliony złotych"}, {312000000, "trzysta dwanaście milionów złotych"},
    {1002002002, "jeden miliard dwa miliony dwa tysiące dwa złote"},
    {1012013014, "jeden miliard dwanaście milionów trzynaście tysięcy czternaście złotych"},
};

TEST(AmountInWords, SpellsNumbersInCorrectPolish)
{
    for (const auto& [n, words] : kNumbers)
        EXPECT_EQ(Slownie(n, nounFor(kZloty, n)), words) << n;
    for (std::int64_t n = 1; n <= 2147483647; n = n < 30000 ? n + 1 : n * 3 + 7001) {
        const std::string words = Slownie(static_cast<std::int32_t>(n), "złotych");
        ASSERT_EQ(words.find("  "), std::string::npos) << words;
        ASSERT_NE(words.front(), ' ') << n;
    }
}

TEST(AmountInWords, TotalSpellsZlotyThenGroszWithEitherSideEmpty)
{
    const std::pair<std::int64_t, const char*> cases[] = {
        {1234567, "dwanaście tysięcy trzysta czterdzieści pięć złotych sześćdziesiąt siedem groszy"},
        {101, "jeden złoty jeden grosz"}, {202, "dwa złote dwa grosze"}, {510, "pięć złotych dziesięć groszy"},
        {1250, "dwanaście złotych pięćdziesiąt groszy"}, {122, "jeden złoty dwadzieścia dwa grosze"},
        {112, "jeden złoty dwanaście groszy"}, {2200, "dwadzieścia dwa złote "}, {100, "jeden złoty "},
        {99, " dziewięćdziesiąt dziewięć groszy"}, {29, " dwadzieścia dziewięć groszy"}, {1, " jeden grosz"},
        {0, " "},
        {kLargestWordedTotal, "dwa miliardy sto czterdzieści siedem milionów czterysta osiemdziesiąt trzy "
                              "tysiące sześćset czterdzieści siedem złotych dziewięćdziesiąt dziewięć groszy"},
    };
    for (const auto& [grosze, words] : cases)
        EXPECT_EQ(KwotaSlownie(grosze), words) << grosze;

    for (std::int64_t grosze : {std::int64_t{-1}, kLargestWordedTotal + 1, INT64_MAX}) {
        EXPECT_FALSE(amountHasWords(grosze)) << grosze;
        EXPECT_THROW(KwotaSlownie(grosze), std::out_of_range) << grosze;
    }
}

} // namespace
} // namespace wirtello
