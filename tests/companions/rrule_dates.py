# Prints the days python-dateutil gives for a whole-day RRULE from a start
# day, one "YYYY-MM-DD" a line, those from the first to the last day given:
#   rrule_dates.py "FREQ=WEEKLY" 20261211 20261201 20281130
import sys
from datetime import datetime
from dateutil.rrule import rrulestr

rule, start, first, last = sys.argv[1:5]
day = lambda text: datetime.strptime(text, '%Y%m%d')
for when in rrulestr(rule, dtstart=day(start)).between(day(first), day(last), inc=True):
    print(when.strftime('%Y-%m-%d'))
