#include "companions/grafik/schedule.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <array>
#include <set>
#include <sstream>

namespace wirtello {

namespace {

long long dayNumber(CalendarDate date)
{
    using namespace std::chrono;
    const year_month_day ymd{year(date.year), month(static_cast<unsigned>(date.month)),
                             day(static_cast<unsigned>(date.day))};
    return sys_days(ymd).time_since_epoch().count();
}

CalendarMoment minus(const CalendarMoment& moment, int minutes)
{
    long long total = moment.time.hour * 60 + moment.time.minute - minutes;
    int days = 0;
    while (total < 0) {
        total += 24 * 60;
        --days;
    }
    return {addDays(moment.date, days), {static_cast<int>(total / 60), static_cast<int>(total % 60)}};
}

std::string twoDigits(int value)
{
    return (value < 10 ? "0" : "") + std::to_string(value);
}

std::string withPlace(const std::string& title, const std::string& place)
{
    std::string text = title.empty() ? std::string("(bez tytułu)") : title;
    if (!place.empty())
        text += ", " + place;
    return text;
}

std::string withPlace(const CalendarEvent& event)
{
    return withPlace(event.title, event.place);
}

// An occurrence changed on its own shows its own title and place.
std::string withPlace(const CalendarEvent& event, const EventOccurrence& occurrence)
{
    return occurrence.changed ? withPlace(occurrence.title, occurrence.place) : withPlace(event);
}

const std::array<const char*, 12> kMonthNames = {"styczeń", "luty",     "marzec",   "kwiecień", "maj",      "czerwiec",
                                                 "lipiec",  "sierpień", "wrzesień", "październik", "listopad", "grudzień"};
// "4,4" megabytes (MiB), rounded up so that the limit never reads as met.
std::string megabytes(std::uintmax_t bytes)
{
    const std::uintmax_t tenths = (bytes * 10 + 1024 * 1024 - 1) / (1024 * 1024);
    return std::to_string(tenths / 10) + (tenths % 10 ? "," + std::to_string(tenths % 10) : "");
}

const std::array<const char*, 12> kMonthGenitive = {"stycznia", "lutego",   "marca",     "kwietnia",    "maja",      "czerwca",
                                                    "lipca",    "sierpnia", "września", "października", "listopada", "grudnia"};

} // namespace

std::vector<std::vector<DayAppointment>> appointmentsByDay(const std::vector<CalendarEvent>& events,
                                                           CalendarDate first, CalendarDate last,
                                                           std::vector<std::size_t>* cut)
{
    const long long dayCount = std::max(0LL, dayNumber(last) - dayNumber(first) + 1);
    std::vector<std::vector<DayAppointment>> days(static_cast<std::size_t>(dayCount));
    for (std::size_t e = 0; e < events.size(); ++e) {
        const EventOccurrences expanded = expandOccurrences(events[e], first, last);
        if (expanded.cut && cut)
            cut->push_back(e);
        for (const EventOccurrence& occurrence : expanded.occurrences) {
            // An occurrence lies on every day from its start to the day before its
            // (exclusive) end, or just its start day when it has no length.
            CalendarDate lastDay = occurrence.end.date;
            if (occurrence.end > occurrence.start && occurrence.end.time == ClockTime{})
                lastDay = addDays(lastDay, -1);
            lastDay = std::max(lastDay, occurrence.start.date);
            for (CalendarDate d = std::max(occurrence.start.date, first); d <= std::min(lastDay, last); d = addDays(d, 1))
                days[static_cast<std::size_t>(dayNumber(d) - dayNumber(first))].push_back({e, occurrence});
        }
    }
    for (auto& day : days) {
        std::stable_sort(day.begin(), day.end(), [&events](const DayAppointment& a, const DayAppointment& b) {
            const bool aWhole = events[a.event].wholeDay;
            const bool bWhole = events[b.event].wholeDay;
            if (aWhole != bWhole)
                return aWhole;
            return a.occurrence.start < b.occurrence.start;
        });
    }
    return days;
}

CalendarDate weekStart(CalendarDate date)
{
    return addDays(date, 1 - weekdayOf(date));
}

CalendarDate monthViewStart(int year, int month)
{
    return weekStart({year, month, 1});
}

std::string appointmentLine(const CalendarEvent& event, const EventOccurrence& occurrence, CalendarDate day)
{
    if (event.wholeDay)
        return "cały dzień " + withPlace(event, occurrence);
    const bool beganEarlier = occurrence.start.date < day;
    const bool endsLater = occurrence.end.date > day;
    std::string times;
    if (beganEarlier)
        times = endsLater ? "cały dzień" : "… do " + timeText(occurrence.end.time);
    else
        times = timeText(occurrence.start.time) +
                (endsLater ? "–…" : occurrence.end > occurrence.start ? "–" + timeText(occurrence.end.time) : "");
    return times + " " + withPlace(event, occurrence);
}

std::string compactAppointmentLine(const CalendarEvent& event, const EventOccurrence& occurrence, CalendarDate day)
{
    const std::string& own = occurrence.changed ? occurrence.title : event.title;
    const std::string title = own.empty() ? std::string("(bez tytułu)") : own;
    if (event.wholeDay || (occurrence.start.date < day && occurrence.end.date > day))
        return "cały dzień: " + title;
    if (occurrence.start.date < day)
        return "do " + timeText(occurrence.end.time) + " " + title;
    return timeText(occurrence.start.time) + " " + title;
}

std::string weekdayName(CalendarDate date)
{
    static const std::array<const char*, 7> names = {"poniedziałek", "wtorek", "środa",    "czwartek",
                                                     "piątek",       "sobota", "niedziela"};
    return names[static_cast<std::size_t>(weekdayOf(date) - 1)];
}

std::string weekdayShortName(int weekday)
{
    static const std::array<const char*, 7> names = {"pon", "wt", "śr", "czw", "pt", "sob", "niedz"};
    return names[static_cast<std::size_t>(std::clamp(weekday, 1, 7) - 1)];
}

std::string monthName(int month)
{
    return kMonthNames[static_cast<std::size_t>(std::clamp(month, 1, 12) - 1)];
}

std::string shortDateText(CalendarDate date)
{
    return std::to_string(date.day) + "." + twoDigits(date.month) + "." + std::to_string(date.year);
}

std::vector<DueReminder> dueReminders(const std::vector<CalendarEvent>& events, const CalendarMoment& now)
{
    std::vector<DueReminder> due;
    for (std::size_t e = 0; e < events.size(); ++e) {
        const CalendarEvent& event = events[e];
        // A changed occurrence has a reminder of its own, maybe where the series has none.
        int longest = event.reminderMinutes.value_or(-1);
        for (const OccurrenceChange& change : event.changes)
            longest = std::max(longest, change.reminderMinutes.value_or(-1));
        if (longest < 0)
            continue;
        const CalendarDate last = addDays(now.date, longest / (24 * 60) + 1);
        for (const EventOccurrence& occurrence : occurrencesBetween(event, now.date, last)) {
            const std::optional<int> reminder = occurrence.changed ? occurrence.reminderMinutes : event.reminderMinutes;
            if (!reminder)
                continue;
            const int lead = std::max(0, *reminder);
            if (occurrence.start > now && minus(occurrence.start, lead) <= now)
                due.push_back({e, occurrence.start,
                               "termin|" + event.uid + "|" + dateText(occurrence.start.date) + "T" +
                                   timeText(occurrence.start.time)});
        }
    }
    return due;
}

std::string reminderText(const CalendarEvent& event, const CalendarMoment& start, const CalendarMoment& now)
{
    const long long left = minutesBetween(now, start);
    std::string when = left < 60       ? "za " + std::to_string(left) + " min"
                       : left < 24 * 60 ? "za " + std::to_string(left / 60) + " godz. " + std::to_string(left % 60) + " min"
                                        : std::to_string(start.date.day) + " " +
                                              kMonthGenitive[static_cast<std::size_t>(start.date.month - 1)];
    const std::string at = event.wholeDay ? shortDateText(start.date) : timeText(start.time);
    return "Przypomnienie: " + at + " " + withPlace(event) + " — " + when + ".";
}

std::string weekHeading(const std::string& title, CalendarDate monday)
{
    const CalendarDate sunday = addDays(monday, 6);
    return title + " — tydzień " + shortDateText(monday) + " – " + shortDateText(sunday);
}

std::vector<std::string> weekLines(const std::vector<CalendarEvent>& events, CalendarDate monday)
{
    const auto days = appointmentsByDay(events, monday, addDays(monday, 6));
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < days.size(); ++i) {
        const CalendarDate date = addDays(monday, static_cast<int>(i));
        if (i > 0)
            lines.emplace_back();
        lines.push_back(weekdayName(date) + " " + std::to_string(date.day) + " " +
                        kMonthGenitive[static_cast<std::size_t>(date.month - 1)] + " " + std::to_string(date.year));
        if (days[i].empty())
            lines.emplace_back("    —");
        for (const DayAppointment& a : days[i]) {
            lines.push_back("    " + appointmentLine(events[a.event], a.occurrence, date));
            if (const std::string& contact = events[a.event].contact; !contact.empty())
                lines.push_back("        kontakt: " + contact);
        }
    }
    return lines;
}

