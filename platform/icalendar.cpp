#include "platform/icalendar.h"

#include <libical/ical.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <mutex>

namespace yx {

namespace {

// libical keeps its zones in shared tables.
std::mutex& icalMutex() {
  static std::mutex mu;
  return mu;
}

icaltimezone* zoneNamed(const std::string& zone) {
  return zone == "UTC" ? icaltimezone_get_utc_timezone() : icaltimezone_get_builtin_timezone(zone.c_str());
}

icaltimetype toIcal(const WallTime& w, icaltimezone* zone) {
  icaltimetype t = icaltime_null_time();
  t.year = w.year;
  t.month = w.month;
  t.day = w.day;
  t.hour = w.hour;
  t.minute = w.minute;
  t.second = w.second;
  t.is_date = 0;
  return icaltime_set_timezone(&t, zone);
}

icalproperty* zoned(icalproperty* p, const std::string& zone) {
  icalproperty_add_parameter(p, icalparameter_new_tzid(zone.c_str()));
  return p;
}

struct Component {
  icalcomponent* c;
  ~Component() {
    if (c) icalcomponent_free(c);
  }
};

}  // namespace

WallTime wallTimeIn(const std::string& zone, TimePoint t) {
  std::lock_guard<std::mutex> lock(icalMutex());
  icaltimezone* z = zoneNamed(zone);
  if (!z) z = icaltimezone_get_utc_timezone();
  const time_t seconds = std::chrono::system_clock::to_time_t(t);
  icaltimetype local = icaltime_from_timet_with_zone(seconds, 0, z);
  return WallTime{local.year, local.month, local.day, local.hour, local.minute, local.second};
}

std::string calendarText(const std::vector<CalendarEvent>& events, const std::string& zone, TimePoint stamp) {
  std::lock_guard<std::mutex> lock(icalMutex());
  icaltimezone* z = zoneNamed(zone);
  icalcomponent* zoneComponent = z ? icaltimezone_get_component(z) : nullptr;
  if (!zoneComponent) return {};
  icaltimezone* utc = icaltimezone_get_utc_timezone();

  Component cal{icalcomponent_vanew(ICAL_VCALENDAR_COMPONENT, icalproperty_new_version("2.0"),
                                    icalproperty_new_prodid("-//雲岫學苑//Calendar export//ZH-TW"),
                                    icalproperty_new_calscale("GREGORIAN"), icalproperty_new_method(ICAL_METHOD_PUBLISH),
                                    nullptr)};
  // The zone as the system's zone database gives it, under its plain name
  // (libical's own name for it carries a prefix other programs do not know).
  icalcomponent* vzone = icalcomponent_new_clone(zoneComponent);
  for (icalproperty* p = icalcomponent_get_first_property(vzone, ICAL_TZID_PROPERTY); p;
       p = icalcomponent_get_first_property(vzone, ICAL_TZID_PROPERTY)) {
    icalcomponent_remove_property(vzone, p);
    icalproperty_free(p);
  }
  icalcomponent_add_property(vzone, icalproperty_new_tzid(zone.c_str()));
  icalcomponent_add_component(cal.c, vzone);

  const icaltimetype stamped = icaltime_from_timet_with_zone(std::chrono::system_clock::to_time_t(stamp), 0, utc);
  for (const CalendarEvent& e : events) {
    icalcomponent* ev = icalcomponent_new(ICAL_VEVENT_COMPONENT);
    icalcomponent_add_property(ev, icalproperty_new_uid(e.uid.c_str()));
    icalcomponent_add_property(ev, icalproperty_new_dtstamp(stamped));
    icalcomponent_add_property(ev, zoned(icalproperty_new_dtstart(toIcal(e.start, z)), zone));
    icalcomponent_add_property(ev, zoned(icalproperty_new_dtend(toIcal(e.end, z)), zone));
    if (e.weeklyUntil) {
      icalrecurrencetype rule;
      icalrecurrencetype_clear(&rule);
      rule.freq = ICAL_WEEKLY_RECURRENCE;
      rule.until = icaltime_convert_to_zone(toIcal(*e.weeklyUntil, z), utc);
      icalcomponent_add_property(ev, icalproperty_new_rrule(rule));
    }
    icalcomponent_add_property(ev, icalproperty_new_summary(e.summary.c_str()));
    if (!e.location.empty()) icalcomponent_add_property(ev, icalproperty_new_location(e.location.c_str()));
    if (!e.description.empty()) icalcomponent_add_property(ev, icalproperty_new_description(e.description.c_str()));
    icalcomponent_add_component(cal.c, ev);
  }
  char* text = icalcomponent_as_ical_string_r(cal.c);
  std::string out = text ? text : "";
  std::free(text);
  return out;
}

}  // namespace yx
