// The Student menu, its sign-in forms and logout as a person meets them, on
// the simulator: which screen each button opens signed in or not, what is
// recorded and reported, the form's warnings in order, what is stored when,
// and what logout removes.

#include <gtest/gtest.h>

#include "academic/sign_in_form.h"
#include "academic/signing.h"
#include "academic/student/student_sign_in.h"
#include "tests/academic/academic_support.h"

namespace yx::test {
namespace {

class StudentMenuTest : public AcademicFixture {};

// Signed out, each service opens its form; the forms record and report
// usage by their own rules, and the scores form keeps its number under "id".
TEST_F(StudentMenuTest, SignedOutServicesOpenTheirFormsAndRecordTheirUsage) {
  preset({{"id", "41031122"}});
  startReady();
  std::string s = openMenu();
  ASSERT_TRUE(has(s, "screen: imStudentViewController depth 2\nlabel titleLabel: 學生專區\nbutton 1: 首頁\n"
                     "button 2: 返回\nbutton 3: 登出\nbutton 0: 我的課表\nbutton 1: 考試小表\nbutton 2: 期中期末成績\n"
                     "button 3: 課程異動\n"))
      << s;

  s = run("tap courseListBtn");
  EXPECT_TRUE(has(s, "screen: inquiryListViewController depth 3\n")) << s;
  EXPECT_TRUE(has(s, "label titleLabel: 我的課表\n")) << s;
  EXPECT_TRUE(has(s, "field idField: [請輸入學號]\nlabel passwordFieldCaption: 密碼\nfield passwordField: [請輸入密碼]\n"
                     "button inquiryBtn: 查詢\nbutton resetBtn: 清除\n"))
      << s;
  EXPECT_EQ(setting("功能名稱"), "我的課表");
  // The course-list and timetable forms report on the way out.
  s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: imStudentViewController depth 2")) << s;
  Background::drain(10);
  ASSERT_EQ(requestsFor("/Data/situ1.aspx").size(), 1u);
  EXPECT_EQ(requestsFor("/Data/situ1.aspx")[0]["query"]["fn"], "我的課表");
  s = run("tap examListBtn");
  EXPECT_TRUE(has(s, "screen: testListViewController depth 3")) << s;
  EXPECT_EQ(setting("功能名稱"), "考試小表");
  s = run("tap 1");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  Background::drain(10);
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 2u);

