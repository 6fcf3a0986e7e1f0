#include "academic/student/calendar_export.h"

#include <chrono>
#include <cstdio>
#include <set>

#include "academic/student/course_list.h"
#include "academic/student/exam_timetable.h"
#include "academic/student/student_common.h"
#include "platform/application.h"
#include "platform/digest.h"
#include "platform/files.h"
#include "platform/ui/alert.h"

namespace yx {

namespace {

constexpr const char* kZone = "Asia/Taipei";
using namespace std::chrono;

std::vector<std::string> splitAt(const std::string& text, const std::string& separators) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (separators.find(c) != std::string::npos) parts.emplace_back();
    else parts.back() += c;
  }
  return parts;
}

// A whole number of up to `maxDigits` digits, else -1.
int wholeNumber(const std::string& text, size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return -1;
  int n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

// "115/12/22/二", "2026/12/22/二" or the same without the weekday.
std::optional<year_month_day> examDate(const std::string& text) {
  auto parts = splitAt(text, "/-.");
  if (parts.size() == 4 && wholeNumber(parts[3], 4) < 0) parts.pop_back();  // the weekday
  if (parts.size() != 3) return std::nullopt;
  int y = wholeNumber(parts[0], 4), m = wholeNumber(parts[1], 2), d = wholeNumber(parts[2], 2);
  if (y <= 0 || m < 0 || d < 0) return std::nullopt;
  if (parts[0].size() <= 3) y += 1911;  // the Republic-of-China era
  year_month_day date{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
  if (!date.ok()) return std::nullopt;
  return date;
}

// "8:20" as minutes after midnight, else -1.
int clockMinutes(const std::string& text) {
  auto parts = splitAt(text, ":");
  if (parts.size() != 2) return -1;
  int h = wholeNumber(parts[0], 2), m = wholeNumber(parts[1], 2);
  return h < 0 || h > 23 || m < 0 || m > 59 ? -1 : h * 60 + m;
}

WallTime wallTime(local_days day, int minutes) {
  local_days d = day + days{minutes / (24 * 60)};
  minutes %= 24 * 60;
  year_month_day ymd{d};
  return WallTime{static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
                  static_cast<int>(static_cast<unsigned>(ymd.day())), minutes / 60, minutes % 60, 0};
}

std::string uid(const std::string& kind, const std::string& identity) {
  return kind + "-" + md5Hex(identity) + "@yunxiu";
}

// 0 Monday … 6 Sunday for the weekday a timetable writes, else -1.
int weekdayIndex(const std::string& text) {
  static const char* const names[] = {"一", "二", "三", "四", "五", "六", "日"};
  for (int i = 0; i < 7; ++i)
    if (text == names[i]) return i;
  return text == "天" ? 6 : -1;
}

std::string countText(const char* pattern, int n) {
  char text[128];
  std::snprintf(text, sizeof text, pattern, n);
  return text;
}

}  // namespace

CalendarEntries examCalendarEntries(const Value::Array& records) {
  CalendarEntries out;
  std::set<std::string> seen;
  for (const Value& r : records) {
    const std::string& course = r.stringFor("科目名稱");
    const auto date = examDate(r.stringFor("考試日期"));
    const std::string period = examPeriodTime(r.stringFor("節次"));
    const int start = clockMinutes(period.substr(0, period.find('-')));
    if (!date || start < 0) {
      ++out.unreadable;
      continue;
    }
    // The duration in minutes; without a usable one the exam takes its period.
    int length = wholeNumber(r.stringFor("考試時間"), 4);
    if (length <= 0 || length > 24 * 60) length = clockMinutes(period.substr(period.find('-') + 1)) - start;
    CalendarEvent e;
    char day[16];
    std::snprintf(day, sizeof day, "%04d-%02u-%02u", static_cast<int>(date->year()),
                  static_cast<unsigned>(date->month()), static_cast<unsigned>(date->day()));
    e.uid = uid("exam", r.stringFor("姓名") + "\n" + course + "\n" + day);
    if (!seen.insert(e.uid).second) continue;  // the same exam twice
    const std::string& remark = r.stringFor("備註");
    e.summary = characterCount(remark) >= 2 ? course + " " + remark : course;
    e.location = r.stringFor("教室代號");
    std::string seats;
    if (!r.stringFor("考試座號").empty()) seats += "考試座號: " + r.stringFor("考試座號");
    if (!r.stringFor("成績座號").empty()) seats += (seats.empty() ? "" : "\n") + ("成績座號: " + r.stringFor("成績座號"));
    e.description = seats;
    e.start = wallTime(local_days{*date}, start);
    e.end = wallTime(local_days{*date}, start + length);
    out.events.push_back(std::move(e));
  }
  return out;
}

CalendarEntries courseCalendarEntries(const Value::Array& records, TimePoint now) {
  CalendarEntries out;
  const WallTime today = wallTimeIn(kZone, now);
  const year_month_day date{year{today.year}, month{static_cast<unsigned>(today.month)},
                            day{static_cast<unsigned>(today.day)}};
  const local_days monday = local_days{date} - days{(weekday{local_days{date}}.c_encoding() + 6) % 7};
  // The semester ends on 31 January (August to January) or 30 June.
  WallTime until{today.year, 1, 31, 23, 59, 59};
  if (today.month >= 8) until.year = today.year + 1;
  else if (today.month >= 2) until = WallTime{today.year, 6, 30, 23, 59, 59};
  const local_days lastDay = local_days{year{until.year} / until.month / until.day};

  std::set<std::string> seen;
  for (const Value& r : records) {
    auto parts = splitAt(r.stringFor("星期節次地點"), "/");
    const int weekdayAt = parts.size() >= 2 ? weekdayIndex(parts[0]) : -1;
    auto periods = parts.size() >= 2 ? splitAt(parts[1], "-") : std::vector<std::string>{};
    const std::string first = periods.empty() ? "" : periods.front(), last = periods.empty() ? "" : periods.back();
    const int start = clockMinutes(coursePeriodStart(first)), end = clockMinutes(coursePeriodEnd(last));
    if (weekdayAt < 0 || periods.size() > 2 || start < 0 || end < 0 || end <= start) {
      ++out.unreadable;
      continue;
    }
    const local_days on = monday + days{weekdayAt};
    if (on > lastDay) continue;  // no class of it is left this semester
    const std::string& course = r.stringFor("課程名稱");
    CalendarEvent e;
    e.uid = uid("course", course + "\n" + parts[0] + "\n" + first);
    if (!seen.insert(e.uid).second) continue;
    e.summary = course;
    e.location = parts.size() >= 3 ? parts[2] : "";
    e.description = r.stringFor("老師");
    e.start = wallTime(on, start);
    e.end = wallTime(on, end);
    e.weeklyUntil = until;
    out.events.push_back(std::move(e));
  }
  return out;
}

void exportToCalendar(const CalendarEntries& entries, const std::string& fileName) {
  const std::string unreadable = entries.unreadable ? countText("，%d 筆無法讀取", entries.unreadable) : "";
  if (entries.events.empty()) {
    showAlert("", "沒有可加入的資料" + unreadable, "確定");
    return;
  }
  const std::string text = calendarText(entries.events, kZone, yx::now());
  const std::string path = Files::join(Files::documentsDirectory(), fileName);
  Files::createDirectory(Files::documentsDirectory(), true);
  if (text.empty() || !Files::writeFileAtomically(path, text, 0600)) {
    showAlert("", "無法寫入行事曆檔案", "確定");
    return;
  }
  Application::shared().openURL(Files::fileURL(path));
  showAlert("", countText("已加入行事曆 %d 筆", static_cast<int>(entries.events.size())) + unreadable, "確定");
}

std::shared_ptr<Button> makeExportCalendarButton(Rect frame, std::function<void()> action) {
  auto b = make<Button>(frame, "加入行事曆");
  b->setName("exportCalendarBtn");  // untagged: the screens' tags keep their meanings
  b->setAutoresizingMask(Autoresizing::FlexibleRightMargin | Autoresizing::FlexibleBottomMargin);
  b->setAction([action = std::move(action)](Button&) {
    if (action) action();
  });
  return b;
}

}  // namespace yx
