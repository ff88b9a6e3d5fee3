#include "companions/wywoz/address_export.h"

#include "store/contact_database.h"
#include "store/io_error.h"
#include "tests/support/temp_folder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>

using namespace wirtello;
using wirtello::test::readBytes;
using wirtello::test::TempFolder;

namespace {

constexpr std::chrono::year_month_day kDate{std::chrono::year(2026), std::chrono::month(12), std::chrono::day(7)};

// Reads the export with independent readers: python3-vobject for the vCard
// file, Python's csv module for the spreadsheet file. Prints JSON.
constexpr const char* kReader = R"(
import csv, json, sys, vobject
def plain(child):
    v = child.value
    if child.name == 'N':
        return {'given': v.given, 'family': v.family}
    if child.name == 'ADR':
        return {'street': v.street, 'city': v.city}
    return v
cards = []
with open(sys.argv[1], encoding='utf-8', newline='') as f:
    for card in vobject.readComponents(f.read()):
        fields = {}
        for child in card.getChildren():
            key = child.name
            if 'TYPE' in child.params:
                key += ';' + ','.join(child.params['TYPE'])
            fields[key] = plain(child)
        cards.append(fields)
with open(sys.argv[2], encoding='utf-8', newline='') as f:
    text = f.read()
rows = list(csv.reader(text[1:].splitlines(keepends=True), delimiter=';'))
print(json.dumps({'cards': cards, 'bom': text.startswith('\ufeff'), 'rows': rows}))
)";

QJsonObject readBack(const std::filesystem::path& folder, const AddressExport& result)
{
    const std::filesystem::path script = folder / "read_export.py";
    std::ofstream(script) << kReader;
    const std::string command = std::string(WIRTELLO_SYSTEM_PYTHON) + " '" + script.string() + "' '"
        + result.vcardFile.string() + "' '" + result.csvFile.string() + "'";
    std::FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {};
    QByteArray output;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, static_cast<qsizetype>(n));
    EXPECT_EQ(pclose(pipe), 0) << "the reader failed";
    return QJsonDocument::fromJson(output).object();
}

QString q(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

struct Contact {
    int slot;
    std::map<ContactField, const char*> fields;
};

void storeDatabase(const std::filesystem::path& folder, const std::vector<Contact>& contacts)
{
    ContactDatabase database;
    for (const Contact& contact : contacts) {
        for (const auto& [field, text] : contact.fields)
            database.setText(field, contact.slot, text);
    }
    database.store(contactDatabasePath(folder));
}

} // namespace

