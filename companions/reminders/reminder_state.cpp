#include "companions/reminders/reminder_state.h"

#include "companions/companion_kit/companion_files.h"
#include "companions/companion_kit/line_escape.h"
#include "companions/reminders/reminder_plan.h"

namespace wirtello {
namespace {

constexpr std::string_view kHeading = "Wirtello: przypomnienia 1";
constexpr std::string_view kSince = "od ";
constexpr std::string_view kShown = "pokazane ";
constexpr std::string_view kSnoozed = "odlozone ";
constexpr std::size_t kMomentLength = 16; // "2026-12-07T09:05"

class Parser {
public:
    Parser(const std::filesystem::path& file) : file_(file) {}

    [[noreturn]] void refuse(std::size_t line, const std::string& reason) const
    {
        throw ReminderStateDamaged(describeProblem(file_, {line, reason}));
    }

    // A moment at the start of `rest`, followed by a blank or the line's end.
    CalendarMoment moment(std::string_view& rest, std::size_t line) const
    {
        const std::optional<CalendarMoment> moment = momentOfText(rest.substr(0, kMomentLength));
        if (!moment || (rest.size() > kMomentLength && rest[kMomentLength] != ' '))
            refuse(line, "nieprawidłowa data i godzina");
        rest.remove_prefix(std::min(rest.size(), kMomentLength + 1));
        return *moment;
    }

    std::string key(std::string_view rest, std::size_t line) const
    {
        std::optional<std::string> key = unescapeLineText(rest);
        if (!key || key->empty())
            refuse(line, "nieprawidłowy opis przypomnienia");
        return std::move(*key);
    }

private:
    const std::filesystem::path& file_;
};

} // namespace

std::string ReminderState::text() const
{
    std::string text = std::string(kHeading) + "\n" + std::string(kSince) + momentText(since) + "\n";
    for (const auto& [key, mark] : marks) {
        if (key.empty() || utf8Problem(key))
            continue;
        if (mark.snoozedUntil)
            text += std::string(kSnoozed) + momentText(mark.at) + " " + momentText(*mark.snoozedUntil) + " ";
        else
            text += std::string(kShown) + momentText(mark.at) + " ";
        text += escapeLineText(key) + "\n";
    }
    return text;
}

ReminderState ReminderState::parse(std::string_view text, const std::filesystem::path& file)
{
    const Parser parser(file);
    if (const std::optional<DocumentProblem> problem = utf8Problem(text))
        parser.refuse(problem->line, problem->reason);
    ReminderState state;
    bool sinceRead = false;
    std::size_t lineNumber = 0;
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (lineNumber == 1) {
            if (line != kHeading)
                parser.refuse(lineNumber, "to nie jest zapis przypomnień programu");
        } else if (lineNumber == 2) {
            if (!line.starts_with(kSince))
                parser.refuse(lineNumber, "brak daty początku zapisu");
            line.remove_prefix(kSince.size());
            state.since = parser.moment(line, lineNumber);
            if (!line.empty())
                parser.refuse(lineNumber, "nadmiarowy tekst");
            sinceRead = true;
        } else if (line.starts_with(kShown)) {
            line.remove_prefix(kShown.size());
            ReminderMark mark{parser.moment(line, lineNumber), std::nullopt};
            state.marks[parser.key(line, lineNumber)] = mark;
        } else if (line.starts_with(kSnoozed)) {
            line.remove_prefix(kSnoozed.size());
            ReminderMark mark;
            mark.at = parser.moment(line, lineNumber);
            mark.snoozedUntil = parser.moment(line, lineNumber);
            state.marks[parser.key(line, lineNumber)] = mark;
        } else if (!line.empty()) {
            parser.refuse(lineNumber, "nieznany rodzaj wiersza");
        }
    }
    if (!sinceRead)
        parser.refuse(lineNumber + 1, "zapis jest niepełny");
    return state;
}

void ReminderState::merge(const ReminderState& other)
{
    for (const auto& [key, mark] : other.marks)
        marks.emplace(key, mark);
}

void ReminderState::prune(const CalendarMoment& before)
{
    std::erase_if(marks, [&](const auto& entry) {
        const ReminderMark& mark = entry.second;
        return mark.at < before && !(mark.snoozedUntil && !(*mark.snoozedUntil < before));
    });
}

std::optional<ReminderState> readReminderState(const std::filesystem::path& file)
{
    const std::optional<std::string> text = readCompanionText(file, kReminderStateLimit);
    if (!text)
        return std::nullopt;
    return ReminderState::parse(*text, file);
}

void writeReminderState(const std::filesystem::path& file, const ReminderState& state)
{
    writeCompanionText(file, state.text(), kReminderStateLimit);
}

} // namespace wirtello
