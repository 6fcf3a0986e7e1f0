// The teacher services as a teacher meets them, on the simulator with the
// virtual clock: the menu and sign-in form, the course list and its offline
// copy, the rosters as PDF files, logout, and the course changes; with what
// went over the wire and what is kept in the settings store and Documents.

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "academic/signing.h"
#include "academic/teacher/teacher_common.h"
#include "academic/teacher/teacher_courses.h"
#include "tests/academic/academic_support.h"

namespace yx::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTeacherPassword = "cs201,data:78";

std::string rosterFile(const std::string& code) {
  return readWhole(fs::path(YX_SOURCE_DIR) / "sim/data/academic/emisappws/AppWebService.asmx" /
                   ("TeachEleStuPDF2XML@pCosNo=" + code));
}

std::string courseList(const std::vector<std::array<std::string, 4>>& courses, const std::string& tail = "") {
  std::string x = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<NewDataSet>\n";
  for (auto& c : courses)
    x += "<Teach_Ele_List><科目代號>" + c[0] + "</科目代號><科目名稱>" + c[1] + "</科目名稱><星期教室節次>" + c[2] +
         "</星期教室節次><學生人數>" + c[3] + "</學生人數></Teach_Ele_List>\n";
  return x + tail + "</NewDataSet>\n";
}

// The edges of the names the roster and cache files take (the screens show
// the common cases).
TEST(TeacherFiles, NamesFromTypedOrServerTextStayInsideDocuments) {
  auto name = [](std::string_view t) { return documentFileName(t).value_or("(none)"); };
  EXPECT_EQ(name("a/b\\c%d"), "a%2Fb%5Cc%25d");
  EXPECT_EQ(name(std::string("a\0b\x01\x7f", 5)), "a%00b%01%7F");
  EXPECT_EQ(name("."), "%2E");
  EXPECT_EQ(name(".."), "%2E.");
  EXPECT_EQ(name("x."), "x.");
  EXPECT_EQ(name(std::string(255, 'a')), std::string(255, 'a'));
  EXPECT_EQ(name(std::string(256, 'a')), "(none)");
  EXPECT_EQ(name(std::string(90, '/')), "(none)") << "270 bytes once escaped";
  EXPECT_FALSE(rosterPath(""));
  EXPECT_FALSE(rosterPath(std::string(252, 'a')));
  EXPECT_TRUE(rosterPath(std::string(251, 'a')));
}

class TeacherTest : public AcademicFixture {
protected:
  void startTeacher(bool signedIn) {
    if (signedIn)
      preset({{"teacherID", Value(kTeacher)}, {"teacherPW", Value(encodePwMethod(kTeacherPassword))}});
    else
      preset({});
    start();
  }
  // From the Teacher menu, signed out: the service button, then the form.
  std::string signInThrough(const std::string& tapService, const std::string& number = kTeacher,
                            const std::string& password = kTeacherPassword) {
    std::string s = run(tapService);
    EXPECT_NE(s.find("screen: imTeacherLoginViewController depth 3"), std::string::npos) << s;
    run("type idField " + number);
    run("type pwField " + password);
    return run("tap inquiryBtn");
  }
  std::vector<nlohmann::json> teacherRequests(const std::string& method) {
    return requestsFor(std::string(kMethods) + method);
  }
  bool document(const std::string& name) { return fs::exists(fs::symlink_status(fs::path(documents()) / name)); }
};

