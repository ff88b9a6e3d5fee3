#include "envelope/typed_number.h"

#include <gtest/gtest.h>

#include <string>

namespace wirtello {
namespace {

TEST(TypedNumber, ReadsWhatUsersTypeAndNeverFails)
{
    const struct {
        std::string text;
        std::int32_t value;
    } rows[] = {
        // The examples users calibrate with.
        {"12", 12},
        {" 12", 12},
        {"12a", 12},
        {"-7", -7},
        {"-7a", 7}, // a stop drops the sign
        {"abc", 0},
        {"$1A", 26},
        // Blanks, signs and hexadecimal prefixes.
        {"\t 40", 40},
        {"+15", 15},
        {"-0", 0},
        {"x1f", 31},
        {"X1F", 31},
        {"0x10", 16},
        {"0X10", 16},
        {"-$10", -16},
        {"$FFFFFFFF", -1},
        {"0", 0},
        {"007", 7},
        {"12 ", 12},
        {"-12 ", 12},
        {"1 2", 1},
        // Anything at all.
        {"", 0},
        {"-", 0},
        {"+", 0},
        {"$", 0},
        {"0x", 0},
        {"x", 0},
        {"- 7", 0},
        {"1e9", 1},
        {"12,5", 12},
        {"3.9", 3},
        {"\xC5\xBC\xC3\xB3\xC5\x82w", 0}, // "żółw"
        {"5\xC4\x85", 5},                 // "5ą"
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        // Past 32 bits the extra digit is a stranger: the value so far, unsigned.
        {"2147483648", 214748364},
        {"99999999999999999999", 999999999},
        {"-99999999999999999999", 999999999},
        {"$123456789", 0x12345678},
    };
    for (const auto& row : rows)
        EXPECT_EQ(readTypedNumber(row.text), row.value) << '"' << row.text << '"';
}

} // namespace
} // namespace wirtello
