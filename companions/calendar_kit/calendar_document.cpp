#include "companions/calendar_kit/calendar_document.h"

#include "companions/calendar_kit/libical_zone.h"
#include "companions/calendar_kit/recurrence.h"

#include <libical/ical.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <random>
#include <unordered_map>

namespace wirtello {

namespace {

constexpr const char* kNameProperty = "X-WR-CALNAME";
constexpr const char* kAddressProperty = "X-WIRTELLO-ADDRESS";
constexpr const char* kContactProperty = "X-WIRTELLO-CONTACT";

// A text value as read: libical leaves out CR, backspace and form feed when
// writing one (also those its escapes \b and \f give), and blanks at either
// end of a value do not survive its reading, so none of them is read.
std::string valueText(const char* value)
{
    std::string text = value ? value : "";
    std::erase_if(text, [](char c) { return c == '\r' || c == '\b' || c == '\f'; });
    text.erase(0, text.find_first_not_of(" \t"));
    text.erase(text.find_last_not_of(" \t") + 1);
    return text;
}

// Empty for a task or appointment without a usable UID.
std::string uidOf(icalcomponent* component)
{
    return valueText(icalcomponent_get_uid(component));
}

std::string takeString(char* owned)
{
    std::string text = owned ? owned : "";
    std::free(owned);
    return text;
}

icaltimetype utcTime(std::chrono::system_clock::time_point now)
{
    return icaltime_from_timet_with_zone(std::chrono::system_clock::to_time_t(now), 0,
                                         icaltimezone_get_utc_timezone());
}

void removeProperties(icalcomponent* component, icalproperty_kind kind)
{
    while (icalproperty* property = icalcomponent_get_first_property(component, kind)) {
        icalcomponent_remove_property(component, property);
        icalproperty_free(property);
    }
}

icalproperty* findX(icalcomponent* component, const char* name)
{
    for (icalproperty* p = icalcomponent_get_first_property(component, ICAL_X_PROPERTY); p;
         p = icalcomponent_get_next_property(component, ICAL_X_PROPERTY)) {
        if (const char* xName = icalproperty_get_x_name(p); xName && std::string_view(xName) == name)
            return p;
    }
    return nullptr;
}

std::string xText(icalcomponent* component, const char* name)
{
    icalproperty* property = findX(component, name);
    return valueText(property ? icalproperty_get_x(property) : nullptr);
}

void setX(icalcomponent* component, const char* name, const std::string& value)
{
    while (icalproperty* old = findX(component, name)) {
        icalcomponent_remove_property(component, old);
        icalproperty_free(old);
    }
    if (value.empty())
        return;
    icalproperty* property = icalproperty_new_x(value.c_str());
    icalproperty_set_x_name(property, name);
    icalcomponent_add_property(component, property);
}

std::string textOf(icalcomponent* component, icalproperty_kind kind)
{
    icalproperty* property = icalcomponent_get_first_property(component, kind);
    return valueText(property ? icalvalue_get_text(icalproperty_get_value(property)) : nullptr);
}

void setText(icalcomponent* component, icalproperty_kind kind, const std::string& value)
{
    removeProperties(component, kind);
    if (value.empty())
        return;
    icalproperty* property = icalproperty_new(kind);
    icalproperty_set_value(property, icalvalue_new_text(value.c_str()));
    icalcomponent_add_property(component, property);
}

// The VTIMEZONE of a zone libical knows under its plain name, added once.
void ensureZone(icalcomponent* root, const std::string& zoneName)
{
    if (isUtcZoneName(zoneName) || icalcomponent_get_timezone(root, zoneName.c_str()))
        return;
    icaltimezone* zone = icaltimezone_get_builtin_timezone(zoneName.c_str());
    icalcomponent* definition = zone ? icaltimezone_get_component(zone) : nullptr;
    if (!definition)
        return;
    icalcomponent* copy = icalcomponent_new_clone(definition);
    // The rules since 1970 are enough for an office's dates and keep the file short.
    icaltimezone_truncate_vtimezone(copy, icaltime_from_string("19700101T000000Z"), icaltime_null_time(), 0);
    removeProperties(copy, ICAL_TZID_PROPERTY);
    icalcomponent_add_property(copy, icalproperty_new_tzid(zoneName.c_str()));
    icalcomponent_add_component(root, copy);
}

// DUE/DTSTART/DTEND: a date alone, or a wall-clock time of `zoneName` (the
// local zone unless given) with the zone's TZID.
void setTime(icalcomponent* root, icalcomponent* component, icalproperty_kind kind, CalendarDate date,
             std::optional<ClockTime> time, std::string zoneName = {})
{
    removeProperties(component, kind);
    icaltimetype value = time ? icaltime_null_time() : icaltime_null_date();
    value.year = date.year;
    value.month = date.month;
    value.day = date.day;
    if (time) {
        value.hour = time->hour;
        value.minute = time->minute;
    } else {
        value.hour = value.minute = value.second = 0;
    }
    if (zoneName.empty())
        zoneName = localZoneName();
    const bool utc = isUtcZoneName(zoneName);
    if (time && utc)
        value.zone = icaltimezone_get_utc_timezone();
    icalproperty* property = icalproperty_new(kind);
    icalproperty_set_value(property, time ? icalvalue_new_datetime(value) : icalvalue_new_date(value));
    if (time && !utc) {
        icalproperty_add_parameter(property, icalparameter_new_tzid(zoneName.c_str()));
        ensureZone(root, zoneName);
    }
    icalcomponent_add_property(component, property);
}

// The name libical knows for the zone of a time read from the file: its TZID,
// its X-LIC-LOCATION, or the TZID's tail ("/vendor/America/New_York"); "UTC"
// for UTC; empty when floating or unknown.
std::string knownZoneName(const icaltimetype& value)
{
    if (!value.zone)
        return {};
    auto* zone = const_cast<icaltimezone*>(value.zone);
    if (zone == icaltimezone_get_utc_timezone())
        return "UTC";
    for (const char* candidate : {icaltimezone_get_tzid(zone), icaltimezone_get_location(zone)}) {
        std::string name = candidate ? candidate : "";
        while (!name.empty()) {
            if (name.front() == '/')
                name.erase(0, 1);
            if (isUtcZoneName(name))
                return "UTC";
            if (!name.empty() && icaltimezone_get_builtin_timezone(name.c_str()))
                return name;
            const std::size_t slash = name.find('/');
            name = slash == std::string::npos ? std::string() : name.substr(slash + 1);
        }
    }
    return {};
}

// A time read from the file as a wall-clock time of the local zone.
std::optional<CalendarMoment> localMoment(icaltimetype value, bool& wholeDay)
{
    if (icaltime_is_null_time(value) || !icaltime_is_valid_time(value))
        return std::nullopt;
    wholeDay = value.is_date != 0;
    // A time of the local zone stays as written, even one a clock change skips.
    const char* zoneName = value.zone ? icaltimezone_get_tzid(const_cast<icaltimezone*>(value.zone)) : nullptr;
    if (!wholeDay && value.zone && !(zoneName && localZoneName() == zoneName))
        value = icaltime_convert_to_zone(value, localZone());
    CalendarMoment moment{{value.year, value.month, value.day}, {wholeDay ? 0 : value.hour, wholeDay ? 0 : value.minute}};
    if (!isValidDate(moment.date))
        return std::nullopt;
    return moment;
}

// A changed single occurrence of a series (RECURRENCE-ID), kept with its series.
bool isOccurrenceChange(icalcomponent* component)
{
    return icalcomponent_get_first_property(component, ICAL_RECURRENCEID_PROPERTY) != nullptr;
}

bool isEntry(icalcomponent* component)
{
    const icalcomponent_kind kind = icalcomponent_isa(component);
    return kind == ICAL_VTODO_COMPONENT || kind == ICAL_VEVENT_COMPONENT;
}

// The task or the series of `uid`, never one of its changed occurrences.
icalcomponent* findComponent(icalcomponent* root, const std::string& uid)
{
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_ANY_COMPONENT)) {
        if (isEntry(c) && !isOccurrenceChange(c) && !uid.empty() && uid == uidOf(c))
            return c;
    }
    return nullptr;
}

