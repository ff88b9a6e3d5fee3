#include "import_text.h"

#include "store/cp1250.h"
#include "store/hex_digit.h"
#include "store/utf8_text.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>

namespace wirtello {
namespace {

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

} // namespace

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
        if (convertWithIconv(bytes, std::string(charset), converted) && isValidUtf8(converted))
            return converted;
    }
    return isValidUtf8(bytes) ? std::string(bytes) : fromCp1250(bytes);
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
    return isValidUtf8(out) ? out : std::string(text);
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
        const std::size_t length = utf8SequenceLength(utf8, pos);
        pos += length == 0 ? 1 : length;
        ++count;
    }
    return count;
}

} // namespace wirtello
