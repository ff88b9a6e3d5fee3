# Reads a calendar file with python3-icalendar and prints one line per task
# or appointment, "|"-separated, for the tests to compare with what was written.
import sys
import icalendar

calendar = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
print('NAME|' + str(calendar.get('X-WR-CALNAME', '')) + '|' + str(calendar.get('X-WIRTELLO-ADDRESS', '')))
for part in calendar.walk():
    if part.name == 'VTODO':
        print('VTODO|%s|%s|%s|%s|%s' % (part['SUMMARY'], part['DUE'].dt.isoformat(),
              part.get('PRIORITY', ''), part.get('STATUS', ''), part.get('DESCRIPTION', '')))
    elif part.name == 'VEVENT':
        print('VEVENT|%s|%s|%s|%s|%s' % (part['SUMMARY'], part['DTSTART'].dt.isoformat(),
              part['DTEND'].dt.isoformat(), part.get('LOCATION', ''), part.get('RRULE', {}).get('FREQ', '')))
