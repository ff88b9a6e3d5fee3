#include "companions/wywoz/contact_csv.h"
#include "companions/wywoz/contact_vcard.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

using namespace wirtello;

TEST(VcardValues, TextAndComponentEscaping)
{
    struct Row {
        const char* input;
        const char* text;
        const char* component;
    };
    const Row rows[] = {
        {"Żółć Gęślą", "Żółć Gęślą", "Żółć Gęślą"},
        {"Długa 5, m. 2", "Długa 5\\, m. 2", "Długa 5\\, m. 2"},
        // A bare ';' is a plain character in a text but splits a structured value.
        {"Kowalski; Nowak", "Kowalski; Nowak", "Kowalski\\; Nowak"},
        {"C:\\Dane", "C:\\\\Dane", "C:\\\\Dane"},
        {"dwie\r\nlinie\rtrzy\nkoniec", "dwie\\nlinie\\ntrzy\\nkoniec", "dwie\\nlinie\\ntrzy\\nkoniec"},
        {"tab\tzostaje", "tab\tzostaje", "tab\tzostaje"},
        {"bez\x01ster\x7fowania", "bezsterowania", "bezsterowania"},
        {"\"cudzysłów\" $(rm) `x` | &&", "\"cudzysłów\" $(rm) `x` | &&", "\"cudzysłów\" $(rm) `x` | &&"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(vcardText(row.input), row.text) << row.input;
        EXPECT_EQ(vcardComponent(row.input), row.component) << row.input;
    }
}

TEST(VcardValues, UrisForWebMessengerAndPhoto)
{
    struct Row {
        const char* kind;
        const char* input;
        const char* uri;
    };
    const Row rows[] = {
        {"www", "example.pl", "http://example.pl"},
        {"www", "  www.example.pl/kontakt  ", "http://www.example.pl/kontakt"},
        {"www", "https://example.pl/a?b=1&c=2#d", "https://example.pl/a?b=1&c=2#d"},
        {"www", "http://example.pl/a,b;c", "http://example.pl/a%2Cb%3Bc"},
        // A Polish host in the ASCII form a browser sends, the path percent-encoded.
        {"www", "żółw.pl/ścieżka z odstępem", "http://xn--w-uga1v8h.pl/%C5%9Bcie%C5%BCka%20z%20odst%C4%99pem"},
        {"www", "https://Przykład.PL:8443/a?b=ł", "https://xn--przykad-rjb.pl:8443/a?b=%C5%82"},
        {"www", "http://jan@gdańsk.pl", "http://jan@xn--gdask-y7a.pl"},
        {"www", "example.pl:8080", "http://example.pl:8080"},
        {"www", "http://x.pl/100%25", "http://x.pl/100%25"},
        {"www", "http://x.pl/100%", "http://x.pl/100%25"},
        {"komunikator", "12345678", "im:12345678"},
        {"komunikator", "jan@jabber.org", "im:jan@jabber.org"},
        {"komunikator", "xmpp:jan@jabber.org", "xmpp:jan@jabber.org"},
        {"komunikator", "Jan Kowalski", "im:Jan%20Kowalski"},
        {"zdjęcie", "/home/biuro/LOGO/zdjęcie 1.jpg", "file://localhost/home/biuro/LOGO/zdj%C4%99cie%201.jpg"},
        {"zdjęcie", "C:\\Dane\\LOGO\\a.jpg", "file://localhost/C:/Dane/LOGO/a.jpg"},
        {"zdjęcie", "\\\\serwer\\zdjecia\\a.jpg", "file://serwer/zdjecia/a.jpg"},
        {"zdjęcie", "LOGO\\a.jpg", "file://localhost/program/LOGO/a.jpg"},
    };
    for (const Row& row : rows) {
        const std::string kind = row.kind;
        const std::string uri = kind == "www"           ? webAddressUri(row.input)
                                : kind == "komunikator" ? messengerUri(row.input)
                                                        : photoUri(row.input, "/program");
        EXPECT_EQ(uri, row.uri) << kind << ": " << row.input;
    }
}

TEST(VcardValues, PhotoIsTheFileTheProgramShows)
{
    // A folder brought over from Windows: the stored path names a drive, the
    // program finds the file below its own folder.
    test::TempFolder folder({"LOGO"});
    test::writeBytes(folder / "LOGO" / "anna.jpg", {0xFF, 0xD8, 0xFF, 0xD9});
    const std::string shown = "file://localhost" + (folder / "LOGO" / "anna.jpg").generic_string();
    const std::pair<const char*, std::string> rows[] = {
        {"C:\\Wirtello\\LOGO\\anna.jpg", shown},
        {"c:\\WIRTELLO\\logo\\ANNA.JPG", shown},
        {"LOGO\\anna.jpg", shown},
        {"C:\\Inny\\brak.jpg", "file://localhost/C:/Inny/brak.jpg"}, // found nowhere: as stored
    };
    for (const auto& [stored, uri] : rows)
        EXPECT_EQ(photoUri(stored, folder.path()), uri) << stored;
}

TEST(VcardValues, StrictUrisKeepOnlyUnreservedCharacters)
{
    const std::pair<const char*, const char*> rows[] = {
        {"http://BEGIN:VCARD", "http://BEGIN%3AVCARD"},
        {"http://x%0D%0AEND:VCARD", "http://x%0D%0AEND%3AVCARD"},
        {"im:a@b;c", "im:a%40b%3Bc"},
        {"file://localhost/C:/a b.jpg", "file://localhost/C%3A/a%20b.jpg"},
    };
    for (const auto& [uri, strict] : rows)
        EXPECT_EQ(strictUri(uri), strict) << uri;
}

TEST(VcardValues, FirstLineSplitsIntoGivenAndFamilyName)
{
    struct Row {
        const char* firstLine;
        const char* given;
        const char* family;
    };
    const Row rows[] = {
        {"Anna Przykładowa", "Anna", "Przykładowa"},
        {"Anna Maria  Przykładowa-Nowak ", "Anna Maria", "Przykładowa-Nowak"},
        {"Przykładowa", "", "Przykładowa"},
        {"   ", "", ""},
    };
    for (const Row& row : rows) {
        const PersonName name = splitPersonName(row.firstLine);
        EXPECT_EQ(name.given, row.given) << row.firstLine;
        EXPECT_EQ(name.family, row.family) << row.firstLine;
    }
}

TEST(CsvValues, FieldsAreQuotedOnlyWhereASpreadsheetNeedsIt)
{
    struct Row {
        const char* input;
        const char* field;
    };
    const Row rows[] = {
        {"Gdańsk", "Gdańsk"},
        {"", ""},
        {"Długa 5, m. 2", "Długa 5, m. 2"},
        {"a;b", "\"a;b\""},
        {"Biuro \"Pod Lipą\"", "\"Biuro \"\"Pod Lipą\"\"\""},
        {"dwie\r\nlinie", "\"dwie\r\nlinie\""},
        {" odstęp z przodu", "\" odstęp z przodu\""},
        // What a spreadsheet would run as a formula is taken as text.
        {"+48 58 123 45 67", "'+48 58 123 45 67"},
        {"=HYPERLINK(\"http://x.pl\")", "\"'=HYPERLINK(\"\"http://x.pl\"\")\""},
        {"-2+3", "'-2+3"},
        {"@SUMA(A1)", "'@SUMA(A1)"},
        {"\tx", "'\tx"},
        {"\rx", "\"'\rx\""},
        {"'=1", "''=1"},
        {"'zwykły", "'zwykły"},
        {"a=b-c", "a=b-c"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(csvField(row.input), row.field) << row.input;
}
