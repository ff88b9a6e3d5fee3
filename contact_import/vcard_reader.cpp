#include "vcard_reader.h"

#include "contact_mapping.h"
#include "import_text.h"

#include "companions/host_name.h"
#include "companions/wywoz/contact_vcard.h"
#include "store/cp1250.h"

#include <belcard/belcard.hpp>
#include <belcard/belcard_parser.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace wirtello {
namespace {

// No card field holds more than 250 characters; longer parts are cut before
// the card library sees them, so a huge value costs nothing. What is kept is
// still longer than any field, so the cut is reported as usual.
constexpr std::size_t kPartLimit = 1000;

std::string upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Messenger properties of older cards and the scheme their address gets.
struct MessengerProperty {
    std::string_view name;
    std::string_view scheme;
};
constexpr std::array<MessengerProperty, 10> kMessengers = {{
    {"X-SKYPE", "skype"},      {"X-SKYPE-USERNAME", "skype"}, {"X-GADUGADU", "gg"}, {"X-JABBER", "xmpp"},
    {"X-ICQ", "icq"},          {"X-AIM", "aim"},              {"X-MSN", "msnim"},   {"X-YAHOO", "ymsgr"},
    {"X-GOOGLE-TALK", "gtalk"}, {"X-TWITTER", "twitter"},
}};

std::optional<std::string_view> messengerScheme(std::string_view name)
{
    for (const MessengerProperty& m : kMessengers) {
        if (m.name == name)
            return m.scheme;
    }
    return std::nullopt;
}

bool isKeptProperty(std::string_view name)
{
    static constexpr std::array<std::string_view, 9> kKept = {"FN", "N", "ORG", "ADR", "TEL", "EMAIL", "URL", "IMPP", "PHOTO"};
    return std::ranges::find(kKept, name) != kKept.end() || messengerScheme(name).has_value();
}

// A content line taken apart: group, name, parameters and the raw value.
struct ContentLine {
    std::string name; // upper case, without its group
    std::vector<std::pair<std::string, std::string>> params; // name upper case; value empty for a bare name
    std::string value;
};

// The end of the name and parameters: the first ':' outside double quotes.
std::size_t valueColon(std::string_view line)
{
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            return i;
    }
    return std::string_view::npos;
}

// The property name of a line (upper case, group removed), for deciding early
// whether the line is wanted at all.
std::string propertyName(std::string_view line)
{
    const std::size_t end = line.find_first_of(";:");
    std::string_view name = line.substr(0, end);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos)
        name.remove_prefix(dot + 1);
    return upper(trimmed(name));
}

bool isQuotedPrintable(std::string_view line)
{
    const std::size_t colon = valueColon(line);
    return upper(line.substr(0, colon)).find("QUOTED-PRINTABLE") != std::string::npos;
}

std::optional<ContentLine> splitContentLine(std::string_view line)
{
    const std::size_t colon = valueColon(line);
    if (colon == std::string_view::npos)
        return std::nullopt;
    ContentLine out;
    out.value = std::string(line.substr(colon + 1));
    std::string_view head = line.substr(0, colon);
    std::vector<std::string_view> parts;
    bool quoted = false;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= head.size(); ++i) {
        if (i < head.size() && head[i] == '"')
            quoted = !quoted;
        if (i == head.size() || (head[i] == ';' && !quoted)) {
            parts.push_back(head.substr(start, i - start));
            start = i + 1;
        }
    }
    out.name = propertyName(parts.front());
    for (std::size_t i = 1; i < parts.size(); ++i) {
        const std::string_view part = trimmed(parts[i]);
        if (part.empty())
            continue;
        const std::size_t eq = part.find('=');
        if (eq == std::string_view::npos)
            out.params.emplace_back(upper(part), std::string());
        else
            out.params.emplace_back(upper(trimmed(part.substr(0, eq))), std::string(trimmed(part.substr(eq + 1))));
    }
    return out;
}

// A text cut to kPartLimit bytes, keeping its last UTF-8 character whole.
std::string cutText(std::string text)
{
    if (text.size() <= kPartLimit)
        return text;
    std::size_t cut = kPartLimit;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    text.resize(cut);
    return text;
}

// Splits on ';' that no backslash escapes, keeping the escapes.
std::vector<std::string> splitComponents(std::string_view value)
{
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            parts.back() += value.substr(i, 2);
            ++i;
        } else if (value[i] == ';') {
            parts.emplace_back();
        } else {
            parts.back() += value[i];
        }
    }
    return parts;
}

