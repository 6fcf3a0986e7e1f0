// The student's course changes from the Student menu: the sign-in form that
// stores only after a good answer, the entry screen's notices and new-data
// mark, the flag students and teachers share, the semester-start reset, the
// whole-semester list's jump to this month, and clearing.

#include <gtest/gtest.h>

#include "academic/signing.h"
#include "tests/academic/academic_support.h"

namespace yx::test {
namespace {

class StudentChangesTest : public AcademicFixture {
protected:
  size_t delivered() {
    size_t n = 0;
    for (auto& l : notificationLines()) n += l.rfind("notification delivered", 0) == 0;
    return n;
  }
};

TEST_F(StudentChangesTest, TheFormStoresOnlyAfterAGoodAnswerThenTheEntryAnnounces) {
  preset({});
  start();
  run("tap 3");
  std::string s = run("tap courseChangeBtn");
  ASSERT_TRUE(has(s, "screen: subjectChangeViewController depth 3")) << s;
  s = run("tap inquiryBtn");
  EXPECT_TRUE(has(s, "alert: 警告 | 請輸入學號。 | 重新輸入")) << s;
  run("alert 0");
  run("type idField " + std::string(kStudent));
  s = run("tap inquiryBtn");
  EXPECT_TRUE(has(s, "alert: 警告 | 請輸入密碼。 | 重新輸入")) << s;
  run("alert 0");

  run("type passwordField wrong");
  s = run("tap inquiryBtn");
  EXPECT_TRUE(has(s, "alert: 錯誤 | 學號或密碼錯誤 | 重新輸入")) << s;
  EXPECT_TRUE(has(s, "spinner activityIndicator: on")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "field idField: 41120307\n")) << s;
  EXPECT_TRUE(has(s, "field passwordField: [請輸入密碼]\n")) << s;
  EXPECT_FALSE(has(s, "spinner")) << s;
  for (const char* key : {"學號", "密碼", "stuSubjectNoAry"}) EXPECT_EQ(setting(key), "(absent)") << key;

  run("type passwordField " + std::string(kPassword));
  s = run("tap inquiryBtn");
  ASSERT_TRUE(has(s, "screen: subjectChangeListViewController depth 4")) << s;
  EXPECT_EQ(setting("學號"), kStudent);
  EXPECT_EQ(setting("密碼"), kPassword);
  EXPECT_EQ(storedList("stuSubjectNoAry"),
            (std::vector<std::string>{"1131001", "1131014", "1131027", "1131102", "1131215", "1131330"}));
  auto reqs = requestsFor("//emisappws/AppWebService.asmx/StuEleCosEleSeqList2XML");
  ASSERT_EQ(reqs.size(), 2u) << "two slashes after the host";
  EXPECT_EQ(reqs[1]["check"], "ok");

  // 0.1 s later the temporary changes of the student's courses are announced.
  EXPECT_FALSE(has(s, "image newMark")) << s;
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "image newMark: new.png loaded")) << s;
  EXPECT_EQ(setting("是否有進入暫時"), "NO");
  // What is new follows the refresh's rules (see the refresh cases).
  EXPECT_EQ(storedList("41120307stu_temp_subjectNameAry").size(), 8u);
  EXPECT_GE(delivered(), 8u);

  // Back: the Student menu (index 1) while the stack is shorter than 6.
  s = run("tap 1");
  EXPECT_TRUE(has(s, "screen: imStudentViewController depth 2")) << s;
  // Signed in now: straight to the entry screen; nothing new this time.
  size_t before = notificationLines().size();
  s = run("tap courseChangeBtn");
  EXPECT_TRUE(has(s, "screen: subjectChangeListViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "image newMark: new.png loaded")) << "the flag still says NO: " << s;
  run("wait 0.2");
  EXPECT_EQ(notificationLines().size(), before);

  // Opening the temporary changes clears the mark, for student and teacher alike.
  s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: subjectChageTemporaryViewController depth 4")) << s;
  EXPECT_EQ(setting("是否有進入暫時"), "YES");
  EXPECT_EQ(setting("功能名稱"), "暫時-學生");
  run("tap 1");
  // One flag for both: the teacher's entry shows no mark now.
  run("tap 0");
  run("tap 21");
  Settings::standard().setString("teacherID", kTeacher);
  Settings::standard().setString("teacherPW", encodePwMethod("cs201,data:78"));
  Settings::standard().setObject("teacherSubjectNoAry", Value::stringArray(kTeacherCourses));
  s = run("tap 2 課程異動");
  EXPECT_FALSE(has(s, "image newMark")) << s;
  s = run("wait 0.2");
  // ... until the teacher's own new changes come.
  EXPECT_TRUE(has(s, "image newMark: new.png loaded")) << s;
  EXPECT_EQ(setting("是否有進入暫時"), "NO");
  EXPECT_NE(storedList("30127tea_temp_allShowedSubjectNoAry"), storedList("41120307stu_temp_allShowedSubjectAry"));
}

TEST_F(StudentChangesTest, OnTheFirstDayOfASemesterEveryChangeIsNewAgain) {
  options.now = "2027-08-01T08:00:00+08:00";
  serveTemporary({{"1131001", "資工二A", "資料結構", "王明哲", "8/5(四)第3-4節", "8/12"}});
  preset({{"學號", Value(kStudent)},
          {"stuSubjectNoAry", Value::stringArray({"1131001"})},
          {"41120307stu_temp_allShowedSubjectAry", Value::stringArray({"8/5(四)第3-4節8/12"})},
          {"是否有進入暫時", Value("YES")}});
  start();
  run("tap 3");
  std::string s = run("tap courseChangeBtn");
  EXPECT_EQ(setting("是否有進入暫時"), "(absent)");
  EXPECT_FALSE(storedSettings().contains("41120307stu_temp_allShowedSubjectAry"));
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "image newMark: new.png loaded")) << s;
  EXPECT_EQ(storedList("41120307stu_temp_allShowedSubjectAry"), (std::vector<std::string>{"8/5(四)第3-4節8/12"}));
  EXPECT_EQ(delivered(), 1u);

  // On other days the seen-set holds.
  run("tap 1");
  run("wait 86400");
  run("tap courseChangeBtn");
  run("wait 0.2");
  EXPECT_EQ(delivered(), 1u) << "not announced again";
}

