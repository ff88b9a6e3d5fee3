#include "comment_log.h"

#include "companions/companion_kit/line_escape.h"

#include <algorithm>
#include <cctype>

namespace wirtello {

namespace {

// "yyyy-MM-dd HH:mm:ss"
bool isTimestamp(std::string_view text)
{
    constexpr std::string_view shape = "dddd-dd-dd dd:dd:dd";
    if (text.size() != shape.size())
        return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (shape[i] == 'd' ? !digit : text[i] != shape[i])
            return false;
    }
    return true;
}

bool isAuthor(std::string_view author)
{
    return !author.empty() && std::none_of(author.begin(), author.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20;
    });
}

} // namespace

std::optional<std::vector<Comment>> parseComments(std::string_view file)
{
    std::vector<Comment> comments;
    if (file.empty())
        return comments;
    bool header = true;
    while (!file.empty()) {
        const std::size_t end = file.find('\n');
        if (end == std::string_view::npos)
            return std::nullopt; // every line ends with a line break: a cut file is damaged
        const std::string_view line = file.substr(0, end);
        file.remove_prefix(end + 1);
        if (header) {
            if (line != kCommentsHeader)
                return std::nullopt;
            header = false;
            continue;
        }
        const std::size_t first = line.find('\t');
        const std::size_t second = first == std::string_view::npos ? first : line.find('\t', first + 1);
        if (second == std::string_view::npos)
            return std::nullopt;
        Comment comment{std::string(line.substr(0, first)),
                        std::string(line.substr(first + 1, second - first - 1)), {}};
        std::optional<std::string> text = unescapeLineText(line.substr(second + 1));
        if (!isTimestamp(comment.written) || !isAuthor(comment.author) || !text)
            return std::nullopt;
        comment.text = std::move(*text);
        comments.push_back(std::move(comment));
    }
    return comments;
}

std::string formatComments(const std::vector<Comment>& comments)
{
    if (comments.empty())
        return {};
    std::string file(kCommentsHeader);
    file += '\n';
    for (const Comment& comment : comments)
        file += comment.written + '\t' + comment.author + '\t' + escapeLineText(comment.text) + '\n';
    return file;
}

void sortNewestFirst(std::vector<Comment>& comments)
{
    std::stable_sort(comments.begin(), comments.end(),
                     [](const Comment& a, const Comment& b) { return a.written > b.written; });
}

} // namespace wirtello
