#include "command_line.h"

namespace wirtello {
namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

std::vector<std::string> splitWindowsCommandLine(std::string_view line)
{
    std::vector<std::string> result;
    std::size_t pos = 0;
    const std::size_t size = line.size();
    while (pos < size && isBlank(line[pos]))
        ++pos;
    if (pos >= size)
        return result;

    std::string program;
    bool quoted = false;
    while (pos < size && (quoted || !isBlank(line[pos]))) {
        if (line[pos] == '"')
            quoted = !quoted;
        else
            program += line[pos];
        ++pos;
    }
    result.push_back(std::move(program));

    while (true) {
        while (pos < size && isBlank(line[pos]))
            ++pos;
        if (pos >= size)
            break;
        std::string argument;
        quoted = false;
        while (pos < size && (quoted || !isBlank(line[pos]))) {
            const char c = line[pos];
            if (c == '\\') {
                std::size_t count = 0;
                while (pos < size && line[pos] == '\\') {
                    ++count;
                    ++pos;
                }
                if (pos < size && line[pos] == '"') {
                    argument.append(count / 2, '\\');
                    if (count % 2 == 1) {
                        argument += '"';
                        ++pos;
                    }
                } else {
                    argument.append(count, '\\');
                }
                continue;
            }
            if (c == '"') {
                if (quoted && pos + 1 < size && line[pos + 1] == '"') {
                    argument += '"';
                    pos += 2;
                    continue;
                }
                quoted = !quoted;
                ++pos;
                continue;
            }
            argument += c;
            ++pos;
        }
        result.push_back(std::move(argument));
    }
    return result;
}

} // namespace wirtello
