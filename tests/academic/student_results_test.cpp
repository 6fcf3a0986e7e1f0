// The exam timetable, the scores and the course list against the simulated
// Academic web service: what a person sees (rows, colours, alerts and where
// they lead), what is cached (read back by Python's plistlib) and what
// failures leave behind.

#include <gtest/gtest.h>

#include <algorithm>

#include "academic/signing.h"
#include "academic/student/course_list.h"
#include "academic/student/exam_scores.h"
#include "academic/student/exam_timetable.h"
#include "platform/http.h"
#include "platform/notify.h"
#include "tests/academic/academic_support.h"

namespace yx::test {
namespace {

using sim::Fault;

constexpr const char* kExamPath = "//emisappws/AppWebService.asmx/StuExamList2XML";
constexpr const char* kCoursePath = "//emisappws/AppWebService.asmx/StuEleList2XML";
constexpr const char* kScorePath = "//emisappws/AppWebService.asmx/StuScoQueryList2XML";

std::string exam(const std::string& fields) { return "<stu_exam_table>" + fields + "</stu_exam_table>"; }
std::string dataSet(const std::string& items) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?><NewDataSet>" + items + "</NewDataSet>";
}

class ResultsTest : public AcademicFixture {
protected:
  TableView& table() {
    auto* nav = Application::shared().navigation();
    auto* t = nav->topViewController()->view().findNamed<TableView>("tableView");
    EXPECT_TRUE(t);
    return *t;
  }
  size_t depth() { return Application::shared().navigation()->depth(); }
};

// ------------------------------------------------------------ exam timetable

TEST_F(ResultsTest, TimetableShowsEachExamWarnsOfClashesOnceAndCachesTheAnswer) {
  preset({{"姓名", "old"}});
  startReady();
  openMenu();
  run("tap examListBtn");
  std::string s = signIn();
  EXPECT_TRUE(has(s, "screen: testListInquiryViewController depth 4\nlabel titleLabel: 考試小表\n")) << s;
  EXPECT_TRUE(has(s, "image parserBG: parserBG_.png loaded\nalert: 網路資料讀取中 | 請稍候...\n")) << s;
  s = run("wait 1.5");
  EXPECT_TRUE(has(s, "label titleLabel: 考試小表(林子晴)\n")) << s;
  EXPECT_TRUE(has(s, "table tableView rows 5\n  header 0: \\t資料結構\n"
                     "  row 0.0: 2026/12/22 (二) | 第 2 節 10:20-11:50 | E301 | 90 分鐘 | 考試座號: 12 | 成績座號: 12\n"
                     "  header 1: \\t線性代數\n"
                     "  row 1.0: 2026/12/22 (二) | 第 4 節 14:20-15:50 | R101 | 90 分鐘 | 考試座號: *07 | 成績座號: 8\n"))
      << s;
  EXPECT_TRUE(has(s, "  row 4.0: 2026/12/25 (五) | 第 3 節 12:20-13:50 | L310 | 60 分鐘 | 考試座號: 21 | 成績座號: 21\n"))
      << s;
  // Two clashing exams, one alert; the backdrop is gone.
  EXPECT_EQ(countOf(s, "alert: 重要訊息——衝堂考： | 考試座號前有*者表考試時間衝堂集中於Ｒ學生活動中心"), 1u) << s;
  EXPECT_TRUE(has(s, "課務組辦理延後入場申請。 | 我知道了！\n")) << s;
  EXPECT_FALSE(has(s, "parserBG")) << s;
  EXPECT_FALSE(has(s, "扣考")) << s;
  s = run("alert 0");
  EXPECT_FALSE(has(s, "alert:")) << s;
  EXPECT_EQ(table().heightForRow({0, 0}), 90);
  EXPECT_EQ(table().headerHeight(0), 25);

  auto cached = records("stu_exam_table");
  ASSERT_EQ(cached.size(), 5u);
  std::vector<std::string> keys;
  for (auto& [k, v] : cached[1].items()) keys.push_back(k);
  EXPECT_EQ(keys, (std::vector<std::string>{"姓名", "科目名稱", "必選", "學分", "成績座號", "考試日期", "節次",
                                            "考試時間", "教室代號", "考試座號", "備註"}));
  EXPECT_EQ(cached[1]["考試日期"], "2026/12/22/二");
  EXPECT_EQ(cached[1]["考試座號"], "*07");
  EXPECT_EQ(cached[1]["備註"], "");
  EXPECT_EQ(setting("考試小表"), "stu_exam_table");
  EXPECT_EQ(setting("姓名"), "(absent)");

  // A barred exam and a clash for another student: each alert once, and
  // the barred exam's row shows only its grade seat and remark.
  run("tap 3");
  EXPECT_EQ(depth(), 5u);
  signIn("41031122", "yunxiu2026");
  s = run("wait 1.5");
  EXPECT_EQ(countOf(s, "alert: 重要訊息——衝堂考："), 1u) << s;
  EXPECT_EQ(countOf(s, "alert: 重要訊息——扣考： | 考試科目備註欄呈現「扣考」者，不得參加該科目之考試"), 1u) << s;
  EXPECT_TRUE(has(s, "另以校級電子信箱通知。 | 我知道了！\n")) << s;
  EXPECT_TRUE(has(s, "  header 2: \\t服務學習\n  row 2.0: 成績座號: 19 | 扣考\n")) << s;
  EXPECT_EQ(table().heightForRow({2, 0}), 60);
  EXPECT_EQ(table().heightForRow({1, 0}), 90);
  // The second answer replaced the file whole.
  cached = records("stu_exam_table");
  ASSERT_EQ(cached.size(), 3u);
  EXPECT_EQ(cached[0]["姓名"], "陳冠宇");
  run("alert 0");
  run("alert 0");
  // Six screens now: back leads to the second query's form.
  EXPECT_EQ(depth(), 6u);
  s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: testListViewController depth 5")) << s;
  Background::drain(10);
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 1u);
}