TEST_F(StudentChangesTest, TheSemesterListJumpsOnceToThisMonthsFirstChange) {
  serveFeed("/data/xml/crs_chg.xml",
            changeFeed("crs_chg", {{"1131001", "資工二A", "資料結構", "王明哲", "星期四 E301", "9/15起 改至E305"},
                                   {"9999", "企管三", "行銷", "吳冠廷", "星期一", "12/1起 改至M2"},
                                   {"1131027", "資工二A", "計算機組織", "林志成", "星期二", "10/6起 改至E410"},
                                   {"1131102", "資工二A", "機率與統計", "張淑芬", "星期三", "12/1起 改至A201"},
                                   {"1131014", "資工二A", "線性代數", "陳怡安", "星期一", "12/8起 改至B220"}}));
  presetSignedIn(true, false);
  start();
  run("tap 3");
  run("tap courseChangeBtn");
  std::string s = run("tap 3");
  EXPECT_TRUE(has(s, "screen: subjectChageSemesterViewController depth 4\nlabel titleLabel: 整學期異動\n"
                     "button 1: 首頁\nbutton 2: 返回\n"))
      << s;
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "table myTableView rows 4 at 2.0 bottom\n")) << s;
  EXPECT_TRUE(has(s, "  row 2.0: 資工二A | 機率與統計 | 張淑芬 | 原定 | 星期三 | 異動 | 12/1起 改至A201\n")) << s;
  s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: subjectChangeListViewController depth 3")) << s;

  // Nothing for the student's courses: said, and back on 確定.
  serveFeed("/data/xml/crs_chg.xml", changeFeed("crs_chg", {{"9999", "企管三", "行銷", "吳冠廷", "星期一", "12/1起"}}));
  run("tap 3");
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "alert: 訊息 | 沒有整學期異動之課程！ | 確定")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: subjectChangeListViewController depth 3")) << s;
}

TEST_F(StudentChangesTest, TemporaryListsOfUnequalLengthShowEmptyCellsAndClearingKeepsTheSeenSet) {
  const std::string stu = kStudent;
  preset({{"學號", Value(kStudent)},
          {stu + "stu_temp_departmentAry", Value::stringArray({"甲", "乙", "丙"})},
          {stu + "stu_temp_subjectNameAry", Value::array({Value("國文"), Value(3)})},
          {stu + "stu_temp_allShowedSubjectAry", Value::stringArray({"k1", "k2", "k3"})}});
  start();
  Application::shared().scheduleLocalNotification(LocalNotification{"其他提醒", "", "", 0, 4.0e9, {}});
  run("tap 3");
  run("tap courseChangeBtn");
  std::string s = run("tap 2");
  EXPECT_TRUE(has(s, "table myTableView rows 3\n  row 0.0: 甲 | 國文 | 原定 | 異動\n  row 0.1: 乙 | 原定 | 異動\n"
                     "  row 0.2: 丙 | 原定 | 異動\n"))
      << s;
  run("tap 2");
  run("alert 0");
  EXPECT_FALSE(storedSettings().contains(stu + "stu_temp_departmentAry"));
  EXPECT_FALSE(storedSettings().contains(stu + "stu_temp_subjectNameAry"));
  EXPECT_EQ(storedList(stu + "stu_temp_allShowedSubjectAry"), (std::vector<std::string>{"k1", "k2", "k3"}));
  EXPECT_TRUE(Application::shared().scheduledLocalNotifications().empty()) << "every reminder of the app";
  s = run("tap 2");
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "alert: 訊息 | 沒有暫時異動之課程！ | 確定")) << s;
}

}  // namespace
}  // namespace yx::test
