// Exams and courses into the person's calendar: the button on the exam
// timetable and on the course list, driven against the simulator, the
// written files read back by Python's icalendar package.

#include <gtest/gtest.h>

#include <sstream>

#include "academic/student/calendar_export.h"
#include "platform/dates.h"
#include "tests/academic/academic_support.h"

namespace yx::test {
namespace {

const std::string kExamPath = std::string(kMethods) + "StuExamList2XML@pStuNo=41120307";
const std::string kCoursePath = std::string(kMethods) + "StuEleList2XML@pStuNo=41120307";

std::string examRecord(const std::string& course, const std::string& date, const std::string& sess,
                       const std::string& minutes, const std::string& remark) {
  return "<stu_exam_table><ch_name>林子晴</ch_name><cos_name>" + course + "</cos_name><cr>3</cr><seat_no>6</seat_no>"
         "<exam_date>" + date + "</exam_date><sess>" + sess + "</sess><exam_tm>" + minutes +
         "</exam_tm><room>A101</room><exam_no>5</exam_no><exam_type>" + remark + "</exam_type></stu_exam_table>";
}

std::string courseRecord(const std::string& course, const std::string& when) {
  return "<stu_ele_table><ch_cos_name>" + course + "</ch_cos_name><time_plase>" + when +
         "</time_plase><teach_name>王明哲</teach_name><seat_no>12</seat_no></stu_ele_table>";
}

class CalendarExportTest : public AcademicFixture {
protected:
  // The calendar file as Python's icalendar reads it (see read_ics.py).
  std::string readCalendar(const std::string& name) {
    return commandOutput("/usr/bin/python3 " + std::string(YX_SOURCE_DIR) + "/tests/academic/read_ics.py '" +
                         documents() + "/" + name + "' 2>&1") + "\n";
  }
  // The UID column of what readCalendar printed.
  static std::vector<std::string> uids(const std::string& events) {
    std::vector<std::string> out;
    std::istringstream lines(events);
    for (std::string l; std::getline(lines, l);)
      if (l.find(" | ") != std::string::npos) out.push_back(l.substr(0, l.find(" | ")));
    return out;
  }
};

// Exams go in at their periods' times (a barred one too, though its row
// shows no date or room); unreadable ones are counted; a second export keeps
// every UID.
TEST_F(CalendarExportTest, ExamsGoInAtTheirPeriodsAndASecondExportKeepsEveryUid) {
  serve("academic", kExamPath,
        "<NewDataSet>" + examRecord("微積分", "115/12/28/一", "1", "90", "扣考") +
            examRecord("普通物理", "2026/12/29/二", "7", "", "A") +  // no duration: the period's
            examRecord("化學", "115/12/30/三", "8", "90", "") +       // no such period
            examRecord("生物", "115/02/30/一", "2", "90", "") +       // no such day
            examRecord("國文", "115-12-31", "3", "120", "") + "</NewDataSet>");
  startSignedIn();
  openMenu();
  run("tap examListBtn");
  run("wait 1.5");
  std::string s = run("alert 0");  // the barred notice
  EXPECT_TRUE(has(s, "button 3: 重新查詢\nbutton exportCalendarBtn: 加入行事曆\ntable tableView rows 5\n")) << s;
  s = run("tap exportCalendarBtn");
  EXPECT_TRUE(has(s, "alert:  | 已加入行事曆 3 筆，2 筆無法讀取 | 確定\n")) << s;
  EXPECT_EQ(countOf(s, "alert:"), 1u) << s;
  EXPECT_EQ(run("opened"), "opened: file://" + documents() + "/exams.ics\n");
  const std::string first = readCalendar("exams.ics");
  EXPECT_TRUE(has(first, " | 2026-12-28T08:20:00+08:00 | Asia/Taipei | 2026-12-28T09:50:00+08:00 | Asia/Taipei"
                         " | 微積分 扣考 | A101 | 考試座號: 5\\n成績座號: 6 | \n"))
      << first;
  EXPECT_TRUE(has(first, " | 2026-12-29T20:20:00+08:00 | Asia/Taipei | 2026-12-29T21:50:00+08:00 | Asia/Taipei"
                         " | 普通物理 | A101 |"))
      << first;
  EXPECT_TRUE(has(first, " | 2026-12-31T12:20:00+08:00 | Asia/Taipei | 2026-12-31T14:20:00+08:00 | Asia/Taipei"
                         " | 國文 | A101 |"))
      << first;
  EXPECT_TRUE(has(first, "zones: Asia/Taipei\n")) << first;
  EXPECT_FALSE(has(first, "DURATION")) << first;
  auto ids = uids(first);
  ASSERT_EQ(ids.size(), 3u) << first;
  EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), 3u);

