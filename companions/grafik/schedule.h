#pragma once

// The office's appointments as the scheduler shows them: which appointment
// falls on which day of a day, week or month view, the reminders due now,
// the lines of a printed week, the repeat choices of the form and the
// import of another program's calendar. No Qt here.

#include "companions/calendar_kit/calendar_document.h"
#include "companions/calendar_kit/recurrence.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace wirtello {

// One appointment on one day: which of the events, and which of its occurrences.
struct DayAppointment {
    std::size_t event = 0;
    EventOccurrence occurrence;
};

// For each day from `first` to `last`: the appointments on it, whole-day ones
// first, then by start time. A recurring appointment is expanded in
// wall-clock time (kept at its hour across a daylight saving change).
// The events whose rule gave more than could be shown are added to `cut`.
std::vector<std::vector<DayAppointment>> appointmentsByDay(const std::vector<CalendarEvent>& events,
                                                           CalendarDate first, CalendarDate last,
                                                           std::vector<std::size_t>* cut = nullptr);

// The Monday of the week of `date`.
CalendarDate weekStart(CalendarDate date);

// The month view is six weeks from the Monday on or before the month's first day.
inline constexpr int kMonthViewDays = 42;
CalendarDate monthViewStart(int year, int month);

// "09:00–10:30 Title, place" for `day`; a whole-day appointment reads "cały
// dzień Title", one that began on an earlier day starts "… do 10:30".
std::string appointmentLine(const CalendarEvent& event, const EventOccurrence& occurrence, CalendarDate day);

// The same on one line of a month view's cell: "09:00 Title", "cały dzień: Title".
std::string compactAppointmentLine(const CalendarEvent& event, const EventOccurrence& occurrence, CalendarDate day);

// Polish names: "poniedziałek", short "pon", month "grudzień", "grudnia".
std::string weekdayName(CalendarDate date);
std::string weekdayShortName(int weekday); // 1 = Monday
std::string monthName(int month);
// "7.12.2026"
std::string shortDateText(CalendarDate date);

// An occurrence whose reminder is due at `now`: its reminder time has come
// and the appointment has not begun.
struct DueReminder {
    std::size_t event = 0;
    CalendarMoment start;
    // Identifies the reminder so it is shown once, here and by the main
    // program's reminders: "termin|<uid>|<start>".
    std::string key;
};
std::vector<DueReminder> dueReminders(const std::vector<CalendarEvent>& events, const CalendarMoment& now);

// The text of a reminder note at `now`.
std::string reminderText(const CalendarEvent& event, const CalendarMoment& start, const CalendarMoment& now);

// The printed week from `monday`: a heading and one block per day.
std::string weekHeading(const std::string& title, CalendarDate monday);
std::vector<std::string> weekLines(const std::vector<CalendarEvent>& events, CalendarDate monday);

// How the form offers a recurrence.
enum class Repeat { None, Daily, Weekly, Monthly, Yearly, Other };
// The RRULE of a choice ("" for None; Other has no rule of its own).
std::string ruleOf(Repeat repeat);
// The choice showing `rule`: a plain "FREQ=…" (INTERVAL=1 allowed) is one of
// the choices, anything more (an end, days, an interval) is Other.
Repeat repeatOf(const std::string& rule);

// The rule of a series for the form's repeat choice: "co 2 tygodnie, ostatni raz
// 29.12.2026", "codziennie, 10 razy"; a rule with more parts as it is written.
std::string repeatDescription(const CalendarEvent& event);

// What an import did.
using ImportCount = EventImport;

// Takes the appointments of `from` into `into`, as they are written there.
ImportCount importAppointments(CalendarDocument& into, const CalendarDocument& from,
                               std::chrono::system_clock::time_point now);

// "Wczytano terminy z pliku „x.ics”: nowe 2, zmienione 0, pominięte 1." and a
// line for each kind of thing changed or left out.
std::string importReport(const std::string& fileName, const ImportCount& count);

// The import that would make the calendar larger than its reader takes;
// what() says what to do (Polish).
class ImportTooLarge : public std::runtime_error {
public:
    ImportTooLarge(std::uintmax_t bytes, std::uintmax_t limit);
};

} // namespace wirtello
