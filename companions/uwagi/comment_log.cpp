#include "comment_log.h"

#include "companions/companion_kit/line_escape.h"
#include "store/utf8_text.h"

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

// The comment of one line, or why it cannot be read.
std::optional<Comment> readLine(std::string_view line, std::string& reason)
{
    const std::size_t first = line.find('\t');
    const std::size_t second = first == std::string_view::npos ? first : line.find('\t', first + 1);
    if (second == std::string_view::npos) {
        reason = "brak pól rozdzielonych tabulatorem (data, autor, tekst)";
        return std::nullopt;
    }
    Comment comment{std::string(line.substr(0, first)), std::string(line.substr(first + 1, second - first - 1)),
                    {}};
    if (!isTimestamp(comment.written)) {
        reason = "zła data „" + comment.written + "”";
        return std::nullopt;
    }
    if (!isAuthor(comment.author)) {
        reason = "brak autora";
        return std::nullopt;
    }
    std::optional<std::string> text = unescapeLineText(line.substr(second + 1));
    if (!text) {
        reason = "zły znak po „\\” w tekście";
        return std::nullopt;
    }
    comment.text = std::move(*text);
    return comment;
}

} // namespace

std::optional<DocumentProblem> readComments(std::string_view file, CommentFile& into)
{
    into = {};
    std::optional<DocumentProblem> problem;
    const auto refuse = [&problem](std::size_t line, std::string reason) {
        if (!problem)
            problem = DocumentProblem{line, std::move(reason)};
    };
    for (std::size_t number = 1; !file.empty(); ++number) {
        const std::size_t end = file.find('\n');
        if (end == std::string_view::npos) {
            // Every line ends with a line break: a file without one was cut short.
            refuse(number, "wiersz urwany (brak końca wiersza)");
            break;
        }
        std::string_view line = file.substr(0, end);
        file.remove_prefix(end + 1);
        // A carriage return in a text is always written "\r", so one before
        // the line feed is part of the line end.
        const bool crlf = line.ends_with('\r');
        if (crlf)
            line.remove_suffix(1);
        if (number == 1) {
            if (line != kCommentsHeader) {
                refuse(number, "to nie jest plik komentarzy (brak nagłówka „" + std::string(kCommentsHeader) + "”)");
                break;
            }
            into.crlf = crlf;
            continue;
        }
        std::string reason;
        if (std::optional<Comment> comment = readLine(line, reason))
            into.comments.push_back(std::move(*comment));
        else
            refuse(number, std::move(reason));
    }
    return problem;
}

std::optional<std::vector<Comment>> parseComments(std::string_view file)
{
    CommentFile read;
    if (readComments(file, read))
        return std::nullopt;
    return std::move(read.comments);
}

std::string formatComments(const std::vector<Comment>& comments, bool crlf)
{
    if (comments.empty())
        return {};
    const std::string_view lineEnd = crlf ? "\r\n" : "\n";
    std::string file(kCommentsHeader);
    file += lineEnd;
    for (const Comment& comment : comments) {
        file += comment.written + '\t' + comment.author + '\t' + escapeLineText(comment.text);
        file += lineEnd;
    }
    return file;
}

void sortNewestFirst(std::vector<Comment>& comments)
{
    std::stable_sort(comments.begin(), comments.end(),
                     [](const Comment& a, const Comment& b) { return a.written > b.written; });
}

bool commentMatches(const Comment& comment, std::string_view shownDate, std::string_view query)
{
    const std::string folded = foldedKey(query);
    if (folded.empty())
        return true;
    for (const std::string_view field : {shownDate, std::string_view(comment.author), std::string_view(comment.text)}) {
        if (foldedKey(field).find(folded) != std::string::npos)
            return true;
    }
    return false;
}

} // namespace wirtello
