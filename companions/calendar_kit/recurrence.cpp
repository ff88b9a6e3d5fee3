#include "companions/calendar_kit/recurrence.h"

#include <libical/ical.h>

namespace wirtello {

namespace {

// A rule like FREQ=SECONDLY without an end must not keep a window busy.
constexpr int kMostSteps = 200000;

icaltimetype floating(const CalendarMoment& moment, bool wholeDay)
{
    icaltimetype t = wholeDay ? icaltime_null_date() : icaltime_null_time();
    t.year = moment.date.year;
    t.month = moment.date.month;
    t.day = moment.date.day;
    if (!wholeDay) {
        t.hour = moment.time.hour;
        t.minute = moment.time.minute;
    }
    return t;
}

CalendarMoment momentOf(icaltimetype t)
{
    return {{t.year, t.month, t.day}, {t.is_date ? 0 : t.hour, t.is_date ? 0 : t.minute}};
}

bool overlaps(const EventOccurrence& occurrence, CalendarDate first, CalendarDate last, bool wholeDay)
{
    if (occurrence.start.date > last)
        return false;
    if (occurrence.end <= occurrence.start)
        return occurrence.start.date >= first;
    // The end is exclusive: an appointment ending at midnight is not on the next day.
    const CalendarMoment firstMoment{first, {}};
    return occurrence.end > firstMoment && (wholeDay || occurrence.end.date >= first);
}

} // namespace

std::vector<EventOccurrence> occurrencesBetween(const CalendarEvent& event, CalendarDate first, CalendarDate last)
{
    std::vector<EventOccurrence> result;
    const icaltimetype start = floating(event.start, event.wholeDay);
    const icaldurationtype length = icaltime_subtract(floating(event.end, event.wholeDay), start);
    const auto add = [&](icaltimetype occurrenceStart) {
        const EventOccurrence occurrence{momentOf(occurrenceStart), momentOf(icaltime_add(occurrenceStart, length))};
        if (overlaps(occurrence, first, last, event.wholeDay))
            result.push_back(occurrence);
        return occurrence.start.date <= last;
    };
    if (event.recurrence.empty()) {
        add(start);
        return result;
    }
    const icalrecurrencetype rule = icalrecurrencetype_from_string(event.recurrence.c_str());
    if (rule.freq == ICAL_NO_RECURRENCE) {
        add(start);
        return result;
    }
    icalrecur_iterator* steps = icalrecur_iterator_new(rule, start);
    if (!steps) {
        add(start);
        return result;
    }
    icaltimetype previous = icaltime_null_time();
    for (int step = 0; step < kMostSteps; ++step) {
        const icaltimetype next = icalrecur_iterator_next(steps);
        if (icaltime_is_null_time(next))
            break;
        // libical gives the start again when the rule's first match falls on it (FREQ=HOURLY;BYHOUR=…).
        if (!icaltime_is_null_time(previous) && icaltime_compare(next, previous) <= 0)
            continue;
        previous = next;
        if (!add(next))
            break;
    }
    icalrecur_iterator_free(steps);
    return result;
}

} // namespace wirtello
