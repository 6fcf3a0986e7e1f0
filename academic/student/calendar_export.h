#pragma once
// Exams and weekly courses into the person's own calendar: the button
// "加入行事曆" (exportCalendarBtn) of the exam timetable and the course list
// writes an iCalendar file from the cached records to Documents
// ("exams.ics", "courses.ics") and hands it to the desktop. Every event is in
// Asia/Taipei with a UID that stays the same for the same exam or course, so
// importing a second export updates the first instead of doubling it.

#include <memory>
#include <string>
#include <vector>

#include "platform/icalendar.h"
#include "platform/plist_value.h"
#include "platform/ui/view_controller.h"

namespace yx {

// The events read from cached records, and how many records could not be
// read as one (a period outside the table, an impossible date …).
struct CalendarEntries {
  std::vector<CalendarEvent> events;
  int unreadable = 0;
};

// One event per exam on its date (a year of up to three digits counts from
// 1912, the Republic-of-China era), from its period's start for its
// duration: SUMMARY the course (and a remark of two or more characters),
// LOCATION the room, DESCRIPTION the seat numbers.
CalendarEntries examCalendarEntries(const Value::Array& records);

// One weekly event per course and weekday block, from the first period's
// start to the last period's end, starting in the week of `now` and
// repeating to the end of the semester (31 January for August to January,
// 30 June for February to July, 23:59:59 Taipei time): SUMMARY the course,
// LOCATION the room, DESCRIPTION the teacher.
CalendarEntries courseCalendarEntries(const Value::Array& records, TimePoint now);

// Writes the entries to Documents/`fileName`, hands the file to the desktop
// and says what happened in one alert ("已加入行事曆 %d 筆", then
// "，%d 筆無法讀取" when records were left out; "沒有可加入的資料" and no file
// when there is no event).
void exportToCalendar(const CalendarEntries& entries, const std::string& fileName);

// The button, named "exportCalendarBtn" (no tag), laid out at `frame`.
std::shared_ptr<Button> makeExportCalendarButton(Rect frame, std::function<void()> action);

}  // namespace yx
