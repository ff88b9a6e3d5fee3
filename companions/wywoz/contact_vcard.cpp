#include "contact_vcard.h"

#include "companions/host_name.h"
#include "store/paths.h"

#include <belcard/belcard.hpp>

#include <cctype>
#include <memory>

namespace wirtello {
namespace {

using belcard::BelCard;
using belcard::BelCardGeneric;

bool isHex(char c)
{
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

bool isUnreserved(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u < 0x80 && (std::isalnum(u) || c == '-' || c == '.' || c == '_' || c == '~');
}

bool isUriCharacter(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x80)
        return false;
    if (std::isalnum(u))
        return true;
    // Unreserved, gen-delims and sub-delims of RFC 3986, less ',', ';' and the
    // brackets that only an IPv6 host may hold.
    static constexpr std::string_view kAllowed = "-._~:/?#@!$&'()*+=";
    return kAllowed.find(c) != std::string_view::npos;
}

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The scheme of "scheme:rest", or empty when the text has none.
std::string_view schemeOf(std::string_view text)
{
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(text[0])))
        return {};
    for (std::size_t i = 1; i < colon; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return {};
    }
    return text.substr(0, colon);
}

std::string escaped(std::string_view utf8, bool component)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\' || c == ',' || (component && c == ';')) {
            out += '\\';
            out += c;
        } else if (c == '\r') {
            out += "\\n";
            if (i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
        } else if (c == '\n') {
            out += "\\n";
        } else if ((u < 0x20 && c != '\t') || u == 0x7F) {
            continue;
        } else {
            out += c;
        }
    }
    return out;
}

template <typename Property>
std::shared_ptr<Property> property(const std::string& value)
{
    auto p = BelCardGeneric::create<Property>();
    p->setValue(value);
    return p;
}

template <typename Property>
std::shared_ptr<Property> typedProperty(const std::string& value, const char* type)
{
    auto p = property<Property>(value);
    auto param = BelCardGeneric::create<belcard::BelCardTypeParam>();
    param->setValue(type);
    p->setTypeParam(param);
    return p;
}

class CardBuilder {
public:
    CardBuilder(const ExportedContact& contact, std::vector<std::string>& skipped)
        : contact_(contact), skipped_(skipped), card_(BelCardGeneric::create<BelCard>()) {}

    // The library refuses a value its grammar does not accept; the contact is
    // still exported and the field is reported.
    void check(bool added, const char* field)
    {
        if (!added)
            skipped_.push_back(contact_.id + " " + contact_.name + ": " + field);
    }

    std::shared_ptr<BelCard> build(const std::filesystem::path& programFolder)
    {
        const ExportedContact& c = contact_;
        std::string fullName = c.firstLine;
        for (const std::string* fallback : {&c.name, &c.secondLine, &c.id}) {
            if (trimmed(fullName).empty())
                fullName = *fallback;
        }
        if (!card_->setFullName(property<belcard::BelCardFullName>(vcardText(fullName))))
            card_->setFullName(property<belcard::BelCardFullName>(vcardText(c.id)));

        if (!trimmed(c.firstLine).empty()) {
            const PersonName person = splitPersonName(c.firstLine);
            auto n = BelCardGeneric::create<belcard::BelCardName>();
            n->setGivenName(vcardComponent(person.given));
            n->setFamilyName(vcardComponent(person.family));
            check(card_->setName(n), "imię i nazwisko");
        }
        if (!c.secondLine.empty())
            check(card_->addOrganization(property<belcard::BelCardOrganization>(vcardComponent(c.secondLine))),
                  "instytucja");
        if (!c.street.empty() || !c.town.empty()) {
            auto address = BelCardGeneric::create<belcard::BelCardAddress>();
            address->setStreet(vcardComponent(c.street));
            address->setLocality(vcardComponent(c.town));
            check(card_->addAddress(address), "adres");
        }
        addPhone(c.phone, "voice", "telefon");
        addPhone(c.fax, "fax", "fax");
        addPhone(c.mobile, "cell", "telefon kom");
        if (!trimmed(c.email).empty())
            check(card_->addEmail(property<belcard::BelCardEmail>(vcardText(trimmed(c.email)))), "E-mail");
        if (!trimmed(c.web).empty())
            addUri(&BelCard::addURL, webAddressUri(c.web), "www");
        if (!trimmed(c.messenger).empty())
            addUri(&BelCard::addImpp, messengerUri(c.messenger), "komunikator");
        if (!c.photoPath.empty())
            addUri(&BelCard::addPhoto, photoUri(c.photoPath, programFolder), "zdjęcie");
        return card_;
    }

private:
    // A URI the grammar refuses (a ':' where a port would stand) is tried
    // again with everything after the scheme percent-encoded.
    template <typename Property>
    void addUri(bool (BelCard::*add)(const std::shared_ptr<Property>&), const std::string& uri, const char* field)
    {
        BelCard& card = *card_;
        check((card.*add)(property<Property>(uri)) || (card.*add)(property<Property>(strictUri(uri))), field);
    }