TEST_F(TeacherTest, SignInLeadsToTheChosenServiceAndOnlyAGoodAnswerSignsIn) {
  startTeacher(false);
  std::string s = run("tap 21");
  ASSERT_TRUE(has(s, "screen: imTeacherViewController depth 2\nlabel titleLabel: 教師專區\nbutton 1: 首頁\n"
                     "button 2: 返回\nbutton 0: 我的授課表\nbutton 1: 修課學生\nbutton 2: 課程異動\n"
                     "button logout: 登出\nlabel statusLbl: 尚未登入\n"))
      << s;
  // The form asks for the network each time it shows.
  run("net off");
  s = run("tap 0");
  EXPECT_TRUE(has(s, "screen: imTeacherLoginViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "alert: 網路警示 | 請確認網路連線狀態是否開啟。 | 確定")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: imTeacherViewController depth 2")) << s;
  EXPECT_FALSE(Application::shared().navigation()->transitions().back().animated);
  run("net on");

  s = signInThrough("tap 0", kTeacher, "not it");
  EXPECT_TRUE(has(s, "screen: teacherEleListViewController depth 4")) << s;
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "alert: 錯誤 | 教師代號或密碼錯誤 | 確定")) << s;
  EXPECT_EQ(setting("teacherID"), "(absent)");
  EXPECT_FALSE(document(kTeacher)) << "a refusal is not kept as the offline list";
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: imTeacherLoginViewController depth 3")) << s;
  EXPECT_FALSE(Application::shared().navigation()->transitions().back().animated);

  run("type idField " + std::string(kTeacher));
  run("type pwField " + std::string(kTeacherPassword));
  run("tap inquiryBtn");
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "label countLbl: 共 4 筆\n")) << s;
  EXPECT_TRUE(has(s, "  row 0.0: 資料結構 | 星期四 E301 第3-4節 | 學生人數 : 52 人\n"
                     "  row 0.1: 程式設計(一) | 星期五 E101 第1-2節 | 學生人數 : 48 人\n"))
      << s;
  EXPECT_EQ(setting("teacherID"), kTeacher);
  EXPECT_EQ(setting("teacherPW"), encodePwMethod(kTeacherPassword));
  EXPECT_EQ(setting("功能名稱"), "我的授課表");
  EXPECT_EQ(readWhole(fs::path(documents()) / kTeacher),
            readWhole(fs::path(YX_SOURCE_DIR) / "sim/data/academic/emisappws/AppWebService.asmx" /
                      "TeachEleList2XML@pTeachNo=30127"));

  // One slash after the host, the fields in order, the values escaped.
  auto reqs = teacherRequests("TeachEleList2XML");
  ASSERT_EQ(reqs.size(), 2u);
  const auto& r = reqs[1];
  EXPECT_EQ(r["check"], "ok");
  std::string raw = r["raw_query"];
  EXPECT_EQ(raw.rfind("pTeachNo=30127&pKey=", 0), 0u) << raw;
  EXPECT_NE(raw.find("&pChksum="), std::string::npos);
  EXPECT_EQ(raw.substr(raw.find("&pPass=")), "&pPass=xy%29%211%26dpep%2B%3D%23") << "encoded: xy)!1&dpep+=#";
  EXPECT_EQ(r["query"]["pChksum"], requestChecksum(kTeacher, r["query"]["pKey"].get<std::string>()));

  // Back to the menu; signed in now, the services open at once.
  s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: imTeacherViewController depth 2")) << s;
  EXPECT_TRUE(has(s, "label statusLbl: 教師代號 30127 已登入")) << s;
  s = run("tap 1 修課學生");
  EXPECT_TRUE(has(s, "screen: teacherEleStuViewController depth 3")) << s;
  EXPECT_EQ(setting("功能名稱"), "修課學生");
  run("tap 2");
  s = run("tap 2 課程異動");
  EXPECT_TRUE(has(s, "screen: teaSubChagListViewController depth 3")) << s;
  EXPECT_EQ(setting("功能名稱"), "修課學生") << "the menu records no usage for 課程異動";
}