// A value as the texts it holds: split into components at each ';' that no
// backslash escapes when `structured`, each component's escapes taken off by
// the rules of the card's version. Version 2.1 escapes only ';', so any other
// backslash is text ("Kowalski\Nowak"); 3.0 and 4.0 escape backslash, comma,
// ';' and line breaks, and address books escape ':' as well ("http\://").
// A backslash that escapes nothing stays as it is.
std::vector<std::string> valueTexts(std::string_view value, bool version21, bool structured)
{
    std::vector<std::string> texts(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        const char next = i + 1 < value.size() ? value[i + 1] : '\0';
        if (c == '\\' && next == ';') {
            texts.back() += ';';
            ++i;
        } else if (c == '\\' && !version21 && (next == '\\' || next == ',' || next == ':')) {
            texts.back() += next;
            ++i;
        } else if (c == '\\' && !version21 && (next == 'n' || next == 'N')) {
            texts.back() += '\n';
            ++i;
        } else if (c == ';' && structured) {
            texts.emplace_back();
        } else {
            texts.back() += c;
        }
    }
    return texts;
}

// Exactly `count` components: missing ones empty, extra ones joined to the last.
std::vector<std::string> withComponents(std::vector<std::string> parts, std::size_t count)
{
    while (parts.size() < count)
        parts.emplace_back();
    while (parts.size() > count) {
        const std::string extra = parts.back();
        parts.pop_back();
        if (!extra.empty())
            parts.back() += (parts.back().empty() ? "" : " ") + extra;
    }
    return parts;
}

bool hasScheme(std::string_view text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(text[0])))
        return false;
    return std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(colon), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
    });
}

// The line in the form the card library reads (version 4.0), or nothing when
// it carries nothing we keep.
std::optional<std::string> bridgedLine(const ContentLine& line, bool version21)
{
    std::vector<std::string> types;
    std::string encoding;
    std::string charset;
    std::string pref;
    for (const auto& [name, value] : line.params) {
        if (name == "ENCODING") {
            encoding = upper(value);
        } else if (name == "CHARSET") {
            charset = value;
        } else if (name == "PREF") {
            pref = value;
        } else if (name == "TYPE" || value.empty()) {
            // "TYPE=a,b", "TYPE=\"a,b\"", repeated TYPE and the older bare names.
            std::string list = value.empty() ? name : value;
            std::erase(list, '"');
            std::size_t start = 0;
            while (start <= list.size()) {
                const std::size_t comma = std::min(list.find(',', start), list.size());
                const std::string type = lower(trimmed(std::string_view(list).substr(start, comma - start)));
                if (type == "quoted-printable")
                    encoding = "QUOTED-PRINTABLE";
                else if (type == "base64" || type == "b")
                    encoding = "B";
                else if (!type.empty() && std::all_of(type.begin(), type.end(), [](char c) {
                             return std::isalnum(static_cast<unsigned char>(c)) || c == '-';
                         }))
                    types.push_back(type);
                start = comma + 1;
            }
        }
    }
    if (encoding == "B" || encoding == "BASE64")
        return std::nullopt; // an embedded picture: nothing the card can hold

    const std::string decoded = toUtf8(
        encoding == "QUOTED-PRINTABLE" || encoding == "QP" ? decodeQuotedPrintable(line.value) : line.value, charset);
    std::string name = line.name;
    const bool structured = name == "N" || name == "ADR" || name == "ORG";
    std::vector<std::string> texts = valueTexts(decoded, version21, structured);
    for (std::string& text : texts)
        text = cutText(std::string(trimmed(text)));
    if (std::ranges::all_of(texts, [](const std::string& text) { return text.empty(); }))
        return std::nullopt;

    // The texts in the form the library reads: components escaped anew,
    // addresses percent-encoded.
    std::string value;
    if (structured) {
        if (name != "ORG")
            texts = withComponents(std::move(texts), name == "N" ? 5 : 7);
        for (std::size_t i = 0; i < texts.size(); ++i)
            value += (i ? ";" : "") + vcardComponent(texts[i]);
    } else {
        const std::string& text = texts.front();
        if (const auto scheme = messengerScheme(name)) {
            name = "IMPP";
            value = percentEncodeUri(hasScheme(text) ? text : std::string(*scheme) + ":" + text);
        } else if (name == "URL") {
            value = percentEncodeUri(hasScheme(text) ? text : "http://" + text);
        } else if (name == "IMPP") {
            value = percentEncodeUri(hasScheme(text) ? text : "im:" + text);
        } else if (name == "PHOTO") {
            if (lower(text).rfind("file:", 0) != 0)
                return std::nullopt; // a picture on the web or inside the card cannot be a photo path
            // The library wants a host after "//"; an empty one names this
            // machine, as "localhost" does, and most programs write it so.
            value = percentEncodeUri(lower(text).rfind("file:///", 0) == 0 ? "file://localhost/" + text.substr(8) : text);
        } else {
            value = vcardText(text);
        }
    }

    std::string out = name;
    if (!types.empty()) {
        out += ";TYPE=\"";
        for (std::size_t i = 0; i < types.size(); ++i)
            out += (i ? "," : "") + types[i];
        out += '"';
    }
    if (!pref.empty() && pref.size() <= 3
        && std::ranges::all_of(pref, [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })
        && std::stoi(pref) >= 1 && std::stoi(pref) <= 100)
        out += ";PREF=" + pref;
    out += ':' + value + "\r\n";
    return out;
}

