#include "store/cp1250.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <optional>
#include <set>

using namespace wirtello;

namespace {

// glibc's converter: a table written apart from ours, to check ours against.
std::optional<std::string> iconvConvert(const char* to, const char* from, const std::string& text)
{
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string in = text;
    std::string out(16 + text.size() * 4, '\0');
    char* inPointer = in.data();
    std::size_t inLeft = in.size();
    char* outPointer = out.data();
    std::size_t outLeft = out.size();
    const std::size_t result = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
    iconv_close(converter);
    if (result == static_cast<std::size_t>(-1) || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

std::string utf8Of(char32_t cp)
{
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// The five bytes Windows-1250 leaves unassigned; we keep them as the C1
// control of the same value, where glibc refuses them.
const std::set<int> kUnassigned = {0x81, 0x83, 0x88, 0x90, 0x98};

} // namespace

TEST(Cp1250, PolishLettersMapToTheirWindows1250Bytes)
{
    EXPECT_EQ(toCp1250("ąćęłńóśźż"), "\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF");
    EXPECT_EQ(toCp1250("ĄĆĘŁŃÓŚŹŻ"), "\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF");
    EXPECT_EQ(fromCp1250("\xA3\xF3\x64\x9F"), "Łódź");
}

TEST(Cp1250, EveryByteDecodesAsGlibcDecodesIt)
{
    ASSERT_TRUE(iconvConvert("UTF-8", "CP1250", "a").has_value()) << "glibc's CP1250 converter is missing";
    std::set<int> refusedByGlibc;
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const auto expected = iconvConvert("UTF-8", "CP1250", byte);
        if (!expected) {
            refusedByGlibc.insert(b);
            EXPECT_EQ(fromCp1250(byte), utf8Of(static_cast<char32_t>(b))) << "byte " << b;
        } else {
            EXPECT_EQ(fromCp1250(byte), *expected) << "byte " << b;
        }
        EXPECT_EQ(toCp1250(fromCp1250(byte)), byte) << "byte " << b;
    }
    EXPECT_EQ(refusedByGlibc, kUnassigned);
}

TEST(Cp1250, EncodesExactlyTheCharactersGlibcEncodesAndOthersAsQuestionMarks)
{
    for (char32_t cp = 0x80; cp < 0x2200; ++cp) {
        if (cp >= 0xD800 && cp < 0xE000)
            continue;
        if (kUnassigned.count(static_cast<int>(cp)))
            continue;
        const std::string text = utf8Of(cp);
        const auto expected = iconvConvert("CP1250", "UTF-8", text);
        EXPECT_EQ(toCp1250(text), expected.value_or("?")) << "U+" << std::hex << static_cast<unsigned>(cp);
    }
}

TEST(Cp1250, MalformedTextBecomesQuestionMarks)
{
    const std::pair<const char*, const char*> rows[] = {
        {"a日b", "a?b"},
        {"x\xC3", "x?"},          // cut-off sequence
        {"\xFF" "A", "?A"},       // not UTF-8 at all
        {"\xC3(", "?("},          // a lead byte without its follower
        {"\xF0\x9F\x98\x80", "?"}, // outside the basic plane
    };
    for (const auto& [utf8, expected] : rows)
        EXPECT_EQ(toCp1250(utf8), expected) << utf8;
}
