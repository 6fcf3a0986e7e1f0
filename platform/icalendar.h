#pragma once
// Calendar files (iCalendar, RFC 5545) through libical: events at wall-clock
// times of one time zone, written with that zone's VTIMEZONE so any calendar
// program places them right, whatever zone it runs in.

#include <optional>
#include <string>
#include <vector>

#include "platform/runloop.h"

namespace yx {

// A date and clock time as read on a wall clock in the calendar's zone.
struct WallTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  bool operator==(const WallTime&) const = default;
};

struct CalendarEvent {
  std::string uid, summary, location, description;
  WallTime start, end;
  // Repeats every week up to this moment (written in UTC), when set.
  std::optional<WallTime> weeklyUntil;
};

// The wall time in `zone` at `t` (UTC when the zone is unknown).
WallTime wallTimeIn(const std::string& zone, TimePoint t);

// A VCALENDAR with `zone`'s VTIMEZONE and one VEVENT per event: DTSTART and
// DTEND with TZID=zone, UID, DTSTAMP (`stamp`), SUMMARY, LOCATION and
// DESCRIPTION when not empty, RRULE for weekly events. Empty when the zone
// is unknown.
std::string calendarText(const std::vector<CalendarEvent>& events, const std::string& zone, TimePoint stamp);

}  // namespace yx
