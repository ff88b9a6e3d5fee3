// Character sets and the small text rules of the import.
#include "contact_import/import_text.h"
#include "store/utf8_text.h"

#include <gtest/gtest.h>

namespace wirtello::test {
namespace {

TEST(ImportText, CharacterSetsBecomeUtf8WithoutLosingBytes)
{
    struct Case {
        std::string bytes;
        const char* charset;
        const char* utf8;
    };
    const Case cases[] = {
        {"\xa3\xf3" "d\x9f", "windows-1250", "Łódź"},
        {"\xa3\xf3" "d\xbc", "ISO-8859-2", "Łódź"},
        {"\xa3\xf3" "d\xbc", "iso-8859-2", "Łódź"},
        {"Łódź", "UTF-8", "Łódź"},
        {"Łódź", "", "Łódź"},
        {"\xa3\xf3" "d\x9f", "", "Łódź"},          // not UTF-8: Windows-1250
        {"\xa3\xf3" "d\x9f", "UTF-8", "Łódź"},     // claims UTF-8 but is not
        {"\xa3\xf3" "d\x9f", "no-such-set", "Łódź"},
        {"caf\xe9", "ISO-8859-1", "café"},
        {"Kraków", "US-ASCII", "Kraków"},          // mislabelled, still kept
        {std::string("\x41\x00\x42\x01", 4), "UTF-16LE", "Ał"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.charset);
        EXPECT_EQ(toUtf8(c.bytes, c.charset), c.utf8);
    }
}

TEST(ImportText, EscapesAndKeys)
{
    EXPECT_EQ(decodeQuotedPrintable("=C5=81=c3=b3d=C5=BA =3D 5=2"), "Łódź = 5=2");
    EXPECT_EQ(percentDecoded("http://x.pl/%C5%BAr%C3%B3d%C5%82o%20a"), "http://x.pl/źródło a");
    EXPECT_EQ(percentDecoded("100%25%ZZ"), "100%%ZZ");
    EXPECT_EQ(percentDecoded("%FF"), "%FF"); // not UTF-8 once decoded: left as written
    // An escape that ends the text is decoded; one cut short stays.
    const std::pair<std::string, std::string> ends[] = {
        {decodeQuotedPrintable("Gda=C5=84"), "Gdań"}, {decodeQuotedPrintable("=41"), "A"},
        {decodeQuotedPrintable("a=C5=8"), "a\xC5=8"}, {decodeQuotedPrintable("a="), "a="},
        {percentDecoded("a%20"), "a "},                 {percentDecoded("%C5%84"), "ń"},
        {percentDecoded("a%2"), "a%2"},                 {percentDecoded("a%"), "a%"},
    };
    for (const auto& [decoded, expected] : ends)
        EXPECT_EQ(decoded, expected);

    const std::pair<const char*, const char*> keys[] = {
        {"Telefon kom.", "telefon kom"},    {"E-mail", "e mail"},
        {" Miejscowość ", "miejscowosc"},   {"ULICA (SŁUŻBOWA)", "ulica sluzbowa"},
        {"Phone 1 - Value", "phone 1 value"}, {"", ""},
    };
    for (const auto& [header, key] : keys)
        EXPECT_EQ(foldedKey(header), key) << header;

    const std::pair<const char*, const char*> lines[] = {
        {"  ul. Długa 1  ", "ul. Długa 1"}, {"a\r\nb\nc\rd", "a, b, c, d"}, {"a,\nb", "a, b"},
        {"\n\n a \n\n", "a"},               {"a\tb\x01" "c", "a b c"},     {"", ""},
    };
    for (const auto& [text, line] : lines)
        EXPECT_EQ(oneLine(text), line) << text;
}

} // namespace
} // namespace wirtello::test
