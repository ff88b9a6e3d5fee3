#include "host_name.h"

#include <idn2.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>

namespace wirtello {
namespace {

struct HostSpan {
    std::size_t begin = 0;
    std::size_t size = 0;
};

// Where the host of "scheme://[user@]host[:port][/?#...]" lies; size 0 when
// there is none. An IPv6 literal is taken whole and never converted.
HostSpan hostSpan(std::string_view url)
{
    const std::size_t slashes = url.find("://");
    if (slashes == std::string_view::npos)
        return {};
    const std::size_t authorityBegin = slashes + 3;
    const std::size_t authorityEnd = std::min(url.find_first_of("/?#", authorityBegin), url.size());
    std::size_t begin = authorityBegin;
    if (const std::size_t at = url.substr(0, authorityEnd).rfind('@'); at != std::string_view::npos && at >= begin)
        begin = at + 1;
    if (begin < authorityEnd && url[begin] == '[')
        return {};
    const std::size_t end = std::min(url.find(':', begin), authorityEnd);
    return {begin, end - begin};
}

bool isAscii(std::string_view text)
{
    return std::ranges::all_of(text, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool hasAsciiLabel(std::string_view host)
{
    std::string folded(host);
    std::ranges::transform(folded, folded.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded.starts_with("xn--") || folded.find(".xn--") != std::string::npos;
}

using Converter = int (*)(const char*, char**, int);

// The address with its host converted, when `wanted` says the host needs it
// and the conversion succeeds.
std::string withHost(std::string_view url, bool (*wanted)(std::string_view), Converter convert, int flags)
{
    const HostSpan span = hostSpan(url);
    const std::string host(url.substr(span.begin, span.size));
    if (span.size == 0 || !wanted(host))
        return std::string(url);
    char* raw = nullptr;
    const int result = convert(host.c_str(), &raw, flags);
    const std::unique_ptr<char, decltype(&std::free)> converted(raw, &std::free);
    if (result != IDN2_OK || !converted)
        return std::string(url);
    std::string out(url);
    out.replace(span.begin, span.size, converted.get());
    return out;
}

} // namespace

std::string withAsciiHost(std::string_view url)
{
    // Mapped as browsers map it: letters to lower case, composed characters.
    return withHost(url, [](std::string_view host) { return !isAscii(host); }, idn2_to_ascii_8z,
                    IDN2_NFC_INPUT | IDN2_NONTRANSITIONAL);
}

std::string withUnicodeHost(std::string_view url)
{
    return withHost(url, hasAsciiLabel, idn2_to_unicode_8z8z, 0);
}

} // namespace wirtello
