// Searching the telephone directory as a person does: the unit lists of both
// categories by unit name, a unit's lines by name and by number, whatever
// the letter case or width; a line found by a search calls and records
// exactly what it does in the whole list.

#include <gtest/gtest.h>

#include "tests/phone/phone_support.h"

namespace yx::test {
namespace {

std::string dp(const std::vector<std::vector<std::pair<std::string, std::string>>>& entries) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<NewDataSet>\n";
  for (auto& e : entries) {
    xml += "  <dp>";
    for (auto& [k, v] : e) xml += "<" + k + ">" + v + "</" + k + ">";
    xml += "</dp>\n";
  }
  return xml + "</NewDataSet>\n";
}

class DirectorySearchTest : public PhoneFixture {
protected:
  void serveDirectory() {
    serveFeed("/data/xml/dp-all1.xml", dp({{{"單位名稱", "電子計算機中心"}, {"單位編號", "901"}},
                                          {{"單位名稱", "人事室"}, {"單位編號", "902"}},
                                          {{"單位名稱", "ＩＴ服務處"}, {"單位編號", "903"}}}));
    serveFeed("/data/xml/dp-all2.xml", dp({{{"單位名稱", "資訊工程學系"}, {"單位編號", "911"}},
                                          {{"單位名稱", "資訊管理學系"}, {"單位編號", "912"}},
                                          {{"單位名稱", "中國文學系"}, {"單位編號", "913"}}}));
    serveFeed("/data/xml/dp-901.xml", dp({{{"單位名稱", "中心主任"}, {"單位分機", "2301"}},
                                          {{"單位名稱", "網路組"}, {"單位分機", "2310/25502310"}},
                                          {{"單位名稱", "服務台"}, {"單位分機", "2354,2355"}},
                                          {{"單位名稱", "Help Desk"}, {"單位分機", "2360"}}}));  // shown as "HelpDesk"
  }
  std::string openCategory(int row) {
    run("tap 14");
    run("tap 0 分機查詢撥號");
    run("row 0 " + std::to_string(row));
    return run("wait 0.2");
  }
};

TEST_F(DirectorySearchTest, BothUnitListsNarrowByUnitNameAndAFoundUnitOpensAsEver) {
  serveDirectory();
  startPhone();
  std::string s = openCategory(1);
  EXPECT_TRUE(has(s, "field searchField: [搜尋單位名稱]\ntable myTableView rows 3\n")) << s;
  s = run("type searchField 資訊");
  EXPECT_TRUE(has(s, "rows 2\n  row 0.0: 資訊工程學系\n  row 0.1: 資訊管理學系\n")) << s;
  s = run("type searchField 文學");
  EXPECT_TRUE(has(s, "rows 1\n  row 0.0: 中國文學系\n")) << s;
  s = run("type searchField 不存在的系");
  EXPECT_TRUE(has(s, "table myTableView rows 0\n")) << s;
  EXPECT_FALSE(has(s, "alert:")) << s;
  run("tap backButton");

  s = run("row 0 0");
  run("wait 0.2");
  EXPECT_TRUE(has(run("type searchField it"), "rows 1\n  row 0.0: ＩＴ服務處\n"));
  s = run("type searchField 計算");
  EXPECT_TRUE(has(s, "rows 1\n  row 0.0: 電子計算機中心\n")) << s;
  // The unit found is the unit opened: its own feed, its own title.
  s = run("row 0 0");
  EXPECT_TRUE(has(s, "screen: schoolCallDetail2ViewController depth 5\nlabel titleLabel: 電子計算機中心\n")) << s;
  run("wait 0.2");
  EXPECT_EQ(requestsFor("/data/xml/dp-901.xml").size(), 1u);
  run("tap backButton");
  EXPECT_TRUE(has(run("type searchField "), "rows 3\n"));
}

TEST_F(DirectorySearchTest, LinesAreFoundByNameOrNumberAndCallAsFromTheWholeList) {
  options.canvasHeight = 692;
  options.canvasWidth = 320;
  serveDirectory();
  startPhone();
  openCategory(0);
  std::string s = run("row 0 0");
  EXPECT_TRUE(has(s, "field searchField: [搜尋名稱或分機]\ntable myTableView rows 0\n")) << s;
  // Typed before the lines arrive, a number finds its line when they do,
  // written in full-width digits or not.
  run("type searchField ２３５５");
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "rows 1\n  header 0: 學校總機: (02)5550-1234\n  row 0.0: 服務台 | 2354 | 2355\n")) << s;
  EXPECT_TRUE(has(run("type searchField "), "table myTableView rows 5\n"));
  // A direct line shows with the line it belongs to, found by either.
  s = run("type searchField 2550");
  EXPECT_TRUE(has(s, "rows 2\n  header 0: 學校總機: (02)5550-1234\n  row 0.0: 網路組 | 2310\n  row 0.1: 專線: 25502310\n"))
      << s;
  EXPECT_TRUE(has(run("type searchField 網路"), "rows 2\n"));
  EXPECT_TRUE(has(run("type searchField HELP"), "rows 1\n  header 0: 學校總機: (02)5550-1234\n  row 0.0: HelpDesk | 2360\n"));
  EXPECT_TRUE(has(run("type searchField 9999"), "table myTableView rows 0\n"));

  // The call from a found row is that row's call: the same extension, the
  // same name in the Call record.
  run("type searchField 服務");
  s = run("tap teleClick 2355");
  EXPECT_EQ(opened(), "opened: sip:2355\n");
  EXPECT_TRUE(has(run("settings callDepartment"), "setting callDepartment: 服務台\n"));
  auto stored = storedSettings();
  EXPECT_EQ(stored["schoolCallDic1"]["2355"], "服務台");
  EXPECT_EQ(stored["schoolCallDic2"]["2355"], "1");
  EXPECT_EQ(requestsFor("/data/phone1.aspx").size(), 1u);
  // The field stretches with the screen; the list takes the taller canvas.
  EXPECT_EQ(run("frame searchField"), "frame searchField: 8 89 304 30\n");
  EXPECT_EQ(run("frame myTableView"), "frame myTableView: 0 124 320 568\n");
}

}  // namespace
}  // namespace yx::test
