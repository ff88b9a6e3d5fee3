#include "companions/calendar_kit/recurrence.h"

#include "companions/calendar_kit/libical_zone.h"

#include <libical/ical.h>

#include <algorithm>
#include <chrono>
#include <optional>

namespace wirtello {

namespace {

// The most rule steps one range may take: a rule that cannot jump to the range
// (one with COUNT and BY… parts) stops there and says so.
constexpr int kMostSteps = 200000;
constexpr long long kDaySeconds = 24 * 60 * 60;

long long dayNumber(CalendarDate date)
{
    using namespace std::chrono;
    return sys_days(year_month_day{year(date.year), month(static_cast<unsigned>(date.month)),
                                   day(static_cast<unsigned>(date.day))})
        .time_since_epoch()
        .count();
}

// A wall-clock time without zone. A date alone has its clock at zero: libical's
// null date has -1 there, which throws its iterator off by hours a step.
icaltimetype wallClock(const CalendarMoment& moment, bool wholeDay)
{
    icaltimetype t = icaltime_null_time();
    t.year = moment.date.year;
    t.month = moment.date.month;
    t.day = moment.date.day;
    if (wholeDay) {
        t.is_date = 1;
    } else {
        t.hour = moment.time.hour;
        t.minute = moment.time.minute;
    }
    return t;
}

long long secondsOf(const icaltimetype& t)
{
    return dayNumber({t.year, t.month, t.day}) * kDaySeconds + (t.is_date ? 0 : t.hour * 3600 + t.minute * 60 + t.second);
}

icaltimetype plusSeconds(icaltimetype t, long long seconds)
{
    icaltime_adjust(&t, static_cast<int>(seconds / kDaySeconds), 0, 0, static_cast<int>(seconds % kDaySeconds));
    return t;
}

CalendarMoment momentOf(icaltimetype t)
{
    return {{t.year, t.month, t.day}, {t.is_date ? 0 : t.hour, t.is_date ? 0 : t.minute}};
}

// Between the local wall clock and the wall clock of the event's own zone.
class Clock {
public:
    explicit Clock(const CalendarEvent& event) : local_(localZone())
    {
        if (!event.wholeDay && !event.recurrence.empty() && !event.zone.empty())
            zone_ = zoneNamed(event.zone);
        if (zone_ == local_)
            zone_ = nullptr;
    }
    icaltimetype toEvent(icaltimetype localTime) const
    {
        if (!zone_)
            return localTime;
        localTime.zone = local_;
        icaltimetype t = icaltime_convert_to_zone(localTime, zone_);
        t.zone = nullptr;
        return t;
    }
    CalendarMoment toLocal(icaltimetype eventTime) const
    {
        if (zone_) {
            eventTime.zone = zone_;
            eventTime = icaltime_convert_to_zone(eventTime, local_);
        }
        return momentOf(eventTime);
    }

private:
    icaltimezone* local_;
    icaltimezone* zone_ = nullptr;
};

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

bool hasByParts(const icalrecurrencetype& rule)
{
    for (const short* part : {rule.by_second, rule.by_minute, rule.by_hour, rule.by_day, rule.by_month_day,
                              rule.by_year_day, rule.by_week_no, rule.by_month, rule.by_set_pos}) {
        if (part[0] != ICAL_RECURRENCE_ARRAY_MAX)
            return true;
    }
    return false;
}

// The length of one period of the rule in wall-clock seconds; 0 for months
// and years, which have no fixed length.
long long periodSeconds(const icalrecurrencetype& rule)
{
    const long long interval = std::max<long long>(1, rule.interval);
    switch (rule.freq) {
    case ICAL_SECONDLY_RECURRENCE:
        return interval;
    case ICAL_MINUTELY_RECURRENCE:
        return 60 * interval;
    case ICAL_HOURLY_RECURRENCE:
        return 3600 * interval;
    case ICAL_DAILY_RECURRENCE:
        return kDaySeconds * interval;
    case ICAL_WEEKLY_RECURRENCE:
        return 7 * kDaySeconds * interval;
    default:
        return 0;
    }
}

// libical's iterator, started again a whole number of periods after the
// series' start when the range lies far ahead, so that the steps before the
// range are not taken one by one. (libical's own set_start loses the
// period's alignment when INTERVAL is above 1.)
class Walk {
public:
    Walk(const icalrecurrencetype& rule, icaltimetype start, long long period)
        : rule_(rule), start_(start), period_(rule.count > 0 ? 0 : period)
    {
    }
    Walk(const Walk&) = delete;
    Walk& operator=(const Walk&) = delete;
    ~Walk() { release(); }

    bool canJump() const { return period_ > 0; }
    bool started() const { return steps_ != nullptr; }

