#pragma once

// The dates on which an appointment takes place, its recurrence (RRULE)
// expanded in wall-clock time of its own zone (the local one unless the
// file gave another), so a weekly 9:00 stays at 9:00 across a daylight
// saving change. No Qt here.

#include "companions/calendar_kit/calendar_document.h"

#include <optional>
#include <string>
#include <vector>

namespace wirtello {

struct EventOccurrence {
    CalendarMoment start;
    CalendarMoment end;
    // The start the series gives this occurrence (its RECURRENCE-ID); the
    // start itself unless the occurrence was moved on its own.
    CalendarMoment recurrenceId = {};
    // The occurrence was changed on its own; its texts and reminder below
    // are then its own, otherwise those of the series.
    bool changed = false;
    std::string title = {};
    std::string place = {};
    std::string note = {};
    std::optional<int> reminderMinutes = {};
};

// One appointment shows at most this many times on one day; a rule that
// repeats more often (FREQ=SECONDLY) is cut there.
inline constexpr int kMostOccurrencesPerDay = 96;

struct EventOccurrences {
    std::vector<EventOccurrence> occurrences;
    // Not every occurrence in the range is listed: too many on a day, or
    // the rule could not be followed that far with bounded work.
    bool cut = false;
};

// The occurrences of `event` that fall on a day from `first` to `last`
// (both included), in order: those of its rule and its added dates (RDATE),
// without those left out (EXDATE), changed occurrences at their own time.
// The work is bounded by the length of the range, not of the series.
EventOccurrences expandOccurrences(const CalendarEvent& event, CalendarDate first, CalendarDate last);

// The same without telling whether the list was cut.
std::vector<EventOccurrence> occurrencesBetween(const CalendarEvent& event, CalendarDate first, CalendarDate last);

// Whether the series (its rule or an added date, before anything is left
// out or changed) has an occurrence starting at `start`.
bool isOccurrenceStart(const CalendarEvent& event, const CalendarMoment& start);

// How many occurrences the rule gives before `start` (counting those left
// out), for cutting a series with COUNT; at most `limit`.
int occurrencesBefore(const CalendarEvent& event, const CalendarMoment& start, int limit);

} // namespace wirtello
