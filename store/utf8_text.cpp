#include "utf8_text.h"

#include <cctype>
#include <cstddef>
#include <cstdint>

namespace wirtello {
namespace {

// The base letter of a Latin letter with a mark, for the few code points
// that header names use; 0 for anything else.
char baseLetter(char32_t cp)
{
    switch (cp) {
    case U'ą': case U'Ą': case U'á': case U'Á': case U'ä': case U'Ä': case U'à': case U'À': case U'â': case U'Â':
        return 'a';
    case U'ć': case U'Ć': case U'č': case U'Č': case U'ç': case U'Ç':
        return 'c';
    case U'ę': case U'Ę': case U'é': case U'É': case U'è': case U'È': case U'ê': case U'Ê': case U'ë': case U'Ë':
        return 'e';
    case U'í': case U'Í': case U'î': case U'Î':
        return 'i';
    case U'ł': case U'Ł':
        return 'l';
    case U'ń': case U'Ń': case U'ñ': case U'Ñ':
        return 'n';
    case U'ó': case U'Ó': case U'ö': case U'Ö': case U'ô': case U'Ô':
        return 'o';
    case U'ś': case U'Ś': case U'š': case U'Š':
        return 's';
    case U'ú': case U'Ú': case U'ü': case U'Ü':
        return 'u';
    case U'ź': case U'Ź': case U'ż': case U'Ż': case U'ž': case U'Ž':
        return 'z';
    default:
        return 0;
    }
}

char32_t decodeAt(std::string_view text, std::size_t pos, std::size_t length)
{
    if (length == 1)
        return static_cast<unsigned char>(text[pos]);
    static constexpr unsigned char kLeadMask[] = {0, 0, 0x1F, 0x0F, 0x07};
    char32_t cp = static_cast<unsigned char>(text[pos]) & kLeadMask[length];
    for (std::size_t i = 1; i < length; ++i)
        cp = (cp << 6) | (static_cast<unsigned char>(text[pos + i]) & 0x3F);
    return cp;
}


} // namespace

std::size_t utf8SequenceLength(std::string_view text, std::size_t pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = 0;
    std::uint32_t cp = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
    } else {
        return 0;
    }
    if (pos + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((length == 3 && cp < 0x800) || (length == 4 && (cp < 0x10000 || cp > 0x10FFFF))
        || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

bool isValidUtf8(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = utf8SequenceLength(text, pos);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

std::string foldedKey(std::string_view utf8)
{
    std::string out;
    bool pendingBlank = false;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::size_t length = utf8SequenceLength(utf8, pos);
        char letter = 0;
        if (length == 0) {
            length = 1;
        } else {
            const char32_t cp = decodeAt(utf8, pos, length);
            if (cp < 0x80 && std::isalnum(static_cast<int>(cp)))
                letter = static_cast<char>(std::tolower(static_cast<int>(cp)));
            else
                letter = baseLetter(cp);
        }
        pos += length;
        if (letter == 0) {
            pendingBlank = !out.empty();
            continue;
        }
        if (pendingBlank)
            out += ' ';
        pendingBlank = false;
        out += letter;
    }
    return out;
}

} // namespace wirtello