// The task or appointment with `uid`, or a new one of `kind`; stamped with `now`.
icalcomponent* componentFor(icalcomponent* root, icalcomponent_kind kind, std::string& uid,
                            std::chrono::system_clock::time_point now)
{
    icalcomponent* component = uid.empty() ? nullptr : findComponent(root, uid);
    if (component && icalcomponent_isa(component) != kind)
        throw CalendarDamaged("Identyfikator " + uid + " należy w pliku do innego rodzaju wpisu.");
    if (!component) {
        if (uid.empty())
            uid = newCalendarUid();
        component = icalcomponent_new(kind);
        icalcomponent_set_uid(component, uid.c_str());
        icalcomponent_add_property(component, icalproperty_new_created(utcTime(now)));
        icalcomponent_add_component(root, component);
    }
    icalcomponent_set_dtstamp(component, utcTime(now));
    removeProperties(component, ICAL_LASTMODIFIED_PROPERTY);
    icalcomponent_add_property(component, icalproperty_new_lastmodified(utcTime(now)));
    return component;
}

void setDone(icalcomponent* component, bool done, std::chrono::system_clock::time_point now)
{
    removeProperties(component, ICAL_STATUS_PROPERTY);
    removeProperties(component, ICAL_COMPLETED_PROPERTY);
    removeProperties(component, ICAL_PERCENTCOMPLETE_PROPERTY);
    icalcomponent_add_property(component, icalproperty_new_status(done ? ICAL_STATUS_COMPLETED : ICAL_STATUS_NEEDSACTION));
    if (done) {
        icalcomponent_add_property(component, icalproperty_new_completed(utcTime(now)));
        icalcomponent_add_property(component, icalproperty_new_percentcomplete(100));
    }
}

bool isDone(icalcomponent* component)
{
    return icalcomponent_get_status(component) == ICAL_STATUS_COMPLETED ||
           icalcomponent_get_first_property(component, ICAL_COMPLETED_PROPERTY) != nullptr;
}

std::optional<int> reminderOf(icalcomponent* event)
{
    icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT);
    icalproperty* trigger = alarm ? icalcomponent_get_first_property(alarm, ICAL_TRIGGER_PROPERTY) : nullptr;
    if (!trigger || icalproperty_get_first_parameter(trigger, ICAL_RELATED_PARAMETER))
        return std::nullopt;
    const icaltriggertype value = icalproperty_get_trigger(trigger);
    if (!icaltime_is_null_time(value.time))
        return std::nullopt;
    const int seconds = icaldurationtype_as_int(value.duration);
    return seconds <= 0 ? std::optional<int>(-seconds / 60) : std::nullopt;
}

void setReminder(icalcomponent* event, const std::optional<int>& minutes, const std::string& title)
{
    while (icalcomponent* alarm = icalcomponent_get_first_component(event, ICAL_VALARM_COMPONENT)) {
        icalcomponent_remove_component(event, alarm);
        icalcomponent_free(alarm);
    }
    if (!minutes)
        return;
    icalcomponent* alarm = icalcomponent_new(ICAL_VALARM_COMPONENT);
    icalcomponent_add_property(alarm, icalproperty_new_action(ICAL_ACTION_DISPLAY));
    icalcomponent_add_property(alarm, icalproperty_new_description(title.empty() ? "Przypomnienie" : title.c_str()));
    icaltriggertype trigger{};
    trigger.time = icaltime_null_time();
    trigger.duration = icaldurationtype_from_int(-*minutes * 60);
    icalcomponent_add_property(alarm, icalproperty_new_trigger(trigger));
    icalcomponent_add_component(event, alarm);
}

// A second VTIMEZONE of the same TZID in one component is left out: libical
// swaps such zones each time it reads the file, so an unchanged calendar would
// not read the same.
void removeRepeatedZones(icalcomponent* root)
{
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_ANY_COMPONENT))
        removeRepeatedZones(c);
    std::vector<std::string> seen;
    std::vector<icalcomponent*> repeated;
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VTIMEZONE_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_VTIMEZONE_COMPONENT)) {
        icalproperty* tzid = icalcomponent_get_first_property(c, ICAL_TZID_PROPERTY);
        const std::string name = tzid && icalproperty_get_tzid(tzid) ? icalproperty_get_tzid(tzid) : "";
        if (std::ranges::find(seen, name) != seen.end())
            repeated.push_back(c);
        else
            seen.push_back(name);
    }
    for (icalcomponent* c : repeated) {
        icalcomponent_remove_component(root, c);
        icalcomponent_free(c);
    }
}

// The VTIMEZONE of every TZID `entry` names, taken from `source` (or libical's
// own zone of that name) when `root` has none of that TZID.
void copyZones(icalcomponent* root, icalcomponent* source, icalcomponent* entry)
{
    for (icalproperty* p = icalcomponent_get_first_property(entry, ICAL_ANY_PROPERTY); p;
         p = icalcomponent_get_next_property(entry, ICAL_ANY_PROPERTY)) {
        icalparameter* tzid = icalproperty_get_first_parameter(p, ICAL_TZID_PARAMETER);
        const char* name = tzid ? icalparameter_get_tzid(tzid) : nullptr;
        if (!name || !*name || icalcomponent_get_timezone(root, name))
            continue;
        icaltimezone* zone = icalcomponent_get_timezone(source, name);
        icalcomponent* definition = zone ? icaltimezone_get_component(zone) : nullptr;
        if (definition)
            icalcomponent_add_component(root, icalcomponent_new_clone(definition));
        else
            ensureZone(root, name);
    }
}

// The local moment as a wall-clock time of `zone`, when it converts back to
// the same local moment (not in an hour a clock change skips or repeats).
std::optional<CalendarMoment> momentInZone(const CalendarMoment& local, icaltimezone* zone)
{
    icaltimetype t = icaltime_null_time();
    t.year = local.date.year;
    t.month = local.date.month;
    t.day = local.date.day;
    t.hour = local.time.hour;
    t.minute = local.time.minute;
    t.zone = localZone();
    const icaltimetype there = icaltime_convert_to_zone(t, zone);
    const icaltimetype back = icaltime_convert_to_zone(there, localZone());
    const CalendarMoment again{{back.year, back.month, back.day}, {back.hour, back.minute}};
    if (again != local)
        return std::nullopt;
    return CalendarMoment{{there.year, there.month, there.day}, {there.hour, there.minute}};
}


// A time of a property as read, in the zone its TZID names (a VTIMEZONE of
// the calendar, or libical's own zone of that name).
icaltimetype zonedTime(icalcomponent* root, icalproperty* property, icaltimetype value)
{
    if (value.is_date || value.zone || icaltime_is_null_time(value))
        return value;
    icalparameter* tzid = icalproperty_get_first_parameter(property, ICAL_TZID_PARAMETER);
    const char* name = tzid ? icalparameter_get_tzid(tzid) : nullptr;
    if (!name || !*name)
        return value;
    icaltimezone* zone = icalcomponent_get_timezone(root, name);
    if (!zone)
        zone = icaltimezone_get_builtin_timezone(name);
    if (!zone && isUtcZoneName(name))
        zone = icaltimezone_get_utc_timezone();
    value.zone = zone;
    return value;
}