// No answer or a refusal changes nothing stored. Without an answer the kept
// list shows, whatever the password, and signs nobody in; a refusal is read
// in each screen's element order and shows no rows.
TEST_F(TeacherTest, MissingAnswersAndRefusalsChangeNothingStored) {
  leaveDocument(kTeacher, courseList({{"OLD1", "舊課一", "星期一 A101", "10"}, {"OLD2", "舊課二", "星期二", "20"}}));
  serve("academic", std::string(kMethods) + "TeachEleList2XML@pTeachNo=30127",
        courseList({{"CS201", "資料結構", "星期四", "52"}},
                   "<Teach_Ele_List><Error_Msg>English text</Error_Msg><錯誤訊息>中文說明</錯誤訊息></Teach_Ele_List>"));
  serve("academic", std::string(kMethods) + "TeachEleCosEleSeqList2XML@pTeachNo=30127",
        "<NewDataSet><Teach_Ele_List><cos_ele_seq>1131001</cos_ele_seq></Teach_Ele_List>"
        "<Teach_Ele_List><錯誤訊息>中文說明</錯誤訊息><Error_Msg>English text</Error_Msg></Teach_Ele_List></NewDataSet>");
  preset({{"teacherSubjectNoAry", Value::stringArray({"1130999"})}});
  start();
  const std::string cached = readWhole(fs::path(documents()) / kTeacher);
  const std::string path = std::string(kMethods) + "TeachEleList2XML";
  for (sim::Fault f : {sim::Fault{.status = 503, .body = std::string("<NewDataSet/>")}, sim::Fault{.cutAfter = 10}}) {
    sim().setFault(path, f);
    run("tap 21");
    signInThrough("tap 0", kTeacher, "anything");
    std::string s = run("wait 0.2");
    EXPECT_FALSE(has(s, "alert:")) << s;
    EXPECT_TRUE(has(s, "label countLbl: 共 2 筆\n")) << s;
    EXPECT_TRUE(has(s, "  row 0.0: 舊課一 | 星期一 A101 | 學生人數 : 10 人\n")) << s;
    EXPECT_EQ(setting("teacherID"), "(absent)");
    EXPECT_EQ(setting("teacherPW"), "(absent)");
    EXPECT_EQ(readWhole(fs::path(documents()) / kTeacher), cached);
    run("tap 1");
  }
  // Nothing kept for this teacher: nothing to show.
  run("tap 21");
  signInThrough("tap 0", "30442", "linear 4life");
  std::string s = run("wait 0.2");
  EXPECT_TRUE(has(s, "alert: 錯誤 | 沒有資料！ | 確定")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: imTeacherLoginViewController depth 3")) << s;

  sim().clearFaults();
  run("tap 1");
  run("tap 21");
  signInThrough("tap 0");
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "alert: 錯誤 | 中文說明 | 確定")) << s;
  EXPECT_TRUE(has(s, "table myTableView rows 0")) << "rows before the refusal are not shown: " << s;
  EXPECT_EQ(setting("teacherID"), "(absent)");
  EXPECT_EQ(readWhole(fs::path(documents()) / kTeacher), cached);
  run("alert 0");
  run("tap 1");
  run("tap 21");
  s = signInThrough("tap 2 課程異動");
  EXPECT_TRUE(has(s, "alert: 錯誤 | English text | 確定")) << s;
  s = run("wait 0.2");
  EXPECT_TRUE(requestsFor("/data/xml/lve_reg.xml").empty()) << "no feed after a refusal";
  EXPECT_EQ(storedList("teacherSubjectNoAry"), (std::vector<std::string>{"1130999"}));
  EXPECT_EQ(setting("teacherID"), "(absent)");
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: imTeacherLoginViewController depth 3")) << s;
}

TEST_F(TeacherTest, ReloadSendsTheFirstURLAgainAndBackFollowsTheStackDepth) {
  startTeacher(true);
  run("tap 21");
  run("tap 0");
  run("wait 0.2");
  std::string s = run("tap reloadBtn");
  EXPECT_TRUE(has(s, "table myTableView rows 0\nspinner activityIndicator: on\n")) << s;
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "table myTableView rows 4")) << s;
  auto reqs = teacherRequests("TeachEleList2XML");
  ASSERT_EQ(reqs.size(), 2u);
  EXPECT_EQ(reqs[0]["raw_query"], reqs[1]["raw_query"]) << "same key and checksum";

  // With exactly 6 or 7 screens back goes to index 4, else to index 1.
  auto* nav = Application::shared().navigation();
  for (size_t fillers : {size_t{2}, size_t{3}, size_t{4}, size_t{5}}) {
    nav->popToRootViewControllerAnimated(false);
    for (size_t i = 0; i < fillers + 1; ++i) nav->pushViewController(std::make_shared<ViewController>(), false);
    auto list = std::make_shared<teacherEleListViewController>();
    list->setHandover(teacherHandover(kTeacher, encodePwMethod(kTeacherPassword)));
    nav->pushViewController(list, false);
    run("wait 0.2");
    size_t depth = nav->depth();
    run("tap 2");
    EXPECT_EQ(nav->depth(), depth == 6 || depth == 7 ? 5u : 2u) << "from depth " << depth;
  }
}

