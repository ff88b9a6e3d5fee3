#include "store/cp1250.h"

#include <gtest/gtest.h>

using namespace wirtello;

TEST(Cp1250, PolishLettersMapToTheirWindows1250Bytes)
{
    EXPECT_EQ(toCp1250("ąćęłńóśźż"), "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF");
    EXPECT_EQ(toCp1250("ĄĆĘŁŃÓŚŹŻ"), "\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF");
    EXPECT_EQ(fromCp1250("\xA3\xF3\x64\x9F"), "Łódź");
}

TEST(Cp1250, EveryByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int b = 1; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(toCp1250(fromCp1250(all)), all);
}

TEST(Cp1250, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_EQ(toCp1250("a日b"), "a?b");
    EXPECT_EQ(toCp1250("€"), "\x80");
    EXPECT_EQ(toCp1250("x\xC3"), "x?");        // cut-off sequence
    EXPECT_EQ(toCp1250("\xFF" "A"), "?A");     // not UTF-8 at all
}