// The RECURRENCE-ID of a changed occurrence as a local moment.
std::optional<CalendarMoment> occurrenceOf(icalcomponent* root, icalcomponent* change)
{
    icalproperty* property = icalcomponent_get_first_property(change, ICAL_RECURRENCEID_PROPERTY);
    if (!property)
        return std::nullopt;
    bool wholeDay = false;
    return localMoment(zonedTime(root, property, icalproperty_get_recurrenceid(property)), wholeDay);
}

bool sameOccurrence(bool wholeDay, const CalendarMoment& a, const CalendarMoment& b)
{
    return wholeDay ? a.date == b.date : a == b;
}

// The changed occurrences of series `uid`.
std::vector<icalcomponent*> changesOf(icalcomponent* root, const std::string& uid, icalcomponent_kind kind)
{
    std::vector<icalcomponent*> found;
    for (icalcomponent* c = icalcomponent_get_first_component(root, kind); c;
         c = icalcomponent_get_next_component(root, kind)) {
        if (isOccurrenceChange(c) && uidOf(c) == uid)
            found.push_back(c);
    }
    return found;
}

void dropComponent(icalcomponent* root, icalcomponent* c)
{
    icalcomponent_remove_component(root, c);
    icalcomponent_free(c);
}

// A local moment written as the series writes its start: a date, a UTC
// time, a time of its TZID, or a floating time.
icaltimetype seriesValue(icalcomponent* series, const CalendarMoment& local)
{
    const icaltimetype start = icalcomponent_get_dtstart(series);
    icaltimetype t = start.is_date ? icaltime_null_date() : icaltime_null_time();
    t.year = local.date.year;
    t.month = local.date.month;
    t.day = local.date.day;
    if (start.is_date) {
        t.hour = t.minute = t.second = 0;
        return t;
    }
    t.hour = local.time.hour;
    t.minute = local.time.minute;
    if (!start.zone)
        return t; // floating: read as local, written as it was
    t.zone = localZone();
    t = icaltime_convert_to_zone(t, const_cast<icaltimezone*>(start.zone));
    return t;
}

// The TZID of the series' start given to `property` too.
icalproperty* withSeriesZone(icalcomponent* series, icalproperty* property)
{
    icalproperty* start = icalcomponent_get_first_property(series, ICAL_DTSTART_PROPERTY);
    icalparameter* tzid = start ? icalproperty_get_first_parameter(start, ICAL_TZID_PARAMETER) : nullptr;
    if (tzid && !icalcomponent_get_dtstart(series).is_date)
        icalproperty_add_parameter(property, icalparameter_new_clone(tzid));
    return property;
}

icalproperty* newRecurrenceId(icalcomponent* series, const CalendarMoment& of)
{
    return withSeriesZone(series, icalproperty_new_recurrenceid(seriesValue(series, of)));
}

icalproperty* newExdate(icalcomponent* series, const CalendarMoment& of)
{
    return withSeriesZone(series, icalproperty_new_exdate(seriesValue(series, of)));
}

icalproperty* newRdate(icalcomponent* series, const CalendarMoment& at)
{
    icaldatetimeperiodtype value{};
    value.time = seriesValue(series, at);
    value.period = icalperiodtype_null_period();
    return withSeriesZone(series, icalproperty_new_rdate(value));
}

// The local start of an EXDATE or RDATE (a PERIOD's start); nothing when unusable.
std::optional<CalendarMoment> listedMoment(icalcomponent* root, icalproperty* property, bool& wholeDay)
{
    icaltimetype value;
    if (icalproperty_isa(property) == ICAL_RDATE_PROPERTY) {
        const icaldatetimeperiodtype rdate = icalproperty_get_rdate(property);
        value = icaltime_is_null_time(rdate.time) ? rdate.period.start : rdate.time;
    } else {
        value = icalproperty_get_exdate(property);
    }
    return localMoment(zonedTime(root, property, value), wholeDay);
}

// The appointment of a series component with its left-out and added
// occurrences; nothing when it has no usable start or UID.
std::optional<CalendarEvent> readEvent(icalcomponent* root, icalcomponent* c)
{
    bool wholeDay = false;
    bool endWholeDay = false;
    const std::optional<CalendarMoment> start = localMoment(icalcomponent_get_dtstart(c), wholeDay);
    std::optional<CalendarMoment> end = localMoment(icalcomponent_get_dtend(c), endWholeDay);
    std::string uid = uidOf(c);
    if (!start || uid.empty())
        return std::nullopt;
    CalendarEvent event;
    event.uid = std::move(uid);
    event.title = textOf(c, ICAL_SUMMARY_PROPERTY);
    event.place = textOf(c, ICAL_LOCATION_PROPERTY);
    event.note = textOf(c, ICAL_DESCRIPTION_PROPERTY);
    event.contact = xText(c, kContactProperty);
    event.wholeDay = wholeDay;
    event.start = *start;
    // A whole-day appointment ends at a day, even when the file gives its end a time.
    if (end && wholeDay)
        end->time = {};
    if (!end || *end < *start)
        end = wholeDay ? CalendarMoment{addDays(start->date, 1), {}} : *start;
    event.end = *end;
    if (icalproperty* rule = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY)) {
        icalrecurrencetype value = icalproperty_get_rrule(rule);
        event.recurrence = takeString(icalrecurrencetype_as_string_r(&value));
        // A series repeats at its hour in its own zone (9:00 New York across both countries' clock changes).
        if (!wholeDay) {
            const std::string zone = knownZoneName(icalcomponent_get_dtstart(c));
            if (!zone.empty() && zone != localZoneName())
                event.zone = zone;
        }
    }
    // Added and left-out dates, also of an appointment that repeats by added dates alone.
    for (const icalproperty_kind kind : {ICAL_EXDATE_PROPERTY, ICAL_RDATE_PROPERTY}) {
        for (icalproperty* p = icalcomponent_get_first_property(c, kind); p;
             p = icalcomponent_get_next_property(c, kind)) {
            bool listedWholeDay = false;
            std::optional<CalendarMoment> moment = listedMoment(root, p, listedWholeDay);
            if (!moment)
                continue;
            if (kind == ICAL_RDATE_PROPERTY) {
                // A bare date added to an appointment with an hour names no start; it stays as written.
                if (!listedWholeDay || wholeDay)
                    event.added.push_back(*moment);
            } else if (listedWholeDay && !wholeDay)
                event.leftOutDays.push_back(moment->date);
            else
                event.leftOut.push_back(*moment);
        }
    }
    event.reminderMinutes = reminderOf(c);
    return event;
}

