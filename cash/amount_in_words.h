#pragma once

#include <cstdint>
#include <string>

namespace wirtello {

// Polish words for money amounts, as printed after "Słownie :". Results are
// UTF-8; words are separated by exactly one blank.

// The three forms a counted noun takes after a number: one, a count ending in
// 2-4 (but not 12-14), and every other count.
struct CountedNoun {
    const char* one;
    const char* few;
    const char* many;
};

inline constexpr CountedNoun kZloty{"złoty", "złote", "złotych"};
inline constexpr CountedNoun kGrosz{"grosz", "grosze", "groszy"};
inline constexpr CountedNoun kTysiac{"tysiąc", "tysiące", "tysięcy"};
inline constexpr CountedNoun kMilion{"milion", "miliony", "milionów"};
inline constexpr CountedNoun kMiliard{"miliard", "miliardy", "miliardów"};

// The form of `noun` that follows the count `count` (count >= 0).
const char* nounFor(const CountedNoun& noun, std::int64_t count);

// The words for n (1 <= n <= 2147483647), one blank, then `currencyWord`
// (for example "dwadzieścia dwa złote"). Words for n < 1 are empty, so the
// result is then the currency word alone.
std::string Slownie(std::int32_t n, const std::string& currencyWord);

// The largest total that has words: 2147483647 złoty 99 grosze, in grosze.
inline constexpr std::int64_t kLargestWordedTotal = 2147483647LL * 100 + 99;

// True when KwotaSlownie can spell `totalGrosze` (0 .. kLargestWordedTotal);
// a printout refuses any other total before it uses a number.
bool amountHasWords(std::int64_t totalGrosze);

// The total (in whole grosze) in words: the złoty words, one blank, then the
// grosz words; a side whose count is 0 is empty ("jeden złoty ",
// " dziewięćdziesiąt dziewięć groszy", and " " for 0). A total outside
// amountHasWords raises std::out_of_range.
std::string KwotaSlownie(std::int64_t totalGrosze);

} // namespace wirtello
