// The course-change refresh as the platform runs it (the driver's `fetch`):
// the feed from the simulator, what is announced and when, and what is kept
// in the settings store, read back by Python's plistlib. Also the dates a
// change text gives, at the turn of the year too.

#include <gtest/gtest.h>

#include "academic/course_changes.h"
#include "platform/dates.h"
#include "tests/academic/academic_support.h"

namespace yx::test {
namespace {

// Dates as UTC "yyyy-MM-dd HH:mm".
std::string one(std::optional<TimePoint> t) {
  EXPECT_TRUE(setTimeZone("UTC"));
  return t ? formatDate("yyyy-MM-dd HH:mm", *t) : "none";
}
std::vector<std::string> all(const std::vector<TimePoint>& v) {
  std::vector<std::string> out;
  for (auto t : v) out.push_back(one(t));
  return out;
}

TEST(ChangeDates, FormerMeetingIsTheMonthDayBeforeTheBracketAtMidnightUtc) {
  EXPECT_EQ(one(formerMeetingDate("12/5(六)第3-4節", 2026)), "2026-12-05 00:00");  // one-digit day
  EXPECT_EQ(one(formerMeetingDate("3/15(日)第1節", 2026)), "2026-03-15 00:00");
  EXPECT_EQ(one(formerMeetingDate("12/05", 2026)), "2026-12-05 00:00");
  EXPECT_EQ(one(formerMeetingDate("2/29(四)", 2028)), "2028-02-29 00:00");
  // No date: a bracket or letter first, impossible days, text after the date.
  for (const char* text : {"(補課)第5-6節", "補課", "", "13/45(一)", "2/30(一)", "2/29(日)", "0/5(一)",
                           "12/5 第3節", "123/4(一)"})
    EXPECT_EQ(one(formerMeetingDate(text, 2026)), "none") << text;
}

TEST(ChangeDates, ChangedMeetingGivesEachMonthDayPartOrFourDigits) {
  EXPECT_EQ(all(changedMeetingDates("3/15", 2026)), (std::vector<std::string>{"2026-03-15 00:00"}));
  EXPECT_EQ(all(changedMeetingDates("0315", 2026)), (std::vector<std::string>{"2026-03-15 00:00"}));
  EXPECT_EQ(all(changedMeetingDates("12/18,12/25", 2026)),
            (std::vector<std::string>{"2026-12-18 00:00", "2026-12-25 00:00"}));
  // The copy stops at the first character whose low eight bits are zero (一 is U+4E00).
  EXPECT_EQ(all(changedMeetingDates("12/30一,12/31", 2026)), (std::vector<std::string>{"2026-12-30 00:00"}));
  // An impossible part gives nothing; the others still count.
  EXPECT_EQ(all(changedMeetingDates("13/45,2/30,12/9", 2026)), (std::vector<std::string>{"2026-12-09 00:00"}));
  for (const char* text : {"315", "停課", "", "1/2/3", "12/30(三)", "1315", "03150"})
    EXPECT_TRUE(changedMeetingDates(text, 2026).empty()) << text;
}

TEST(ChangeFeed, ItemsAreTheRootsNamedChildrenWithTheFirstOfEachField) {
  auto items = parseCourseChangeFeed(
      "<x><lve_reg><序號>1</序號><科目>甲</科目><科目>乙</科目><原始>12/1(一)</原始><異動>12/2</異動>"
      "<extra>?</extra></lve_reg><crs_chg><序號>2</序號></crs_chg><note/>"
      "<lve_reg><序號> 3 </序號><教師>A&amp;B<b>c</b></教師></lve_reg></x>",
      "lve_reg");
  ASSERT_TRUE(items);
  ASSERT_EQ(items->size(), 2u);
  EXPECT_EQ((*items)[0].serial, "1");
  EXPECT_EQ((*items)[0].subject, "甲");
  EXPECT_EQ((*items)[0].department, "");
  EXPECT_EQ((*items)[0].key(), "12/1(一)12/2");
  EXPECT_EQ((*items)[1].serial, " 3 ");
  EXPECT_EQ((*items)[1].teacher, "A&Bc");
  EXPECT_FALSE(parseCourseChangeFeed("<x><lve_reg><序號>1</序號></lve_reg>", "lve_reg"));
  EXPECT_FALSE(parseCourseChangeFeed("", "lve_reg"));
}

class RefreshTest : public AcademicFixture {};

TEST_F(RefreshTest, OneChangeGivesANoticeAtOnceAndTwoRemindersPerDate) {
  presetSignedIn(true, false);
  serveTemporary({{"1131330", "體育室", "體育(二)", "許家豪", "12/11(五)第3節", "12/18,12/25"}});
  start();
  std::string s = run("fetch");
  EXPECT_NE(s.find("screen: corvaleViewController depth 1"), std::string::npos) << s;
  const std::string text = "課程異動：\\n體育(二) 許家豪\\n12/11(五)第3節\\n異動：12/18,12/25";
  // Midnight UTC of each date is 08:00 in Taipei: reminders at 12:00 three days
  // before (68 hours) and at 07:00 the same day (1 hour).
  EXPECT_EQ(notificationLines(), (std::vector<std::string>{
                                     "notification delivered 2026-12-07 09:30:00: " + text,
                                     "notification scheduled 2026-12-08 12:00:00: " + text,
                                     "notification scheduled 2026-12-11 07:00:00: " + text,
                                     "notification scheduled 2026-12-15 12:00:00: " + text,
                                     "notification scheduled 2026-12-18 07:00:00: " + text,
                                     "notification scheduled 2026-12-22 12:00:00: " + text,
                                     "notification scheduled 2026-12-25 07:00:00: " + text,
                                 }));
  auto saved = readPlist("notifications.plist");
  ASSERT_TRUE(saved.is_array());
  ASSERT_EQ(saved.size(), 6u);
  EXPECT_EQ(saved[0]["alertBody"], "課程異動：\n體育(二) 許家豪\n12/11(五)第3節\n異動：12/18,12/25");
  EXPECT_EQ(saved[0]["badgeNumber"], -1);

  // Due reminders are presented as time passes, and list with their fire date.
  run("wait 100000");
  auto lines = notificationLines();
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[1], "notification delivered 2026-12-08 12:00:00: " + text);
  EXPECT_EQ(lines[2], "notification scheduled 2026-12-11 07:00:00: " + text);
  EXPECT_EQ(readPlist("notifications.plist").size(), 5u);
}

TEST_F(RefreshTest, AnnouncesTheUsersNewChangesOnceAndKeepsStudentAndTeacherApart) {
  presetSignedIn();
  // A change the student was already told about.
  preset({{std::string(kStudent) + "stu_temp_allShowedSubjectAry", Value::stringArray({"12/8(二)第1節12/15"})}});
  serveTemporary({
      {"1131001", "資工二A", "資料結構", "林雨澄", "12/10(四)第3-4節", "12/17"},  // both users
      {"9999", "企管三", "行銷管理", "吳冠廷", "12/9(三)第2節", "12/16"},      // nobody's
      {"1131027", "資工二A", "計算機組織", "周品妍", "12/8(二)第1節", "12/15"},   // seen
      {"1131040", "資工一A", "程式設計(一)", "林雨澄", "12/11(五)第1-2節", "12/18"},
      {"1131041", "資工一B", "程式設計(一)", "林雨澄", "12/11(五)第1-2節", "12/18"},  // same key
      {"1131014", "資工二A", "離散數學", "陳映秋", "(補課)第5-6節", "停課"},       // no date at all
  });
  start();
  run("fetch");
  const std::string stu = kStudent, tea = kTeacher;
  EXPECT_EQ(storedList(stu + "stu_temp_allShowedSubjectAry"),
            (std::vector<std::string>{"12/8(二)第1節12/15", "12/10(四)第3-4節12/17", "(補課)第5-6節停課"}));
  EXPECT_EQ(storedList(stu + "stu_temp_subjectNameAry"), (std::vector<std::string>{"資料結構", "離散數學"}));
  EXPECT_EQ(storedList(stu + "stu_temp_departmentAry"), (std::vector<std::string>{"資工二A", "資工二A"}));
  EXPECT_EQ(storedList(stu + "stu_temp_teacherNameAry"), (std::vector<std::string>{"林雨澄", "陳映秋"}));
  EXPECT_EQ(storedList(stu + "stu_temp_beforeDataAry"), (std::vector<std::string>{"12/10(四)第3-4節", "(補課)第5-6節"}));
  EXPECT_EQ(storedList(stu + "stu_temp_afterDataAry"), (std::vector<std::string>{"12/17", "停課"}));
  EXPECT_EQ(storedList(tea + "tea_temp_allShowedSubjectNoAry"),
            (std::vector<std::string>{"12/10(四)第3-4節12/17", "12/11(五)第1-2節12/18"}));
  EXPECT_EQ(storedList(tea + "tea_temp_subjectNameAry"), (std::vector<std::string>{"資料結構", "程式設計(一)"}));
  EXPECT_EQ(storedList(tea + "tea_temp_departmentAry"), (std::vector<std::string>{"資工二A", "資工一A"}));
  // The flag belongs to the screens.
  EXPECT_FALSE(storedSettings().contains("是否有進入暫時"));

  // Student: 資料結構 (two dates: 5); teacher: 資料結構 (5) and 程式設計 (5).
  auto lines = notificationLines();
  EXPECT_EQ(lines.size(), 15u);
  size_t delivered = 0;
  for (auto& l : lines) delivered += l.rfind("notification delivered", 0) == 0;
  EXPECT_EQ(delivered, 3u);
  ASSERT_EQ(requestsFor("/data/xml/lve_reg.xml").size(), 1u) << "one feed serves both users";

  // Nothing is new the second time.
  run("fetch");
  EXPECT_EQ(notificationLines().size(), 15u);
  EXPECT_EQ(storedList(stu + "stu_temp_subjectNameAry").size(), 2u);
  EXPECT_EQ(requestsFor("/data/xml/lve_reg.xml").size(), 2u);
}

TEST_F(RefreshTest, ChangesDatedAtTheTurnOfTheYearStayInTheCalendarYear) {
  // Sunday 27 December 2026: the week-based year is already 2027.
  options.now = "2026-12-27T10:00:00+08:00";
  presetSignedIn(true, false);
  serveTemporary({{"1131001", "資工二A", "資料結構", "林雨澄", "12/31(四)第3-4節", "1/4"}});
  start();
  run("fetch");
  const std::string text = "課程異動：\\n資料結構 林雨澄\\n12/31(四)第3-4節\\n異動：1/4";
  // 31 December of this year; a January date read in December stays in this
  // year too, so its reminders are past and presented at once.
  EXPECT_EQ(notificationLines(), (std::vector<std::string>{
                                     "notification delivered 2026-12-27 10:00:00: " + text,
                                     "notification delivered 2026-01-01 12:00:00: " + text,
                                     "notification delivered 2026-01-04 07:00:00: " + text,
                                     "notification scheduled 2026-12-28 12:00:00: " + text,
                                     "notification scheduled 2026-12-31 07:00:00: " + text,
                                 }));
}

TEST_F(RefreshTest, UnusableFeedsChangeNothingAndTheFetchCompletes) {
  presetSignedIn();
  start();
  auto before = storedSettings();
  for (sim::Fault f : {sim::Fault{.status = 404}, sim::Fault{.status = 500, .body = std::string("<a></a>")},
                       sim::Fault{.body = std::string("<NewDataSet><lve_reg><序號>3081</序號>")},
                       sim::Fault{.cutAfter = 40}}) {
    sim().setFault("/data/xml/lve_reg.xml", f);
    std::string s = run("fetch");
    EXPECT_NE(s.find("screen: corvaleViewController depth 1"), std::string::npos) << s;
    EXPECT_TRUE(notificationLines().empty());
    EXPECT_EQ(storedSettings(), before);
  }
  EXPECT_EQ(requestsFor("/data/xml/lve_reg.xml").size(), 4u);
}

TEST_F(RefreshTest, OddStoredStateGivesEmptyEntriesNeverACrash) {
  const std::string stu = kStudent;
  Value mixed = Value::array({Value(7), Value("乙")});
  preset({{"學號", Value(kStudent)},
          {"stuSubjectNoAry", Value::array({Value("1131001"), Value(3094)})},
          {stu + "stu_temp_departmentAry", Value::stringArray({"甲班"})},
          {stu + "stu_temp_subjectNameAry", mixed},
          {stu + "stu_temp_allShowedSubjectAry", Value("not a list")},
          // A teacher's course list without a teacher number: nothing to key it by.
          {"teacherSubjectNoAry", Value::stringArray(kTeacherCourses)}});
  serveTemporary({{"1131001", "資工二A", "資料結構", "林雨澄", "12/10(四)第3-4節", "12/17"}});
  start();
  run("fetch");
  EXPECT_EQ(storedList(stu + "stu_temp_departmentAry"), (std::vector<std::string>{"甲班", "資工二A"}));
  EXPECT_EQ(storedList(stu + "stu_temp_subjectNameAry"), (std::vector<std::string>{"", "乙", "資料結構"}));
  EXPECT_EQ(storedList(stu + "stu_temp_afterDataAry"), (std::vector<std::string>{"12/17"}));
  EXPECT_EQ(storedList(stu + "stu_temp_allShowedSubjectAry"), (std::vector<std::string>{"12/10(四)第3-4節12/17"}));
  auto stored = storedSettings();
  for (auto& [k, v] : stored.items()) EXPECT_EQ(k.find("tea_temp"), std::string::npos) << k;
}

}  // namespace
}  // namespace yx::test