// The changed occurrences of the series (`changes`, those of its UID), with their own times and texts.
void readChanges(icalcomponent* root, CalendarEvent& event, const std::vector<icalcomponent*>& changes)
{
    const long long length = [&] {
        using namespace std::chrono;
        const auto minutes = [](const CalendarMoment& m) {
            return sys_days(year_month_day{year(m.date.year), month(static_cast<unsigned>(m.date.month)),
                                           day(static_cast<unsigned>(m.date.day))})
                           .time_since_epoch()
                           .count() * 24 * 60 + m.time.hour * 60 + m.time.minute;
        };
        return minutes(event.end) - minutes(event.start);
    }();
    for (icalcomponent* c : changes) {
        const std::optional<CalendarMoment> of = occurrenceOf(root, c);
        if (!of)
            continue;
        OccurrenceChange change;
        change.of = *of;
        bool wholeDay = false;
        const std::optional<CalendarMoment> start = localMoment(icalcomponent_get_dtstart(c), wholeDay);
        change.start = start ? *start : *of;
        bool endWholeDay = false;
        const std::optional<CalendarMoment> end = localMoment(icalcomponent_get_dtend(c), endWholeDay);
        if (end && *end >= change.start) {
            change.end = *end;
        } else {
            icaltimetype t = icaltime_null_time();
            t.year = change.start.date.year;
            t.month = change.start.date.month;
            t.day = change.start.date.day;
            t.hour = change.start.time.hour;
            t.minute = change.start.time.minute;
            icaltime_adjust(&t, 0, 0, static_cast<int>(length), 0);
            change.end = {{t.year, t.month, t.day}, {t.hour, t.minute}};
        }
        change.title = icalcomponent_get_first_property(c, ICAL_SUMMARY_PROPERTY) ? textOf(c, ICAL_SUMMARY_PROPERTY)
                                                                                  : event.title;
        change.place = textOf(c, ICAL_LOCATION_PROPERTY);
        change.note = textOf(c, ICAL_DESCRIPTION_PROPERTY);
        change.reminderMinutes = reminderOf(c);
        icalproperty* id = icalcomponent_get_first_property(c, ICAL_RECURRENCEID_PROPERTY);
        icalparameter* range = icalproperty_get_first_parameter(id, ICAL_RANGE_PARAMETER);
        change.thisAndFuture = range && icalparameter_get_range(range) == ICAL_RANGE_THISANDFUTURE;
        event.changes.push_back(std::move(change));
    }
}

icalcomponent* newCalendar()
{
    icalcomponent* root = icalcomponent_new(ICAL_VCALENDAR_COMPONENT);
    icalcomponent_add_property(root, icalproperty_new_version("2.0"));
    icalcomponent_add_property(root, icalproperty_new_prodid("-//Wirtello//Kalendarz//PL"));
    return root;
}

} // namespace

std::string newCalendarUid()
{
    static std::random_device source;
    static const char* digits = "0123456789abcdef";
    std::string uid;
    for (int i = 0; i < 32; ++i) {
        if (i == 8 || i == 12 || i == 16 || i == 20)
            uid += '-';
        uid += digits[source() % 16];
    }
    return uid + "@wirtello";
}

void CalendarDocument::Deleter::operator()(icalcomponent_impl* component) const
{
    icalcomponent_free(component);
}

CalendarDocument::CalendarDocument() : root_(newCalendar()) {}

CalendarDocument::CalendarDocument(icalcomponent_impl* root) : root_(root) {}

CalendarDocument CalendarDocument::parse(std::string_view text)
{
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos)
        return CalendarDocument();
    // libical ends lines at LF only: a lone CR ends its line too, as in files
    // with old Mac line ends. A backslash before a letter beyond ASCII is no
    // escape and is left out: libical would swallow the letter's first byte
    // with it and leave text that is no longer UTF-8.
    std::string copy;
    copy.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool hasNext = i + 1 < text.size();
        if (text[i] == '\\' && hasNext && static_cast<unsigned char>(text[i + 1]) >= 0x80)
            continue;
        if (text[i] == '\\' && hasNext && text[i + 1] == '\\') {
            copy += "\\\\";
            ++i;
            continue;
        }
        copy += text[i] == '\r' && !(hasNext && text[i + 1] == '\n') ? '\n' : text[i];
    }
    icalcomponent* root = icalparser_parse_string(copy.c_str());
    if (!root || icalcomponent_isa(root) != ICAL_VCALENDAR_COMPONENT) {
        if (root)
            icalcomponent_free(root);
        throw CalendarDamaged("To nie jest plik kalendarza (iCalendar).");
    }
    // What libical could not read is left out rather than written back as error notes.
    icalcomponent_strip_errors(root);
    removeRepeatedZones(root);
    return CalendarDocument(root);
}

CalendarDocument::CalendarDocument(const CalendarDocument& other) : root_(icalcomponent_new_clone(other.root_.get())) {}

CalendarDocument& CalendarDocument::operator=(const CalendarDocument& other)
{
    if (this != &other)
        root_.reset(icalcomponent_new_clone(other.root_.get()));
    return *this;
}

CalendarDocument::CalendarDocument(CalendarDocument&&) noexcept = default;
CalendarDocument& CalendarDocument::operator=(CalendarDocument&&) noexcept = default;
CalendarDocument::~CalendarDocument() = default;

std::string CalendarDocument::text() const
{
    return takeString(icalcomponent_as_ical_string_r(root_.get()));
}

std::string CalendarDocument::name() const
{
    return xText(root_.get(), kNameProperty);
}

std::string CalendarDocument::address() const
{
    return xText(root_.get(), kAddressProperty);
}

void CalendarDocument::setHeading(const std::string& name, const std::string& address)
{
    setX(root_.get(), kNameProperty, name);
    setX(root_.get(), kAddressProperty, address);
}

namespace {

bool moveToNextOccurrence(icalcomponent* root, icalcomponent* task);

// The changed occurrence (RECURRENCE-ID) another program wrote for the open
// occurrence of a repeating task, if any.
icalcomponent* changeOfOpenOccurrence(icalcomponent* root, icalcomponent* task)
{
    if (!icalcomponent_get_first_property(task, ICAL_RRULE_PROPERTY))
        return nullptr;
    bool wholeDay = false;
    const std::optional<CalendarMoment> open = localMoment(
        icalcomponent_get_first_property(task, ICAL_DTSTART_PROPERTY) ? icalcomponent_get_dtstart(task)
                                                                      : icalcomponent_get_due(task),
        wholeDay);
    const std::string uid = uidOf(task);
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VTODO_COMPONENT); open && c;
         c = icalcomponent_get_next_component(root, ICAL_VTODO_COMPONENT)) {
        if (isOccurrenceChange(c) && uidOf(c) == uid && occurrenceOf(root, c) == open)
            return c;
    }
    return nullptr;
}

struct ComponentDeleter {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};

} // namespace

std::vector<CalendarTask> CalendarDocument::tasks() const
{
    std::vector<CalendarTask> result;
    icalcomponent* root = root_.get();
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VTODO_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_VTODO_COMPONENT)) {
        bool wholeDay = false;
        std::optional<CalendarMoment> due = localMoment(icalcomponent_get_due(c), wholeDay);
        std::string uid = uidOf(c);
        // A changed occurrence of a repeating task stays in the file; the task shows its open occurrence.
        if (!due || uid.empty() || isOccurrenceChange(c))
            continue;
        // The open occurrence as another program changed it; one it marked
        // done leaves the next occurrence open.
        icalcomponent* shown = c;
        std::unique_ptr<icalcomponent, ComponentDeleter> next;
        if (icalcomponent* change = changeOfOpenOccurrence(root, c)) {
            shown = change;
            if (isDone(change)) {
                next.reset(icalcomponent_new_clone(c));
                if (moveToNextOccurrence(root, next.get()))
                    shown = next.get();
            }
            bool changedWholeDay = false;
            if (const std::optional<CalendarMoment> own = localMoment(icalcomponent_get_due(shown), changedWholeDay)) {
                due = own;
                wholeDay = changedWholeDay;
            }
        }
        const auto text = [&](icalproperty_kind kind) {
            return icalcomponent_get_first_property(shown, kind) ? textOf(shown, kind) : textOf(c, kind);
        };
        CalendarTask task;
        task.uid = std::move(uid);
        task.title = text(ICAL_SUMMARY_PROPERTY);
        task.due = due->date;
        if (!wholeDay)
            task.dueTime = due->time;
        if (icalproperty* priority = icalcomponent_get_first_property(shown, ICAL_PRIORITY_PROPERTY))
            task.priority = std::clamp(icalproperty_get_priority(priority), 0, 9);
        else if (icalproperty* own = icalcomponent_get_first_property(c, ICAL_PRIORITY_PROPERTY))
            task.priority = std::clamp(icalproperty_get_priority(own), 0, 9);
        task.note = text(ICAL_DESCRIPTION_PROPERTY);
        task.done = isDone(shown);
        if (icalproperty* rule = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY)) {
            icalrecurrencetype value = icalproperty_get_rrule(rule);
            task.recurrence = takeString(icalrecurrencetype_as_string_r(&value));
        }
        result.push_back(std::move(task));
    }
    return result;
}

