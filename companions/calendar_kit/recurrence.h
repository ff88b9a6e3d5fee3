#pragma once

// The dates on which an appointment takes place, its recurrence (RRULE)
// expanded in wall-clock time of the local zone, so a weekly 9:00 stays at
// 9:00 across a daylight saving change. No Qt here.

#include "companions/calendar_kit/calendar_document.h"

#include <vector>

namespace wirtello {

struct EventOccurrence {
    CalendarMoment start;
    CalendarMoment end;
};

// The occurrences of `event` that fall on a day from `first` to `last`
// (both included), in order.
std::vector<EventOccurrence> occurrencesBetween(const CalendarEvent& event, CalendarDate first, CalendarDate last);

} // namespace wirtello