std::string ruleOf(Repeat repeat)
{
    switch (repeat) {
    case Repeat::Daily:
        return "FREQ=DAILY";
    case Repeat::Weekly:
        return "FREQ=WEEKLY";
    case Repeat::Monthly:
        return "FREQ=MONTHLY";
    case Repeat::Yearly:
        return "FREQ=YEARLY";
    case Repeat::None:
    case Repeat::Other:
        break;
    }
    return {};
}

Repeat repeatOf(const std::string& rule)
{
    if (rule.empty())
        return Repeat::None;
    std::string rest = rule;
    for (const std::string interval : {";INTERVAL=1", "INTERVAL=1;"}) {
        if (const std::size_t at = rest.find(interval); at != std::string::npos)
            rest.erase(at, interval.size());
    }
    for (const Repeat repeat : {Repeat::Daily, Repeat::Weekly, Repeat::Monthly, Repeat::Yearly}) {
        if (rest == ruleOf(repeat))
            return repeat;
    }
    return Repeat::Other;
}

namespace {

// "2 tygodnie", "5 tygodni": the Polish plural after a number above one.
std::string counted(int n, const char* few, const char* many)
{
    const bool isFew = n % 10 >= 2 && n % 10 <= 4 && (n % 100 < 12 || n % 100 > 14);
    return std::to_string(n) + " " + (isFew ? few : many);
}

} // namespace