// --- reading the library's card ---

std::string unescaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size()) {
            const char next = text[++i];
            out += next == 'n' || next == 'N' ? '\n' : next;
        } else {
            out += text[i];
        }
    }
    return oneLine(out);
}

std::vector<std::string> typesOf(const belcard::BelCardProperty& property)
{
    std::vector<std::string> types;
    const auto add = [&types](const std::string& value) {
        std::string list = lower(value);
        std::erase(list, '"');
        std::size_t start = 0;
        while (start <= list.size()) {
            const std::size_t comma = std::min(list.find(',', start), list.size());
            types.emplace_back(trimmed(std::string_view(list).substr(start, comma - start)));
            start = comma + 1;
        }
    };
    if (const auto& param = property.getTypeParam())
        add(param->getValue());
    for (const auto& param : property.getParams()) {
        if (upper(param->getName()) == "TYPE")
            add(param->getValue());
        else if (upper(param->getName()) == "PREF")
            types.emplace_back("pref");
    }
    return types;
}

bool hasType(const belcard::BelCardProperty& property, std::string_view type)
{
    const auto types = typesOf(property);
    return std::ranges::find(types, type) != types.end();
}

bool preferred(const belcard::BelCardProperty& property)
{
    return property.getPrefParam() != nullptr || hasType(property, "pref");
}

// The preferred property of a list, else the first that `fits`.
template <typename Property, typename Fits>
std::shared_ptr<Property> pick(const std::list<std::shared_ptr<Property>>& list, Fits fits)
{
    std::shared_ptr<Property> first;
    for (const auto& p : list) {
        if (!fits(*p))
            continue;
        if (preferred(*p))
            return p;
        if (!first)
            first = p;
    }
    return first;
}

template <typename Property>
std::shared_ptr<Property> pick(const std::list<std::shared_ptr<Property>>& list)
{
    return pick(list, [](const Property&) { return true; });
}

std::string withoutPrefix(std::string_view value, std::string_view prefix)
{
    if (lower(value.substr(0, prefix.size())) == prefix)
        value.remove_prefix(prefix.size());
    return std::string(value);
}

std::string joined(std::initializer_list<std::string> parts, std::string_view separator)
{
    std::string out;
    for (const std::string& part : parts) {
        if (part.empty())
            continue;
        if (!out.empty())
            out += separator;
        out += part;
    }
    return out;
}

// A host in its ASCII form ("xn--...") read as its letters, where the card
// can hold them; otherwise as written.
std::string readableWebAddress(const std::string& url)
{
    const std::string readable = withUnicodeHost(url);
    return fromCp1250(toCp1250(readable)) == readable ? readable : url;
}

// A file URI as the path it names; a drive letter gets its Windows form back.
std::string photoPathOf(std::string_view uri)
{
    std::string rest = percentDecoded(withoutPrefix(uri, "file:"));
    if (rest.rfind("//localhost/", 0) == 0)
        rest.erase(0, 11);
    else if (rest.rfind("///", 0) == 0)
        rest.erase(0, 2);
    const bool drive = rest.size() >= 3 && rest[0] == '/' && std::isalpha(static_cast<unsigned char>(rest[1])) && rest[2] == ':';
    if (drive) {
        rest.erase(0, 1);
        std::ranges::replace(rest, '/', '\\');
    }
    return oneLine(rest);
}