TEST_F(ResultsTest, TimetableDisplayRulesCountCharactersAndKeepOddValues) {
  startSignedIn();
  sim().setFault(kExamPath,
                 Fault{.body = dataSet(exam("<ch_name>測試</ch_name><cos_name>一字備註</cos_name><exam_date>12/2/五</exam_date>"
                      "<sess>8</sess><exam_tm>50</exam_tm><room>A1</room><exam_no>1</exam_no><seat_no>2</seat_no>"
                      "<exam_type>缺</exam_type>") +
                 exam("<cos_name>短日期</cos_name><exam_date>5</exam_date><sess>7</sess>") +
                 exam("<cos_name>沒有欄位</cos_name>") +
                 exam("<cos_name>兩字備註</cos_name><exam_date>2026/12/30/三</exam_date><exam_type>停考</exam_type>"))});
  openMenu();
  run("tap examListBtn");
  std::string s = run("wait 1.5");
  EXPECT_TRUE(has(s, "label titleLabel: 考試小表(測試)\n")) << s;
  // One character (three bytes) is no remark; a period outside 1-7 has no time.
  EXPECT_TRUE(has(s, "  row 0.0: 12/2 (五) | 第 8 節  | A1 | 50 分鐘 | 考試座號: 1 | 成績座號: 2 | 缺\n")) << s;
  EXPECT_TRUE(has(s, "  row 1.0: 5 | 第 7 節 20:20-21:50 |  分鐘 | 考試座號:  | 成績座號: \n")) << s;
  EXPECT_TRUE(has(s, "  row 2.0: 第  節  |  分鐘 | 考試座號:  | 成績座號: \n")) << s;
  EXPECT_TRUE(has(s, "  row 3.0: 成績座號:  | 停考\n")) << s;
  EXPECT_EQ(table().heightForRow({0, 0}), 90);
  EXPECT_EQ(table().heightForRow({3, 0}), 60);
  EXPECT_FALSE(has(s, "alert: 重要訊息")) << s;
  // Missing elements are stored as empty texts.
  auto cached = records("stu_exam_table");
  ASSERT_EQ(cached.size(), 4u);
  EXPECT_EQ(cached[2].size(), 11u);
  EXPECT_EQ(cached[2]["考試日期"], "");
}

// A timetable whose download is cut once its probe was answered.
class CutExamAfterProbe : public testListInquiryViewController {
public:
  sim::CampusSim* sim = nullptr;

protected:
  bool probeAnswered(const HttpResult& probe) override {
    sim->setFault(kExamPath, Fault{.cutAfter = 60});
    return testListInquiryViewController::probeAnswered(probe);
  }
};

