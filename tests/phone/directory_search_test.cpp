// Searching the telephone directory as a person does: the unit lists of both
// categories by unit name, a unit's lines by name and by number, whatever
// the letter case or width; a line found by a search calls and records
// exactly what it does in the whole list.

#include <gtest/gtest.h>

#include "tests/phone/phone_support.h"

namespace yx::test {
namespace {

class DirectorySearchTest : public PhoneFixture {};

TEST_F(DirectorySearchTest, FindsUnitsByNameAndLinesByNameOrNumberAndAFoundLineCallsAsEver) {
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