TEST(AddressExport, EveryFieldReadsBackFromBothFiles)
{
    TempFolder folder({"NOTATKI"});
    // Slot 2 is free: a file not written by the program may have gaps.
    storeDatabase(folder.path(), {
        {0, {{ContactField::Display, "000 Przykładowa"}, {ContactField::FirstLine, "Anna Przykładowa"},
             {ContactField::SecondLine, "Kancelaria Prawna"}, {ContactField::Street, "Długa 5, m. 2"},
             {ContactField::Town, "Gdańsk"}, {ContactField::Phone, "+48 58 123 45 67"},
             {ContactField::Fax, "+48 58 123 45 68"}, {ContactField::Mobile, "600 700 800"},
             {ContactField::Email, "anna@przykladowa.pl"}, {ContactField::Web, "przykladowa.pl"},
             {ContactField::Messenger, "12345678"}, {ContactField::PhotoPath, "/home/biuro/LOGO/Żaneta.jpg"}}},
        {1, {{ContactField::Display, "001 Urząd Skarbowy"}, {ContactField::SecondLine, "Urząd; Wydział Ksiąg"},
             {ContactField::Town, "Łódź"}}},
        {3, {{ContactField::Display, "003 Zbyszek"}, {ContactField::FirstLine, "Zbigniew \"Zbyszek\" Źdźbło"},
             {ContactField::Street, "ul. Ścisła 3\\4"}, {ContactField::Phone, "12 345; wewn. 6"},
             {ContactField::Email, "zb@example.pl"}, {ContactField::Web, "https://example.pl/a,b"},
             {ContactField::Messenger, "xmpp:zb@example.pl"}}},
    });

    const AddressExport result = exportAddresses(folder.path(), kDate);
    EXPECT_EQ(result.contactCount, 3u);
    EXPECT_TRUE(result.skipped.empty());
    EXPECT_EQ(result.vcardFile, folder.path() / "Eksport" / "adresy-2026-12-07.vcf");
    EXPECT_EQ(result.csvFile, folder.path() / "Eksport" / "adresy-2026-12-07.csv");

    const QJsonObject read = readBack(folder.path(), result);
    const QJsonArray cards = read["cards"].toArray();
    ASSERT_EQ(cards.size(), 3);

    struct Expected {
        int card;
        const char* key;
        QJsonValue value;
    };
    auto object = [](std::initializer_list<std::pair<const char*, const char*>> pairs) {
        QJsonObject o;
        for (const auto& [k, v] : pairs)
            o[QString::fromUtf8(k)] = QString::fromUtf8(v);
        return QJsonValue(o);
    };
    const Expected expected[] = {
        {0, "VERSION", q("4.0")},
        {0, "FN", q("Anna Przykładowa")},
        {0, "N", object({{"given", "Anna"}, {"family", "Przykładowa"}})},
        {0, "ORG", QJsonArray{q("Kancelaria Prawna")}},
        {0, "ADR", object({{"street", "Długa 5, m. 2"}, {"city", "Gdańsk"}})},
        {0, "TEL;voice", q("+48 58 123 45 67")},
        {0, "TEL;fax", q("+48 58 123 45 68")},
        {0, "TEL;cell", q("600 700 800")},
        {0, "EMAIL", q("anna@przykladowa.pl")},
        {0, "URL", q("http://przykladowa.pl")},
        {0, "IMPP", q("im:12345678")},
        {0, "PHOTO", q("file://localhost/home/biuro/LOGO/%C5%BBaneta.jpg")},
        // No first line: the list's name stands for the full name, and no N is written.
        {1, "FN", q("Urząd Skarbowy")},
        {1, "N", QJsonValue(QJsonValue::Undefined)},
        {1, "ORG", QJsonArray{q("Urząd; Wydział Ksiąg")}},
        {1, "ADR", object({{"street", ""}, {"city", "Łódź"}})},
        {1, "TEL;voice", QJsonValue(QJsonValue::Undefined)},
        {1, "EMAIL", QJsonValue(QJsonValue::Undefined)},
        {1, "PHOTO", QJsonValue(QJsonValue::Undefined)},
        {2, "FN", q("Zbigniew \"Zbyszek\" Źdźbło")},
        {2, "N", object({{"given", "Zbigniew \"Zbyszek\""}, {"family", "Źdźbło"}})},
        {2, "ADR", object({{"street", "ul. Ścisła 3\\4"}, {"city", ""}})},
        {2, "TEL;voice", q("12 345; wewn. 6")},
        {2, "URL", q("https://example.pl/a%2Cb")},
        {2, "IMPP", q("xmpp:zb@example.pl")},
        {2, "ORG", QJsonValue(QJsonValue::Undefined)},
    };
    for (const Expected& e : expected) {
        const QJsonObject card = cards[e.card].toObject();
        EXPECT_EQ(card.value(QString::fromUtf8(e.key)), e.value) << "card " << e.card << " " << e.key;
    }

    EXPECT_TRUE(read["bom"].toBool());
    const QJsonArray rows = read["rows"].toArray();
    ASSERT_EQ(rows.size(), 4);
    const QStringList header = {"Identyfikator", q("Nazwa"),  q("Imię i nazwisko"), "Instytucja", "Ulica",
                                q("Miejscowość"), "Telefon", "Fax", "Telefon kom.", "E-mail", "WWW", "Komunikator",
                                q("Zdjęcie")};
    const QStringList lines[] = {
        header,
        {"000", q("Przykładowa"), q("Anna Przykładowa"), "Kancelaria Prawna", q("Długa 5, m. 2"), q("Gdańsk"),
         "'+48 58 123 45 67", "'+48 58 123 45 68", "600 700 800", "anna@przykladowa.pl", "przykladowa.pl", "12345678",
         q("/home/biuro/LOGO/Żaneta.jpg")},
        {"001", q("Urząd Skarbowy"), "", q("Urząd; Wydział Ksiąg"), "", q("Łódź"), "", "", "", "", "", "", ""},
        {"003", "Zbyszek", q("Zbigniew \"Zbyszek\" Źdźbło"), "", q("ul. Ścisła 3\\4"), "", "12 345; wewn. 6", "", "",
         "zb@example.pl", "https://example.pl/a,b", "xmpp:zb@example.pl", ""},
    };
    for (int row = 0; row < 4; ++row) {
        QStringList got;
        for (const QJsonValue& cell : rows[row].toArray())
            got << cell.toString();
        EXPECT_EQ(got, lines[row]) << "row " << row;
    }
}

