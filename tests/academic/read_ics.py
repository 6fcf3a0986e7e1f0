#!/usr/bin/python3
# Reads a calendar file with the icalendar package (not with the app's own
# code) and prints one line per event, in file order:
# UID | DTSTART | its zone | DTEND | its zone | SUMMARY | LOCATION | DESCRIPTION | RRULE
# (times ISO 8601, newlines in texts as "\n"), then "zones: <TZIDs>", and
# "DURATION" lines for any event that has one.
import sys

import icalendar

cal = icalendar.Calendar.from_ical(open(sys.argv[1], "rb").read())
for ev in cal.walk("VEVENT"):
    start, end = ev.decoded("DTSTART"), ev.decoded("DTEND")
    rule = ev.get("RRULE")
    fields = [
        str(ev.get("UID")),
        start.isoformat(), str(start.tzinfo), end.isoformat(), str(end.tzinfo),
        str(ev.get("SUMMARY", "")), str(ev.get("LOCATION", "")),
        str(ev.get("DESCRIPTION", "")).replace("\n", "\\n"),
        rule.to_ical().decode() if rule else "",
    ]
    print(" | ".join(fields))
    if "DURATION" in ev:
        print("DURATION", ev.get("UID"))
print("zones:", " ".join(str(z.get("TZID")) for z in cal.walk("VTIMEZONE")))
