// The campus telephone directory as a person meets it: Telephone menu,
// categories, units, a unit's lines with their extension buttons, search,
// and the switchboard; feeds served by the simulator, some through an overlay.

#include <gtest/gtest.h>

#include "platform/device.h"
#include "tests/phone/phone_support.h"

namespace yx::test {
namespace {

const auto& dp = directoryFeed;

class DirectoryTest : public PhoneFixture {
protected:
  void serveUnits() {
    serveFeed("/data/xml/dp-all1.xml", dp({{{"單位名稱", "校友服務暨 資源發展處"}, {"單位編號", "901"}},
                                          {{"單位名稱", "人事室"}, {"單位編號", "902"}},
                                          {{"單位名稱", "沒有編號的單位"}}}));
    serveFeed("/data/xml/dp-901.xml",
              dp({{{"單位名稱", "處長 室"}, {"單位分機", "2354/25502354"}},
                  {{"單位名稱", "課務組"}, {"單位分機", "2120/25502120/25502121"}},
                  {{"單位名稱", "服務台"}, {"單位分機", "2354,2355"}},
                  {{"單位名稱", "綜合 業務組"}, {"單位分機", "2130,分機忙線請改撥,請於上班時間來電（週一至週五08:00-17:00）"}},
                  {{"單位名稱", "教學發展中心"}},
                  {{"單位分機", "2160"}}}));
    serveFeed("/data/xml/dp-902.xml", dp({{{"單位名稱", "人事主任"}, {"單位分機", "2201"}}}));
  }
  // Home -> 校園電話 -> 分機查詢撥號 -> 行政單位, the units loaded.
  std::string openUnits() {
    run("tap 14");
    run("tap 0 分機查詢撥號");
    run("row 0 0");
    return run("wait 0.2");
  }
  TableView& table() { return *Application::shared().navigation()->topViewController()->view().findNamed<TableView>("myTableView"); }
  std::vector<Button*> buttonsInRow(int row) { return rowButtons(0, row); }
};

TEST_F(DirectoryTest, CategoriesUnitsAndLinesAsTheFeedsSayThem) {
  serveUnits();
  startPhone();
  run("tap 14");
  std::string s = run("tap 0 分機查詢撥號");
  ASSERT_TRUE(has(s, "screen: schoolCallViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "  row 0.0: 行政單位\n  row 0.1: 學術單位\n")) << s;
  EXPECT_EQ(requestsFor("/data/xml/dp-all1.xml").size(), 0u);

  s = run("row 0 0");
  EXPECT_TRUE(has(s, "screen: schoolCallDetail1ViewController depth 4")) << s;
  EXPECT_TRUE(has(s, "label titleLabel: 行政單位\n")) << s;
  EXPECT_TRUE(has(s, "table myTableView rows 0\n")) << s;
  EXPECT_TRUE(has(s, "spinner activityIndicator: on")) << s;
  s = run("wait 0.1");
  EXPECT_TRUE(has(s, "  row 0.0: 校友服務暨 資源發展處\n  row 0.1: 人事室\n  row 0.2: 沒有編號的單位\n")) << s;
  EXPECT_FALSE(has(s, "spinner")) << s;

  s = run("row 0 0");
  ASSERT_TRUE(has(s, "screen: schoolCallDetail2ViewController depth 5")) << s;
  // Spaces go from the title and the line names; this long name is bold 21.
  EXPECT_TRUE(has(s, "label titleLabel: 校友服務暨資源發展處\n")) << s;
  EXPECT_TRUE(has(run("frame titleLabel"), "font 21")) << s;
  s = run("wait 0.1");
  ASSERT_EQ(requestsFor("/data/xml/dp-901.xml").size(), 1u);
  EXPECT_TRUE(has(s, "table myTableView rows 8\n"
                     "  header 0: 學校總機: (02)5550-1234\n"
                     "  row 0.0: 處長室 | 2354\n"
                     "  row 0.1: 專線: 25502354\n"
                     "  row 0.2: 課務組 | 2120\n"
                     "  row 0.3: 專線: 25502120\n"
                     "  row 0.4: 服務台 | 2354 | 2355\n"
                     "  row 0.5: 綜合業務組 | 2130 | 分機忙線請改撥 | 請於上班時間來電（週一至週五08:00-17:00）\n"
                     "  row 0.6: 教學發展中心\n"
                     "  row 0.7: 2160\n"))
      << s;
  EXPECT_DOUBLE_EQ(table().heightForRow({0, 0}), 40);
  EXPECT_DOUBLE_EQ(table().headerHeight(0), 20);
  EXPECT_TRUE(has(run("cell 0 0"), "  label nameLbl: 處長室 {#000000}\n  button 0: 2354\n"));

  // Extensions fill from the right edge; direct lines and notes are red text nobody can tap.
  auto pair = buttonsInRow(4);
  ASSERT_EQ(pair.size(), 2u);
  EXPECT_EQ(pair[0]->frame(), (Rect{270, 5, 50, 30}));
  EXPECT_EQ(pair[1]->frame(), (Rect{217, 5, 50, 30}));
  EXPECT_EQ(pair[1]->backgroundImage(), "分機號碼背景.gif");
  EXPECT_TRUE(pair[1]->hasAction());
  auto direct = buttonsInRow(1);
  ASSERT_EQ(direct.size(), 1u);
  EXPECT_EQ(direct[0]->frame(), (Rect{120, 5, 250, 30}));
  auto mixed = buttonsInRow(5);
  ASSERT_EQ(mixed.size(), 3u);
  EXPECT_EQ(mixed[1]->frame(), (Rect{75, 5, 250, 30}));  // 7 characters
  EXPECT_EQ(mixed[2]->frame(), (Rect{90, 5, 250, 30}));  // 24 characters
  for (Button* b : {direct[0], mixed[1], mixed[2]}) {
    EXPECT_FALSE(b->hasAction()) << b->title();
    EXPECT_EQ(b->titleColor(), Color::rgb(255, 0, 0));
  }
  EXPECT_TRUE(buttonsInRow(6).empty()) << "a line without an extension has nothing to tap";
  EXPECT_TRUE(has(run("tapcell 0 1 1"), "screen: schoolCallDetail2ViewController"));
  EXPECT_EQ(opened(), "opened: none\n");

  // Another unit keeps the screen's own title font.
  run("tap backButton");
  run("row 0 1");
  run("wait 0.1");
  EXPECT_TRUE(has(run("frame titleLabel"), "font 20"));
}

TEST_F(DirectoryTest, ADeadOrBrokenFeedLeavesTheListEmptyAndTheSpinnerTurning) {
  serveUnits();
  serveFeed("/data/xml/dp-902.xml", "<dp><單位名稱>人事");  // cut short: not XML
  startPhone();
  openUnits();
  std::string s = run("row 0 2");  // no unit number: unit 0, which has no feed
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "label titleLabel: 沒有編號的單位\n")) << s;
  EXPECT_TRUE(has(s, "table myTableView rows 0\n  header 0: 學校總機: (02)5550-1234\nspinner activityIndicator: on\n")) << s;
  EXPECT_EQ(requestsFor("/data/xml/dp-0.xml").size(), 1u);
  run("tap backButton");
  run("row 0 1");
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "table myTableView rows 0\n")) << s;
  EXPECT_TRUE(has(s, "spinner activityIndicator: on")) << s;

