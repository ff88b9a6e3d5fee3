#include "store/counted_text.h"

#include <gtest/gtest.h>

#include <array>

using namespace wirtello;

TEST(CountedText, StoresConvertedTextCutToCapacityAndKeepsOlderBytesAfterIt)
{
    std::array<std::uint8_t, 6> field{};
    writeCounted(field, "Żółwik");
    EXPECT_EQ(field[0], 5);
    EXPECT_EQ(std::string(field.begin() + 1, field.end()), "\xAF\xF3\xB3w\x69");

    writeCounted(field, "ab");
    // The older characters after the new text stay, as on disk.
    EXPECT_EQ(field, (std::array<std::uint8_t, 6>{2, 'a', 'b', 0xB3, 'w', 'i'}));
    EXPECT_EQ(readCounted(field), "ab");
}

TEST(CountedText, LengthByteAboveCapacityReadsOnlyTheField)
{
    std::array<std::uint8_t, 8> bytes = {200, 'a', 'b', 'c', 'X', 'Y', 'Z', 'W'};
    // The field is the first four bytes; the rest belongs to the next field.
    EXPECT_EQ(readCountedRaw(std::span(bytes).first(4)), "abc");
}
