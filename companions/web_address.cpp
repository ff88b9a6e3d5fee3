#include "web_address.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace wirtello {
namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
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

// The host part of an address without its scheme: up to the first '/', '?' or
// '#', without user information and port.
std::string_view hostOf(std::string_view rest)
{
    std::string_view authority = rest.substr(0, rest.find_first_of("/?#"));
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    if (!authority.empty() && authority.front() == '[')
        return authority; // an IPv6 literal
    return authority.substr(0, authority.find(':'));
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

} // namespace

WebPageRequest webPageRequest(std::string_view text)
{
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    if (text.empty())
        return {};

    const WebPageRequest refused{WebPageRequest::Kind::Refused, {}};
    // Nothing inside an address is blank or a control character.
    if (std::any_of(text.begin(), text.end(), [](char c) { return isSpace(c) || static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }))
        return refused;

    std::string url;
    std::string_view rest;
    const std::string scheme = schemeOf(text);
    if (scheme.empty()) {
        // A local or network path, never a host name.
        if (text.front() == '/' || text.front() == '\\' || text.front() == '.' || text.front() == '~')
            return refused;
        url = "http://" + std::string(text);
        rest = text;
    } else if (scheme == "http" || scheme == "https") {
        rest = text.substr(scheme.size() + 1);
        if (!rest.starts_with("//"))
            return refused;
        rest.remove_prefix(2);
        url = std::string(text);
    } else {
        return refused;
    }
    const std::string_view host = hostOf(rest);
    if (host.empty() || host.find('\\') != std::string_view::npos || namesProgram(host))
        return refused;
    return {WebPageRequest::Kind::Open, url};
}

} // namespace wirtello