ImportedContact contactOf(const belcard::BelCard& card)
{
    CardValues values;
    using Slot = CardValues::Field;
    if (card.getFullName())
        values.fullName = unescaped(card.getFullName()->getValue());
    if (const auto& n = card.getName()) {
        values.set(Slot::FirstLine,
                   joined({unescaped(n->getPrefixes()), unescaped(n->getGivenName()), unescaped(n->getAdditionalName()),
                           unescaped(n->getFamilyName())},
                          " "));
    }
    if (const auto org = pick(card.getOrganizations())) {
        std::string organisation;
        for (const std::string& part : splitComponents(org->getValue()))
            organisation = joined({organisation, unescaped(part)}, ", ");
        values.set(Slot::SecondLine, organisation);
    }
    if (const auto adr = pick(card.getAddresses())) {
        values.set(Slot::Street, joined({unescaped(adr->getStreet()), unescaped(adr->getExtendedAddress())}, ", "));
        values.set(Slot::Town, joined({unescaped(adr->getPostalCode()), unescaped(adr->getLocality())}, " "));
    }
    const auto isFax = [](const belcard::BelCardProperty& p) { return hasType(p, "fax"); };
    const auto isMobile = [&](const belcard::BelCardProperty& p) {
        return !isFax(p) && (hasType(p, "cell") || hasType(p, "mobile") || hasType(p, "iphone"));
    };
    const auto isVoice = [&](const belcard::BelCardProperty& p) { return !isFax(p) && !isMobile(p) && !hasType(p, "pager"); };
    const auto phone = [](const std::shared_ptr<belcard::BelCardPhoneNumber>& p) {
        return p ? unescaped(withoutPrefix(p->getValue(), "tel:")) : std::string();
    };
    values.set(Slot::Phone, phone(pick(card.getPhoneNumbers(), isVoice)));
    values.set(Slot::Fax, phone(pick(card.getPhoneNumbers(), isFax)));
    values.set(Slot::Mobile, phone(pick(card.getPhoneNumbers(), isMobile)));
    if (const auto email = pick(card.getEmails()))
        values.set(Slot::Email, unescaped(withoutPrefix(email->getValue(), "mailto:")));
    if (const auto url = pick(card.getURLs()))
        values.set(Slot::Web, readableWebAddress(percentDecoded(unescaped(url->getValue()))));
    if (const auto impp = pick(card.getImpp()))
        values.set(Slot::Messenger, percentDecoded(withoutPrefix(unescaped(impp->getValue()), "im:")));
    if (const auto photo = pick(card.getPhotos()))
        values.photoPath = photoPathOf(photo->getValue());
    return values.contact();
}

std::shared_ptr<belcard::BelCard> parsed(const std::string& lines)
{
    return belcard::BelCardParser::getInstance()->parseOne("BEGIN:VCARD\r\nVERSION:4.0\r\n" + lines + "END:VCARD\r\n");
}

// --- splitting the text into cards ---

// The text's physical lines, ending in CR LF, LF or CR.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : text_(text) {}
    bool atEnd() const { return pos_ >= text_.size(); }
    std::size_t position() const { return pos_; }
    std::string_view peek() const { return lineAt(pos_).first; }
    std::string_view next()
    {
        const auto [line, end] = lineAt(pos_);
        pos_ = end;
        return line;
    }

private:
    std::pair<std::string_view, std::size_t> lineAt(std::size_t pos) const
    {
        const std::size_t end = std::min(text_.find_first_of("\r\n", pos), text_.size());
        std::size_t after = end;
        if (after < text_.size())
            after += text_[after] == '\r' && after + 1 < text_.size() && text_[after + 1] == '\n' ? 2 : 1;
        return {text_.substr(pos, end - pos), after};
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

struct RawCard {
    std::vector<std::string> lines; // unfolded lines of kept properties
    bool version21 = false;         // escapes by the rules of vCard 2.1
    bool complete = false;
};

bool isFold(std::string_view line)
{
    return !line.empty() && (line[0] == ' ' || line[0] == '\t');
}

// Reads one logical line: continuation lines after a blank, and the soft line
// breaks of quoted-printable values, joined. `keep` false skips its text.
std::string logicalLine(LineCursor& cursor, bool& kept)
{
    std::string line(cursor.next());
    // Name and parameters may themselves be folded: decide once the ':' is in.
    bool decided = false;
    bool qp = false;
    const auto decide = [&] {
        if (decided || (line.find(':') == std::string::npos && line.size() < 4096))
            return;
        decided = true;
        const std::string name = propertyName(line);
        kept = isKeptProperty(name) || name == "BEGIN" || name == "END" || name == "VERSION";
        qp = isQuotedPrintable(line);
    };
    kept = false;
    decide();
    char last = line.empty() ? '\0' : line.back();
    while (!cursor.atEnd()) {
        const std::string_view next = cursor.peek();
        const bool fold = isFold(next);
        const bool softBreak = qp && last == '=';
        if (!fold && !softBreak)
            break;
        cursor.next();
        const std::string_view more = fold ? next.substr(1) : next;
        // A fold may fall inside an "=XX" escape: then the '=' is the escape's.
        const bool insideEscape = fold && more.size() >= 2 && std::isxdigit(static_cast<unsigned char>(more[0]))
            && std::isxdigit(static_cast<unsigned char>(more[1]));
        if (!decided || kept) {
            if (softBreak && !insideEscape)
                line.pop_back();
            line.append(more);
            decide();
        }
        if (!more.empty())
            last = more.back();
        else if (softBreak && !insideEscape)
            last = '\0';
    }
    if (!decided) {
        const std::string name = propertyName(line);
        kept = name == "BEGIN" || name == "END";
    }
    return line;
}

bool isCardBoundary(std::string_view line, std::string_view word)
{
    const std::string text = upper(trimmed(line));
    return text == std::string(word) + ":VCARD";
}

} // namespace

