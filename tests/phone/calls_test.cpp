// Every way of calling (directory, number pad, redial) and what it leaves
// behind: the URL handed to the softphone, the Call record in settings.plist
// as Python's plistlib reads it, one write of the store per call, and the call
// report in the simulator's log. Also the frequent list, clearing, the
// Telephone menu and the call-log explanation.

#include <gtest/gtest.h>

#include "phone/frequent_numbers.h"
#include "phone/phone_kit.h"
#include "tests/phone/phone_support.h"

namespace yx::test {
namespace {

using nlohmann::json;

class CallsTest : public PhoneFixture {
protected:
  void SetUp() override {
    PhoneFixture::SetUp();
    // A Monday whose week-based year is 2027: call times carry the calendar year.
    options.now = "2026-12-28T09:05:00+08:00";
  }
  // The bundled 電子計算機中心 lines: 服務台 has 2354 and 2355.
  void openComputerCentre() {
    run("tap 14");
    run("tap 0 分機查詢撥號");
    run("row 0 0");
    run("wait 0.2");
    run("row 0 8");
    run("wait 0.2");
  }
  size_t writes() { return Settings::standard().writeCount(); }
  json reportQuery(size_t i) { return requestsFor("/data/phone1.aspx").at(i)["query"]; }
};

TEST_F(CallsTest, ADirectoryCallWritesTheSixKeysOnceAndReportsTheCall) {
  storeBeforeStart("userPhoneNumber", Value("88410101"));
  startPhone();
  openComputerCentre();
  size_t before = writes();
  run("tap teleClick 2354");
  EXPECT_EQ(writes(), before + 1) << "one write per call";
  EXPECT_EQ(opened(), "opened: sip:2354\n");
  json st = storedSettings();
  EXPECT_EQ(st["schoolCallDic1"], json({{"2354", "服務台"}}));
  EXPECT_EQ(st["schoolCallDic2"], json({{"2354", "1"}}));
  EXPECT_EQ(st["callTime_Phone"], json({"2354"}));
  EXPECT_EQ(st["callTime_Time"], json({"2026/12/28 09:05"}));
  EXPECT_EQ(st["callDepartment"], "服務台");
  EXPECT_EQ(st["callNumber"], "2354");
  // Written in the order the call names them.
  std::vector<std::string> order;
  for (const std::string& k : storedKeys())
    if (k.rfind("call", 0) == 0 || k.rfind("schoolCall", 0) == 0) order.push_back(k);
  EXPECT_EQ(order, (std::vector<std::string>{"callDepartment", "callNumber", "schoolCallDic1", "schoolCallDic2",
                                             "callTime_Phone", "callTime_Time"}));
  ASSERT_EQ(requestsFor("/data/phone1.aspx").size(), 1u);
  EXPECT_EQ(reportQuery(0), json({{"pk", kUserId}, {"s", "88410101"}, {"dp", "服務台"}, {"r", "2354"}}));

  run("wait 60");
  run("tap teleClick 2354");
  run("tap teleClick 2355");
  st = storedSettings();
  EXPECT_EQ(st["schoolCallDic2"], json({{"2354", "2"}, {"2355", "1"}}));
  EXPECT_EQ(st["callTime_Phone"], json({"2354", "2354", "2355"}));
  EXPECT_EQ(st["callTime_Time"], json({"2026/12/28 09:05", "2026/12/28 09:06", "2026/12/28 09:06"}));
  EXPECT_EQ(requestsFor("/data/phone1.aspx").size(), 3u);
}

TEST_F(CallsTest, TypedNumbersAreRecordedAsTypedAndHandedOverEscaped) {
  // Counts without owners are an old record's leftovers: a call starts both afresh.
  storeBeforeStart("schoolCallDic2", Value::dictionary({{"2354", Value("7")}}));
  startPhone();
  run("tap 14");
  std::string s = run("tap 2 號碼直撥");
  ASSERT_TRUE(has(s, "screen: schoolCallNumberCallViewController depth 3")) << s;
  const std::string typed = "02 5550#12%分機&=+?";
  run("type numberField " + typed);
  size_t before = writes();
  run("tap callBtn");
  EXPECT_EQ(writes(), before + 1);
  run("tap resetBtn");
  EXPECT_TRUE(has(run("show"), "field numberField: [分機或電話號碼]"));
  run("type numberField +886-2;ext=1?x");
  run("tap callBtn");
  run("tap resetBtn");
  run("tap callBtn");  // an empty field calls an empty number
  EXPECT_EQ(opened(), "opened: sip:02%205550%2312%25%E5%88%86%E6%A9%9F&=+?\nopened: sip:+886-2;ext=1?x\nopened: sip:\n");

  json st = storedSettings();
  EXPECT_EQ(st["schoolCallDic1"], json({{typed, " "}, {"+886-2;ext=1?x", " "}, {"", " "}}));
  EXPECT_EQ(st["schoolCallDic2"], json({{typed, "1"}, {"+886-2;ext=1?x", "1"}, {"", "1"}}));
  EXPECT_EQ(st["callTime_Phone"], json({typed, "+886-2;ext=1?x", ""}));
  EXPECT_EQ(st["callDepartment"], " ");
  EXPECT_EQ(st["callNumber"], "");
  auto reports = requestsFor("/data/phone1.aspx");
  ASSERT_EQ(reports.size(), 3u);
  EXPECT_EQ(reports[0]["query"], json({{"pk", kUserId}, {"s", "(null)"}, {"dp", " "}, {"r", typed}}));
  EXPECT_EQ(reports[1]["query"]["r"], "+886-2;ext=1?x");

  // Back and home send the usage exit report.
  run("tap backButton");
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 1u);
}

TEST_F(CallsTest, ARedialCountsOnlyCountedNumbersAndClearingKeepsTheLastCall) {
  storeBeforeStart("schoolCallDic1", Value::dictionary({{"2354", Value("服務台")}, {"0255501234", Value(" ")}}));
  storeBeforeStart("schoolCallDic2", Value::dictionary({{"2354", Value("3")}, {"0255501234", Value("1")}}));
  storeBeforeStart("callTime_Phone", Value::stringArray({"2354", "0255501234", "9999"}));
  storeBeforeStart("callTime_Time", Value::stringArray({"2026/12/01 08:00", "2026/12/02 08:00", "2026/12/03 08:00"}));
  startPhone();
  run("tap 14");
  run("tap 1 常用分機");
  std::string shown = run("wait 0.2");
  EXPECT_TRUE(has(shown, "  header 0: 最近三次\n"
                         "  row 0.0: 2026/12/03 08:00 | 9999\n"
                         "  row 0.1:   | 2026/12/02 08:00 | 0255501234\n"
                         "  row 0.2: 服務台 | 2026/12/01 08:00 | 2354\n"
                         "  header 1: 撥打排行\n"
                         "  row 1.0: 服務台 | 撥打次數 : 3 | 2354\n"
                         "  row 1.1:   | 撥打次數 : 1 | 0255501234\n"))
      << shown;

  // Someone else changes the owners meanwhile: a redial must not write its old copy back.
  Settings::standard().setObject("schoolCallDic1", Value::dictionary({{"2354", Value("圖書館")}}));
  size_t before = writes();
  run("tapcell 1 1 teleClick");
  EXPECT_EQ(writes(), before + 1);
  json st = storedSettings();
  EXPECT_EQ(st["schoolCallDic1"], json({{"2354", "圖書館"}}));
  EXPECT_EQ(st["schoolCallDic2"], json({{"2354", "3"}, {"0255501234", "2"}}));
  EXPECT_EQ(st["callTime_Phone"], json({"2354", "0255501234", "9999", "0255501234"}));
  EXPECT_EQ(st["callTime_Time"].back(), "2026/12/28 09:05");
  EXPECT_EQ(st["callDepartment"], " ");
  EXPECT_EQ(st["callNumber"], "0255501234");

  // 9999 was called but never counted: the counts stay, and it has no owner to report.
  run("tapcell 0 0 teleClick");
  st = storedSettings();
  EXPECT_EQ(st["schoolCallDic2"], json({{"2354", "3"}, {"0255501234", "2"}}));
  EXPECT_EQ(st["callTime_Phone"].size(), 5u);
  EXPECT_FALSE(st.contains("callDepartment"));
  EXPECT_EQ(opened(), "opened: sip:0255501234\nopened: sip:9999\n");
  auto reports = requestsFor("/data/phone1.aspx");
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[1]["query"]["dp"], "(null)");
  // The lists on screen stay as loaded until the screen is loaded again.
  EXPECT_TRUE(has(run("show"), "  row 1.1:   | 撥打次數 : 1 | 0255501234\n"));

