#include "amount_in_words.h"

#include <array>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace wirtello {
namespace {

constexpr std::array<std::string_view, 10> kUnits{
    "", "jeden", "dwa", "trzy", "cztery", "pięć", "sześć", "siedem", "osiem", "dziewięć"};
constexpr std::array<std::string_view, 10> kTeens{
    "dziesięć", "jedenaście", "dwanaście", "trzynaście", "czternaście",
    "piętnaście", "szesnaście", "siedemnaście", "osiemnaście", "dziewiętnaście"};
constexpr std::array<std::string_view, 10> kTens{
    "", "", "dwadzieścia", "trzydzieści", "czterdzieści",
    "pięćdziesiąt", "sześćdziesiąt", "siedemdziesiąt", "osiemdziesiąt", "dziewięćdziesiąt"};
constexpr std::array<std::string_view, 10> kHundreds{
    "", "sto", "dwieście", "trzysta", "czterysta", "pięćset", "sześćset", "siedemset", "osiemset", "dziewięćset"};

void appendWord(std::string& text, std::string_view word)
{
    if (word.empty())
        return;
    if (!text.empty())
        text += ' ';
    text += word;
}

// The words of one group of three digits (0..999); empty for 0.
std::string groupWords(int value)
{
    std::string words;
    appendWord(words, kHundreds[value / 100]);
    const int tens = value / 10 % 10;
    const int units = value % 10;
    if (tens == 1) {
        appendWord(words, kTeens[units]);
    } else {
        appendWord(words, kTens[tens]);
        appendWord(words, kUnits[units]);
    }
    return words;
}

std::string numberWords(std::int32_t n)
{
    if (n < 1)
        return {};
    // A thousand on its own is said without "jeden"; inside larger numbers it keeps it.
    if (n == 1000)
        return "tysiąc";
    struct Group {
        std::int32_t divisor;
        const CountedNoun* noun;
    };
    constexpr std::array<Group, 4> groups{
        Group{1'000'000'000, &kMiliard}, Group{1'000'000, &kMilion}, Group{1'000, &kTysiac}, Group{1, nullptr}};
    std::string words;
    for (const Group& group : groups) {
        const int value = static_cast<int>(n / group.divisor % 1000);
        if (value == 0)
            continue;
        appendWord(words, groupWords(value));
        if (group.noun)
            appendWord(words, nounFor(*group.noun, value));
    }
    return words;
}

} // namespace

const char* nounFor(const CountedNoun& noun, std::int64_t count)
{
    if (count == 1)
        return noun.one;
    const std::int64_t lastTwo = count % 100;
    const std::int64_t last = count % 10;
    if (last >= 2 && last <= 4 && !(lastTwo >= 12 && lastTwo <= 14))
        return noun.few;
    return noun.many;
}

std::string Slownie(std::int32_t n, const std::string& currencyWord)
{
    std::string result = numberWords(n);
    appendWord(result, currencyWord);
    return result;
}

bool amountHasWords(std::int64_t totalGrosze)
{
    return totalGrosze >= 0 && totalGrosze <= kLargestWordedTotal;
}

std::string KwotaSlownie(std::int64_t totalGrosze)
{
    if (!amountHasWords(totalGrosze))
        throw std::out_of_range("amount has no words: " + std::to_string(totalGrosze));
    const auto zloty = static_cast<std::int32_t>(totalGrosze / 100);
    const auto grosze = static_cast<std::int32_t>(totalGrosze % 100);
    std::string result;
    if (zloty > 0)
        result = Slownie(zloty, nounFor(kZloty, zloty));
    result += ' ';
    if (grosze > 0)
        result += Slownie(grosze, nounFor(kGrosz, grosze));
    return result;
}

} // namespace wirtello