    // Goes on from a period start before `target` (wall-clock seconds of the
    // event's zone), or from the series' start when that is near.
    void startBefore(long long target)
    {
        release();
        icaltimetype from = start_;
        floor_.reset();
        const long long ahead = target - secondsOf(start_);
        if (period_ > 0 && ahead > 2 * period_) {
            from = plusSeconds(start_, (ahead / period_ - 1) * period_);
            // libical gives the start it is handed first even when the rule
            // does not take it; only the series' own start counts.
            floor_ = from;
        }
        steps_ = icalrecur_iterator_new(rule_, from);
    }

    // The next start, or a null time at the end.
    icaltimetype next()
    {
        while (steps_) {
            const icaltimetype t = icalrecur_iterator_next(steps_);
            if (icaltime_is_null_time(t))
                return t;
            if (!floor_ || icaltime_compare(t, *floor_) > 0)
                return t;
        }
        return icaltime_null_time();
    }

private:
    void release()
    {
        if (steps_)
            icalrecur_iterator_free(steps_);
        steps_ = nullptr;
    }

    icalrecurrencetype rule_;
    icaltimetype start_;
    long long period_;
    icalrecur_iterator* steps_ = nullptr;
    std::optional<icaltimetype> floor_;
};

} // namespace

EventOccurrences expandOccurrences(const CalendarEvent& event, CalendarDate first, CalendarDate last)
{
    EventOccurrences result;
    const auto once = [&] {
        const EventOccurrence occurrence{event.start, event.end};
        if (overlaps(occurrence, first, last, event.wholeDay))
            result.occurrences.push_back(occurrence);
        return result;
    };
    if (event.recurrence.empty())
        return once();
    icalrecurrencetype rule = icalrecurrencetype_from_string(event.recurrence.c_str());
    if (rule.freq == ICAL_NO_RECURRENCE)
        return once();

    const Clock clock(event);
    const icaltimetype start = clock.toEvent(wallClock(event.start, event.wholeDay));
    const long long length =
        std::max(0LL, secondsOf(clock.toEvent(wallClock(event.end, event.wholeDay))) - secondsOf(start));
    const long long period = periodSeconds(rule);
    // COUNT of a rule without BY… parts ends at a known start: as UNTIL the
    // rule can jump ahead.
    if (rule.count > 0 && period > 0 && !hasByParts(rule)) {
        const long long lastStart = static_cast<long long>(rule.count - 1) * period;
        if (secondsOf(start) + lastStart < dayNumber({9999, 12, 31}) * kDaySeconds)
            rule.until = plusSeconds(start, lastStart);
        rule.count = 0;
    }
    Walk walk(rule, start, period);
    // From the first start that can still reach into the range.
    walk.startBefore(secondsOf(clock.toEvent(wallClock({first, {}}, false))) - length);

    icaltimetype previous = icaltime_null_time();
    CalendarDate day{};
    int onDay = 0;
    std::optional<CalendarDate> jumpedFrom;
    for (int step = 0;; ++step) {
        if (step == kMostSteps) {
            result.cut = true;
            break;
        }
        const icaltimetype next = walk.next();
        if (icaltime_is_null_time(next))
            break;
        // libical gives the start again when the rule's first match falls on it (FREQ=HOURLY;BYHOUR=…).
        if (!icaltime_is_null_time(previous) && icaltime_compare(next, previous) <= 0)
            continue;
        previous = next;
        const EventOccurrence occurrence{clock.toLocal(next), clock.toLocal(plusSeconds(next, length))};
        if (occurrence.start.date > last)
            break;
        if (!overlaps(occurrence, first, last, event.wholeDay))
            continue;
        // Seconds are not shown, and two wall-clock times of the event's zone
        // can be one local moment (a skipped hour): one occurrence a moment.
        if (!result.occurrences.empty() && occurrence.start <= result.occurrences.back().start) {
            if (walk.canJump() && period < 60) {
                icaltimetype minute = next;
                minute.second = 0;
                walk.startBefore(secondsOf(minute) + 60);
            }
            continue;
        }
        if (occurrence.start.date != day) {
            day = occurrence.start.date;
            onDay = 0;
        }
        if (++onDay > kMostOccurrencesPerDay) {
            result.cut = true;
            // The rest of the day is skipped, not walked second by second.
            if (walk.canJump() && jumpedFrom != day) {
                jumpedFrom = day;
                walk.startBefore(secondsOf(clock.toEvent(wallClock({addDays(day, 1), {}}, false))));
            }
            continue;
        }
        result.occurrences.push_back(occurrence);
    }
    return result;
}

std::vector<EventOccurrence> occurrencesBetween(const CalendarEvent& event, CalendarDate first, CalendarDate last)
{
    return expandOccurrences(event, first, last).occurrences;
}

} // namespace wirtello