  // Clearing asks first; it removes the record and keeps the last call.
  Settings::standard().setString("callDepartment", "服務台");
  std::string s = run("tap 3");
  EXPECT_TRUE(has(s, "alert:  | 確定要清除記錄嗎？ | 確定 | 取消")) << s;
  s = run("alert 1");
  EXPECT_TRUE(has(s, "table myTableView rows 5")) << s;
  EXPECT_EQ(storedSettings()["callTime_Phone"].size(), 5u);
  run("tap 3");
  s = run("alert 0");
  EXPECT_TRUE(has(s, "alert:  | 清除成功！ | 確定")) << s;
  EXPECT_TRUE(has(s, "table myTableView rows 0\n  header 0: 最近三次\n  header 1: 撥打排行\n")) << s;
  st = storedSettings();
  for (const char* gone : {"schoolCallDic1", "schoolCallDic2", "callTime_Phone", "callTime_Time"})
    EXPECT_FALSE(st.contains(gone)) << gone;
  EXPECT_EQ(st["callDepartment"], "服務台");
  EXPECT_EQ(st["callNumber"], "9999");
}

TEST_F(CallsTest, RankingByIntegerCountsFramesAndOddStoredValues) {
  storeBeforeStart("schoolCallDic1", Value::dictionary({{"2355", Value("服務台")}, {"12345", Value(42)}}));
  storeBeforeStart("schoolCallDic2", Value::dictionary({{"2354", Value("9")},
                                                        {"2355", Value("10")},
                                                        {"12345", Value("abc")},
                                                        {"0255501234", Value(1)}}));
  Value phones = Value::array({Value("2354"), Value("2355"), Value(3.5), Value("12345"), Value("0255501234")});
  storeBeforeStart("callTime_Phone", phones);
  storeBeforeStart("callTime_Time", Value::stringArray({"2026/12/01 08:00", "2026/12/02 08:00"}));
  startPhone();
  run("tap 14");
  run("tap 1 常用分機");
  std::string s = run("wait 0.2");
  // "10" outranks "9"; text that is no number counts 0; the lists' unequal lengths read "" past the end.
  EXPECT_TRUE(has(s, "  row 0.0: 2026/12/02 08:00 | 0255501234\n"
                     "  row 0.1: 42 | 2026/12/01 08:00 | 12345\n"
                     "  row 0.2: \n"
                     "  header 1: 撥打排行\n"
                     "  row 1.0: 服務台 | 撥打次數 : 10 | 2355\n"
                     "  row 1.1: 撥打次數 : 9 | 2354\n"
                     "  row 1.2: 撥打次數 : 1 | 0255501234\n"
                     "  row 1.3: 42 | 撥打次數 : abc | 12345\n"))
      << s;
  // Frames by the number's length: 10, 5 and 4 characters.
  EXPECT_EQ(rowButtons(0, 0).at(0)->frame(), (Rect{210, 2, 110, 30}));
  EXPECT_EQ(rowButtons(0, 1).at(0)->frame(), (Rect{260, 2, 60, 30}));
  EXPECT_EQ(rowButtons(1, 1).at(0)->frame(), (Rect{270, 2, 50, 30}));
  EXPECT_EQ(rowButtons(1, 1).at(0)->backgroundImage(), "分機號碼背景.png");
  // Redialling a number whose count was no number starts it at 1.
  run("tapcell 1 3 teleClick");
  EXPECT_EQ(storedSettings()["schoolCallDic2"]["12345"], "1");
}