std::string repeatDescription(const CalendarEvent& event)
{
    std::string frequency;
    int interval = 1;
    std::string until;
    int count = 0;
    std::string part;
    std::istringstream parts(event.recurrence);
    while (std::getline(parts, part, ';')) {
        const std::size_t equals = part.find('=');
        const std::string name = part.substr(0, equals);
        const std::string value = equals == std::string::npos ? std::string() : part.substr(equals + 1);
        if (name == "FREQ")
            frequency = value;
        else if (name == "INTERVAL" && !value.empty() && value.size() < 5 && std::ranges::all_of(value, ::isdigit))
            interval = std::max(1, std::stoi(value));
        else if (name == "UNTIL")
            until = value;
        else if (name == "COUNT" && !value.empty() && value.size() < 7 && std::ranges::all_of(value, ::isdigit))
            count = std::stoi(value);
        else if (name != "WKST")
            return event.recurrence;
    }
    std::string text;
    if (frequency == "DAILY")
        text = interval == 1 ? "codziennie" : "co " + counted(interval, "dni", "dni");
    else if (frequency == "WEEKLY")
        text = interval == 1 ? "co tydzień" : "co " + counted(interval, "tygodnie", "tygodni");
    else if (frequency == "MONTHLY")
        text = interval == 1 ? "co miesiąc" : "co " + counted(interval, "miesiące", "miesięcy");
    else if (frequency == "YEARLY")
        text = interval == 1 ? "co rok" : "co " + counted(interval, "lata", "lat");
    else
        return event.recurrence;
    if (count > 0)
        text += ", " + (count == 1 ? std::string("1 raz") : counted(count, "razy", "razy"));
    if (!until.empty()) {
        // The day of the last occurrence, which an UNTIL in UTC does not tell by itself.
        if (until.size() < 8)
            return event.recurrence;
        const CalendarDate end{std::atoi(until.substr(0, 4).c_str()), std::atoi(until.substr(4, 2).c_str()),
                               std::atoi(until.substr(6, 2).c_str())};
        if (!isValidDate(end) || end.year > kLastCalendarYear)
            return event.recurrence;
        const CalendarDate first = std::max(event.start.date, addDays(end, -4000));
        const std::vector<EventOccurrence> found = occurrencesBetween(event, first, addDays(end, 1));
        text += found.empty() ? ", bez powtórzeń" : ", ostatni raz " + shortDateText(found.back().start.date);
    }
    return text;
}

ImportCount importAppointments(CalendarDocument& into, const CalendarDocument& from,
                               std::chrono::system_clock::time_point now)
{
    return into.importEvents(from, now);
}

std::string importReport(const std::string& fileName, const ImportCount& count)
{
    std::string text = "Wczytano terminy z pliku „" + fileName + "”: nowe " + std::to_string(count.added) +
                       ", zmienione " + std::to_string(count.changed) + ", pominięte " +
                       std::to_string(count.skipped()) + ".";
    const auto line = [&text](int n, const std::string& what) {
        if (n > 0)
            text += "\n" + what + ": " + std::to_string(n) + ".";
    };
    line(count.changed, "Zmienione terminy zastąpiono wersją z pliku w całości");
    line(count.uidsGiven, "Terminom bez identyfikatora (UID) nadano nowy");
    line(count.ownZone, "Serie zachowały swoją strefę czasową (powtarzają się o swojej godzinie w tamtej strefie)");
    line(count.withExceptions, "Serie z wyjątkami (zmienione, pominięte lub dodane powtórzenia) zachowano wraz z "
                               "wyjątkami");
    line(count.occurrenceChanges, "Zachowane zmiany pojedynczych powtórzeń");
    line(count.tooFar, "Pominięto terminy z datą po roku " + std::to_string(kLastCalendarYear) +
                           ", których terminarz nie obsługuje");
    line(count.notUnderstood, "Pominięto terminy, których terminarz nie rozumie (bez daty początku, nieznana "
                              "reguła powtarzania, zmiana powtórzenia bez swojej serii)");
    line(count.otherEntries, "Pominięto wpisy, które nie są terminami (zadania, wpisy dziennika)");
    return text;
}

ImportTooLarge::ImportTooLarge(std::uintmax_t bytes, std::uintmax_t limit)
    : std::runtime_error("Nie wczytano terminów: terminarz miałby po imporcie " + megabytes(bytes) +
                         " MB, a program otwiera pliki do " + megabytes(limit) +
                         " MB. Wczytaj mniej terminów (np. plik z krótszego okresu) albo usuń stare terminy i "
                         "spróbuj jeszcze raz. Terminarz pozostał bez zmian.")
{
}

} // namespace wirtello
