#include "mail_link.h"

#include <algorithm>
#include <cctype>

namespace wirtello {

std::optional<std::string> mailAddress(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    // A text copied from a link already holds the scheme; the link adds it again.
    constexpr std::string_view kScheme = "mailto:";
    const auto sameLetter = [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
    };
    if (text.size() >= kScheme.size() && std::equal(kScheme.begin(), kScheme.end(), text.begin(), sameLetter))
        text.remove_prefix(kScheme.size());
    const std::size_t at = text.find('@');
    if (at == std::string_view::npos || at == 0 || at + 1 == text.size() ||
        text.find('@', at + 1) != std::string_view::npos)
        return std::nullopt;
    const bool unfit = std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7f;
    });
    if (unfit)
        return std::nullopt;
    return std::string(text);
}

std::string mailtoLink(std::string_view address)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string link = "mailto:";
    for (const char c : address) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) && byte < 0x80) {
            link += c;
        } else if (c == '-' || c == '.' || c == '_' || c == '~' || c == '@') {
            link += c;
        } else {
            link += '%';
            link += kHex[byte >> 4];
            link += kHex[byte & 0x0f];
        }
    }
    return link;
}

} // namespace wirtello