TEST(AddressExport, FilesAreCrLfUtf8AndVcardLinesAreFolded)
{
    TempFolder folder({"NOTATKI"});
    const std::string longName(60, 'x');
    storeDatabase(folder.path(), {{0, {{ContactField::Display, "000 Ąę"},
                                       {ContactField::FirstLine, "Żółć żółć żółć żółć żółć żółć"},
                                       {ContactField::Street, "Ęśą ęśą ęśą ęśą ęśą ęśą ęśą ęśą ęśą ęśą ęśą ęśą"},
                                       {ContactField::Town, "Źdźbłowo Źdźbłowo Źdźbłowo Źdźbłowo Źdźbłowo"}}}});
    const AddressExport result = exportAddresses(folder.path(), kDate);
    const std::vector<std::uint8_t> vcard = readBytes(result.vcardFile);
    const std::string text(vcard.begin(), vcard.end());
    EXPECT_TRUE(text.starts_with("BEGIN:VCARD\r\nVERSION:4.0\r\n"));
    EXPECT_TRUE(text.ends_with("END:VCARD\r\n"));
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        // No bare LF, and no line longer than the folding limit allows.
        const std::string line = text.substr(start, end - start);
        EXPECT_EQ(line.find('\n'), std::string::npos);
        EXPECT_LE(line.size(), 75u) << line;
    }
    // Folding never cuts a character apart: the whole file decodes.
    EXPECT_EQ(QString::fromUtf8(text.c_str()).toUtf8().toStdString(), text);

    const std::vector<std::uint8_t> csv = readBytes(result.csvFile);
    ASSERT_GE(csv.size(), 3u);
    EXPECT_EQ(std::vector<std::uint8_t>(csv.begin(), csv.begin() + 3), (std::vector<std::uint8_t>{0xEF, 0xBB, 0xBF}));
    const std::string csvText(csv.begin(), csv.end());
    EXPECT_TRUE(csvText.ends_with("Źdźbłowo;;;;;;;\r\n"));
}

TEST(AddressExport, EmptyOrMissingDatabase)
{
    TempFolder folder({"NOTATKI"});
    // A missing database is an error, never an empty export.
    EXPECT_THROW(exportAddresses(folder.path(), kDate), IoError);
    EXPECT_FALSE(std::filesystem::exists(folder / "Eksport"));

    storeDatabase(folder.path(), {});
    const AddressExport result = exportAddresses(folder.path(), kDate);
    EXPECT_EQ(result.contactCount, 0u);
    EXPECT_TRUE(result.vcardFile.empty());
    EXPECT_FALSE(std::filesystem::exists(folder / "Eksport"));
}