  // The scores button records nothing until the form is sent, and the form
  // reports only its own usage.
  openMenu();
  s = run("tap scoreBtn");
  EXPECT_TRUE(has(s, "screen: examScoreViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "button 3: \n")) << "the background has tag 3: " << s;
  EXPECT_TRUE(has(s, "field idField: 41031122\n")) << s;
  EXPECT_EQ(setting("功能名稱"), "首頁");
  run("tap 2");
  Background::drain(10);
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 2u);
  run("tap scoreBtn");
  s = signIn();
  EXPECT_TRUE(has(s, "screen: examScoreXMLViewController depth 4")) << s;
  EXPECT_EQ(setting("id"), kStudent);
  EXPECT_EQ(setting("功能名稱"), "期中期末成績");
  run("wait 1.5");
  // Back from the scores, then from a fresh form: both report now.
  run("tap 2");
  s = run("tap scoreBtn");
  EXPECT_TRUE(has(s, "screen: examScoreXMLViewController depth 3")) << "signed in now: " << s;
  run("wait 1.5");
  run("tap 1");
  Background::drain(10);
  auto reports = requestsFor("/Data/situ1.aspx");
  ASSERT_EQ(reports.size(), 4u);
  EXPECT_EQ(reports[3]["query"]["fn"], "期中期末成績");
  // "id" outlives logout.
  openMenu();
  run("tap logoutBtn");
  run("alert 0");
  EXPECT_EQ(setting("id"), kStudent);
  s = run("tap scoreBtn");
  EXPECT_TRUE(has(s, "field idField: 41120307\n")) << s;

  run("tap 2");
  const size_t asked = academicRequests().size();
  s = run("tap courseChangeBtn");
  EXPECT_TRUE(has(s, "screen: subjectChangeViewController depth 3")) << s;
  EXPECT_EQ(academicRequests().size(), asked);
}

// The form moves up once while editing, warns in order, then stores what
// was typed and empties its fields; signed in, the services go straight to
// their results with the stored credentials.
TEST_F(StudentMenuTest, FormWarnsInOrderThenStoresWhatWasTypedAndEmptiesItsFields) {
  startReady();
  openMenu();
  run("tap examListBtn");
  auto* form = top<SignInFormViewController>();
  ASSERT_TRUE(form);
  const Rect rest = form->view().frame();
  const Rect up{rest.x, rest.y - 70, rest.width, rest.height + 70};
  run("focus idField");
  EXPECT_EQ(form->view().frame(), up);
  // From one field to the other: still up by 70, not twice, not down.
  run("focus passwordField");
  EXPECT_EQ(form->view().frame(), up);
  run("return passwordField");
  EXPECT_EQ(form->view().frame(), rest);
  run("focus idField");
  EXPECT_EQ(form->view().frame(), up);
  run("tap backgroundTap");
  EXPECT_EQ(form->view().frame(), rest);
  EXPECT_FALSE(form->idField().isFirstResponder());

  run("focus idField");
  std::string s = run("tap inquiryBtn");
  EXPECT_TRUE(has(s, "alert: 警告 | 請輸入學號。 | 確定\n")) << s;
  EXPECT_EQ(form->view().frame(), rest) << "the query button ends editing too";
  run("alert 0");
  run("type passwordField x");
  s = run("tap inquiryBtn");
  EXPECT_TRUE(has(s, "alert: 警告 | 請輸入學號。 | 確定\n")) << "the number is checked first: " << s;
  run("alert 0");
  EXPECT_TRUE(has(screen(), "field passwordField: *\n")) << "the warning keeps the fields";
  run("tap resetBtn");
  run("type idField 41120307");
  s = run("tap inquiryBtn");
  EXPECT_TRUE(has(s, "alert: 警告 | 請輸入密碼。 | 確定\n")) << s;
  run("alert 0");
  EXPECT_EQ(setting("學號"), "(absent)");
  EXPECT_TRUE(academicRequests().empty());

  s = run("tap resetBtn");
  EXPECT_TRUE(has(s, "field idField: [請輸入學號]\n")) << s;
  // A password with characters a query would otherwise cut or change.
  s = signIn(kStudent, kPassword);
  EXPECT_TRUE(has(s, "screen: testListInquiryViewController depth 4")) << s;
  EXPECT_EQ(setting("學號"), kStudent);
  EXPECT_EQ(setting("密碼"), kPassword);
  EXPECT_EQ(form->idField().text(), "");
  EXPECT_EQ(form->passwordField().text(), "");

  run("wait 1.5");
  auto reqs = academicRequests();
  ASSERT_EQ(reqs.size(), 2u) << "probe and transfer";
  EXPECT_EQ(reqs[1]["path"], "//emisappws/AppWebService.asmx/StuExamList2XML");
  EXPECT_EQ(reqs[1]["check"], "ok");
  EXPECT_EQ(reqs[1]["query"]["pStuNo"], kStudent);
  EXPECT_EQ(encodePwMethod(reqs[1]["query"]["pPass"].get<std::string>()), kPassword);

  run("alert 0");
  run("tap 2");

  // A number without a password signs an empty one.
  Settings::standard().removeObjectForKey("密碼");
  run("tap examListBtn");
  run("wait 0.5");
  const std::string raw = academicRequests().back()["raw_query"];
  EXPECT_EQ(raw.substr(raw.size() - 7), "&pPass=");
  EXPECT_EQ(academicRequests().back()["check"], "password");
}

// Logout removes its two caches and three keys and keeps "id"; it deletes
// the caches only when the keys name them, whatever else they hold.
TEST_F(StudentMenuTest, LogoutRemovesOnlyItsTwoCachesAndThreeKeys) {
  preset({{"學號", kStudent}, {"密碼", kPassword}, {"id", kStudent}, {"姓名", "林子晴"},
          {"考試小表", "stu_exam_table"}, {"我的課表", "stu_ele_table"},
          {"stuSubjectNoAry", Value::stringArray({"1131001"})}});
  leaveFile("stu_exam_table.plist", "x");
  leaveFile("stu_ele_table.plist", "x");
  leaveFile("news.plist", "x");
  std::filesystem::create_directories(std::filesystem::path(dataDir()) / "Documents" / "keep");
  startReady();
  openMenu();
  std::string s = run("tap logoutBtn");
  EXPECT_TRUE(has(s, "alert:  | 成功登出 | 確定\n")) << s;
  run("alert 0");
  EXPECT_EQ(plistlib("stu_exam_table"), "MISSING");
  EXPECT_EQ(plistlib("stu_ele_table"), "MISSING");
  EXPECT_TRUE(std::filesystem::exists(cacheFile("news")));
  for (const char* gone : {"學號", "密碼", "stuSubjectNoAry"}) EXPECT_EQ(setting(gone), "(absent)") << gone;
  EXPECT_EQ(setting("id"), kStudent);
  // Persisted at once.
  Settings::standard().close();
  Settings::standard().open(dataDir());
  EXPECT_EQ(setting("學號"), "(absent)");

  leaveFile("stu_exam_table.plist", "x");
  leaveFile("stu_ele_table.plist", "x");
  for (const char* hostile : {"news", "..", "/", "../settings", "../../Documents", "keep", "", "stu_ele_table"}) {
    Settings::standard().setString("考試小表", hostile);
    Settings::standard().setString("我的課表", hostile == std::string("stu_ele_table") ? "stu_exam_table" : hostile);
    s = run("tap logoutBtn");
    EXPECT_TRUE(has(s, "alert:  | 成功登出 | 確定\n")) << hostile << s;
    run("alert 0");
    for (const char* kept : {"news", "stu_exam_table", "stu_ele_table"})
      EXPECT_TRUE(std::filesystem::exists(cacheFile(kept))) << hostile << " " << kept;
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(dataDir()) / "Documents" / "keep")) << hostile;
    EXPECT_TRUE(std::filesystem::exists(dataDir() + "/settings.plist")) << hostile;
  }
  // Signed out now: the services open their forms.
  s = run("tap examListBtn");
  EXPECT_TRUE(has(s, "screen: testListViewController")) << s;
}

}  // namespace
}  // namespace yx::test
