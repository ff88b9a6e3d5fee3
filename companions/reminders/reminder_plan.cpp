#include "companions/reminders/reminder_plan.h"

#include "companions/calendar_kit/recurrence.h"
#include "companions/companion_command.h"
#include "companions/grafik/schedule.h"

#include <algorithm>
#include <climits>

namespace wirtello {
namespace {

// A reminder set further ahead than a year is taken as a year: the
// occurrences looked at stay within dates the calendar can hold.
constexpr int kLongestLead = 366 * 24 * 60;

int leadOf(int minutes)
{
    return std::clamp(minutes, 0, kLongestLead);
}

bool within(const CalendarMoment& at, const CalendarMoment& from, const CalendarMoment& to)
{
    return !(at < from) && !(to < at);
}

bool usableDay(CalendarDate date)
{
    return isValidDate(date) && date.year >= 1 && date.year <= kLastCalendarYear;
}

void addAppointmentReminders(const CalendarEvent& event, const CalendarMoment& from, const CalendarMoment& to,
                             std::vector<Reminder>& found)
{
    // The leads of the series and of its occurrences changed on their own
    // bound the days whose occurrences can fall due in the range.
    int lowest = INT_MAX;
    int highest = -1;
    const auto consider = [&](const std::optional<int>& minutes) {
        if (!minutes)
            return;
        lowest = std::min(lowest, leadOf(*minutes));
        highest = std::max(highest, leadOf(*minutes));
    };
    consider(event.reminderMinutes);
    for (const OccurrenceChange& change : event.changes)
        consider(change.reminderMinutes);
    if (highest < 0)
        return;
    const CalendarDate first = addMinutes(from, lowest).date;
    const CalendarDate last = addMinutes(to, highest).date;
    if (!usableDay(first) || !usableDay(last))
        return;
    for (const EventOccurrence& occurrence : occurrencesBetween(event, first, last)) {
        const std::optional<int>& minutes = occurrence.changed ? occurrence.reminderMinutes : event.reminderMinutes;
        if (!minutes)
            continue;
        const CalendarMoment at = addMinutes(occurrence.start, -leadOf(*minutes));
        if (!within(at, from, to))
            continue;
        Reminder reminder;
        reminder.source = Reminder::Source::Appointment;
        reminder.key = "termin|" + event.uid + "|" + momentText(occurrence.start);
        reminder.uid = event.uid;
        reminder.at = at;
        reminder.item = occurrence.start;
        reminder.wholeDay = event.wholeDay;
        reminder.title = occurrence.changed ? occurrence.title : event.title;
        reminder.place = occurrence.changed ? occurrence.place : event.place;
        found.push_back(std::move(reminder));
    }
}

void addTaskReminders(const ContactTasks& calendar, const CalendarMoment& from, const CalendarMoment& to,
                      std::vector<Reminder>& found)
{
    for (const CalendarTask& task : calendar.tasks) {
        if (task.done || !usableDay(task.due))
            continue;
        const CalendarMoment item{task.due, task.dueTime.value_or(ClockTime{})};
        const CalendarMoment at = task.dueTime ? item : CalendarMoment{task.due, kWholeDayTaskReminder};
        if (!within(at, from, to))
            continue;
        Reminder reminder;
        reminder.source = Reminder::Source::Task;
        reminder.key = "zadanie|" + calendar.file + "|" + task.uid + "|" + momentText(item);
        reminder.uid = task.uid;
        reminder.taskFile = calendar.file;
        reminder.at = at;
        reminder.item = item;
        reminder.wholeDay = !task.dueTime;
        reminder.title = task.title;
        reminder.contact = calendar.name;
        reminder.address = calendar.address;
        found.push_back(std::move(reminder));
    }
}

bool digitsAt(std::string_view text, std::size_t at, std::size_t count, int& value)
{
    value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
        value = value * 10 + (text[i] - '0');
    }
    return true;
}

std::string trimmed(const std::string& text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::string momentText(const CalendarMoment& moment)
{
    return dateText(moment.date) + "T" + timeText(moment.time);
}

std::optional<CalendarMoment> momentOfText(std::string_view text)
{
    CalendarMoment moment;
    if (text.size() != 16 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':')
        return std::nullopt;
    if (!digitsAt(text, 0, 4, moment.date.year) || !digitsAt(text, 5, 2, moment.date.month) ||
        !digitsAt(text, 8, 2, moment.date.day) || !digitsAt(text, 11, 2, moment.time.hour) ||
        !digitsAt(text, 14, 2, moment.time.minute))
        return std::nullopt;
    if (!isValidDate(moment.date) || moment.time.hour > 23 || moment.time.minute > 59)
        return std::nullopt;
    return moment;
}

std::vector<Reminder> remindersBetween(const ReminderSources& sources, const CalendarMoment& from,
                                       const CalendarMoment& to)
{
    std::vector<Reminder> found;
    if (to < from)
        return found;
    for (const CalendarEvent& event : sources.appointments)
        addAppointmentReminders(event, from, to, found);
    for (const ContactTasks& calendar : sources.taskCalendars)
        addTaskReminders(calendar, from, to, found);
    std::stable_sort(found.begin(), found.end(), [](const Reminder& a, const Reminder& b) {
        return a.at < b.at || (a.at == b.at && a.key < b.key);
    });
    return found;
}

std::string reminderSummary(const Reminder& reminder, bool missed)
{
    const std::string title = reminder.title.empty() ? std::string("(bez tytułu)") : reminder.title;
    return std::string(missed ? "Przegapione — " : "") +
           (reminder.source == Reminder::Source::Appointment ? "Termin: " : "Zadanie: ") + title;
}

std::string reminderBody(const Reminder& reminder)
{
    std::string when = weekdayName(reminder.item.date) + " " + shortDateText(reminder.item.date);
    if (reminder.source == Reminder::Source::Appointment) {
        when += reminder.wholeDay ? ", cały dzień" : ", " + timeText(reminder.item.time);
        return reminder.place.empty() ? when : when + ", " + reminder.place;
    }
    std::string body = "Do wykonania: " + when;
    if (!reminder.wholeDay)
        body += ", " + timeText(reminder.item.time);
    const std::string contact = trimmed(reminder.contact);
    return contact.empty() ? body : body + "\nKontakt: " + contact;
}

std::string reminderOpenCommand(const Reminder& reminder)
{
    if (reminder.source == Reminder::Source::Appointment)
        return "grafik.exe \"Kalvaro\" " + windowsArgument("--dzien=" + dateText(reminder.item.date)) + " " +
               windowsArgument("--termin=" + reminder.uid);
    // The empty name and address: the task calendar shows those of its file.
    return "kalendarium.exe " + windowsArgument(reminder.taskFile) + " \"\" \"\" " +
           windowsArgument("--zadanie=" + reminder.uid);
}

} // namespace wirtello