TEST(AddressExport, ExistingFolderInAnyCaseIsUsedAndTodaysFilesReplaced)
{
    TempFolder folder({"NOTATKI", "EKSPORT"});
    test::writeBytes(folder / "EKSPORT" / "adresy-2026-12-07.csv", std::vector<std::uint8_t>(5000, 'x'));
    storeDatabase(folder.path(), {{0, {{ContactField::Display, "000 A"}}}});
    const AddressExport result = exportAddresses(folder.path(), kDate);
    EXPECT_EQ(result.csvFile, folder.path() / "EKSPORT" / "adresy-2026-12-07.csv");
    EXPECT_LT(readBytes(result.csvFile).size(), 200u);
    EXPECT_FALSE(std::filesystem::exists(folder / "Eksport"));
}

TEST(AddressExport, HostileTextsStayPlainData)
{
    // Each text goes into every field of its own contact; the vCard reader
    // must get each back unchanged, and the card library must refuse none.
    const char* const texts[] = {
        "a,b;c\\d\"e",
        "$(rm -rf /) `id` | && ; echo",
        "ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ € „cytat”",
        "dwie\nlinie",
        "\t tab i  odstępy ",
        "BEGIN:VCARD",
        "x\r\nEND:VCARD\r\nBEGIN:VCARD",
        "=HYPERLINK(\"x.pl\";\"klik\")",
        "@SUMA(1+1)*cmd|' /C calc'!A0",
    };
    TempFolder folder({"NOTATKI"});
    std::vector<Contact> contacts;
    int slot = 0;
    for (const char* text : texts) {
        Contact contact{slot, {{ContactField::Display, "00x nazwa"}}};
        for (ContactField field : {ContactField::FirstLine, ContactField::SecondLine, ContactField::Street,
                                   ContactField::Town, ContactField::Phone, ContactField::Email,
                                   ContactField::Web, ContactField::Messenger, ContactField::PhotoPath})
            contact.fields[field] = text;
        contacts.push_back(contact);
        ++slot;
    }
    storeDatabase(folder.path(), contacts);
    const AddressExport result = exportAddresses(folder.path(), kDate);
    EXPECT_TRUE(result.skipped.empty()) << result.skipped.front();

    const QJsonObject read = readBack(folder.path(), result);
    const QJsonArray cards = read["cards"].toArray();
    ASSERT_EQ(cards.size(), static_cast<int>(std::size(texts)));
    const QJsonArray rows = read["rows"].toArray();
    for (std::size_t i = 0; i < std::size(texts); ++i) {
        const QString exact = QString::fromUtf8(texts[i]).replace(QLatin1String("\r\n"), QLatin1String("\n"));
        // The reader drops blanks around a whole value, not around a component.
        const QString text = exact.trimmed();
        const QJsonObject card = cards[static_cast<int>(i)].toObject();
        EXPECT_EQ(card["FN"].toString(), text) << texts[i];
        EXPECT_EQ(card["ORG"].toArray().first().toString(), text) << texts[i];
        EXPECT_EQ(card["ADR"].toObject()["street"].toString(), exact) << texts[i];
        EXPECT_EQ(card["ADR"].toObject()["city"].toString(), exact) << texts[i];
        EXPECT_EQ(card["TEL;voice"].toString(), text) << texts[i];
        EXPECT_EQ(card["EMAIL"].toString(), text) << texts[i];
        // Addresses are percent-encoded and stay one value each.
        EXPECT_TRUE(card["URL"].toString().startsWith(QLatin1String("http://"))) << texts[i];
        EXPECT_TRUE(card["IMPP"].toString().contains(QLatin1Char(':'))) << texts[i];
        EXPECT_TRUE(card["PHOTO"].toString().startsWith(QLatin1String("file://localhost/"))) << texts[i];
        // A spreadsheet takes a cell after an apostrophe as text, never as a formula.
        const QString cell = rows[static_cast<int>(i) + 1].toArray()[2].toString();
        const bool formula = QStringLiteral("=@\t").contains(QLatin1Char(texts[i][0]));
        EXPECT_EQ(cell, formula ? QLatin1Char('\'') + QString::fromUtf8(texts[i]) : QString::fromUtf8(texts[i])) << texts[i];
    }
}
