#include "companions/calendar_kit/calendar_time.h"

#include "companions/calendar_kit/libical_zone.h"

#include <libical/ical.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace wirtello {

namespace {

icaltimetype asIcalDate(CalendarDate date)
{
    icaltimetype t = icaltime_null_date();
    t.year = date.year;
    t.month = date.month;
    t.day = date.day;
    return t;
}

// "…/zoneinfo/Europe/Warsaw" → "Europe/Warsaw".
std::string afterZoneinfo(const std::string& path)
{
    const std::string marker = "zoneinfo/";
    const std::size_t at = path.find(marker);
    return at == std::string::npos ? path : path.substr(at + marker.size());
}

std::string trimmed(std::string text)
{
    const char* blanks = " \t\r\n";
    text.erase(0, text.find_first_not_of(blanks));
    text.erase(text.find_last_not_of(blanks) + 1);
    return text;
}

std::string systemZoneName()
{
    if (const char* tz = std::getenv("TZ"); tz && *tz)
        return afterZoneinfo(trimmed(*tz == ':' ? tz + 1 : tz));
    std::ifstream timezoneFile("/etc/timezone");
    std::string line;
    if (timezoneFile && std::getline(timezoneFile, line) && !trimmed(line).empty())
        return trimmed(line);
    std::error_code error;
    const std::filesystem::path target = std::filesystem::read_symlink("/etc/localtime", error);
    return error ? std::string() : afterZoneinfo(target.string());
}

} // namespace

CalendarDate addDays(CalendarDate date, int days)
{
    icaltimetype t = asIcalDate(date);
    icaltime_adjust(&t, days, 0, 0, 0);
    return {t.year, t.month, t.day};
}

CalendarMoment addMinutes(const CalendarMoment& moment, long long minutes)
{
    constexpr long long kDay = 24 * 60;
    long long total = moment.time.hour * 60 + moment.time.minute + minutes;
    long long days = total / kDay;
    total %= kDay;
    if (total < 0) {
        total += kDay;
        --days;
    }
    return {addDays(moment.date, static_cast<int>(days)), {static_cast<int>(total / 60), static_cast<int>(total % 60)}};
}

long long minutesBetween(const CalendarMoment& from, const CalendarMoment& to)
{
    const auto dayNumber = [](CalendarDate d) {
        using namespace std::chrono;
        return static_cast<long long>(
            sys_days(year_month_day{year(d.year), month(static_cast<unsigned>(d.month)), day(static_cast<unsigned>(d.day))})
                .time_since_epoch()
                .count());
    };
    return (dayNumber(to.date) - dayNumber(from.date)) * 24 * 60 + (to.time.hour - from.time.hour) * 60 +
           (to.time.minute - from.time.minute);
}

int weekdayOf(CalendarDate date)
{
    const int sundayFirst = icaltime_day_of_week(asIcalDate(date)); // 1 = Sunday
    return sundayFirst == 1 ? 7 : sundayFirst - 1;
}

bool isValidDate(CalendarDate date)
{
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= icaltime_days_in_month(date.month, date.year);
}

bool isUtcZoneName(const std::string& name)
{
    return name == "UTC" || name == "Etc/UTC" || name == "GMT" || name == "Etc/GMT" || name == "Universal" ||
           name == "Etc/Universal" || name == "Zulu" || name == "Etc/Zulu" || name == "UCT" || name == "Etc/UCT";
}

std::string localZoneName()
{
    const std::string name = systemZoneName();
    if (isUtcZoneName(name))
        return "UTC";
    if (!name.empty() && icaltimezone_get_builtin_timezone(name.c_str()))
        return name;
    return "Europe/Warsaw";
}

icaltimezone* localZone()
{
    const std::string name = localZoneName();
    if (name == "UTC")
        return icaltimezone_get_utc_timezone();
    return icaltimezone_get_builtin_timezone(name.c_str());
}

icaltimezone* zoneNamed(const std::string& name)
{
    if (isUtcZoneName(name))
        return icaltimezone_get_utc_timezone();
    return name.empty() ? nullptr : icaltimezone_get_builtin_timezone(name.c_str());
}

std::string dateText(CalendarDate date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

std::string timeText(ClockTime time)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", time.hour, time.minute);
    return text;
}

} // namespace wirtello