std::vector<CalendarEvent> CalendarDocument::events() const
{
    std::vector<CalendarEvent> result;
    icalcomponent* root = root_.get();
    std::unordered_map<std::string, std::vector<icalcomponent*>> changes;
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_VEVENT_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_VEVENT_COMPONENT)) {
        if (isOccurrenceChange(c))
            changes[uidOf(c)].push_back(c);
        else if (std::optional<CalendarEvent> event = readEvent(root, c))
            result.push_back(std::move(*event));
    }
    // libical's walk over the root is shared, so the changes are read after it.
    for (CalendarEvent& event : result) {
        if (const auto found = changes.find(event.uid); found != changes.end())
            readChanges(root, event, found->second);
    }
    return result;
}

int CalendarDocument::skipped() const
{
    int count = 0;
    icalcomponent* root = root_.get();
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_ANY_COMPONENT)) {
        bool wholeDay = false;
        const icalcomponent_kind kind = icalcomponent_isa(c);
        if (kind == ICAL_VTODO_COMPONENT)
            count += !localMoment(icalcomponent_get_due(c), wholeDay) || uidOf(c).empty();
        else if (kind == ICAL_VEVENT_COMPONENT && !isOccurrenceChange(c))
            count += !localMoment(icalcomponent_get_dtstart(c), wholeDay) || uidOf(c).empty();
    }
    return count;
}

int CalendarDocument::otherEntries() const
{
    int count = 0;
    icalcomponent* root = root_.get();
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind kind = icalcomponent_isa(c);
        count += kind != ICAL_VTODO_COMPONENT && kind != ICAL_VEVENT_COMPONENT && kind != ICAL_VTIMEZONE_COMPONENT;
    }
    return count;
}

std::string CalendarDocument::putTask(const CalendarTask& task, std::chrono::system_clock::time_point now)
{
    std::string uid = task.uid;
    icalcomponent* root = root_.get();
    icalcomponent* c = componentFor(root, ICAL_VTODO_COMPONENT, uid, now);
    setText(c, ICAL_SUMMARY_PROPERTY, task.title);
    setText(c, ICAL_DESCRIPTION_PROPERTY, task.note);
    setTime(root, c, ICAL_DUE_PROPERTY, task.due, task.dueTime);
    removeProperties(c, ICAL_PRIORITY_PROPERTY);
    if (task.priority > 0)
        icalcomponent_add_property(c, icalproperty_new_priority(std::clamp(task.priority, 1, 9)));
    if (task.done != isDone(c) || !icalcomponent_get_first_property(c, ICAL_STATUS_PROPERTY))
        setDone(c, task.done, now);
    return uid;
}

std::string CalendarDocument::putEvent(const CalendarEvent& event, std::chrono::system_clock::time_point now)
{
    icalrecurrencetype rule{};
    if (!event.recurrence.empty()) {
        rule = icalrecurrencetype_from_string(event.recurrence.c_str());
        if (rule.freq == ICAL_NO_RECURRENCE)
            throw CalendarDamaged("Nie rozumiem reguły powtarzania: " + event.recurrence);
    }
    std::string uid = event.uid;
    icalcomponent* root = root_.get();
    icalcomponent* c = componentFor(root, ICAL_VEVENT_COMPONENT, uid, now);
    setText(c, ICAL_SUMMARY_PROPERTY, event.title);
    setText(c, ICAL_LOCATION_PROPERTY, event.place);
    setText(c, ICAL_DESCRIPTION_PROPERTY, event.note);
    setX(c, kContactProperty, event.contact);
    const auto timeOf = [&](const CalendarMoment& m) { return event.wholeDay ? std::nullopt : std::optional(m.time); };
    // A series of another zone stays in it, so it keeps repeating at its hour there.
    CalendarMoment start = event.start;
    CalendarMoment end = event.end;
    std::string zoneName;
    icaltimezone* zone = event.zone.empty() ? nullptr : zoneNamed(event.zone);
    if (zone && zone != localZone() && !event.wholeDay && !event.recurrence.empty()) {
        const std::optional<CalendarMoment> zoneStart = momentInZone(start, zone);
        const std::optional<CalendarMoment> zoneEnd = momentInZone(end, zone);
        if (zoneStart && zoneEnd) {
            start = *zoneStart;
            end = *zoneEnd;
            zoneName = event.zone;
        }
    }
    setTime(root, c, ICAL_DTSTART_PROPERTY, start.date, timeOf(start), zoneName);
    removeProperties(c, ICAL_DURATION_PROPERTY);
    setTime(root, c, ICAL_DTEND_PROPERTY, end.date, timeOf(end), zoneName);
    removeProperties(c, ICAL_RRULE_PROPERTY);
    if (!event.recurrence.empty())
        icalcomponent_add_property(c, icalproperty_new_rrule(rule));
    setReminder(c, event.reminderMinutes, event.title);
    return uid;
}

bool CalendarDocument::markDone(const std::string& uid, bool done, std::chrono::system_clock::time_point now)
{
    icalcomponent* c = findComponent(root_.get(), uid);
    if (!c || icalcomponent_isa(c) != ICAL_VTODO_COMPONENT)
        return false;
    if (isDone(c) != done) {
        std::string same = uid;
        componentFor(root_.get(), ICAL_VTODO_COMPONENT, same, now);
        if (!(done && moveToNextOccurrence(root_.get(), c)))
            setDone(c, done, now);
    }
    return true;
}

bool CalendarDocument::remove(const std::string& uid)
{
    icalcomponent* root = root_.get();
    if (!findComponent(root, uid))
        return false;
    // The series goes with its changed occurrences.
    std::vector<icalcomponent*> gone;
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_ANY_COMPONENT)) {
        if (isEntry(c) && uid == uidOf(c))
            gone.push_back(c);
    }
    for (icalcomponent* c : gone) {
        icalcomponent_remove_component(root, c);
        icalcomponent_free(c);
    }
    return true;
}