// Refusals and failures: the cached timetable shows at once and stays; the
// progress alert and its backdrop go whenever the load ends.
TEST_F(ResultsTest, TimetableRefusalsAndFailuresKeepTheCachedTimetableInSight) {
  startSignedIn();
  openMenu();
  run("tap examListBtn");
  run("wait 1.5");
  run("alert 0");
  run("tap 2");
  const auto before = plistlib("stu_exam_table");

  // A wrong password leads to a fresh form; any other refusal back to the menu.
  Settings::standard().setString("密碼", "wrong");
  std::string s = run("tap examListBtn");
  EXPECT_TRUE(has(s, "table tableView rows 5")) << "the cached timetable shows at once: " << s;
  s = run("wait 0.5");
  EXPECT_TRUE(has(s, "alert: 訊息 | 學號或密碼錯誤 | 確定\n")) << s;
  EXPECT_FALSE(has(s, "alert: 網路資料讀取中")) << "the refusal ends the progress alert: " << s;
  EXPECT_FALSE(has(s, "parserBG")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: testListViewController depth 4")) << s;
  EXPECT_EQ(Application::shared().navigation()->transitions().back().animated, false);
  EXPECT_EQ(plistlib("stu_exam_table"), before);
  run("tap 2");
  Settings::standard().setString("密碼", kPassword);
  sim().setFault(kExamPath, Fault{.body = dataSet("<stu_exam_table><Error_Msg>系統 維護中</Error_Msg></stu_exam_table>")});
  run("tap examListBtn");
  s = run("wait 0.5");
  EXPECT_TRUE(has(s, "alert: 訊息 | 系統維護中 | 確定\n")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: imStudentViewController depth 2")) << s;
  EXPECT_EQ(plistlib("stu_exam_table"), before);

  // No answer to the probe: the cached timetable, then "錯誤" and back.
  sim().setFault(kExamPath, Fault{.cutAfter = 10});
  s = run("tap examListBtn");
  EXPECT_TRUE(has(s, "label titleLabel: 考試小表(林子晴)\n")) << s;
  EXPECT_TRUE(has(s, "table tableView rows 5")) << s;
  s = run("wait 1.5");
  EXPECT_TRUE(has(s, "alert: 錯誤 |  | 確定\n")) << s;
  EXPECT_FALSE(has(s, "parserBG")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: imStudentViewController depth 2")) << s;

  // Cut after a good probe: "savefile", no alert, the cached display stays.
  sim().clearFaults();
  auto screenPtr = std::make_shared<CutExamAfterProbe>();
  screenPtr->sim = &sim();
  screenPtr->receive("progressBar:", studentMethodURL("StuExamList2XML", kStudent, kPassword));
  Application::shared().navigation()->pushViewController(screenPtr, false);
  s = run("wait 2");
  EXPECT_TRUE(has(s, "screen: testListInquiryViewController depth 3")) << s;
  EXPECT_FALSE(has(s, "alert:")) << s;
  EXPECT_FALSE(has(s, "parserBG")) << s;
  EXPECT_TRUE(has(s, "table tableView rows 5")) << s;
  auto posted = NotificationCenter::defaultCenter().postedNames();
  EXPECT_NE(std::find(posted.begin(), posted.end(), "savefile"), posted.end());
  EXPECT_EQ(plistlib("stu_exam_table"), before);
  run("tap 2");

  // A malformed answer: records so far are cached, the parse-error alert
  // leads back; an oversized one fails like no answer.
  sim().clearFaults();
  sim().setFault(kExamPath,
                 Fault{.body = "<NewDataSet>" + exam("<ch_name>甲</ch_name><cos_name>好</cos_name>") +
                               "<stu_exam_table><cos_name>壞</stu_exam_table></NewDataSet>"});
  run("tap examListBtn");
  s = run("wait 1.5");
  EXPECT_TRUE(has(s, "alert: Error loading content | Unable to download story feed from web site (Error code ")) << s;
  EXPECT_FALSE(has(s, "parserBG")) << s;
  auto cached = records("stu_exam_table");
  ASSERT_EQ(cached.size(), 1u);
  EXPECT_EQ(cached[0]["科目名稱"], "好");
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: imStudentViewController depth 2")) << s;

  sim().clearFaults();
  setHttpMaxBodyBytes(200);
  run("tap examListBtn");
  s = run("wait 1.5");
  setHttpMaxBodyBytes(32u << 20);
  EXPECT_TRUE(has(s, "alert: 錯誤 |  | 確定\n")) << s;
}

TEST_F(ResultsTest, AnUnreadableOrEmptyCacheShowsAnEmptyTimetable) {
  leaveFile("stu_exam_table.plist", "<plist><array><dict><key>姓名");
  preset({{"學號", "A1120015"}, {"密碼", "Lake-42"}});
  startReady();
  openMenu();
  std::string s = run("tap examListBtn");
  EXPECT_TRUE(has(s, "label titleLabel: 考試小表\n")) << s;
  EXPECT_TRUE(has(s, "table tableView rows 0\n")) << s;
  // No exams: the file is left as it was, still shown as nothing.
  s = run("wait 1.5");
  EXPECT_TRUE(has(s, "label titleLabel: 考試小表\n")) << s;
  EXPECT_TRUE(has(s, "table tableView rows 0\n")) << s;
  EXPECT_FALSE(has(s, "alert:")) << s;
  EXPECT_EQ(plistlib("stu_exam_table").rfind("ERROR", 0), 0u);
  // Nothing to add to the calendar: no file is written.
  s = run("tap exportCalendarBtn");
  EXPECT_TRUE(has(s, "alert:  | 沒有可加入的資料 | 確定\n")) << s;
  EXPECT_EQ(run("opened"), "opened: none\n");
  EXPECT_FALSE(Files::exists(documents() + "/exams.ics"));
  run("alert 0");
  // A property list that is no array, or whose records are not
  // dictionaries, shows nothing either.
  std::filesystem::remove(cacheFile("stu_exam_table"));
  leaveFile("stu_exam_table.plist", Value::dictionary({{"a", Value("b")}}).toXmlPlist());
  run("tap 2");
  s = run("tap examListBtn");
  EXPECT_TRUE(has(s, "table tableView rows 0\n")) << s;
  leaveFile("stu_exam_table.plist", Value::array({Value("x"), Value(3)}).toXmlPlist());
  run("wait 1.5");
  run("tap 2");
  s = run("tap examListBtn");
  EXPECT_TRUE(has(s, "label titleLabel: 考試小表()\n")) << s;
  EXPECT_TRUE(has(s, "table tableView rows 2\n  header 0: \\t\n  row 0.0: 第  節  |  分鐘 | 考試座號:  | 成績座號: \n")) << s;
}

// ------------------------------------------------------------------- scores

TEST_F(ResultsTest, ScoresBelowSixtyAreRedTheRestBlueUnderTheExamKindsTitle) {
  startSignedIn();
  openMenu();
  std::string s = run("tap scoreBtn");
  EXPECT_TRUE(has(s, "label titleLabel: 期中期末成績\n")) << s;
  s = run("wait 1.5");
  EXPECT_TRUE(has(s, "label titleLabel: 期末成績\n")) << s;
  EXPECT_TRUE(has(s, "table tableView rows 6\n  row 0.0: 資料結構 | 學分數: 3 | 88\n  row 0.1: 線性代數 | 學分數: 3 | 59\n"
                     "  row 0.2: 計算機組織 | 學分數: 3 | 60\n"))
      << s;
  EXPECT_FALSE(has(s, "parserBG")) << s;
  EXPECT_EQ(table().heightForRow({0, 1}), 55);
  EXPECT_EQ(run("cell tableView 0 1"), "  label nameLbl: 線性代數 {#000000}\n  label sbjnoLbl: 學分數: 3 {#595959}\n"
                                      "  label scoreLbl: 59 {#ff0000}\n");
  EXPECT_TRUE(has(run("cell tableView 0 2"), "  label scoreLbl: 60 {#0000ff}\n"));
  // Nothing is kept on disk.
  EXPECT_FALSE(std::filesystem::exists(documents() + "/DownloadXml"));
  run("tap 2");

  // Texts that are not plain numbers, and the other exam kinds.
  sim().setFault(kScorePath,
                 Fault{.body = dataSet("<stu_scoquery_table><考試別>G</考試別><科目名稱>甲</科目名稱><成績>59.9</成績>"
                                       "</stu_scoquery_table><stu_scoquery_table><科目名稱>乙</科目名稱><成績>缺考</成績>"
                                       "</stu_scoquery_table><stu_scoquery_table><科目名稱>丙</科目名稱><成績> 60分</成績>"
                                       "</stu_scoquery_table><stu_scoquery_table><科目名稱>丁</科目名稱><成績>-70</成績>"
                                       "</stu_scoquery_table><stu_scoquery_table><科目名稱>戊</科目名稱></stu_scoquery_table>")});
  run("tap scoreBtn");
  s = run("wait 1.5");
  EXPECT_TRUE(has(s, "label titleLabel: 畢業考成績\n")) << s;
  const char* colours[] = {"#ff0000", "#ff0000", "#0000ff", "#ff0000"};
  for (int r = 0; r < 4; ++r) {
    std::string cell = run("cell tableView 0 " + std::to_string(r));
    EXPECT_NE(cell.find(std::string(" {") + colours[r] + "}\n", cell.find("label scoreLbl:")), std::string::npos) << cell;
  }
  EXPECT_TRUE(has(s, "  row 0.4: 戊 | 學分數: \n")) << s;
  run("tap 2");
  for (const auto& [kind, title] : std::vector<std::pair<std::string, std::string>>{
           {"M", "期中成績"}, {"X", "期中期末成績"}, {"m", "期中期末成績"}}) {
    sim().setFault(kScorePath, Fault{.body = dataSet("<stu_scoquery_table><考試別>" + kind +
                                                     "</考試別><科目名稱>甲</科目名稱><成績>1</成績></stu_scoquery_table>")});
    run("tap scoreBtn");
    s = run("wait 1.5");
    EXPECT_TRUE(has(s, "label titleLabel: " + title + "\n")) << kind << s;
    run("tap 2");
  }

  // A refusal in either element: back to the menu, without the exit report,
  // or, for a wrong password, to a fresh form; rows after it are not read.
  Background::drain(10);
  const size_t reports = requestsFor("/Data/situ1.aspx").size();
  sim().setFault(kScorePath, Fault{.body = dataSet("<stu_scoquery_table><錯誤訊息>成績尚未開放查詢</錯誤訊息>"
                                                   "</stu_scoquery_table>")});
  run("tap scoreBtn");
  s = run("wait 0.5");
  EXPECT_TRUE(has(s, "alert: 訊息 | 成績尚未開放查詢 | 確定\n")) << s;
  EXPECT_TRUE(has(s, "table tableView rows 0\n")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: imStudentViewController depth 2")) << s;
  Background::drain(10);
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), reports);
  sim().setFault(kScorePath, Fault{.body = dataSet("<stu_scoquery_table><科目名稱>甲</科目名稱><成績>90</成績>"
                                                   "</stu_scoquery_table><stu_scoquery_table><Error_Msg>學號或密碼錯誤"
                                                   "</Error_Msg></stu_scoquery_table><stu_scoquery_table><科目名稱>乙"
                                                   "</科目名稱></stu_scoquery_table>")});
  run("tap scoreBtn");
  s = run("wait 1.5");
  EXPECT_TRUE(has(s, "alert: 訊息 | 學號或密碼錯誤 | 確定\n")) << s;
  EXPECT_TRUE(has(s, "table tableView rows 1\n  row 0.0: 甲 | 學分數:  | 90\n")) << "nothing after the refusal: " << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: examScoreViewController depth 4")) << s;
  EXPECT_TRUE(has(s, "field idField: [請輸入學號]\n")) << "nothing stored it under id: " << s;
}

// -------------------------------------------------------------- course list

TEST_F(ResultsTest, CourseListShowsTimesRoomsAndTeachersFromTheCache) {
  startReady();
  openMenu();
  run("tap courseListBtn");
  std::string s = signIn();
  EXPECT_TRUE(has(s, "screen: inquiryXMLParser depth 4\n")) << s;
  s = run("wait 1.5");
  ASSERT_TRUE(has(s, "screen: inquiryResultsViewController depth 5\n")) << s;
  EXPECT_TRUE(has(s, "label countLbl: 共 6 筆\nbutton 3: 重新查詢\n")) << s;
  EXPECT_TRUE(has(s, "  row 0.0: 資料結構 | 星期四 10:10~12:00 | E301 | (座號：12)\\t王明哲\n"
                     "  row 0.1: 線性代數 | 星期一 14:10~15:00 | B215 | (座號：8)\\t陳怡安\n"))
      << s;
  EXPECT_TRUE(has(s, "  row 0.5: 體育(二) | 星期二 15:10~17:00 | 體育館 | (座號：30)\\t黃建國\n")) << s;
  EXPECT_EQ(run("cell tableView 0 0"), "  label nameLbl: 資料結構 {#ff0000}\n  label timeLbl: 星期四 10:10~12:00 {#000000}\n"
                                      "  label placeLbl: E301 {#000000}\n  label teaLbl: (座號：12)\\t王明哲 {#4d4d4d}\n");
  EXPECT_EQ(table().heightForRow({0, 0}), 60);

  auto cached = records("stu_ele_table");
  ASSERT_EQ(cached.size(), 6u);
  std::vector<std::string> keys;
  for (auto& [k, v] : cached[0].items()) keys.push_back(k);
  EXPECT_EQ(keys, (std::vector<std::string>{"課程名稱", "星期節次地點", "老師", "座號"}));
  EXPECT_EQ(cached[1]["星期節次地點"], "一/07/B215");
  EXPECT_EQ(setting("我的課表"), "stu_ele_table");

  // Back skips the loader; the stored number now opens the loader directly.
  s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: imStudentViewController depth 2")) << s;
  run("tap courseListBtn");
  s = run("wait 1.5");
  EXPECT_TRUE(has(s, "screen: inquiryResultsViewController depth 4")) << s;
  // An answer without courses shows the courses cached before.
  sim().setFault(kCoursePath, Fault{.body = dataSet("")});
  run("tap 3");
  signIn();
  s = run("wait 1.5");
  EXPECT_TRUE(has(s, "screen: inquiryResultsViewController depth 7")) << s;
  EXPECT_TRUE(has(s, "label countLbl: 共 6 筆\n")) << s;
  s = run("tap 2");
  EXPECT_TRUE(has(s, "depth 5\n")) << "more than five screens: back to index 4: " << s;
}

TEST_F(ResultsTest, CourseTimesReadWeekdayPeriodsAndRoomWhateverIsMissing) {
  auto course = [](const std::string& name, const std::string& time) {
    return "<stu_ele_table><ch_cos_name>" + name + "</ch_cos_name><time_plase>" + time +
           "</time_plase><teach_name>師</teach_name><seat_no>1</seat_no></stu_ele_table>";
  };
  startSignedIn();
  sim().setFault(kCoursePath, Fault{.body = dataSet(course("甲", "四/03-04/E301") + course("乙", "一/07/B215") +
                                                   course("丙", "二/05") + course("丁", "三/13-15/X") +
                                                   course("戊", "五/3/Y") + course("己", "一") + course("庚", "") +
                                                   "<stu_ele_table/>")});
  openMenu();
  run("tap courseListBtn");
  std::string s = run("wait 1.5");
  EXPECT_TRUE(has(s, "label countLbl: 共 8 筆\n")) << s;
  EXPECT_TRUE(has(s, "  row 0.0: 甲 | 星期四 10:10~12:00 | E301 | (座號：1)\\t師\n")) << s;
  EXPECT_TRUE(has(s, "  row 0.1: 乙 | 星期一 14:10~15:00 | B215 | (座號：1)\\t師\n")) << s;
  EXPECT_TRUE(has(s, "  row 0.2: 丙 | 星期二 12:10~13:00 | (座號：1)\\t師\n")) << s;
  EXPECT_TRUE(has(s, "  row 0.3: 丁 | 星期三 20:10~ | X | (座號：1)\\t師\n")) << s;
  EXPECT_TRUE(has(s, "  row 0.4: 戊 | 星期五 ~ | Y | (座號：1)\\t師\n")) << s;
  // Fewer than two parts: the name and teacher, no time or room left over
  // from another row.
  EXPECT_TRUE(has(s, "  row 0.5: 己 | (座號：1)\\t師\n")) << s;
  EXPECT_TRUE(has(s, "  row 0.6: 庚 | (座號：1)\\t師\n")) << s;
  EXPECT_TRUE(has(s, "  row 0.7: (座號：)\\t\n")) << s;
  EXPECT_EQ(run("cell tableView 0 5"), "  label nameLbl: 己 {#ff0000}\n  label teaLbl: (座號：1)\\t師 {#4d4d4d}\n");
  // A cell used again for such a course keeps nothing of the one before;
  // the same holds for a barred exam's timetable cell.
  inquiryResultCell reused;
  reused.show(courseRowFor(Value::dictionary({{"課程名稱", Value("甲")}, {"星期節次地點", Value("四/03-04/E301")}})));
  reused.show(courseRowFor(Value::dictionary({{"課程名稱", Value("己")}, {"星期節次地點", Value("一")}})));
  EXPECT_EQ(reused.nameLbl->text(), "己");
  EXPECT_EQ(reused.timeLbl->text(), "");
  EXPECT_EQ(reused.placeLbl->text(), "");
  testListCell examCell;
  examCell.show(examRowFor(Value::dictionary({{"節次", Value("1")}, {"考試日期", Value("2026/12/22/二")}})));
  examCell.show(examRowFor(Value::dictionary({{"備註", Value("扣考")}, {"成績座號", Value("9")}})));
  for (auto* l : {&examCell.sessLbl, &examCell.dateLbl, &examCell.placeLbl, &examCell.timeLbl, &examCell.testNoLbl})
    EXPECT_EQ((*l)->text(), "") << (*l)->name();
  EXPECT_EQ(examCell.seatNoLbl->text(), "成績座號: 9");
}

// The loader's alerts lead back or to a fresh form; the list reads its cache
// once per load; a cache that is no property list lists nothing.
TEST_F(ResultsTest, CourseLoaderAlertsAndCacheReads) {
  startReady();
  openMenu();
  run("tap courseListBtn");
  signIn(kStudent, "wrong");
  std::string s = run("wait 0.5");
  EXPECT_TRUE(has(s, "alert: 訊息 | 學號或密碼錯誤 | 確定\n")) << s;
  run("wait 1.5");
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: inquiryListViewController depth 5\n")) << s;
  EXPECT_EQ(plistlib("stu_ele_table"), "MISSING");

  run("tap 2");
  sim().setFault(kCoursePath, Fault{.cutAfter = 5});
  run("tap courseListBtn");  // signed in (with the wrong password): straight to the loader
  s = run("wait 1.5");
  EXPECT_TRUE(has(s, "alert: 網路警示 | 請確認網路連線狀態是否開啟 | 確定\n")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: imStudentViewController depth 2\n")) << s;

  sim().setFault(kCoursePath, Fault{.body = "<NewDataSet><stu_ele_table><ch_cos_name>好</ch_cos_name></stu_ele_table>"
                                            "<stu_ele_table><ch_cos_name>壞</stu_ele_table>"});
  run("tap courseListBtn");
  s = run("wait 1.5");
  EXPECT_TRUE(has(s, "screen: inquiryXMLParser depth 3\n")) << "no list is pushed: " << s;
  EXPECT_TRUE(has(s, "alert: Error loading content")) << s;
  ASSERT_EQ(records("stu_ele_table").size(), 1u);
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: imStudentViewController depth 2\n")) << s;

  // The list reads its cache once per load, and again only when it changed.
  sim().clearFaults();
  Settings::standard().setString("密碼", kPassword);
  run("tap courseListBtn");
  run("wait 1.5");
  auto* list = top<inquiryResultsViewController>();
  ASSERT_TRUE(list);
  for (int r = 0; r < 6; ++r) table().cellForRow({0, r});
  table().reloadData();
  for (int r = 0; r < 6; ++r) table().cellForRow({0, r});
  EXPECT_EQ(list->cacheReads(), 1u);
  // Another answer replaced the file since: the rows show it.
  auto v = Value::array({Value::dictionary({{"課程名稱", Value("新")}, {"星期節次地點", Value("一/01")}})});
  ASSERT_TRUE(Files::writeArrayFile(cacheFile("stu_ele_table"), v));
  table().reloadData();
  s = run("show");
  EXPECT_TRUE(has(s, "label countLbl: 共 6 筆\n")) << "counted at load: " << s;
  EXPECT_TRUE(has(s, "  row 0.0: 新 | 星期一 8:10~9:00 | (座號：)\\t\n  row 0.1: \n")) << s;
  EXPECT_EQ(list->cacheReads(), 2u);
  // A cache that is no property list: an empty list, never a crash.
  run("tap 2");
  sim().setFault(kCoursePath, Fault{.body = dataSet("")});
  leaveFile("stu_ele_table.plist", "not a plist");
  run("tap courseListBtn");
  s = run("wait 1.5");
  EXPECT_TRUE(has(s, "label countLbl: 共 0 筆\n")) << s;
}

}  // namespace
}  // namespace yx::test
