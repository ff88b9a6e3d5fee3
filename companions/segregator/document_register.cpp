#include "document_register.h"

#include "companions/companion_kit/line_escape.h"
#include "store/paths.h"
#include "store/utf8_text.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace wirtello {
namespace {

constexpr std::string_view kHeader = "Rejestr dokumentów 1";
constexpr std::size_t kFieldCount = 6;

std::vector<std::string_view> split(std::string_view text, char separator)
{
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string_view::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

std::optional<Direction> directionFromName(std::string_view name)
{
    for (const Direction d : {Direction::Incoming, Direction::Outgoing}) {
        if (name == directionName(d))
            return d;
    }
    return std::nullopt;
}

// A value from the file as a reason quotes it: its first 40 bytes, cut
// before a character.
std::string quoted(std::string_view value)
{
    std::size_t size = std::min<std::size_t>(value.size(), 40);
    while (size > 0 && size < value.size() && (static_cast<unsigned char>(value[size]) & 0xC0) == 0x80)
        --size;
    return "„" + std::string(value.substr(0, size)) + (size < value.size() ? "…”" : "”");
}

// The row a line holds, or why it holds none.
struct ParsedRow {
    std::optional<RegisterRow> row;
    std::string reason;
};

ParsedRow parseRow(std::string_view line)
{
    const std::vector<std::string_view> fields = split(line, '\t');
    if (fields.size() != kFieldCount)
        return {std::nullopt, "pól jest " + std::to_string(fields.size()) + ", a powinno być " + std::to_string(kFieldCount)};
    RegisterRow row;
    const std::optional<std::chrono::year_month_day> date = parseIsoDate(fields[0]);
    if (!date)
        return {std::nullopt, "zła data " + quoted(fields[0])};
    row.date = *date;
    const std::optional<Direction> direction = directionFromName(fields[1]);
    if (!direction)
        return {std::nullopt, "nieznany kierunek " + quoted(fields[1])};
    row.direction = *direction;
    std::array<std::string*, 4> texts = {&row.sign, &row.title, &row.note, &row.attachment};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::optional<std::string> text = unescapeLineText(fields[i + 2]);
        if (!text)
            return {std::nullopt, "nieznany znak po „\\” w " + quoted(fields[i + 2])};
        *texts[i] = std::move(*text);
    }
    return {std::move(row), {}};
}

bool contains(std::string_view text, std::string_view foldedQuery)
{
    return foldedKey(text).find(foldedQuery) != std::string::npos;
}

std::string dottedDate(std::chrono::year_month_day date)
{
    char out[16];
    std::snprintf(out, sizeof out, "%02u.%02u.%04d", static_cast<unsigned>(date.day()),
                  static_cast<unsigned>(date.month()), static_cast<int>(date.year()));
    return out;
}

} // namespace

std::string_view directionName(Direction direction)
{
    return direction == Direction::Incoming ? "przychodzący" : "wychodzący";
}

std::optional<std::chrono::year_month_day> parseIsoDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    const auto number = [text](std::size_t from, std::size_t length) -> std::optional<int> {
        int value = 0;
        for (std::size_t i = from; i < from + length; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return std::nullopt;
            value = value * 10 + (text[i] - '0');
        }
        return value;
    };
    const std::optional<int> year = number(0, 4);
    const std::optional<int> month = number(5, 2);
    const std::optional<int> day = number(8, 2);
    if (!year || !month || !day)
        return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year(*year), std::chrono::month(static_cast<unsigned>(*month)),
                                           std::chrono::day(static_cast<unsigned>(*day))};
    if (!date.ok())
        return std::nullopt;
    return date;
}