TEST_F(TeacherTest, ARosterIsMarkedOnTapDownloadedOnceAndUpdated) {
  // Last updates kept for three courses: the teacher has four now, so they start afresh.
  preset({{"teacherID", Value(kTeacher)},
          {"teacherPW", Value(encodePwMethod(kTeacherPassword))},
          {"teacherEleStuLastUpdateTime", Value::stringArray({" ", "2026-12-01 10:00:00", " "})}});
  start();
  run("tap 21");
  run("tap 1 修課學生");
  std::string s = run("wait 0.2");
  EXPECT_TRUE(has(s, "  row 0.0: 資料結構 | 星期四 E301 第3-4節 | 學生人數 : 52 人 | 尚未下載\n")) << s;
  EXPECT_FALSE(has(s, "2026-12-01 10:00:00")) << s;
  EXPECT_EQ(storedList("teacherEleStuLastUpdateTime"), (std::vector<std::string>{" ", " ", " ", " "}));

  // The row is marked before its roster arrives.
  s = run("row 0 0");
  EXPECT_TRUE(has(s, "screen: teacherEleStuShowPDFViewController depth 4")) << s;
  EXPECT_EQ(storedList("teacherEleStuLastUpdateTime")[0], "2026-12-07 09:30:00");
  EXPECT_TRUE(teacherRequests("TeachEleStuPDF2XML").empty());
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "web: file://" + documents() + "/CS201.pdf loaded\n")) << s;
  EXPECT_EQ(readWhole(fs::path(documents()) / "CS201.pdf"), rosterFile("CS201"));
  auto reqs = teacherRequests("TeachEleStuPDF2XML");
  ASSERT_EQ(reqs.size(), 1u);
  EXPECT_EQ(reqs[0]["raw_query"].get<std::string>().substr(reqs[0]["raw_query"].get<std::string>().find("&pCosNo")),
            "&pCosNo=CS201");
  run("tap 2");
  run("row 0 0");
  run("wait 0.2");
  EXPECT_EQ(teacherRequests("TeachEleStuPDF2XML").size(), 1u) << "shown from the file";
  s = run("tap 2");
  EXPECT_TRUE(has(s, "  row 0.0: 資料結構 | 星期四 E301 第3-4節 | 學生人數 : 52 人 | 上次更新 : 2026-12-07 09:30:00 | 更新\n"))
      << s;

  run("wait 60");
  s = run("tapcell 0 0 reloadCellPDFData");
  EXPECT_TRUE(has(s, "alert:  | 資料結構\\n更新成功 | 確定")) << s;
  EXPECT_EQ(storedList("teacherEleStuLastUpdateTime")[0], "2026-12-07 09:31:00");
  run("alert 0");
  s = run("wait 0.2");
  EXPECT_FALSE(has(s, "spinner")) << s;

  // Two updates under way together: one alert, both rows updated.
  top<teacherEleStuViewController>()->reloadCellPDFData(1);
  top<teacherEleStuViewController>()->reloadCellPDFData(2);
  s = run("wait 0");
  EXPECT_EQ(Alerts::visible().size(), 1u) << s;
  EXPECT_TRUE(has(s, "alert:  | 程式設計(一)\\n更新成功 | 確定")) << s;
  auto last = storedList("teacherEleStuLastUpdateTime");
  EXPECT_EQ(last[1], "2026-12-07 09:31:00");
  EXPECT_EQ(last[2], "2026-12-07 09:31:00");
  EXPECT_TRUE(document("CS101A.pdf"));
  EXPECT_TRUE(document("CS101B.pdf"));
  run("alert 0");

  // The reload action forgets every roster.
  s = run("tap reloadBtn");
  s = run("wait 0.2");
  EXPECT_FALSE(document("CS201.pdf"));
  EXPECT_FALSE(document("CS101A.pdf"));
  EXPECT_EQ(storedList("teacherEleStuLastUpdateTime"), (std::vector<std::string>{" ", " ", " ", " "}));
  EXPECT_TRUE(has(s, "  row 0.3: 專題研究 | 星期三 E510 第7-8節 | 學生人數 : 6 人 | 尚未下載\n")) << s;
  s = run("show");
  EXPECT_FALSE(has(s, "disabled")) << "all rows drawn: the usual rules again: " << s;
}

