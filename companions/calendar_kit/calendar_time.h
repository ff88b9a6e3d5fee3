#pragma once

// Calendar dates and wall-clock times in the local time zone, as the time
// companions show them. No Qt here.

#include <compare>
#include <string>

namespace wirtello {

struct CalendarDate {
    int year = 0;
    int month = 0; // 1–12
    int day = 0;   // 1–31
    auto operator<=>(const CalendarDate&) const = default;
};

struct ClockTime {
    int hour = 0;
    int minute = 0;
    auto operator<=>(const ClockTime&) const = default;
};

// A wall-clock moment in the local time zone.
struct CalendarMoment {
    CalendarDate date;
    ClockTime time;
    auto operator<=>(const CalendarMoment&) const = default;
};

// The day `days` after `date` (before it when negative).
CalendarDate addDays(CalendarDate date, int days);

// The moment `minutes` of wall-clock time after `moment` (before it when negative).
CalendarMoment addMinutes(const CalendarMoment& moment, long long minutes);

// The minutes of wall-clock time from `from` to `to`, negative when `to` is earlier.
long long minutesBetween(const CalendarMoment& from, const CalendarMoment& to);

// 1 = Monday … 7 = Sunday.
int weekdayOf(CalendarDate date);

// Whether the date exists in the calendar.
bool isValidDate(CalendarDate date);

// The name of the local time zone ("Europe/Warsaw"): the TZ variable, then
// /etc/timezone, then the /etc/localtime link; a name libical does not know
// gives "Europe/Warsaw". "UTC" when the system runs on UTC.
std::string localZoneName();

// "2026-12-07" and "09:05".
std::string dateText(CalendarDate date);
std::string timeText(ClockTime time);

} // namespace wirtello