    void addPhone(const std::string& number, const char* type, const char* field)
    {
        if (!trimmed(number).empty())
            check(card_->addPhoneNumber(typedProperty<belcard::BelCardPhoneNumber>(vcardText(number), type)), field);
    }

    const ExportedContact& contact_;
    std::vector<std::string>& skipped_;
    std::shared_ptr<BelCard> card_;
};

// Lines longer than 75 octets continue on the next line after a blank. The
// card library's own folding can cut a UTF-8 character in two, so ours keeps
// each character whole.
std::string folded(std::string_view text)
{
    constexpr std::size_t kLineOctets = 75;
    std::string out;
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 2);
        std::size_t limit = kLineOctets;
        while (line.size() > limit) {
            std::size_t cut = limit;
            while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
                --cut;
            if (cut == 0)
                cut = limit; // not UTF-8 at all: cut anywhere rather than never
            out.append(line.substr(0, cut));
            out += "\r\n ";
            line.remove_prefix(cut);
            limit = kLineOctets - 1; // the leading blank counts
        }
        out.append(line);
        out += "\r\n";
    }
    return out;
}

} // namespace

std::string vcardText(std::string_view utf8)
{
    return escaped(utf8, false);
}

std::string vcardComponent(std::string_view utf8)
{
    return escaped(utf8, true);
}

namespace {

std::string encoded(std::string_view utf8, bool (*keep)(char))
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (keep(c) || (c == '%' && i + 2 < utf8.size() && isHex(utf8[i + 1]) && isHex(utf8[i + 2]))) {
            out += c;
        } else {
            const auto u = static_cast<unsigned char>(c);
            out += '%';
            out += kDigits[u >> 4];
            out += kDigits[u & 0x0F];
        }
    }
    return out;
}

} // namespace

std::string percentEncodeUri(std::string_view utf8)
{
    return encoded(utf8, isUriCharacter);
}

std::string strictUri(std::string_view uri)
{
    const std::string_view scheme = schemeOf(uri);
    std::string_view rest = uri.substr(scheme.empty() ? 0 : scheme.size() + 1);
    std::string out = scheme.empty() ? "" : std::string(scheme) + ":";
    if (rest.starts_with("//")) {
        out += "//";
        rest.remove_prefix(2);
    }
    return out + encoded(rest, [](char c) { return isUnreserved(c) || c == '/'; });
}

std::string webAddressUri(std::string_view text)
{
    const std::string_view address = trimmed(text);
    const std::string_view scheme = schemeOf(address);
    const bool hasScheme = !scheme.empty() && address.substr(scheme.size(), 3) == "://";
    // The host as "Strona www" opens it: in its ASCII form.
    return percentEncodeUri(withAsciiHost(hasScheme ? std::string(address) : "http://" + std::string(address)));
}

std::string messengerUri(std::string_view text)
{
    const std::string_view id = trimmed(text);
    return percentEncodeUri(schemeOf(id).empty() ? "im:" + std::string(id) : std::string(id));
}

std::string photoUri(std::string_view stored, const std::filesystem::path& programFolder)
{
    // The file the program shows, which a path written on another computer
    // names below the program folder; a file found nowhere keeps its path.
    const std::filesystem::path shown = resolveStoredPath(programFolder, stored);
    std::error_code ec;
    const std::string found = std::filesystem::is_regular_file(shown, ec) ? shown.generic_string() : std::string();
    const std::string_view path = found.empty() ? stored : found;
    auto withSlashes = [](std::string p) {
        for (char& c : p) {
            if (c == '\\')
                c = '/';
        }
        return p;
    };
    auto hasDrive = [](const std::string& p) {
        return p.size() >= 2 && std::isalpha(static_cast<unsigned char>(p[0])) && p[1] == ':';
    };
    std::string p = withSlashes(std::string(path));
    if (p.starts_with("//"))
        return "file:" + percentEncodeUri(p); // a network share names its server
    if (!hasDrive(p) && !p.starts_with('/'))
        p = withSlashes(programFolder.generic_string()) + "/" + p;
    if (hasDrive(p))
        p.insert(0, "/");
    return "file://localhost" + percentEncodeUri(p);
}

PersonName splitPersonName(std::string_view firstLine)
{
    const std::string_view name = trimmed(firstLine);
    const auto lastBlank = name.find_last_of(" \t");
    if (lastBlank == std::string_view::npos)
        return {"", std::string(name)};
    return {std::string(trimmed(name.substr(0, lastBlank))), std::string(name.substr(lastBlank + 1))};
}

VcardExport buildVcards(const std::vector<ExportedContact>& contacts, const std::filesystem::path& programFolder)
{
    VcardExport result;
    for (const ExportedContact& contact : contacts) {
        CardBuilder builder(contact, result.skipped);
        result.text += folded(builder.build(programFolder)->toString());
    }
    return result;
}

} // namespace wirtello