bool startsAsVcard(std::string_view text)
{
    LineCursor cursor(text);
    while (!cursor.atEnd()) {
        const std::string_view line = trimmed(cursor.next());
        if (!line.empty())
            return isCardBoundary(line, "BEGIN");
    }
    return false;
}

ContactFileReading readVcards(std::string_view text, std::size_t room, const ImportProgress& progress)
{
    ContactFileReading reading;
    reading.format = ContactFileFormat::Vcard;
    ProgressReport report(progress);

    // First the cards' lines, which is quick and tells how many there are.
    std::vector<RawCard> cards;
    LineCursor cursor(text);
    int depth = 0;
    while (!cursor.atEnd()) {
        bool kept = false;
        std::string line = logicalLine(cursor, kept);
        if (isCardBoundary(line, "BEGIN")) {
            if (depth++ == 0)
                cards.emplace_back();
        } else if (isCardBoundary(line, "END")) {
            if (depth > 0 && --depth == 0)
                cards.back().complete = true;
        } else if (depth == 1 && kept && propertyName(line) == "VERSION") {
            const std::size_t colon = valueColon(line);
            cards.back().version21 = colon != std::string::npos && trimmed(line.substr(colon + 1)).starts_with("2.");
        } else if (depth == 1 && kept && !trimmed(line).empty()) {
            cards.back().lines.push_back(std::move(line));
        }
        if (text.size() > 0)
            report(static_cast<int>(cursor.position() * 200 / text.size()));
    }
    if (cards.empty())
        throw ContactFileError("Plik nie zawiera żadnej wizytówki vCard.");
    reading.entriesInFile = cards.size();

    // Then each card through the library, until there is no room left.
    const std::size_t wanted = std::min(room, cards.size());
    std::size_t index = 0;
    for (; index < cards.size() && reading.contacts.size() < room; ++index) {
        const RawCard& card = cards[index];
        report(200 + static_cast<int>(std::min<std::size_t>(reading.contacts.size() + reading.skipped, wanted) * 800
                                      / std::max<std::size_t>(wanted, 1)));
        if (!card.complete) {
            ++reading.skipped;
            continue;
        }
        std::vector<std::string> lines;
        for (const std::string& raw : card.lines) {
            const auto content = splitContentLine(raw);
            if (!content)
                continue;
            if (auto bridged = bridgedLine(*content, card.version21))
                lines.push_back(std::move(*bridged));
        }
        std::string all;
        for (const std::string& line : lines)
            all += line;
        auto parsedCard = parsed(all);
        if (!parsedCard) {
            // Keep the lines the library reads on their own; report the rest.
            all.clear();
            for (const std::string& line : lines) {
                if (parsed(line))
                    all += line;
                else
                    ++reading.unreadableFields;
            }
            parsedCard = parsed(all);
        }
        if (!parsedCard) {
            ++reading.skipped;
            continue;
        }
        ImportedContact contact = contactOf(*parsedCard);
        if (contact.name.empty()) {
            ++reading.skipped; // nothing to show on the list or the card
            continue;
        }
        reading.contacts.push_back(std::move(contact));
    }
    reading.notRead = cards.size() - index;
    report(1000);
    return reading;
}

} // namespace wirtello