namespace {

// The EXDATE and RDATE of the series as local moments with their properties.
std::vector<std::pair<icalproperty*, CalendarMoment>> listedDates(icalcomponent* root, icalcomponent* series)
{
    std::vector<std::pair<icalproperty*, CalendarMoment>> found;
    for (const icalproperty_kind kind : {ICAL_EXDATE_PROPERTY, ICAL_RDATE_PROPERTY}) {
        for (icalproperty* p = icalcomponent_get_first_property(series, kind); p;
             p = icalcomponent_get_next_property(series, kind)) {
            bool wholeDay = false;
            if (const std::optional<CalendarMoment> moment = listedMoment(root, p, wholeDay))
                found.emplace_back(p, *moment);
        }
    }
    return found;
}

void dropProperty(icalcomponent* c, icalproperty* p)
{
    icalcomponent_remove_property(c, p);
    icalproperty_free(p);
}

// Ends the series before the occurrence `of`: UNTIL just before it, or a
// COUNT of the occurrences before it. Its left-out, added and changed
// occurrences from `of` on are taken out and handed to `moved` (nullptr:
// dropped). Returns how many of a COUNT are left for the rest, 0 without COUNT.
int endSeriesBefore(icalcomponent* root, icalcomponent* series, const CalendarEvent& event, const CalendarMoment& of,
                    const std::function<void(icalproperty*, const CalendarMoment&)>& movedDate,
                    const std::function<void(icalcomponent*, const CalendarMoment&)>& movedChange)
{
    icalproperty* ruleProperty = icalcomponent_get_first_property(series, ICAL_RRULE_PROPERTY);
    int left = 0;
    if (ruleProperty) {
        icalrecurrencetype rule = icalproperty_get_rrule(ruleProperty);
        if (rule.count > 0) {
            const int before = occurrencesBefore(event, of, rule.count);
            left = rule.count - before;
            rule.count = std::max(1, before);
        } else {
            icaltimetype until = seriesValue(series, of);
            if (until.is_date) {
                icaltime_adjust(&until, -1, 0, 0, 0);
            } else {
                icaltime_adjust(&until, 0, 0, 0, -1);
                // A series in a zone ends at a UTC time.
                if (until.zone)
                    until = icaltime_convert_to_zone(until, icaltimezone_get_utc_timezone());
            }
            rule.until = until;
        }
        icalproperty_set_rrule(ruleProperty, rule);
    }
    for (const auto& [p, moment] : listedDates(root, series)) {
        if (moment < of && !(event.wholeDay && moment.date == of.date))
            continue;
        icalcomponent_remove_property(series, p);
        if (movedDate)
            movedDate(p, moment);
        else
            icalproperty_free(p);
    }
    for (icalcomponent* change : changesOf(root, event.uid, ICAL_VEVENT_COMPONENT)) {
        const std::optional<CalendarMoment> at = occurrenceOf(root, change);
        if (!at || *at < of)
            continue;
        icalcomponent_remove_component(root, change);
        if (movedChange)
            movedChange(change, *at);
        else
            icalcomponent_free(change);
    }
    return left;
}

void setRecurrenceId(icalcomponent* series, icalcomponent* change, const CalendarMoment& of)
{
    removeProperties(change, ICAL_RECURRENCEID_PROPERTY);
    icalcomponent_add_property(change, newRecurrenceId(series, of));
}

// Moves the listed dates and changed occurrences of series `uid` by
// `shift` minutes and drops those that no longer fall on its rule.
void keepFitting(icalcomponent* root, const std::string& uid, long long shift)
{
    icalcomponent* series = findComponent(root, uid);
    std::optional<CalendarEvent> event = readEvent(root, series);
    if (!event)
        return;
    event->leftOut.clear();
    event->leftOutDays.clear();
    std::vector<std::pair<icalproperty*, CalendarMoment>> dates = listedDates(root, series);
    // The added dates move first: a left-out or changed one may be one of them.
    for (auto& [p, moment] : dates) {
        if (icalproperty_isa(p) != ICAL_RDATE_PROPERTY || shift == 0)
            continue;
        moment = addMinutes(moment, shift);
        icalcomponent_remove_property(series, p);
        icalcomponent_add_property(series, newRdate(series, moment));
        icalproperty_free(p);
        p = nullptr;
    }
    if (shift != 0)
        event = readEvent(root, series);
    for (const auto& [p, moment] : dates) {
        if (!p || icalproperty_isa(p) != ICAL_EXDATE_PROPERTY)
            continue;
        const CalendarMoment to = addMinutes(moment, shift);
        icalcomponent_remove_property(series, p);
        icalproperty_free(p);
        if (isOccurrenceStart(*event, to))
            icalcomponent_add_property(series, newExdate(series, to));
    }
    for (icalcomponent* change : changesOf(root, uid, ICAL_VEVENT_COMPONENT)) {
        const std::optional<CalendarMoment> at = occurrenceOf(root, change);
        const CalendarMoment to = at ? addMinutes(*at, shift) : CalendarMoment{};
        if (!at || !isOccurrenceStart(*event, to))
            dropComponent(root, change);
        else if (shift != 0)
            setRecurrenceId(series, change, to);
    }
}


// A repeating task done once moves on: DTSTART and DUE go to the next
// occurrence of its rule (anchored at DTSTART, or DUE without one), a COUNT
// counts the one done. False when there is no next occurrence.
bool moveToNextOccurrence(icalcomponent* root, icalcomponent* task)
{
    icalproperty* ruleProperty = icalcomponent_get_first_property(task, ICAL_RRULE_PROPERTY);
    if (!ruleProperty)
        return false;
    icalrecurrencetype rule = icalproperty_get_rrule(ruleProperty);
    if (rule.freq == ICAL_NO_RECURRENCE)
        return false;
    const icalproperty_kind anchorKind =
        icalcomponent_get_first_property(task, ICAL_DTSTART_PROPERTY) ? ICAL_DTSTART_PROPERTY : ICAL_DUE_PROPERTY;
    bool wholeDay = false;
    const std::optional<CalendarMoment> anchor =
        localMoment(anchorKind == ICAL_DTSTART_PROPERTY ? icalcomponent_get_dtstart(task) : icalcomponent_get_due(task), wholeDay);
    if (!anchor)
        return false;
    CalendarEvent series;
    series.uid = uidOf(task);
    series.start = *anchor;
    series.end = *anchor;
    series.wholeDay = wholeDay;
    series.recurrence = takeString(icalrecurrencetype_as_string_r(&rule));
    for (icalproperty* p = icalcomponent_get_first_property(task, ICAL_EXDATE_PROPERTY); p;
         p = icalcomponent_get_next_property(task, ICAL_EXDATE_PROPERTY)) {
        bool listedWholeDay = false;
        if (const std::optional<CalendarMoment> m = listedMoment(root, p, listedWholeDay))
            series.leftOut.push_back(*m);
    }
    std::optional<CalendarMoment> next;
    int skippedByRule = 0;
    // Looked for in widening steps, so a yearly task costs no more than a daily one.
    for (const int days : {40, 400, 4000}) {
        for (const EventOccurrence& o : occurrencesBetween(series, anchor->date, addDays(anchor->date, days))) {
            if (o.start > *anchor) {
                next = o.start;
                break;
            }
        }
        if (next)
            break;
    }
    if (!next)
        return false;
    skippedByRule = occurrencesBefore(series, *next, rule.count > 0 ? rule.count : 1);
    const long long shift = minutesBetween(*anchor, *next);
    for (const icalproperty_kind kind : {ICAL_DTSTART_PROPERTY, ICAL_DUE_PROPERTY}) {
        bool isWholeDay = false;
        const std::optional<CalendarMoment> old =
            localMoment(kind == ICAL_DTSTART_PROPERTY ? icalcomponent_get_dtstart(task) : icalcomponent_get_due(task), isWholeDay);
        if (!old)
            continue;
        const CalendarMoment moved = addMinutes(*old, shift);
        setTime(root, task, kind, moved.date, isWholeDay ? std::nullopt : std::optional(moved.time));
    }
    if (rule.count > 0) {
        rule.count = std::max(1, rule.count - skippedByRule);
        icalproperty_set_rrule(ruleProperty, rule);
    }
    // Left-out dates already passed are of no use any more.
    for (icalproperty* p = icalcomponent_get_first_property(task, ICAL_EXDATE_PROPERTY); p;) {
        icalproperty* following = icalcomponent_get_next_property(task, ICAL_EXDATE_PROPERTY);
        bool listedWholeDay = false;
        if (const std::optional<CalendarMoment> m = listedMoment(root, p, listedWholeDay); m && *m < *next)
            dropProperty(task, p);
        p = following;
    }
    return true;
}
// The appointment `series` holds; nothing when it is none (missing, a task).
std::optional<CalendarEvent> appointmentOf(icalcomponent* root, icalcomponent* series)
{
    if (!series || icalcomponent_isa(series) != ICAL_VEVENT_COMPONENT)
        return std::nullopt;
    return readEvent(root, series);
}
} // namespace