  // A dead campus server: the units stay empty too.
  run("tap homeButton");
  sim().setFault("/data/xml/dp-all2.xml", sim::Fault{.status = 500});
  run("tap 14");
  run("tap 0 分機查詢撥號");
  run("row 0 1");
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "label titleLabel: 學術單位\n")) << s;
  EXPECT_TRUE(has(s, "table myTableView rows 0\nspinner activityIndicator: on\n")) << s;
}

TEST_F(DirectoryTest, TheSwitchboardIsDialledOnlyByATelephoneAndNeverRecorded) {
  serveUnits();
  startPhone();
  openUnits();
  run("row 0 1");
  run("wait 0.2");
  std::string s = run("tap 3");
  EXPECT_TRUE(has(s, "alert: 警示 | 無此功能 | 確定")) << s;
  run("alert 0");
  DeviceInfo phone = Device::info();
  phone.model = "iPhone";
  Device::setInfoOverride(phone);
  run("tap 3");
  EXPECT_EQ(opened(), "opened: tel://0255501234,,2354\n");
  EXPECT_FALSE(storedSettings().contains("callTime_Phone"));
  EXPECT_EQ(requestsFor("/data/phone1.aspx").size(), 0u);
}

// Search: the unit lists of both categories by unit name, a unit's lines by
// name and by number, whatever the letter case or width; a line found by a
// search calls and records exactly what it does in the whole list.
TEST_F(DirectoryTest, FindsUnitsByNameAndLinesByNameOrNumberAndAFoundLineCallsAsEver) {
  options.canvasHeight = 692;
  options.canvasWidth = 320;
  serveFeed("/data/xml/dp-all1.xml", directoryFeed({{{"單位名稱", "電子計算機中心"}, {"單位編號", "901"}},
                                                    {{"單位名稱", "人事室"}, {"單位編號", "902"}}}));
  serveFeed("/data/xml/dp-all2.xml", directoryFeed({{{"單位名稱", "資訊工程學系"}, {"單位編號", "911"}},
                                                    {{"單位名稱", "資訊管理學系"}, {"單位編號", "912"}},
                                                    {{"單位名稱", "中國文學系"}, {"單位編號", "913"}}}));
  serveFeed("/data/xml/dp-901.xml", directoryFeed({{{"單位名稱", "中心主任"}, {"單位分機", "2301"}},
                                                    {{"單位名稱", "網路組"}, {"單位分機", "2310/25502310"}},
                                                    {{"單位名稱", "服務台"}, {"單位分機", "2354,2355"}},
                                                    {{"單位名稱", "Help Desk"}, {"單位分機", "2360"}}}));
  startPhone();
  run("tap 14");
  run("tap 0 分機查詢撥號");
  run("row 0 1");
  std::string s = run("wait 0.2");
  EXPECT_TRUE(has(s, "field searchField: [搜尋單位名稱]\ntable myTableView rows 3\n")) << s;
  s = run("type searchField 資訊");
  EXPECT_TRUE(has(s, "rows 2\n  row 0.0: 資訊工程學系\n  row 0.1: 資訊管理學系\n")) << s;
  s = run("type searchField 不存在的系");
  EXPECT_TRUE(has(s, "table myTableView rows 0\n")) << s;
  EXPECT_FALSE(has(s, "alert:")) << s;
  run("tap backButton");

  run("row 0 0");
  run("wait 0.2");
  EXPECT_TRUE(has(run("type searchField 計算"), "rows 1\n  row 0.0: 電子計算機中心\n"));
  // The unit found is the unit opened. Typed before its lines arrive, a
  // number in full-width digits finds its line when they do.
  s = run("row 0 0");
  EXPECT_TRUE(has(s, "label titleLabel: 電子計算機中心\n")) << s;
  EXPECT_TRUE(has(s, "field searchField: [搜尋名稱或分機]\ntable myTableView rows 0\n")) << s;
  run("type searchField ２３５５");
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "rows 1\n  header 0: 學校總機: (02)5550-1234\n  row 0.0: 服務台 | 2354 | 2355\n")) << s;
  // A direct line shows with the line it belongs to, found by either; a
  // name as it is shown (without its space), in any letter case.
  s = run("type searchField 2550");
  EXPECT_TRUE(has(s, "rows 2\n  header 0: 學校總機: (02)5550-1234\n  row 0.0: 網路組 | 2310\n  row 0.1: 專線: 25502310\n"))
      << s;
  EXPECT_TRUE(has(run("type searchField HELP"), "rows 1\n  header 0: 學校總機: (02)5550-1234\n  row 0.0: HelpDesk | 2360\n"));

  // The call from a found row is that row's call: the same extension, the
  // same name in the Call record.
  run("type searchField 服務");
  run("tap teleClick 2355");
  EXPECT_EQ(opened(), "opened: sip:2355\n");
  auto stored = storedSettings();
  EXPECT_EQ(stored["callDepartment"], "服務台");
  EXPECT_EQ(stored["schoolCallDic1"]["2355"], "服務台");
  EXPECT_EQ(requestsFor("/data/phone1.aspx").size(), 1u);
  // The field stretches with the screen; the list takes the taller canvas.
  EXPECT_EQ(run("frame searchField"), "frame searchField: 8 89 304 30\n");
  EXPECT_EQ(run("frame myTableView"), "frame myTableView: 0 124 320 568\n");
}

}  // namespace
}  // namespace yx::test
