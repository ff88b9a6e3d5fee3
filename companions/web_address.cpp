#include "web_address.h"

#include "companions/host_name.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace wirtello {
namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool isControl(char c)
{
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
}

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::string lower(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return result;
}

bool isSchemeChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.';
}

// The scheme before the first ':', or empty. "example.pl:8080/x" has none:
// digits after the colon make it a host with a port.
std::string schemeOf(std::string_view text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(text[0])))
        return {};
    if (!std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(colon), isSchemeChar))
        return {};
    std::size_t end = colon + 1;
    while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
        ++end;
    const bool port = end > colon + 1 && (end == text.size() || text[end] == '/' || text[end] == '?' || text[end] == '#');
    return port ? std::string() : lower(text.substr(0, colon));
}

// "C:", "C:\Windows", "c:/dane": a drive, not a scheme.
bool isDrivePath(std::string_view text)
{
    return text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':' &&
           (text.size() == 2 || text[2] == '\\' || text[2] == '/');
}

// Names that only ever mean a program or a script, never a web server.
bool namesProgram(std::string_view host)
{
    static constexpr std::array<std::string_view, 8> kExtensions{".exe", ".bat", ".cmd", ".msi",
                                                                  ".scr", ".vbs", ".ps1", ".lnk"};
    const std::string name = lower(host);
    return std::any_of(kExtensions.begin(), kExtensions.end(),
                       [&](std::string_view extension) { return name.ends_with(extension); });
}

// Empty, or ':' with a port number up to 65535 (or none, as browsers allow).
bool isPort(std::string_view port)
{
    if (port.empty())
        return true;
    const std::string_view digits = port.substr(1);
    const auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    return port.front() == ':' && digits.size() <= 5 && std::all_of(digits.begin(), digits.end(), isDigit) &&
           (digits.empty() || std::stol(std::string(digits)) <= 65535);
}

// What a browser percent-encodes in each part of a typed address, besides
// blanks and everything outside ASCII; a '%' is taken as already encoding.
constexpr std::string_view kUserInfoSet = "\"<>`{}/;=@[\\]^|";
constexpr std::string_view kPathSet = "\"<>`{}";
constexpr std::string_view kQuerySet = "\"<>'";
constexpr std::string_view kFragmentSet = "\"<>`";

std::string encoded(std::string_view part, std::string_view set)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : part) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7f || set.find(c) != std::string_view::npos) {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0f];
        } else {
            out += c;
        }
    }
    return out;
}

std::string quoted(std::string_view text)
{
    return "„" + std::string(text) + "”";
}

WebPageRequest refused(std::string reason)
{
    return {WebPageRequest::Kind::Refused, {}, std::move(reason)};
}

} // namespace

WebPageRequest webPageRequest(std::string_view text)
{
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        return {};

    if (std::any_of(text.begin(), text.end(), isControl))
        return refused("Adres zawiera znak sterujący, na przykład tabulator albo koniec wiersza.");
    const std::string scheme = schemeOf(text);
    const bool localPath = scheme.empty() ? std::string_view("/\\.~").find(text.front()) != std::string_view::npos
                                          : isDrivePath(text);
    if (localPath)
        return refused("To jest ścieżka do pliku lub folderu, a nie adres strony internetowej.");

    std::string url;
    std::string_view rest;
    if (scheme.empty()) {
        url = "http://";
        rest = text;
    } else if (scheme == "http" || scheme == "https") {
        rest = text.substr(scheme.size() + 1);
        if (!rest.starts_with("//"))
            return refused("Po " + quoted(text.substr(0, scheme.size() + 1)) +
                           " muszą stać dwa ukośniki, na przykład https://www.przyklad.pl.");
        rest.remove_prefix(2);
        url = std::string(text.substr(0, scheme.size())) + "://";
    } else {
        return refused("Strona www otwiera tylko adresy http:// i https://, a ten zaczyna się od " +
                       quoted(text.substr(0, scheme.size() + 1)) + ".");
    }

    // Authority: [user@]host[:port], up to the path, query or fragment.
    const std::size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
    std::string_view hostAndPort = rest.substr(0, authorityEnd);
    std::string_view userInfo;
    if (const std::size_t at = hostAndPort.rfind('@'); at != std::string_view::npos) {
        userInfo = hostAndPort.substr(0, at);
        hostAndPort.remove_prefix(at + 1);
    }
    const std::size_t hostEnd = hostAndPort.starts_with('[') ? std::min(hostAndPort.find(']') + 1, hostAndPort.size())
                                                              : std::min(hostAndPort.find(':'), hostAndPort.size());
    const std::string_view host = hostAndPort.substr(0, hostEnd);
    const std::string_view port = hostAndPort.substr(hostEnd);

    if (host.empty())
        return refused("W adresie brak nazwy serwera, na przykład www.przyklad.pl.");
    if (!host.starts_with('[') && host.find_first_of(" \"#%<>@[\\]^|") != std::string_view::npos)
        return refused("Nazwa serwera " + quoted(host) + " zawiera niedozwolony znak.");
    if (!isPort(port))
        return refused("Po nazwie serwera i dwukropku może stać tylko numer portu (od 0 do 65535).");
    if (namesProgram(host))
        return refused("Adres wskazuje program lub skrypt (" + quoted(host) + "), a nie stronę internetową.");

    if (!userInfo.empty())
        url += encoded(userInfo, kUserInfoSet) + "@";
    url += std::string(host) + std::string(port);
    std::string_view tail = rest.substr(authorityEnd);
    const std::size_t fragmentStart = std::min(tail.find('#'), tail.size());
    const std::string_view fragment = tail.substr(fragmentStart);
    tail = tail.substr(0, fragmentStart);
    const std::size_t queryStart = std::min(tail.find('?'), tail.size());
    url += encoded(tail.substr(0, queryStart), kPathSet);
    url += encoded(tail.substr(queryStart), kQuerySet);
    url += encoded(fragment, kFragmentSet);

    url = withAsciiHost(url);
    if (!isAscii(url))
        return refused(quoted(host) + " nie jest poprawną nazwą serwera.");
    return {WebPageRequest::Kind::Open, url, {}};
}

} // namespace wirtello
