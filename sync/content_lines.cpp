#include "sync/content_lines.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace wirtello::sync {

namespace {

std::string upper(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return result;
}

std::vector<std::string> unfoldedLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty() && (line.front() == ' ' || line.front() == '\t') && !lines.empty())
            lines.back().append(line.substr(1));
        else if (!line.empty())
            lines.emplace_back(line);
        pos = end + 1;
    }
    return lines;
}

ContentLine parseLine(std::string_view line)
{
    ContentLine result;
    std::size_t pos = 0;
    while (pos < line.size() && line[pos] != ';' && line[pos] != ':')
        ++pos;
    std::string_view head = line.substr(0, pos);
    if (const std::size_t dot = head.find('.'); dot != std::string_view::npos) {
        result.group = upper(head.substr(0, dot));
        head.remove_prefix(dot + 1);
    }
    result.name = upper(head);
    while (pos < line.size() && line[pos] == ';') {
        ++pos;
        const std::size_t start = pos;
        bool quoted = false;
        while (pos < line.size() && (quoted || (line[pos] != ';' && line[pos] != ':'))) {
            if (line[pos] == '"')
                quoted = !quoted;
            ++pos;
        }
        const std::string_view param = line.substr(start, pos - start);
        const std::size_t equals = param.find('=');
        if (equals == std::string_view::npos)
            result.params.emplace_back(upper(param), std::string());
        else
            result.params.emplace_back(upper(param.substr(0, equals)), std::string(param.substr(equals + 1)));
    }
    if (pos < line.size())
        result.value = std::string(line.substr(pos + 1));
    return result;
}

std::string lineText(const ContentLine& line)
{
    std::string text;
    if (!line.group.empty())
        text += line.group + '.';
    text += line.name;
    for (const auto& [name, value] : line.params) {
        text += ';';
        text += name;
        if (!value.empty())
            text += '=' + value;
    }
    text += ':';
    text += line.value;
    return text;
}

void appendFolded(std::string& out, std::string_view line)
{
    std::size_t limit = 75;
    while (line.size() > limit) {
        std::size_t cut = limit;
        while (cut > 1 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80)
            --cut;
        out.append(line.substr(0, cut));
        out.append("\r\n ");
        line.remove_prefix(cut);
        limit = 74;
    }
    out.append(line);
    out.append("\r\n");
}

bool ignoredInComparison(const std::string& name)
{
    static constexpr std::array<std::string_view, 4> kIgnored{"PRODID", "REV", "DTSTAMP", "LAST-MODIFIED"};
    return std::find(kIgnored.begin(), kIgnored.end(), name) != kIgnored.end();
}

struct Component {
    std::string name;
    std::vector<std::string> lines;
    std::vector<std::string> children;
};

std::string closeComponent(Component& component)
{
    std::sort(component.lines.begin(), component.lines.end());
    std::sort(component.children.begin(), component.children.end());
    std::string text = "BEGIN:" + component.name + '\n';
    for (const std::string& line : component.lines)
        text += line + '\n';
    for (const std::string& child : component.children)
        text += child;
    text += "END:" + component.name + '\n';
    return text;
}

} // namespace

std::vector<ContentLine> parseContentLines(std::string_view text)
{
    std::vector<ContentLine> result;
    for (const std::string& line : unfoldedLines(text))
        result.push_back(parseLine(line));
    return result;
}

std::string writeContentLines(const std::vector<ContentLine>& lines)
{
    std::string out;
    for (const ContentLine& line : lines)
        appendFolded(out, lineText(line));
    return out;
}

std::string canonicalContent(std::string_view text)
{
    std::vector<Component> open;
    open.push_back(Component{});
    for (ContentLine line : parseContentLines(text)) {
        if (line.name == "BEGIN") {
            open.push_back(Component{upper(line.value), {}, {}});
            continue;
        }
        if (line.name == "END" && open.size() > 1 && open.back().name == upper(line.value)) {
            std::string closed = closeComponent(open.back());
            open.pop_back();
            open.back().children.push_back(std::move(closed));
            continue;
        }
        if (ignoredInComparison(line.name))
            continue;
        std::sort(line.params.begin(), line.params.end());
        open.back().lines.push_back(lineText(line));
    }
    while (open.size() > 1) {
        std::string closed = closeComponent(open.back());
        open.pop_back();
        open.back().children.push_back(std::move(closed));
    }
    Component& root = open.front();
    std::sort(root.lines.begin(), root.lines.end());
    std::sort(root.children.begin(), root.children.end());
    std::string result;
    for (const std::string& line : root.lines)
        result += line + '\n';
    for (const std::string& child : root.children)
        result += child;
    return result;
}

bool sameContent(std::string_view a, std::string_view b)
{
    return a == b || canonicalContent(a) == canonicalContent(b);
}

std::optional<std::string> firstUid(std::string_view text)
{
    for (const ContentLine& line : parseContentLines(text))
        if (line.name == "UID")
            return line.value;
    return std::nullopt;
}

std::string withUid(std::string_view text, const std::string& uid)
{
    std::vector<ContentLine> lines = parseContentLines(text);
    if (std::any_of(lines.begin(), lines.end(), [](const ContentLine& line) { return line.name == "UID"; }))
        return std::string(text);
    auto at = std::find_if(lines.begin(), lines.end(), [](const ContentLine& line) {
        return line.name == "BEGIN" && upper(line.value) != "VCALENDAR";
    });
    if (at == lines.end())
        at = lines.begin();
    else
        ++at;
    // A card's VERSION stays right after BEGIN, where older readers expect it.
    if (at != lines.end() && at->name == "VERSION")
        ++at;
    lines.insert(at, ContentLine{{}, "UID", {}, uid});
    return writeContentLines(lines);
}

std::string digestOf(const std::string& value)
{
    if (value.size() <= kDigestAbove)
        return value;
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : value) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4)
        hex[static_cast<std::size_t>(i)] = kHex[hash & 15];
    return "x-wirtello-digest:" + hex + ':' + std::to_string(value.size());
}

bool isDigest(std::string_view value)
{
    return value.starts_with("x-wirtello-digest:");
}

std::string digestedText(std::string_view text)
{
    std::vector<ContentLine> lines = parseContentLines(text);
    bool any = false;
    for (ContentLine& line : lines)
        if (line.value.size() > kDigestAbove) {
            line.value = digestOf(line.value);
            any = true;
        }
    return any ? writeContentLines(lines) : std::string(text);
}

std::vector<std::string> splitComponents(std::string_view value)
{
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            parts.back() += value[i];
            parts.back() += value[++i];
        } else if (value[i] == ';') {
            parts.emplace_back();
        } else {
            parts.back() += value[i];
        }
    }
    return parts;
}

std::string joinComponents(const std::vector<std::string>& components)
{
    std::string value;
    for (std::size_t i = 0; i < components.size(); ++i) {
        if (i > 0)
            value += ';';
        value += components[i];
    }
    return value;
}

} // namespace wirtello::sync
