#include "text_lines.h"

#include "store/cp1250.h"
#include "store/io_error.h"
#include "store/paths.h"
#include "store/record_file.h"
#include "store/safe_file.h"

namespace wirtello {
namespace {

// Lines of `bytes` by the rule of readTextLines.
std::size_t countLines(std::string_view bytes)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            ++count;
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        }
    }
    const bool unended = !bytes.empty() && bytes.back() != '\r' && bytes.back() != '\n';
    return count + (unended ? 1 : 0);
}

} // namespace

std::vector<std::string> readTextLines(const std::filesystem::path& path, TextFileLimit limit)
{
    const std::vector<std::uint8_t> read = readRegularFile(path, limit.bytes);
    const std::string_view bytes(reinterpret_cast<const char*>(read.data()), read.size());
    const std::size_t count = countLines(bytes);
    if (count > limit.lines)
        throw IoError("Plik ma za dużo wierszy (najwięcej " + std::to_string(limit.lines) + ")", path);

    std::vector<std::string> lines;
    lines.reserve(count);
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.push_back(fromCp1250(bytes.substr(start, i - start)));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.push_back(fromCp1250(bytes.substr(start)));
    return lines;
}

void writeTextLines(const std::filesystem::path& path, const std::vector<std::string>& lines)
{
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += toCp1250(line);
        bytes += "\r\n";
    }
    writeRecord(path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

void createEmptyTextFileIfMissing(const std::filesystem::path& path)
{
    if (!fileExists(path))
        writeRecord(path, {});
}

std::vector<std::string> splitEditedText(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::string joinEditedText(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}

} // namespace wirtello
