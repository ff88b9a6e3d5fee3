#pragma once

// The dates on which an appointment takes place, its recurrence (RRULE)
// expanded in wall-clock time of its own zone (the local one unless the
// file gave another), so a weekly 9:00 stays at 9:00 across a daylight
// saving change. No Qt here.

#include "companions/calendar_kit/calendar_document.h"

#include <vector>

namespace wirtello {

struct EventOccurrence {
    CalendarMoment start;
    CalendarMoment end;
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
// (both included), in order. The work is bounded by the length of the range,
// not of the series.
EventOccurrences expandOccurrences(const CalendarEvent& event, CalendarDate first, CalendarDate last);

// The same without telling whether the list was cut.
std::vector<EventOccurrence> occurrencesBetween(const CalendarEvent& event, CalendarDate first, CalendarDate last);

} // namespace wirtello