std::string isoDate(std::chrono::year_month_day date)
{
    char out[16];
    std::snprintf(out, sizeof out, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return out;
}

DocumentRegister::DocumentRegister(std::vector<RegisterRow> rows)
    : rows_(std::move(rows))
{
    std::ranges::stable_sort(rows_, {}, &RegisterRow::date);
    for (std::size_t i = 0; i < rows_.size(); ++i)
        keys_.push_back(nextKey_++);
}

std::optional<std::size_t> DocumentRegister::indexOf(RowKey key) const
{
    const auto found = std::ranges::find(keys_, key);
    if (found == keys_.end())
        return std::nullopt;
    return static_cast<std::size_t>(found - keys_.begin());
}

std::size_t DocumentRegister::insert(RegisterRow row, RowKey key)
{
    // After every row of the same date: a new entry comes last among its day's.
    const auto at = std::ranges::upper_bound(rows_, row.date, {}, &RegisterRow::date);
    const auto index = at - rows_.begin();
    rows_.insert(at, std::move(row));
    keys_.insert(keys_.begin() + index, key);
    return static_cast<std::size_t>(index);
}

std::size_t DocumentRegister::add(RegisterRow row)
{
    return insert(std::move(row), nextKey_++);
}

std::size_t DocumentRegister::replace(std::size_t index, RegisterRow row)
{
    if (rows_.at(index).date == row.date) {
        rows_[index] = std::move(row);
        return index;
    }
    const RowKey key = keys_[index];
    remove(index);
    return insert(std::move(row), key);
}

void DocumentRegister::remove(std::size_t index)
{
    if (index >= rows_.size())
        throw std::out_of_range("DocumentRegister::remove");
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
    keys_.erase(keys_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::string formatRegister(const std::vector<RegisterRow>& rows)
{
    std::string out(kHeader);
    out += '\n';
    for (const RegisterRow& row : rows) {
        out += isoDate(row.date);
        out += '\t';
        out += directionName(row.direction);
        for (const std::string* text : {&row.sign, &row.title, &row.note, &row.attachment}) {
            out += '\t';
            out += escapeLineText(*text);
        }
        out += '\n';
    }
    return out;
}

std::optional<DocumentProblem> readRegister(std::string_view text, std::vector<RegisterRow>& rows)
{
    rows.clear();
    if (text.empty())
        return std::nullopt;
    std::vector<std::string_view> lines = split(text, '\n');
    // What follows the last line end; a row cut off there is not read.
    const std::string_view unfinished = lines.back();
    lines.pop_back();
    for (std::string_view& line : lines) {
        if (line.ends_with('\r'))
            line.remove_suffix(1);
    }
    if (lines.empty() || lines.front() != kHeader)
        return DocumentProblem{1, "to nie jest rejestr dokumentów (brak nagłówka „" + std::string(kHeader) + "”)"};
    std::optional<DocumentProblem> problem;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        ParsedRow parsed = parseRow(lines[i]);
        if (parsed.row)
            rows.push_back(std::move(*parsed.row));
        else if (!problem)
            problem = DocumentProblem{i + 1, std::move(parsed.reason)};
    }
    if (!unfinished.empty() && !problem)
        problem = DocumentProblem{lines.size() + 1, "wiersz urwany, bez końca wiersza"};
    return problem;
}

std::vector<RegisterRow> parseRegister(std::string_view text)
{
    std::vector<RegisterRow> rows;
    if (const std::optional<DocumentProblem> problem = readRegister(text, rows))
        throw RegisterFormatError("wiersz " + std::to_string(problem->line) + ": " + problem->reason);
    return rows;
}

bool rowMatches(const RegisterRow& row, std::optional<Direction> direction, std::string_view query)
{
    if (direction && row.direction != *direction)
        return false;
    const std::string folded = foldedKey(query);
    if (folded.empty())
        return true;
    for (const std::string& text : {isoDate(row.date), dottedDate(row.date), row.sign, row.title, row.note,
                                    row.attachment}) {
        if (contains(text, folded))
            return true;
    }
    return false;
}

std::string attachmentReference(const std::filesystem::path& programFolder, const std::filesystem::path& file)
{
    const std::filesystem::path absolute = file.lexically_normal();
    const std::filesystem::path relative = absolute.lexically_relative(programFolder.lexically_normal());
    if (!relative.empty() && *relative.begin() != ".." && relative.is_relative())
        return relative.generic_string();
    return absolute.string();
}

std::filesystem::path attachmentPath(const std::filesystem::path& programFolder, std::string_view reference)
{
    return resolveStoredPath(programFolder, reference);
}

} // namespace wirtello
