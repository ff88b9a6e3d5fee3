// Numbers typed into the envelope window: any text reads without fault, a
// plain decimal text reads as its value, and the value written out as text
// reads back as the same value.
#include "envelope/typed_number.h"
#include "fuzz/fuzz_support.h"

#include <charconv>
#include <cstdint>
#include <optional>

using namespace wirtello;

namespace {

// Blanks, an optional sign and decimal digits only, within 32 bits: the value.
std::optional<std::int32_t> plainDecimal(std::string_view text)
{
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos)
        return std::nullopt;
    text.remove_prefix(start);
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+'))
        text.remove_prefix(1);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    std::int64_t magnitude = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::int32_t value = readTypedNumber(text);
    if (const auto expected = plainDecimal(text))
        FUZZ_CHECK(value == *expected);
    FUZZ_CHECK(readTypedNumber(std::to_string(value)) == value);
    FUZZ_CHECK(readTypedNumber(" " + std::to_string(value) + " ") == value || value < 0);

    // As hexadecimal, the way a typed "$" text is written.
    char hex[16];
    const auto written = std::to_chars(hex, hex + sizeof hex, static_cast<std::uint32_t>(value), 16);
    FUZZ_CHECK(readTypedNumber("$" + std::string(hex, written.ptr)) == value);
    return 0;
}