// A hostile teacher number and hostile course codes: every file stays
// directly in Documents under a safe name.
TEST_F(TeacherTest, FileNamesAreSafeAndOnlyPDFAnswersAreKept) {
  const std::string big(300, 'x');
  serve("academic", "/accounts.json", R"({"teachers": {"../evil": {"password": "pw"}}})");
  serve("academic", std::string(kMethods) + "TeachEleList2XML@pTeachNo=..%2Fevil",
        courseList({{"  ../up  ", "上層", "-", "1"},
                    {"a/b\\c", "斜線", "-", "1"},
                    {"%41", "百分比", "-", "1"},
                    {".hidden", "隱藏", "-", "1"},
                    {"R&amp;D 1", "研發", "-", "1"},
                    {"", "空白", "-", "1"},
                    {big, "太長", "-", "1"},
                    {"HTML1", "網頁", "-", "1"}}));
  // Every course has a roster but HTML1, whose answer is a web page.
  const std::string pdf = rosterFile("CS490");
  serve("academic", std::string(kMethods) + "TeachEleStuPDF2XML", pdf);
  serve("academic", std::string(kMethods) + "TeachEleStuPDF2XML@pCosNo=HTML1", "<html><body>系統維護中</body></html>");
  startTeacher(false);
  run("tap 21");
  // Signed out, the form goes on to the button's service.
  std::string s = signInThrough("tap 1 修課學生", "../evil", "pw");
  EXPECT_TRUE(has(s, "screen: teacherEleStuViewController depth 4")) << s;
  EXPECT_EQ(setting("功能名稱"), "修課學生");
  run("wait 0.2");
  EXPECT_EQ(setting("teacherID"), "../evil");
  for (int row = 0; row < 8; ++row) {
    run("row 0 " + std::to_string(row));
    run("wait 0.2");
    run("tap 2");
  }
  const std::string size = " " + std::to_string(pdf.size()) + "\n";
  EXPECT_EQ(run("files"), "file %2541.pdf" + size + "file %2E.%2Fevil " +
                              std::to_string(readWhole(fs::path(documents()) / "%2E.%2Fevil").size()) +
                              "\nfile %2E.%2Fup.pdf" + size + "file %2Ehidden.pdf" + size + "file R&D 1.pdf" + size +
                              "file a%2Fb%5Cc.pdf" + size);
  EXPECT_FALSE(fs::exists(fs::path(dataDir()) / "up.pdf"));
  EXPECT_FALSE(fs::exists(fs::path(dataDir()) / "evil"));
  // The codes went out trimmed and escaped, and arrived as they were.
  std::vector<std::string> sent;
  for (auto& r : teacherRequests("TeachEleStuPDF2XML")) sent.push_back(r["query"]["pCosNo"]);
  EXPECT_EQ(sent, (std::vector<std::string>{"../up", "a/b\\c", "%41", ".hidden", "R&D 1", "HTML1"}))
      << "no request for an empty or overlong code";

  // An answer that is no PDF is a failed download: nothing kept, no success.
  const std::string before = readWhole(fs::path(documents()) / "%2541.pdf");
  auto last = storedList("teacherEleStuLastUpdateTime");
  sim().setFault(std::string(kMethods) + "TeachEleStuPDF2XML", sim::Fault{.body = std::string("<html>oops</html>")});
  s = run("tapcell 0 2 reloadCellPDFData");
  EXPECT_FALSE(has(s, "alert:")) << s;
  sim().setFault(std::string(kMethods) + "TeachEleStuPDF2XML", sim::Fault{.status = 500, .body = pdf});
  s = run("tapcell 0 2 reloadCellPDFData");
  EXPECT_FALSE(has(s, "alert:")) << s;
  run("wait 0.2");
  EXPECT_EQ(readWhole(fs::path(documents()) / "%2541.pdf"), before);
  EXPECT_EQ(storedList("teacherEleStuLastUpdateTime")[2], last[2]);
}

TEST_F(TeacherTest, LogoutRemovesOnlyRosterFilesAndLinksDirectlyInDocuments) {
  leaveDocument("a.pdf", "%PDF-1.4");
  leaveDocument("sub.pdf/inner.pdf", "%PDF-1.4");
  leaveDocument("sub/x.pdf", "%PDF-1.4");
  leaveDocument("c.PDF", "%PDF-1.4");
  leaveDocument("d.pdf.txt", "text");
  leaveDocument(kTeacher, "<NewDataSet/>");
  std::ofstream(fs::path(dataDir()) / "outside.pdf") << "%PDF-1.4 kept";
  fs::create_symlink(fs::path(dataDir()) / "outside.pdf", fs::path(dataDir()) / "Documents" / "link.pdf");
  preset({{"teacherID", Value(kTeacher)},
          {"teacherPW", Value("x")},
          {"teacherSubjectNoAry", Value::stringArray({"1131001"})},
          {"teacherEleStuLastUpdateTime", Value::stringArray({" "})}});
  start();
  run("tap 21");
  std::string s = run("tap logout");
  EXPECT_TRUE(has(s, "alert:  | 成功登出 | 確定")) << s;
  EXPECT_TRUE(has(s, "label statusLbl: 尚未登入")) << s;
  for (const char* key : {"teacherID", "teacherPW", "teacherSubjectNoAry"}) EXPECT_EQ(setting(key), "(absent)") << key;
  EXPECT_TRUE(document("a.pdf")) << "removed once the alert is dismissed";
  run("alert 0");
  EXPECT_FALSE(document("a.pdf"));
  EXPECT_FALSE(document("link.pdf"));
  EXPECT_TRUE(fs::exists(fs::path(dataDir()) / "outside.pdf"));
  for (const char* kept : {"sub.pdf/inner.pdf", "sub/x.pdf", "c.PDF", "d.pdf.txt", "30127"})
    EXPECT_TRUE(document(kept)) << kept;
  EXPECT_FALSE(storedSettings().contains("teacherEleStuLastUpdateTime"));

  leaveDocument("e.pdf", "%PDF-1.4");
  s = run("tap logout");
  EXPECT_TRUE(has(s, "alert:  | 未登入 | 確定")) << s;
  run("alert 0");
  EXPECT_TRUE(document("e.pdf"));
}