std::string CalendarDocument::changeOccurrence(const std::string& uid, const CalendarMoment& of,
                                               const CalendarEvent& changed, SeriesScope scope,
                                               std::chrono::system_clock::time_point now)
{
    icalcomponent* root = root_.get();
    icalcomponent* series = findComponent(root, uid);
    std::optional<CalendarEvent> event = appointmentOf(root, series);
    if (!event)
        return {};
    readChanges(root, *event, changesOf(root, uid, ICAL_VEVENT_COMPONENT));
    if (event->recurrence.empty() || (scope == SeriesScope::ThisAndFollowing && of <= event->start))
        scope = SeriesScope::All;
    // The series moves by as much as the occurrence was moved from where it was shown (a changed
    // occurrence at its own time) and grows by as much as it grew.
    const auto own = std::ranges::find_if(event->changes, [&](const OccurrenceChange& c) {
        return sameOccurrence(event->wholeDay, c.of, of);
    });
    const bool hasOwn = own != event->changes.end();
    const CalendarMoment current = hasOwn ? own->start : of;
    const long long shift = minutesBetween(current, changed.start);
    const long long length = minutesBetween(event->start, event->end) + minutesBetween(changed.start, changed.end) -
                             (hasOwn ? minutesBetween(own->start, own->end) : minutesBetween(event->start, event->end));
    // A changed occurrence stays changed under its new RECURRENCE-ID, as the form showed it.
    const auto keepOwn = [&](const std::string& seriesUid) {
        const CalendarMoment at = addMinutes(of, shift);
        icalcomponent* series = findComponent(root, seriesUid);
        const std::optional<CalendarEvent> held = series ? readEvent(root, series) : std::nullopt;
        if (hasOwn && held && isOccurrenceStart(*held, at))
            changeOccurrence(seriesUid, at, changed, SeriesScope::OnlyThis, now);
    };

    if (scope == SeriesScope::OnlyThis) {
        for (icalcomponent* old : changesOf(root, uid, ICAL_VEVENT_COMPONENT)) {
            if (const std::optional<CalendarMoment> at = occurrenceOf(root, old);
                at && sameOccurrence(event->wholeDay, *at, of))
                dropComponent(root, old);
        }
        // The occurrence keeps whatever else the series has (attendees, categories, other programs' notes).
        icalcomponent* change = icalcomponent_new_clone(series);
        for (const icalproperty_kind kind : {ICAL_RRULE_PROPERTY, ICAL_RDATE_PROPERTY, ICAL_EXDATE_PROPERTY,
                                             ICAL_EXRULE_PROPERTY, ICAL_CREATED_PROPERTY})
            removeProperties(change, kind);
        icalcomponent_add_property(change, newRecurrenceId(series, of));
        icalcomponent_add_component(root, change);
        icalcomponent_set_dtstamp(change, utcTime(now));
        removeProperties(change, ICAL_LASTMODIFIED_PROPERTY);
        icalcomponent_add_property(change, icalproperty_new_lastmodified(utcTime(now)));
        setText(change, ICAL_SUMMARY_PROPERTY, changed.title);
        setText(change, ICAL_LOCATION_PROPERTY, changed.place);
        setText(change, ICAL_DESCRIPTION_PROPERTY, changed.note);
        setX(change, kContactProperty, changed.contact);
        const auto timeOf = [&](const CalendarMoment& m) {
            return event->wholeDay ? std::nullopt : std::optional(m.time);
        };
        // The moved occurrence is written in the series' zone, as its RECURRENCE-ID is.
        CalendarMoment start = changed.start;
        CalendarMoment end = changed.end;
        std::string zoneName;
        if (icaltimezone* zone = event->zone.empty() ? nullptr : zoneNamed(event->zone); zone && !event->wholeDay) {
            const std::optional<CalendarMoment> zoneStart = momentInZone(start, zone);
            const std::optional<CalendarMoment> zoneEnd = momentInZone(end, zone);
            if (zoneStart && zoneEnd) {
                start = *zoneStart;
                end = *zoneEnd;
                zoneName = event->zone;
            }
        }
        removeProperties(change, ICAL_DURATION_PROPERTY);
        setTime(root, change, ICAL_DTSTART_PROPERTY, start.date, timeOf(start), zoneName);
        setTime(root, change, ICAL_DTEND_PROPERTY, end.date, timeOf(end), zoneName);
        setReminder(change, changed.reminderMinutes, changed.title);
        return uid;
    }

    if (scope == SeriesScope::All) {
        CalendarEvent whole = changed;
        whole.uid = uid;
        whole.zone = event->zone;
        whole.start = addMinutes(event->start, shift);
        whole.end = addMinutes(whole.start, std::max(0LL, length));
        putEvent(whole, now);
        keepFitting(root, uid, shift);
        keepOwn(uid);
        return uid;
    }

    // This and the following: the series ends before the occurrence, a new one goes on from it.
    icalcomponent* rest = icalcomponent_new_clone(series);
    for (const icalproperty_kind kind : {ICAL_RDATE_PROPERTY, ICAL_EXDATE_PROPERTY, ICAL_CREATED_PROPERTY})
        removeProperties(rest, kind);
    std::string restUid = newCalendarUid();
    icalcomponent_set_uid(rest, restUid.c_str());
    icalcomponent_add_property(rest, icalproperty_new_created(utcTime(now)));
    std::vector<std::pair<icalproperty*, CalendarMoment>> dates;
    std::vector<std::pair<icalcomponent*, CalendarMoment>> changes;
    const int left = endSeriesBefore(
        root, series, *event, of, [&](icalproperty* p, const CalendarMoment& m) { dates.emplace_back(p, m); },
        [&](icalcomponent* c, const CalendarMoment& m) { changes.emplace_back(c, m); });
    icalcomponent_add_component(root, rest);
    CalendarEvent next = changed;
    next.uid = restUid;
    next.zone = event->zone;
    next.start = addMinutes(of, shift);
    next.end = addMinutes(next.start, std::max(0LL, length));
    if (!next.recurrence.empty() && left > 0) {
        icalrecurrencetype rule = icalrecurrencetype_from_string(next.recurrence.c_str());
        // The same counted rule goes on with the occurrences left of its count.
        if (rule.freq != ICAL_NO_RECURRENCE && rule.count > 0 && next.recurrence == event->recurrence) {
            rule.count = left;
            next.recurrence = takeString(icalrecurrencetype_as_string_r(&rule));
        }
    }
    putEvent(next, now);
    // The moved dates and changes go along with the new series, shifted as it is.
    for (const auto& [p, moment] : dates) {
        const bool addedDate = icalproperty_isa(p) == ICAL_RDATE_PROPERTY;
        icalproperty_free(p);
        const CalendarMoment to = addMinutes(moment, shift);
        icalcomponent_add_property(rest, addedDate ? newRdate(rest, to) : newExdate(rest, to));
    }
    for (const auto& [c, moment] : changes) {
        if (sameOccurrence(event->wholeDay, moment, of)) {
            icalcomponent_free(c); // replaced by the new series' first occurrence
            continue;
        }
        icalcomponent_set_uid(c, restUid.c_str());
        setRecurrenceId(rest, c, addMinutes(moment, shift));
        icalcomponent_add_component(root, c);
    }
    keepFitting(root, restUid, 0);
    keepOwn(restUid);
    return restUid;
}

