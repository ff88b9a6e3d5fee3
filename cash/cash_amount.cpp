#include "cash_amount.h"

#include "cash/amount_in_words.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace wirtello {
namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

} // namespace

AmountReading readAmount(std::string_view text)
{
    const AmountReading notANumber{AmountReading::Kind::NotANumber, 0};
    text = trimmed(text);
    if (text.empty())
        return {};

    bool negative = false;
    if (text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if (whole.empty() && fraction.empty())
        return notANumber; // "", "-", "." or "-."
    for (const std::string_view part : {whole, fraction})
        for (const char c : part)
            if (!isDigit(c))
                return notANumber; // a second point, a minus inside, a blank inside, a letter

    std::int64_t zlote = 0;
    int digits = 0;
    for (const char c : whole) {
        if (digits == 0 && c == '0')
            continue;
        if (++digits > kMaxAmountWholeDigits)
            return {AmountReading::Kind::TooLarge, 0};
        zlote = zlote * 10 + (c - '0');
    }

    std::int64_t grosze = 0;
    for (std::size_t i = 0; i < 2; ++i)
        grosze = grosze * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    if (fraction.size() > 2) {
        // Beyond the grosz: nearest, halves to even.
        const int next = fraction[2] - '0';
        bool restNonZero = false;
        for (std::size_t i = 3; i < fraction.size(); ++i)
            restNonZero = restNonZero || fraction[i] != '0';
        if (next > 5 || (next == 5 && (restNonZero || grosze % 2 != 0)))
            ++grosze;
    }
    const std::int64_t value = zlote * 100 + grosze;
    // Rounding may carry into one whole digit more than an amount may have,
    // which the amount written back could not be read as.
    constexpr std::int64_t kWholeLimit = [] {
        std::int64_t limit = 1;
        for (int i = 0; i < kMaxAmountWholeDigits; ++i)
            limit *= 10;
        return limit;
    }();
    if (value / 100 >= kWholeLimit)
        return {AmountReading::Kind::TooLarge, 0};
    return {AmountReading::Kind::Number, negative ? -value : value};
}

std::string formatAmount(std::int64_t grosze)
{
    const bool negative = grosze < 0;
    // Magnitude in unsigned arithmetic, so the smallest 64-bit value cannot overflow.
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(grosze) : static_cast<std::uint64_t>(grosze);
    char digits[48];
    std::snprintf(digits, sizeof digits, "%s%llu.%02llu", negative ? "-" : "",
                  static_cast<unsigned long long>(magnitude / 100), static_cast<unsigned long long>(magnitude % 100));
    std::string text(digits);
    if (text.size() < 8)
        text.insert(0, 8 - text.size(), ' ');
    return text;
}

std::string filterAmountInput(std::string_view text)
{
    std::string kept;
    bool leading = true;
    for (const char c : text) {
        if (leading && c == ' ') {
            kept += c;
            continue;
        }
        leading = false;
        if (c == ',' || c == '.')
            kept += '.';
        else if (isDigit(c))
            kept += c;
    }
    return kept;
}

std::string alignedAmount(std::string_view text)
{
    const AmountReading reading = readAmount(text);
    // "0.004" reads as 0 but is not written as 0: it is aligned, so that the
    // printed lines add up to the printed total.
    const bool writtenAsZero = std::none_of(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; });
    if (!reading.isNumber() || (reading.grosze == 0 && writtenAsZero))
        return std::string(text);
    return formatAmount(reading.grosze);
}

std::string reformattedAmount(std::string_view text)
{
    const AmountReading reading = readAmount(text);
    if (!reading.isNumber())
        return std::string(text);
    return formatAmount(reading.grosze);
}

AmountTotal totalOf(std::span<const std::string> amounts)
{
    AmountTotal total;
    for (const std::string& amount : amounts) {
        const AmountReading reading = readAmount(amount);
        if (reading.kind == AmountReading::Kind::TooLarge)
            total.tooLarge = true;
        else if (reading.isNumber())
            total.grosze += reading.grosze;
    }
    return total;
}

bool printableTotal(const AmountTotal& total)
{
    return !total.tooLarge && amountHasWords(total.grosze);
}

std::string totalText(const AmountTotal& total)
{
    if (total.tooLarge)
        return "za duża kwota";
    return formatAmount(total.grosze);
}

} // namespace wirtello