TEST_F(TeacherTest, CourseChangesSignInAnnounceAndLeadToTheirLists) {
  startTeacher(false);
  run("tap 21");
  std::string s = signInThrough("tap 2 課程異動");
  ASSERT_TRUE(has(s, "screen: teaSubChagListViewController depth 4")) << s;
  // The serial numbers are asked for as the screen loads, and sign the teacher in.
  EXPECT_EQ(storedList("teacherSubjectNoAry"), kTeacherCourses);
  EXPECT_EQ(setting("teacherID"), kTeacher);
  EXPECT_EQ(setting("功能名稱"), "課程異動");
  auto reqs = teacherRequests("TeachEleCosEleSeqList2XML");
  ASSERT_EQ(reqs.size(), 1u);
  EXPECT_EQ(reqs[0]["path"], "/emisappws/AppWebService.asmx/TeachEleCosEleSeqList2XML");
  EXPECT_FALSE(has(s, "image newMark")) << s;

  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "image newMark: new.png loaded")) << s;
  EXPECT_EQ(setting("是否有進入暫時"), "NO");
  // What is new and announced follows the refresh's rules (see the refresh cases).
  EXPECT_EQ(storedList("30127tea_temp_subjectNameAry").size(), 3u);

  s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: teaSubjCagTemViewController depth 5")) << s;
  EXPECT_TRUE(has(s, "table myTableView rows 3\n  row 0.0: 資訊工程學系二年級A班 | 資料結構 | 王明哲 | 原定 | "
                     "12/10(四)第3-4節 | 異動 | 12/17\n"))
      << s;
  EXPECT_EQ(setting("是否有進入暫時"), "YES");
  EXPECT_EQ(setting("功能名稱"), "暫時-老師");
  s = run("tap 1");
  EXPECT_FALSE(has(s, "image newMark")) << s;

  s = run("tap 3");
  EXPECT_TRUE(has(s, "screen: teaSubjCagSemViewController depth 5\nlabel titleLabel: 整學期異動\nbutton 0: 首頁\n"
                     "button 1: 返回\n"))
      << s;
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "table myTableView rows 4")) << s;
  EXPECT_EQ(setting("功能名稱"), "整學期-老師");
  run("tap 1");
  s = run("tap 4");
  EXPECT_TRUE(has(s, "screen: changeNoticeQAViewController depth 5")) << s;
  EXPECT_TRUE(has(s, "yunxiu-cli --install-refresh-timer")) << s;
  EXPECT_EQ(setting("功能名稱"), "通知功能開關");
  run("tap 2");

  // Clearing: asked first; the seen-set stays and every reminder goes.
  run("tap 2");
  s = run("tap 2");
  EXPECT_TRUE(has(s, "alert:  | 確定要清除記錄嗎？ | 確定刪除 | 取消刪除")) << s;
  s = run("alert 1");
  EXPECT_TRUE(has(s, "table myTableView rows 3")) << s;
  run("tap 2");
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: teaSubChagListViewController depth 4")) << s;
  EXPECT_FALSE(storedSettings().contains("30127tea_temp_departmentAry"));
  EXPECT_EQ(storedList("30127tea_temp_allShowedSubjectNoAry").size(), 3u);
  for (auto& l : notificationLines()) EXPECT_EQ(l.find("scheduled"), std::string::npos) << l;
  s = run("tap 2");
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "alert:  | 尚未有暫時的課程異動。 | 確定")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: teaSubChagListViewController depth 4")) << s;

  // Coming back finds nothing new: cleared changes are not announced again.
  run("tap 1");
  run("tap 2 課程異動");
  run("wait 0.2");
  EXPECT_FALSE(storedSettings().contains("30127tea_temp_departmentAry"));
}

}  // namespace
}  // namespace yx::test