// ---------------------------------------------------------- Telephone menu

TEST_F(CallsTest, TheMenuShowsTheGuideOnceAndRecordsEachFunction) {
  startPhone(/*guideSeen=*/false);
  // The guide waits for the menu to be in front.
  run("tap 14");
  run("tap 1 常用分機");  // quicker than the guide's 0.1 s
  std::string s = run("wait 0.5");
  EXPECT_TRUE(has(s, "screen: schoolCallOftenViewController depth 3")) << s;
  EXPECT_FALSE(storedSettings().contains("教學畫面"));
  run("tap homeButton");

  s = run("tap 14");
  EXPECT_TRUE(has(s, "screen: extension depth 2")) << s;
  EXPECT_TRUE(has(s, "button 0: 分機查詢撥號\nbutton 1: 常用分機\nbutton 2: 號碼直撥\nbutton 3: 通話記錄\n"
                     "button 4: 我的網路電話\nbutton 5: QA\n"))
      << s;
  s = run("wait 0.1");
  ASSERT_TRUE(has(s, "screen: schoolCallTeachViewController depth 3")) << s;
  EXPECT_FALSE(has(s, "backButton")) << "the first page has no way back";
  EXPECT_EQ(storedSettings()["教學畫面"], "已看過");
  run("tap homeButton");
  run("tap 14");
  s = run("wait 0.5");
  EXPECT_TRUE(has(s, "screen: extension depth 2")) << s;

  s = run("tap 4 我的網路電話");
  EXPECT_TRUE(has(s, "screen: myPhoneViewController depth 3")) << s;
  EXPECT_EQ(storedSettings()["功能名稱"], "我的網路電話");
  run("tap homeButton");
  Settings::standard().setObject("userPhoneData", Value::dictionary({{"username", Value("88410101")},
                                                                     {"password", Value("k3Yp9qTe")}}));
  run("tap 14");
  s = run("tap 4 我的網路電話");
  EXPECT_TRUE(has(s, "screen: myPhoneAccountViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "text usernameTextView: 88410101\n")) << s;
  run("tap backButton");
  s = run("tap 5 QA");
  EXPECT_TRUE(has(s, "screen: QAViewController depth 3")) << s;
  EXPECT_EQ(storedSettings()["功能名稱"], "QA");
  run("tap backButton");
  s = run("tap backButton");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
}

TEST_F(CallsTest, TheCallLogExplanationCanBeTurnedOff) {
  startPhone();
  run("tap 14");
  std::string s = run("tap 3 通話記錄");
  ASSERT_TRUE(has(s, "screen: schoolCallRecordViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "switch switchBar: off")) << s;
  run("tap submitBtn");
  EXPECT_EQ(opened(), "opened: sip:\n");
  EXPECT_FALSE(storedSettings().contains("通話記錄畫面"));
  run("switch switchBar on");
  run("tap submitBtn");
  EXPECT_EQ(storedSettings()["通話記錄畫面"], "已看過");
  s = run("tap backButton");
  EXPECT_TRUE(has(s, "screen: extension depth 2")) << s;
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 1u);
  s = run("tap 3 通話記錄");
  EXPECT_TRUE(has(s, "screen: extension depth 2")) << s;
  EXPECT_EQ(opened(), "opened: sip:\nopened: sip:\nopened: sip:\n");
}

}  // namespace
}  // namespace yx::test
