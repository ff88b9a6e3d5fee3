# Lists the occurrences of every appointment of a calendar file as another
# reader sees them: python3-icalendar reads the file, python-dateutil's
# rruleset expands RRULE, RDATE and EXDATE in wall-clock time of the series'
# zone, and changed occurrences (RECURRENCE-ID) replace theirs. One line per
# occurrence starting from the first to the last day, in Polish time:
#   ics_occurrences.py file.ics 2026-12-01 2028-11-30
#   2027-01-05T09:00|2027-01-05T10:00|Narada
import sys
from datetime import date, datetime, timedelta, timezone
from zoneinfo import ZoneInfo

import icalendar
from dateutil.rrule import rruleset, rrulestr

LOCAL = ZoneInfo('Europe/Warsaw')
path, first, last = sys.argv[1], date.fromisoformat(sys.argv[2]), date.fromisoformat(sys.argv[3])
calendar = icalendar.Calendar.from_ical(open(path, 'rb').read())


def zone_of(prop):
    """The zone a time property is written in: its TZID, UTC, or local when floating."""
    tzid = prop.params.get('TZID') if hasattr(prop, 'params') else None
    if tzid:
        return ZoneInfo(str(tzid))
    value = prop.dt
    if isinstance(value, datetime) and value.tzinfo is not None and value.utcoffset() == timedelta(0) \
            and str(value.tzinfo) in ('UTC', 'UTC+00:00', 'tzutc()'):
        return timezone.utc
    return LOCAL


def wall(value, zone):
    """A DATE or DATE-TIME as a naive wall-clock time of `zone`."""
    if not isinstance(value, datetime):
        return datetime(value.year, value.month, value.day)
    if value.tzinfo is None:
        return value
    return value.astimezone(zone).replace(tzinfo=None)


def listed(component, name, zone):
    values = component.get(name)
    if values is None:
        return []
    if not isinstance(values, list):
        values = [values]
    return [wall(v.dt if not isinstance(v.dt, tuple) else v.dt[0], zone) for entry in values for v in entry.dts]


def local_text(naive, zone, whole_day):
    if whole_day:
        return naive.strftime('%Y-%m-%dT00:00')
    return naive.replace(tzinfo=zone).astimezone(LOCAL).strftime('%Y-%m-%dT%H:%M')


series, changes = {}, {}
for part in calendar.walk('VEVENT'):
    if 'RECURRENCE-ID' in part:
        changes.setdefault(str(part['UID']), []).append(part)
    else:
        series[str(part['UID'])] = part

lines = []
for uid, master in series.items():
    start_prop = master['DTSTART']
    whole_day = not isinstance(start_prop.dt, datetime)
    zone = zone_of(start_prop)
    start = wall(start_prop.dt, zone)
    end = wall(master['DTEND'].dt, zone) if 'DTEND' in master else start + timedelta(days=1 if whole_day else 0)
    length = end - start
    title = str(master.get('SUMMARY', ''))
    starts = rruleset()
    if 'RRULE' in master:
        rule = master['RRULE']
        if 'UNTIL' in rule:
            until = rule['UNTIL'][0]
            rule = icalendar.vRecur(rule)
            del rule['UNTIL']
            text = rule.to_ical().decode() + ';UNTIL=' + wall(until, zone).strftime('%Y%m%dT%H%M%S')
        else:
            text = rule.to_ical().decode()
        starts.rrule(rrulestr(text, dtstart=start))
    else:
        starts.rdate(start)
    for moment in listed(master, 'RDATE', zone):
        starts.rdate(moment)
    for moment in listed(master, 'EXDATE', zone):
        starts.exdate(moment)
    own = {wall(c['RECURRENCE-ID'].dt, zone): c for c in changes.get(uid, [])}
    low = datetime.combine(first - timedelta(days=400), datetime.min.time())
    high = datetime.combine(last + timedelta(days=400), datetime.min.time())
    for moment in starts.between(low, high, inc=True):
        if moment in own:
            change = own[moment]
            change_zone = zone_of(change['DTSTART'])
            change_start = wall(change['DTSTART'].dt, change_zone)
            change_end = wall(change['DTEND'].dt, change_zone) if 'DTEND' in change else change_start + length
            row = (local_text(change_start, change_zone, whole_day), local_text(change_end, change_zone, whole_day),
                   str(change.get('SUMMARY', title)))
        else:
            row = (local_text(moment, zone, whole_day), local_text(moment + length, zone, whole_day), title)
        if first.isoformat() <= row[0][:10] <= last.isoformat():
            lines.append(row)
for row in sorted(lines):
    print('|'.join(row))
