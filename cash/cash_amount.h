#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace wirtello {

// Amounts of the cash document are whole grosze (100 to the złoty) in 64 bits.
// They are read from their decimal text digit by digit, never through binary
// floating point, so ten lines of 0.10 add up to exactly 1.00.

// At most this many digits before the point; ten such amounts still add up
// within 64 bits.
inline constexpr int kMaxAmountWholeDigits = 15;

struct AmountReading {
    enum class Kind {
        Number,     // a plain decimal number (or nothing): `grosze` holds it
        NotANumber, // "1.2.3", ".", "1-2", letters: counts as 0 and stays as typed
        TooLarge,   // more whole digits than kMaxAmountWholeDigits
    };
    Kind kind = Kind::Number;
    std::int64_t grosze = 0;

    bool isNumber() const { return kind == Kind::Number; }
};

// Reads a typed amount: blanks around it, an optional leading minus, digits
// with at most one point ("12", "12.5", ".5", "5."). An empty or blank text is
// 0. Digits beyond the second decimal round to the nearest grosz, halves to even.
AmountReading readAmount(std::string_view text);

// The amount format: two decimals with a point, right-aligned in at least
// eight characters ("   12.50", "12345.67", "123456.78").
std::string formatAmount(std::int64_t grosze);

// What an amount field keeps of typed or pasted text: a comma becomes a point
// and anything but digits and points is dropped. Blanks are kept only at the
// start, where the amount format puts them.
std::string filterAmountInput(std::string_view text);

// A cell after aligning the amount column: a number in the amount format;
// texts written as 0 ("", "0", "0.00") and texts that are not numbers stay
// as they are ("0.004", which rounds to 0, becomes "    0.00").
std::string alignedAmount(std::string_view text);

// A text rewritten in the amount format (the cash field on Enter and on leaving
// it): a number, empty included, in the amount format; anything else unchanged.
std::string reformattedAmount(std::string_view text);

struct AmountTotal {
    std::int64_t grosze = 0;
    // Some amount was too large to add up; the total means nothing then.
    bool tooLarge = false;
};

// The sum of the amounts that read as numbers.
AmountTotal totalOf(std::span<const std::string> amounts);

// Whether a total can go on a printed document: not negative and its whole
// złoty part within a signed 32-bit number, as the amount in words needs.
bool printableTotal(const AmountTotal& total);

// The text the total box shows: the amount format, or a notice when an amount
// is beyond what can be added up.
std::string totalText(const AmountTotal& total);

} // namespace wirtello
