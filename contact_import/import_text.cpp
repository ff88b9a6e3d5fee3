#include "import_text.h"

#include "store/cp1250.h"
#include "store/hex_digit.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>

namespace wirtello {
namespace {

// Length of the UTF-8 sequence starting at `pos`, 0 when malformed.
std::size_t sequenceLength(std::string_view text, std::size_t pos)
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

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

// Through iconv; nothing when the set is unknown or the bytes do not fit it.
bool convertWithIconv(std::string_view bytes, const std::string& charset, std::string& out)
{
    const iconv_t cd = iconv_open("UTF-8", charset.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string input(bytes);
    std::string result;
    result.resize(bytes.size() * 4 + 16);
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* outPtr = result.data();
    std::size_t outLeft = result.size();
    const std::size_t done = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (done == static_cast<std::size_t>(-1) || inLeft != 0)
        return false;
    result.resize(result.size() - outLeft);
    out = std::move(result);
    return true;
}

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

bool isUtf8(std::string_view bytes)
{
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t length = sequenceLength(bytes, pos);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

std::string toUtf8(std::string_view bytes, std::string_view charset)
{
    const std::string set = lowerAscii(charset);
    const bool ascii = std::ranges::all_of(bytes, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii && set.find("16") == std::string::npos && set.find("32") == std::string::npos)
        return std::string(bytes);
    if (set == "windows-1250" || set == "cp1250" || set == "x-cp1250" || set == "cp-1250")
        return fromCp1250(bytes);
    if (!set.empty() && set != "utf-8" && set != "utf8") {
        std::string converted;
        if (convertWithIconv(bytes, std::string(charset), converted) && isUtf8(converted))
            return converted;
    }
    return isUtf8(bytes) ? std::string(bytes) : fromCp1250(bytes);
}

namespace {

// Replaces each `marker` followed by two hex digits with the byte they name.
std::string decodeHexEscapes(std::string_view text, char marker)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == marker && i + 2 < text.size()) {
            const int high = hexDigitValue(text[i + 1]);
            const int low = hexDigitValue(text[i + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

} // namespace

std::string decodeQuotedPrintable(std::string_view text)
{
    return decodeHexEscapes(text, '=');
}

std::string percentDecoded(std::string_view text)
{
    if (text.find('%') == std::string_view::npos)
        return std::string(text);
    const std::string out = decodeHexEscapes(text, '%');
    return isUtf8(out) ? out : std::string(text);
}

std::string foldedKey(std::string_view utf8)
{
    std::string out;
    bool pendingBlank = false;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        std::size_t length = sequenceLength(utf8, pos);
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

std::string oneLine(std::string_view utf8)
{
    std::string out;
    std::string line;
    const auto flush = [&] {
        const auto first = line.find_first_not_of(' ');
        if (first != std::string::npos) {
            if (!out.empty())
                out += out.back() == ',' ? " " : ", ";
            out += line.substr(first, line.find_last_not_of(' ') - first + 1);
        }
        line.clear();
    };
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const char c = utf8[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n')
                ++i;
            flush();
        } else {
            line += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
        }
    }
    flush();
    return out;
}

std::size_t codePointCount(std::string_view utf8)
{
    std::size_t count = 0;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t length = sequenceLength(utf8, pos);
        pos += length == 0 ? 1 : length;
        ++count;
    }
    return count;
}

} // namespace wirtello
