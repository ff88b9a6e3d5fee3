#include "typed_number.h"

#include "store/hex_digit.h"

namespace wirtello {

std::int32_t readTypedNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }

    bool hexadecimal = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hexadecimal = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hexadecimal = true;
        i += 2;
    }

    // Hexadecimal texts may fill all 32 bits ("$FFFFFFFF" is -1); decimal ones
    // stop at the range of a signed 32-bit number.
    const std::uint64_t limit = hexadecimal ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    const int base = hexadecimal ? 16 : 10;
    std::uint64_t value = 0;
    bool stopped = false;
    for (; i < text.size(); ++i) {
        const int digit = hexDigitValue(text[i]);
        if (digit < 0 || digit >= base || value * base + digit > limit) {
            stopped = true;
            break;
        }
        value = value * base + digit;
    }

    if (hexadecimal) {
        const auto bits = static_cast<std::uint32_t>(value);
        const auto signedValue = static_cast<std::int32_t>(bits);
        if (negative && !stopped)
            return static_cast<std::int32_t>(0u - bits);
        return signedValue;
    }
    if (negative && !stopped)
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
    // A stop drops the sign: the largest negative magnitude has no positive twin.
    return static_cast<std::int32_t>(value > 0x7FFFFFFFull ? 0x7FFFFFFFull : value);
}

} // namespace wirtello
