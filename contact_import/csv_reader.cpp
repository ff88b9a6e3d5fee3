#include "csv_reader.h"

#include "contact_mapping.h"
#include "import_text.h"
#include "store/own_csv.h"
#include "store/utf8_text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace wirtello {
namespace {

std::vector<std::string> wordsOf(const std::string& key)
{
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start < key.size()) {
        const std::size_t end = std::min(key.find(' ', start), key.size());
        words.push_back(key.substr(start, end - start));
        start = end + 1;
    }
    return words;
}

bool isNumber(const std::string& word)
{
    return !word.empty() && word.size() < 3 && std::ranges::all_of(word, [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

template <std::size_t N>
bool hasAny(const std::vector<std::string>& words, const std::array<std::string_view, N>& wanted)
{
    return std::ranges::any_of(words, [&](const std::string& w) { return std::ranges::find(wanted, w) != wanted.end(); });
}

bool hasPrefix(const std::vector<std::string>& words, std::string_view prefix)
{
    return std::ranges::any_of(words, [&](const std::string& w) { return w.rfind(prefix, 0) == 0; });
}

// 0 for a plain column, 1 for business, 3 for home, 4 for any other.
int markerRank(const std::vector<std::string>& words)
{
    if (hasAny(words, std::array<std::string_view, 3>{"business", "work", "company"}) || hasPrefix(words, "sluzb"))
        return 1;
    if (hasAny(words, std::array<std::string_view, 3>{"home", "personal", "private"}) || hasPrefix(words, "domow")
        || hasPrefix(words, "prywat"))
        return 3;
    if (hasAny(words, std::array<std::string_view, 6>{"other", "inny", "inna", "inne", "secondary", "pozostale"}))
        return 4;
    return 0;
}

int numberOf(const std::vector<std::string>& words)
{
    for (const std::string& w : words) {
        if (isNumber(w))
            return std::stoi(w);
    }
    return 0;
}

} // namespace

CsvColumnRole csvColumnRole(std::string_view header)
{
    const std::string key = foldedKey(header);
    const std::vector<std::string> words = wordsOf(key);
    const int number = numberOf(words);
    const int rank = markerRank(words) * 10 + std::max(number - 1, 0);
    const int group = markerRank(words) * 100 + number;
    const auto role = [&](CsvColumn column) { return CsvColumnRole{column, rank, group}; };
    const bool isEmail = key.find("e mail") != std::string::npos || hasAny(words, std::array<std::string_view, 3>{"email", "mail", "emailaddress"});

    // Numbered phones whose kind is given in a column of its own.
    if (hasAny(words, std::array<std::string_view, 2>{"phone", "telefon"}) && number > 0) {
        if (hasAny(words, std::array<std::string_view, 3>{"type", "label", "typ"}))
            return {CsvColumn::PhoneKind, 0, number};
        if (hasAny(words, std::array<std::string_view, 2>{"value", "wartosc"}))
            return {CsvColumn::KindPhone, 50 + number, number};
    }
    // Columns that describe another column or hold what the card has no place for.
    static constexpr std::array<std::string_view, 34> kIgnored = {
        "type", "label", "typ", "etykieta", "yomi", "phonetic", "title", "department", "dzial", "stanowisko",
        "country", "kraj", "region", "state", "wojewodztwo", "po", "skrytka", "formatted", "extended", "nickname",
        "pseudonim", "notes", "notatki", "uwagi", "birthday", "urodziny", "suffix", "prefix", "gender", "plec",
        "categories", "kategorie", "id", "identyfikator"};
    if (hasAny(words, kIgnored) || (isEmail && hasAny(words, std::array<std::string_view, 2>{"display", "wyswietlana"})))
        return {};
    if (key.empty())
        return {};

    if (hasAny(words, std::array<std::string_view, 3>{"fax", "faks", "telefaks"}))
        return role(CsvColumn::Fax);
    if (hasAny(words, std::array<std::string_view, 5>{"mobile", "cell", "komorkowy", "komorka", "gsm"})
        || (hasAny(words, std::array<std::string_view, 2>{"kom", "kom."}) && hasPrefix(words, "tel")))
        return role(CsvColumn::Mobile);
    if (hasAny(words, std::array<std::string_view, 4>{"phone", "telefon", "tel", "telephone"}))
        return role(CsvColumn::Phone);
    if (isEmail)
        return role(CsvColumn::Email);
    if (hasAny(words, std::array<std::string_view, 6>{"www", "web", "website", "homepage", "url", "strona"}))
        return role(CsvColumn::Web);
    if (hasAny(words, std::array<std::string_view, 10>{"komunikator", "messenger", "im", "skype", "gadu", "gg", "jabber",
                                                         "xmpp", "icq", "chat"}))
        return role(CsvColumn::Messenger);
    if (hasAny(words, std::array<std::string_view, 3>{"zdjecie", "photo", "foto"}))
        return role(CsvColumn::Photo);
    if (hasAny(words, std::array<std::string_view, 5>{"postal", "zip", "zipcode", "postcode", "pocztowy"}))
        return role(CsvColumn::PostalCode);
    if (hasAny(words, std::array<std::string_view, 5>{"city", "miasto", "miejscowosc", "town", "locality"}))
        return role(CsvColumn::City);
    if (hasAny(words, std::array<std::string_view, 4>{"street", "ulica", "address", "adres"}))
        return role(CsvColumn::Street);
    if (hasAny(words, std::array<std::string_view, 7>{"company", "organization", "organisation", "organizacja", "firma",
                                                        "instytucja", "org"}))
        return role(CsvColumn::Organisation);
    if (key == "imie i nazwisko" || key == "full name" || key == "fullname" || key == "nazwisko i imie")
        return role(CsvColumn::FullName);
    if (key == "middle name" || key == "drugie imie" || key == "additional name" || key == "middle")
        return role(CsvColumn::MiddleName);
    if (key == "imie" || key == "first name" || key == "given name" || key == "firstname" || key == "imiona")
        return role(CsvColumn::GivenName);
    if (key == "nazwisko" || key == "last name" || key == "family name" || key == "surname" || key == "lastname")
        return role(CsvColumn::FamilyName);
    if (key == "nazwa" || key == "name" || key == "display name" || key == "wyswietlana nazwa"
        || key == "nazwa wyswietlana" || key == "kontakt" || key == "contact" || key == "nazwa kontaktu")
        return role(CsvColumn::DisplayName);
    return {};
}

namespace {

// Splits CSV rows: fields in double quotes may hold separators, quotes
// (doubled) and line breaks; rows end in CR LF, LF or CR.
class CsvCursor {
public:
    CsvCursor(std::string_view text, char separator) : text_(text), separator_(separator) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    std::size_t position() const { return pos_; }

    std::vector<std::string> nextRow()
    {
        std::vector<std::string> row(1);
        bool quoted = false;
        bool wasQuoted = false;
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (quoted) {
                if (c == '"') {
                    if (pos_ < text_.size() && text_[pos_] == '"') {
                        row.back() += '"';
                        ++pos_;
                    } else {
                        quoted = false;
                    }
                } else {
                    row.back() += c;
                }
            } else if (c == '"' && (row.back().empty() && !wasQuoted)) {
                quoted = true;
                wasQuoted = true;
            } else if (c == separator_) {
                row.emplace_back();
                wasQuoted = false;
            } else if (c == '\r' || c == '\n') {
                if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n')
                    ++pos_;
                break;
            } else {
                row.back() += c;
            }
        }
        return row;
    }

private:
    std::string_view text_;
    char separator_;
    std::size_t pos_ = 0;
};

char separatorOf(std::string_view text)
{
    std::array<std::pair<char, int>, 3> counts = {{{';', 0}, {',', 0}, {'\t', 0}}};
    bool quoted = false;
    for (const char c : text) {
        if (c == '"')
            quoted = !quoted;
        if (!quoted && (c == '\r' || c == '\n'))
            break;
        for (auto& [separator, count] : counts) {
            if (!quoted && c == separator)
                ++count;
        }
    }
    return std::ranges::max(counts, {}, [](const auto& p) { return p.second; }).first;
}

std::string trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// The first of several values an address book packs into one cell ("a ::: b").
std::string firstValue(std::string_view cell)
{
    const std::size_t packed = cell.find(" ::: ");
    return trimmed(cell.substr(0, packed));
}

bool isNameColumn(CsvColumn c)
{
    return c == CsvColumn::DisplayName || c == CsvColumn::FullName || c == CsvColumn::GivenName
        || c == CsvColumn::FamilyName || c == CsvColumn::Organisation;
}

class RowReader {
public:
    explicit RowReader(std::vector<CsvColumnRole> roles) : roles_(std::move(roles))
    {
        for (const CsvColumnRole& r : roles_) {
            if (r.column == CsvColumn::FullName || r.column == CsvColumn::GivenName || r.column == CsvColumn::FamilyName)
                personColumns_ = true;
        }
    }

    ImportedContact contactOf(const std::vector<std::string>& row) const
    {
        using F = CardValues::Field;
        CardValues values;
        values.hasPersonName = personColumns_;
        values.fullName = best(row, CsvColumn::DisplayName);
        std::string person = best(row, CsvColumn::FullName);
        if (person.empty()) {
            for (const CsvColumn part : {CsvColumn::GivenName, CsvColumn::MiddleName, CsvColumn::FamilyName}) {
                const std::string value = best(row, part);
                if (!value.empty())
                    person += (person.empty() ? "" : " ") + value;
            }
        }
        values.set(F::FirstLine, person);
        values.set(F::SecondLine, best(row, CsvColumn::Organisation));

        // Street, town and postal code from one address: the best-ranked
        // address that has any of them.
        std::optional<std::pair<int, int>> address; // rank, group
        for (std::size_t i = 0; i < roles_.size() && i < row.size(); ++i) {
            const CsvColumnRole& r = roles_[i];
            if ((r.column == CsvColumn::Street || r.column == CsvColumn::City || r.column == CsvColumn::PostalCode)
                && !firstValue(row[i]).empty() && (!address || r.rank < address->first))
                address = std::make_pair(r.rank, r.group);
        }
        if (address) {
            values.set(F::Street, best(row, CsvColumn::Street, address->second));
            const std::string postal = best(row, CsvColumn::PostalCode, address->second);
            const std::string city = best(row, CsvColumn::City, address->second);
            values.set(F::Town, postal.empty() ? city : city.empty() ? postal : postal + " " + city);
        }

        values.set(F::Phone, best(row, CsvColumn::Phone));
        values.set(F::Fax, best(row, CsvColumn::Fax));
        values.set(F::Mobile, best(row, CsvColumn::Mobile));
        // Numbered phones fill what the plain columns left empty, by their kind.
        for (std::size_t i = 0; i < roles_.size() && i < row.size(); ++i) {
            if (roles_[i].column != CsvColumn::KindPhone || firstValue(row[i]).empty())
                continue;
            const std::string kind = foldedKey(kindOf(row, roles_[i].group));
            F field = F::Phone;
            if (kind.find("fax") != std::string::npos || kind.find("faks") != std::string::npos)
                field = F::Fax;
            else if (kind.find("mobile") != std::string::npos || kind.find("cell") != std::string::npos
                     || kind.find("kom") != std::string::npos)
                field = F::Mobile;
            if (values.get(field).empty())
                values.set(field, firstValue(row[i]));
        }
        values.set(F::Email, best(row, CsvColumn::Email));
        values.set(F::Web, best(row, CsvColumn::Web));
        values.set(F::Messenger, best(row, CsvColumn::Messenger));
        const std::string photo = best(row, CsvColumn::Photo);
        // A picture on the web is no file of this computer.
        if (photo.find("://") == std::string::npos || photo.rfind("file:", 0) == 0)
            values.photoPath = photo;
        return values.contact();
    }

private:
    // The value of the best-ranked column of this kind that holds one.
    std::string best(const std::vector<std::string>& row, CsvColumn column, std::optional<int> group = std::nullopt) const
    {
        std::string value;
        int bestRank = 0;
        for (std::size_t i = 0; i < roles_.size() && i < row.size(); ++i) {
            const CsvColumnRole& r = roles_[i];
            if (r.column != column || (group && r.group != *group))
                continue;
            std::string cell = firstValue(row[i]);
            if (!cell.empty() && (value.empty() || r.rank < bestRank)) {
                value = std::move(cell);
                bestRank = r.rank;
            }
        }
        return value;
    }

    std::string kindOf(const std::vector<std::string>& row, int group) const
    {
        for (std::size_t i = 0; i < roles_.size() && i < row.size(); ++i) {
            if (roles_[i].column == CsvColumn::PhoneKind && roles_[i].group == group)
                return row[i];
        }
        return {};
    }

    std::vector<CsvColumnRole> roles_;
    bool personColumns_ = false;
};

} // namespace

ContactFileReading readCsv(std::string_view text, std::size_t room, const ImportProgress& progress)
{
    ContactFileReading reading;
    reading.format = ContactFileFormat::Csv;
    ProgressReport report(progress);

    CsvCursor cursor(text, separatorOf(text));
    const std::vector<std::string> header = cursor.nextRow();
    std::vector<CsvColumnRole> roles;
    int recognised = 0;
    bool named = false;
    for (const std::string& name : header) {
        roles.push_back(csvColumnRole(name));
        if (roles.back().column != CsvColumn::Ignored) {
            ++recognised;
            named = named || isNameColumn(roles.back().column);
        }
    }
    if (!named && recognised < 2)
        throw ContactFileError("Pierwszy wiersz pliku nie jest nagłówkiem kolumn, który program rozpoznaje "
                               "(na przykład \"Nazwa\", \"Imię i nazwisko\", \"Ulica\", \"Telefon\", \"E-mail\").");

    // In our own export, cells a spreadsheet would run carry an apostrophe.
    const bool ownExport = std::ranges::equal(header, kOwnCsvHeader);
    const RowReader reader(std::move(roles));
    std::size_t consumed = cursor.position();
    while (!cursor.atEnd()) {
        std::vector<std::string> row = cursor.nextRow();
        if (ownExport)
            std::ranges::transform(row, row.begin(), [](const std::string& cell) { return unguardedCell(cell); });
        if (std::ranges::all_of(row, [](const std::string& cell) { return trimmed(cell).empty(); }))
            continue;
        ++reading.entriesInFile;
        if (reading.contacts.size() >= room) {
            ++reading.notRead;
            continue;
        }
        consumed = cursor.position();
        report(static_cast<int>(consumed * 1000 / std::max<std::size_t>(text.size(), 1)));
        ImportedContact contact = reader.contactOf(row);
        if (contact.name.empty())
            ++reading.skipped;
        else
            reading.contacts.push_back(std::move(contact));
    }
    report(1000);
    return reading;
}

} // namespace wirtello