bool CalendarDocument::removeOccurrence(const std::string& uid, const CalendarMoment& of, SeriesScope scope,
                                        std::chrono::system_clock::time_point now)
{
    icalcomponent* root = root_.get();
    icalcomponent* series = findComponent(root, uid);
    std::optional<CalendarEvent> event = appointmentOf(root, series);
    if (!event)
        return false;
    if (event->recurrence.empty() || scope == SeriesScope::All ||
        (scope == SeriesScope::ThisAndFollowing && of <= event->start))
        return remove(uid);
    std::string same = uid;
    componentFor(root, ICAL_VEVENT_COMPONENT, same, now);
    if (scope == SeriesScope::ThisAndFollowing) {
        endSeriesBefore(root, series, *event, of, nullptr, nullptr);
        return true;
    }
    for (icalcomponent* old : changesOf(root, uid, ICAL_VEVENT_COMPONENT)) {
        if (const std::optional<CalendarMoment> at = occurrenceOf(root, old); at && sameOccurrence(event->wholeDay, *at, of))
            dropComponent(root, old);
    }
    icalcomponent_add_property(series, newExdate(series, of));
    return true;
}

EventImport CalendarDocument::importEvents(const CalendarDocument& from, std::chrono::system_clock::time_point now)
{
    EventImport count;
    icalcomponent* root = root_.get();
    icalcomponent* source = from.root_.get();
    // Every entry here by UID, looked up once per imported one.
    std::unordered_map<std::string, std::vector<icalcomponent*>> here;
    for (icalcomponent* c = icalcomponent_get_first_component(root, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(root, ICAL_ANY_COMPONENT)) {
        if (isEntry(c))
            here[uidOf(c)].push_back(c);
    }

    // The imported appointments by UID: a series and its changed occurrences,
    // in whatever order the file gives them.
    struct Group {
        std::string uid;
        icalcomponent* series = nullptr;
        std::vector<icalcomponent*> changes;
        bool givenUid = false;
    };
    std::vector<Group> groups;
    std::unordered_map<std::string, std::size_t> groupOf;
    for (icalcomponent* c = icalcomponent_get_first_component(source, ICAL_ANY_COMPONENT); c;
         c = icalcomponent_get_next_component(source, ICAL_ANY_COMPONENT)) {
        const icalcomponent_kind kind = icalcomponent_isa(c);
        if (kind == ICAL_VTIMEZONE_COMPONENT)
            continue;
        if (kind != ICAL_VEVENT_COMPONENT) {
            ++count.otherEntries;
            continue;
        }
        std::string uid = uidOf(c);
        if (uid.empty()) {
            if (isOccurrenceChange(c)) {
                ++count.notUnderstood; // a change of no known series
                continue;
            }
            groups.push_back({newCalendarUid(), c, {}, true});
            continue;
        }
        auto [at, isNew] = groupOf.try_emplace(uid, groups.size());
        if (isNew)
            groups.push_back({uid, nullptr, {}, false});
        Group& group = groups[at->second];
        if (isOccurrenceChange(c))
            group.changes.push_back(c);
        else if (!group.series)
            group.series = c;
        else
            ++count.notUnderstood; // a second series of one UID
    }

    const auto tooFar = [](icalcomponent* c) {
        for (const icaltimetype t : {icalcomponent_get_dtstart(c), icalcomponent_get_dtend(c),
                                     icalcomponent_get_recurrenceid(c)}) {
            if (!icaltime_is_null_time(t) && t.year > kLastCalendarYear)
                return true;
        }
        return false;
    };
    const auto usable = [](icalcomponent* c) {
        bool wholeDay = false;
        if (!localMoment(icalcomponent_get_dtstart(c), wholeDay))
            return false;
        icalproperty* rule = icalcomponent_get_first_property(c, ICAL_RRULE_PROPERTY);
        return !rule || icalproperty_get_rrule(rule).freq != ICAL_NO_RECURRENCE;
    };
    const auto take = [&](icalcomponent* c, const std::string& uid) {
        icalcomponent* copy = icalcomponent_new_clone(c);
        if (uidOf(copy) != uid)
            icalcomponent_set_uid(copy, uid.c_str());
        if (!icalcomponent_get_first_property(copy, ICAL_DTSTAMP_PROPERTY))
            icalcomponent_set_dtstamp(copy, utcTime(now));
        copyZones(root, source, copy);
        icalcomponent_add_component(root, copy);
        return copy;
    };
    const auto drop = [&](icalcomponent* c) {
        icalcomponent_remove_component(root, c);
        icalcomponent_free(c);
    };

    for (Group& group : groups) {
        std::vector<icalcomponent*> changes;
        for (icalcomponent* change : group.changes) {
            if (tooFar(change))
                ++count.tooFar;
            else if (!usable(change))
                ++count.notUnderstood;
            else
                changes.push_back(change);
        }
        std::vector<icalcomponent*>& existing = here[group.uid];
        if (std::ranges::any_of(existing, [](icalcomponent* c) { return icalcomponent_isa(c) != ICAL_VEVENT_COMPONENT; })) {
            count.notUnderstood += (group.series ? 1 : 0) + static_cast<int>(changes.size()); // the UID is a task's
            continue;
        }
        if (!group.series) {
            // Changes of a series imported earlier join it, replacing those of the same occurrence.
            const bool seriesHere = std::ranges::any_of(existing, [](icalcomponent* c) { return !isOccurrenceChange(c); });
            if (!seriesHere) {
                count.notUnderstood += static_cast<int>(changes.size());
                continue;
            }
            for (icalcomponent* change : changes) {
                const icaltimetype which = icalcomponent_get_recurrenceid(change);
                std::erase_if(existing, [&](icalcomponent* c) {
                    const bool same = isOccurrenceChange(c) && icaltime_compare(icalcomponent_get_recurrenceid(c), which) == 0;
                    if (same)
                        drop(c);
                    return same;
                });
                existing.push_back(take(change, group.uid));
                ++count.occurrenceChanges;
            }
            if (!changes.empty())
                ++count.withExceptions;
            continue;
        }
        if (tooFar(group.series)) {
            ++count.tooFar;
            continue;
        }
        if (!usable(group.series)) {
            ++count.notUnderstood;
            continue;
        }
        ++(existing.empty() ? count.added : count.changed);
        count.uidsGiven += group.givenUid;
        for (icalcomponent* c : existing)
            drop(c);
        existing.clear();
        icalcomponent* series = take(group.series, group.uid);
        existing.push_back(series);
        for (icalcomponent* change : changes)
            existing.push_back(take(change, group.uid));
        count.occurrenceChanges += static_cast<int>(changes.size());
        if (!changes.empty() || icalcomponent_get_first_property(series, ICAL_EXDATE_PROPERTY) ||
            icalcomponent_get_first_property(series, ICAL_RDATE_PROPERTY))
            ++count.withExceptions;
        const icaltimetype start = icalcomponent_get_dtstart(series);
        if (!start.is_date && icalcomponent_get_first_property(series, ICAL_RRULE_PROPERTY)) {
            const std::string zone = knownZoneName(start);
            count.ownZone += !zone.empty() && zone != localZoneName();
        }
    }
    return count;
}

} // namespace wirtello
