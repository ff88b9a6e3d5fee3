#pragma once

// The reminders the main program shows: those of the scheduler's
// appointments (their VALARM) and the due tasks of the contacts' task
// calendars, found between two moments, and their texts. No Qt here.

#include "companions/calendar_kit/calendar_document.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wirtello {

struct Reminder {
    enum class Source { Appointment, Task };
    Source source = Source::Appointment;
    // Names it in the record of shown reminders; an item moved to another
    // time gets a new one, so it is reminded of again.
    std::string key;
    std::string uid;
    std::string taskFile; // the contact's task calendar ("007.adr")
    CalendarMoment at;    // when it falls due
    CalendarMoment item;  // the occurrence's start, the task's due moment
    bool wholeDay = false;
    std::string title;
    std::string place;    // of an appointment
    std::string contact;  // the calendar's name (X-WR-CALNAME) of a task
    std::string address;  // and its address
};

// A contact's task calendar as read.
struct ContactTasks {
    std::string file; // "007.adr"
    std::string name;
    std::string address;
    std::vector<CalendarTask> tasks;
};

struct ReminderSources {
    std::vector<CalendarEvent> appointments;
    std::vector<ContactTasks> taskCalendars;
};

// A task due on a day without a time is reminded of at this hour.
inline constexpr ClockTime kWholeDayTaskReminder{8, 0};

// The reminders falling due from `from` to `to` (both included), by time.
// Done tasks have none; a repeating task's is that of its open occurrence.
std::vector<Reminder> remindersBetween(const ReminderSources& sources, const CalendarMoment& from,
                                       const CalendarMoment& to);

// "2026-12-07T09:05" and back; nothing for any other text.
std::string momentText(const CalendarMoment& moment);
std::optional<CalendarMoment> momentOfText(std::string_view text);

// The notification's heading and text (Polish): "Termin: Narada" /
// "Zadanie: Oddzwonić", "Przegapione — …" for one whose time passed while
// the program was closed.
std::string reminderSummary(const Reminder& reminder, bool missed);
std::string reminderBody(const Reminder& reminder);

// The command line (UTF-8) that opens the scheduler or the contact's task
// calendar at the item, as the main window's buttons start them.
std::string reminderOpenCommand(const Reminder& reminder);

} // namespace wirtello