  // A second export replaces the file with the same exams under the same UIDs.
  run("alert 0");
  EXPECT_EQ(countOf(run("tap exportCalendarBtn"), "alert:"), 1u);
  EXPECT_EQ(uids(readCalendar("exams.ics")), ids);
}

TEST_F(CalendarExportTest, CoursesRepeatWeeklyFromThisWeekToTheSemestersEndOneEventPerBlock) {
  serve("academic", kCoursePath,
        "<NewDataSet>" + courseRecord("資料結構", "四/03-04/E301") + courseRecord("資料結構", "四/07-08/E301") +
            courseRecord("線性代數", "一/07") + courseRecord("專題研究", "三") + courseRecord("實驗", "五/15/L1") +
            courseRecord("夜間部", "日/13-14/N1") + "</NewDataSet>");
  startSignedIn();
  openMenu();
  run("tap courseListBtn");
  std::string s = run("wait 1.5");
  EXPECT_TRUE(has(s, "label countLbl: 共 6 筆\n")) << s;
  EXPECT_TRUE(has(s, "button exportCalendarBtn: 加入行事曆\n")) << s;
  s = run("tap exportCalendarBtn");
  EXPECT_TRUE(has(s, "alert:  | 已加入行事曆 4 筆，2 筆無法讀取 | 確定\n")) << s;
  EXPECT_EQ(run("opened"), "opened: file://" + documents() + "/courses.ics\n");
  const std::string events = readCalendar("courses.ics");
  const std::string weekly = " | FREQ=WEEKLY;UNTIL=20270131T155959Z\n";
  // Monday 7 December 2026 is the week of the export.
  EXPECT_TRUE(has(events, " | 2026-12-10T10:10:00+08:00 | Asia/Taipei | 2026-12-10T12:00:00+08:00 | Asia/Taipei"
                          " | 資料結構 | E301 | 王明哲" + weekly))
      << events;
  EXPECT_TRUE(has(events, " | 2026-12-10T14:10:00+08:00 | Asia/Taipei | 2026-12-10T16:00:00+08:00 | Asia/Taipei"
                          " | 資料結構 | E301 | 王明哲" + weekly))
      << events;
  EXPECT_TRUE(has(events, " | 2026-12-07T14:10:00+08:00 | Asia/Taipei | 2026-12-07T15:00:00+08:00 | Asia/Taipei"
                          " | 線性代數 |  | 王明哲" + weekly))
      << events;
  EXPECT_TRUE(has(events, " | 2026-12-13T20:10:00+08:00 | Asia/Taipei | 2026-12-13T22:00:00+08:00 | Asia/Taipei"
                          " | 夜間部 | N1 | 王明哲" + weekly))
      << events;
  auto ids = uids(events);
  ASSERT_EQ(ids.size(), 4u);
  EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), 4u) << "two blocks on one day are two events";
}

// The semester ends on 31 January for August to January and on 30 June for
// February to July, at 23:59:59 in Taipei; events start in the week (from
// Monday) of the export.
TEST(CourseCalendar, TheSemesterEndAndTheFirstWeekFollowTheDateOfTheExport) {
  Value::Array monday = {Value::dictionary({{"課程名稱", "微積分"}, {"星期節次地點", "一/01/A1"}, {"老師", "x"}})};
  struct Case {
    const char* now;
    WallTime start, until;
  };
  for (const Case& c : {Case{"2027-01-20T23:30:00+08:00", {2027, 1, 18, 8, 10}, {2027, 1, 31, 23, 59, 59}},
                        Case{"2027-02-01T00:10:00+08:00", {2027, 2, 1, 8, 10}, {2027, 6, 30, 23, 59, 59}},
                        Case{"2027-03-07T12:00:00+08:00", {2027, 3, 1, 8, 10}, {2027, 6, 30, 23, 59, 59}}}) {
    auto t = parseDate("yyyy-MM-dd'T'HH:mm:ssXXX", c.now);
    ASSERT_TRUE(t) << c.now;
    auto entries = courseCalendarEntries(monday, *t);
    ASSERT_EQ(entries.events.size(), 1u) << c.now;
    EXPECT_EQ(entries.events[0].start, c.start) << c.now;
    EXPECT_EQ(entries.events[0].weeklyUntil, c.until) << c.now;
  }
  // In July the semester is over: nothing is left to add, and nothing is
  // unreadable either.
  auto july = courseCalendarEntries(monday, *parseDate("yyyy-MM-dd HH:mm", "2027-07-12 09:00"));
  EXPECT_TRUE(july.events.empty());
  EXPECT_EQ(july.unreadable, 0);
}

}  // namespace
}  // namespace yx::test
