// CSV files: our own export, the header rows of common address books, their
// encodings and separators.
#include "contact_import/contact_file.h"
#include "contact_import/csv_reader.h"

#include "companions/wywoz/contact_csv.h"

#include <gtest/gtest.h>

namespace wirtello::test {
namespace {

TEST(CsvReader, HeaderNamesAreRecognised)
{
    const std::pair<const char*, CsvColumn> cases[] = {
        {"Nazwa", CsvColumn::DisplayName},          {"Imię i nazwisko", CsvColumn::FullName},
        {"Instytucja", CsvColumn::Organisation},    {"Telefon kom.", CsvColumn::Mobile},
        {"E-mail", CsvColumn::Email},               {"WWW", CsvColumn::Web},
        {"Komunikator", CsvColumn::Messenger},      {"Zdjęcie", CsvColumn::Photo},
        {"Miejscowość", CsvColumn::City},           {"Identyfikator", CsvColumn::Ignored},
        {"First Name", CsvColumn::GivenName},       {"Last Name", CsvColumn::FamilyName},
        {"Middle Name", CsvColumn::MiddleName},     {"Display Name", CsvColumn::DisplayName},
        {"Business Street", CsvColumn::Street},     {"Home Postal Code", CsvColumn::PostalCode},
        {"Business Fax", CsvColumn::Fax},           {"Mobile Phone", CsvColumn::Mobile},
        {"E-mail Address", CsvColumn::Email},       {"E-mail Display Name", CsvColumn::Ignored},
        {"Web Page", CsvColumn::Web},               {"Job Title", CsvColumn::Ignored},
        {"Work ZipCode", CsvColumn::PostalCode},    {"Primary Email", CsvColumn::Email},
        {"Address 1 - City", CsvColumn::City},      {"Address 1 - Type", CsvColumn::Ignored},
        {"Phone 1 - Type", CsvColumn::PhoneKind},   {"Phone 2 - Value", CsvColumn::KindPhone},
        {"Organization 1 - Name", CsvColumn::Organisation}, {"Organization 1 - Title", CsvColumn::Ignored},
        {"Adres e-mail", CsvColumn::Email},         {"Ulica (służbowa)", CsvColumn::Street},
        {"Kod pocztowy (domowy)", CsvColumn::PostalCode},   {"Telefon komórkowy", CsvColumn::Mobile},
        {"Faks służbowy", CsvColumn::Fax},          {"Strona sieci Web", CsvColumn::Web},
        {"Firma", CsvColumn::Organisation},         {"Nazwisko", CsvColumn::FamilyName},
        {"Imię", CsvColumn::GivenName},             {"Uwagi", CsvColumn::Ignored},
    };
    for (const auto& [header, column] : cases)
        EXPECT_EQ(csvColumnRole(header).column, column) << header;
}

struct Expected {
    std::string name;
    std::array<std::string, 10> card;
    std::string photo = {};
};

struct CsvCase {
    const char* what;
    std::string file;
    std::vector<Expected> contacts;
    std::size_t skipped = 0;
};

TEST(CsvReader, ReadsOwnAndCommonExports)
{
    const std::string ownHeader = "Identyfikator;Nazwa;Imię i nazwisko;Instytucja;Ulica;Miejscowość;Telefon;Fax;"
                                  "Telefon kom.;E-mail;WWW;Komunikator;Zdjęcie\r\n";
    const CsvCase cases[] = {
        {"own export, UTF-8 with its mark",
         "\xEF\xBB\xBF" + ownHeader
             + "003;Kowalski;Jan Kowalski;\"Firma \"\"Łąka\"\"; s.c.\";ul. Polna 1;00-001 Warszawa;22 1;22 2;600;"
               "jan@x.pl;www.x.pl;gg:1;C:\\LOGO\\jan.jpg\r\n004;Pusty;;;;;;;;;;;\r\n",
         {{"Kowalski", {"Jan Kowalski", "Firma \"Łąka\"; s.c.", "ul. Polna 1", "00-001 Warszawa", "22 1", "22 2", "600",
                        "jan@x.pl", "www.x.pl", "gg:1"}, "C:\\LOGO\\jan.jpg"},
          {"Pusty", {}}}},
        {"Windows-1250, a line break inside quotes, blank rows, short and long rows",
         "Nazwa;Ulica;Miejscowo\x9c\xe6\r\n\xa3\xf3" "d\x9f;\"Piotrkowska 1\r\nlok. 2\";\xa3\xf3" "d\x9f\r\n;;\r\n\r\n"
         "Kr\xf3tki\r\nD\xb3ugi;a;b;c;d;e\r\n",
         // Without a column for the person, the name stands in the card's first line.
         {{"Łódź", {"Łódź", "", "Piotrkowska 1, lok. 2", "Łódź"}}, {"Krótki", {"Krótki"}}, {"Długi", {"Długi", "", "a", "b"}}}},
        {"address book in English, comma separated, business before home",
         "First Name,Middle Name,Last Name,Company,Business Street,Business City,Business Postal Code,Home Street,"
         "Home City,Business Phone,Home Phone,Business Fax,Mobile Phone,E-mail Address,E-mail Display Name,Web Page\r\n"
         "Anna,Maria,Zając,ACME,Długa 1,Kraków,30-001,Krótka 2,Wieliczka,12 1,12 2,12 3,501,anna@acme.pl,Anna (anna@acme.pl),acme.pl\r\n"
         "Ewa,,Lis,,,,,Krótka 2,Wieliczka,,12 9,,,,,\r\n",
         {{"Anna Maria Zając", {"Anna Maria Zając", "ACME", "Długa 1", "30-001 Kraków", "12 1", "12 3", "501",
                                "anna@acme.pl", "acme.pl"}},
          {"Ewa Lis", {"Ewa Lis", "", "Krótka 2", "Wieliczka", "12 9"}}}},
        {"numbered phones with their kind in a column of its own, packed values",
         "Name,Given Name,Family Name,Phone 1 - Type,Phone 1 - Value,Phone 2 - Type,Phone 2 - Value,Phone 3 - Type,"
         "Phone 3 - Value,E-mail 1 - Type,E-mail 1 - Value,Organization 1 - Name,Organization 1 - Title\r\n"
         "Jan Nowak,Jan,Nowak,Mobile,601 ::: 602,Work Fax,22 5,Work,22 4,* Work,jan@n.pl ::: j@n.pl,Nowak i Syn,Szef\r\n",
         {{"Jan Nowak", {"Jan Nowak", "Nowak i Syn", "", "", "22 4", "22 5", "601", "jan@n.pl"}}}},
        {"Polish headers, tab separated, institution only",
         "Imię\tNazwisko\tFirma\tTelefon służbowy\tTelefon komórkowy\tAdres e-mail\r\n\t\tUrząd Gminy\t44 1\t\t\r\n",
         {{"Urząd Gminy", {"", "Urząd Gminy", "", "", "44 1"}}}},
        {"a row with nothing the card holds is skipped",
         "Nazwa;Uwagi\r\n;tylko uwaga\r\nOla;\r\n", {{"Ola", {"Ola"}}}, 1},
    };
    for (const CsvCase& c : cases) {
        SCOPED_TRACE(c.what);
        const ContactFileReading reading = readContactBytes(c.file, 501, {});
        EXPECT_EQ(reading.format, ContactFileFormat::Csv);
        EXPECT_EQ(reading.skipped, c.skipped);
        ASSERT_EQ(reading.contacts.size(), c.contacts.size());
        for (std::size_t i = 0; i < c.contacts.size(); ++i) {
            EXPECT_EQ(reading.contacts[i].name, c.contacts[i].name);
            EXPECT_EQ(reading.contacts[i].card, c.contacts[i].card) << "contact " << i;
            EXPECT_EQ(reading.contacts[i].photoPath, c.contacts[i].photo);
        }
    }
}

TEST(CsvReader, ReadsBackWhatOurExportWrites)
{
    const ExportedContact contact{"012", "Żaneta; \"Biuro\"", " Żaneta Wiśniewska ", "Biuro\r\nRachunkowe", "Ogrodowa 3",
                                  "05-500 Piaseczno", "22 7", "22 8", "609", "z@w.pl", "http://w.pl", "skype:zw",
                                  "/home/biuro/LOGO/z.jpg"};
    const ContactFileReading reading = readContactBytes(buildCsv({contact}), 501, {});
    ASSERT_EQ(reading.contacts.size(), 1u);
    const ImportedContact& c = reading.contacts[0];
    EXPECT_EQ(c.name, "Żaneta; \"Biuro\"");
    // Blanks around a value and line breaks are no part of a card line.
    EXPECT_EQ(c.card, (std::array<std::string, 10>{"Żaneta Wiśniewska", "Biuro, Rachunkowe", "Ogrodowa 3", "05-500 Piaseczno",
                                                   "22 7", "22 8", "609", "z@w.pl", "http://w.pl", "skype:zw"}));
    EXPECT_EQ(c.photoPath, "/home/biuro/LOGO/z.jpg");

    // The apostrophe that keeps a spreadsheet from running a cell comes off
    // again in our own file, and only there.
    const ExportedContact formulas{"013", "=1+1", "@Anna", "-Biuro-", "'=A1", "Ogrodowa", "+48 22 7", "+48 22 8",
                                   "'+48 609", "z@w.pl", "", "", ""};
    const std::string file = buildCsv({formulas});
    EXPECT_NE(file.find(";'+48 22 7;"), std::string::npos);
    const ContactFileReading own = readContactBytes(file, 501, {});
    ASSERT_EQ(own.contacts.size(), 1u);
    EXPECT_EQ(own.contacts[0].name, "=1+1");
    EXPECT_EQ(own.contacts[0].card, (std::array<std::string, 10>{"@Anna", "-Biuro-", "'=A1", "Ogrodowa", "+48 22 7",
                                                                 "+48 22 8", "'+48 609", "z@w.pl", "", ""}));
    const ContactFileReading other = readContactBytes("Nazwa;Telefon\r\n'+48 22 7;'+48 22 7\r\n", 501, {});
    ASSERT_EQ(other.contacts.size(), 1u);
    EXPECT_EQ(other.contacts[0].card[4], "'+48 22 7");
}

TEST(CsvReader, EncodingsAreFoundWithoutBeingTold)
{
    const std::string utf8 = "Nazwa,Miejscowość\r\nŚwiętokrzyska,Kielce\r\n";
    std::string utf16 = "\xFF\xFE";
    for (const char32_t c : std::u32string(U"Nazwa;Miejscowość\r\nŚwiętokrzyska;Kielce\r\n")) {
        utf16 += static_cast<char>(c & 0xFF);
        utf16 += static_cast<char>(c >> 8);
    }
    const std::string files[] = {utf8, "\xEF\xBB\xBF" + utf8, "Nazwa;Miejscowo\x9c\xe6\r\n\x8cwi\xea" "tokrzyska;Kielce\r\n", utf16};
    for (const std::string& file : files) {
        const ContactFileReading reading = readContactBytes(file, 501, {});
        ASSERT_EQ(reading.contacts.size(), 1u);
        EXPECT_EQ(reading.contacts[0].name, "Świętokrzyska");
        EXPECT_EQ(reading.contacts[0].card[3], "Kielce");
    }
}

TEST(CsvReader, AFirstRowThatNamesNoColumnIsRefused)
{
    for (const std::string file : {"Jan;Kowalski;Łódź\r\nAnna;Nowak;Kraków\r\n", "x\r\n", "1,2,3\r\n"}) {
        SCOPED_TRACE(file);
        EXPECT_THROW(readContactBytes(file, 501, {}), ContactFileError);
    }
}

TEST(CsvReader, RowsBeyondTheRoomAreCountedNotRead)
{
    std::string file = "Nazwa\r\n";
    for (int i = 0; i < 600; ++i)
        file += "K" + std::to_string(i) + "\r\n\r\n";
    const ContactFileReading reading = readContactBytes(file, 10, {});
    EXPECT_EQ(reading.contacts.size(), 10u);
    EXPECT_EQ(reading.entriesInFile, 600u);
    EXPECT_EQ(reading.notRead, 590u);
}

} // namespace
} // namespace wirtello::test
