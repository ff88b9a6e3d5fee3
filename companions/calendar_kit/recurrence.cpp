#include "companions/calendar_kit/recurrence.h"

#include "companions/calendar_kit/libical_zone.h"

#include <libical/ical.h>

#include <algorithm>
#include <cstdlib>
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
    // A UTC time (an UNTIL) as a wall-clock time of the event's zone, as the
    // iterator walks without zones.
    icaltimetype fromUtc(icaltimetype utcTime) const
    {
        icaltimetype t = icaltime_convert_to_zone(utcTime, zone_ ? zone_ : local_);
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

// The occurrences of the rule alone (and the series' start), without added,
// left-out or changed ones.
EventOccurrences ruleOccurrences(const CalendarEvent& event, CalendarDate first, CalendarDate last)
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
    if (!icaltime_is_null_time(rule.until) && !rule.until.is_date && icaltime_is_utc(rule.until))
        rule.until = clock.fromUtc(rule.until);
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

bool sameStart(const CalendarEvent& event, const CalendarMoment& a, const CalendarMoment& b)
{
    return event.wholeDay ? a.date == b.date : a == b;
}

bool leftOut(const CalendarEvent& event, const CalendarMoment& start)
{
    return std::ranges::any_of(event.leftOut, [&](const CalendarMoment& m) { return sameStart(event, m, start); }) ||
           std::ranges::find(event.leftOutDays, start.date) != event.leftOutDays.end();
}

EventOccurrence withTexts(EventOccurrence occurrence, const CalendarEvent& event)
{
    occurrence.title = event.title;
    occurrence.place = event.place;
    occurrence.note = event.note;
    occurrence.reminderMinutes = event.reminderMinutes;
    return occurrence;
}

EventOccurrence changedAs(const EventOccurrence& original, const OccurrenceChange& change, bool exact)
{
    EventOccurrence occurrence = original;
    if (exact) {
        occurrence.start = change.start;
        occurrence.end = change.end;
    } else {
        // A change of this and the later occurrences moves each by its own shift.
        const long long shift = minutesBetween(change.of, change.start);
        occurrence.start = addMinutes(original.start, shift);
        occurrence.end = addMinutes(original.start, shift + minutesBetween(change.start, change.end));
    }
    occurrence.changed = true;
    occurrence.title = change.title;
    occurrence.place = change.place;
    occurrence.note = change.note;
    occurrence.reminderMinutes = change.reminderMinutes;
    return occurrence;
}

} // namespace

EventOccurrences expandOccurrences(const CalendarEvent& event, CalendarDate first, CalendarDate last)
{
    // A changed occurrence may lie this many days from the start it replaces.
    int reach = 0;
    for (const OccurrenceChange& change : event.changes)
        reach = std::max<long long>(reach, std::abs(dayNumber(change.start.date) - dayNumber(change.of.date)) + 1);
    reach = std::min(reach, 366 * 5);
    const CalendarDate wideFirst = reach ? addDays(first, -reach) : first;
    const CalendarDate wideLast = reach ? addDays(last, reach) : last;
    EventOccurrences raw = ruleOccurrences(event, wideFirst, wideLast);
    // A series may repeat by its rule, by added dates, or by both.
    const bool series = !event.recurrence.empty() || !event.added.empty();
    if (series) {
        const long long length = std::max(0LL, minutesBetween(event.start, event.end));
        for (const CalendarMoment& start : event.added) {
            const EventOccurrence occurrence{start, addMinutes(start, length)};
            if (overlaps(occurrence, wideFirst, wideLast, event.wholeDay))
                raw.occurrences.push_back(occurrence);
        }
        std::ranges::stable_sort(raw.occurrences, {}, &EventOccurrence::start);
        const auto sameStart = [](const EventOccurrence& a, const EventOccurrence& b) { return a.start == b.start; };
        raw.occurrences.erase(std::unique(raw.occurrences.begin(), raw.occurrences.end(), sameStart),
                              raw.occurrences.end());
    }

    EventOccurrences result;
    result.cut = raw.cut;
    for (EventOccurrence& occurrence : raw.occurrences) {
        occurrence.recurrenceId = occurrence.start;
        if (series && leftOut(event, occurrence.start))
            continue;
        const OccurrenceChange* exact = nullptr;
        const OccurrenceChange* onward = nullptr;
        for (const OccurrenceChange& change : event.changes) {
            if (sameStart(event, change.of, occurrence.start))
                exact = &change;
            else if (change.thisAndFuture && change.of < occurrence.start && (!onward || onward->of < change.of))
                onward = &change;
        }
        EventOccurrence shown = exact    ? changedAs(occurrence, *exact, true)
                                : onward ? changedAs(occurrence, *onward, false)
                                         : withTexts(occurrence, event);
        if (overlaps(shown, first, last, event.wholeDay))
            result.occurrences.push_back(std::move(shown));
    }
    if (reach)
        std::ranges::stable_sort(result.occurrences, {}, &EventOccurrence::start);
    return result;
}

std::vector<EventOccurrence> occurrencesBetween(const CalendarEvent& event, CalendarDate first, CalendarDate last)
{
    return expandOccurrences(event, first, last).occurrences;
}

bool isOccurrenceStart(const CalendarEvent& event, const CalendarMoment& start)
{
    if (sameStart(event, event.start, start))
        return true;
    if (std::ranges::any_of(event.added, [&](const CalendarMoment& m) { return sameStart(event, m, start); }))
        return true;
    if (event.recurrence.empty())
        return false;
    const EventOccurrences around = ruleOccurrences(event, addDays(start.date, -1), addDays(start.date, 1));
    return std::ranges::any_of(around.occurrences,
                               [&](const EventOccurrence& o) { return sameStart(event, o.start, start); });
}

int occurrencesBefore(const CalendarEvent& event, const CalendarMoment& start, int limit)
{
    if (event.recurrence.empty())
        return event.start < start ? 1 : 0;
    if (icalrecurrencetype_from_string(event.recurrence.c_str()).freq == ICAL_NO_RECURRENCE)
        return event.start < start ? 1 : 0;
    const Clock clock(event);
    icalrecurrencetype rule = icalrecurrencetype_from_string(event.recurrence.c_str());
    if (!icaltime_is_null_time(rule.until) && !rule.until.is_date && icaltime_is_utc(rule.until))
        rule.until = clock.fromUtc(rule.until);
    icalrecur_iterator* steps = icalrecur_iterator_new(rule, clock.toEvent(wallClock(event.start, event.wholeDay)));
    int count = 0;
    icaltimetype previous = icaltime_null_time();
    while (steps && count < limit) {
        const icaltimetype next = icalrecur_iterator_next(steps);
        if (icaltime_is_null_time(next))
            break;
        if (!icaltime_is_null_time(previous) && icaltime_compare(next, previous) <= 0)
            continue;
        previous = next;
        if (!(clock.toLocal(next) < start))
            break;
        ++count;
    }
    if (steps)
        icalrecur_iterator_free(steps);
    return count;
}

} // namespace wirtello
