// The campus map, the building list and the cameras as a person meets them,
// against the simulator: zoom limits, the deployment's building list, every
// camera's row, reloads and bad pictures.

#include <gtest/gtest.h>

#include <fstream>

#include "campus/info/building_list.h"
#include "campus/info/cameras.h"
#include "platform/resources.h"
#include "tests/campus/feeds_support.h"

namespace yx::test {
namespace {

using sim::Fault;

class PlacesTest : public FeedsFixture {};

TEST_F(PlacesTest, TheMapOpensZoomedAroundItsCentreAndZoomsWithinItsLimits) {
  startReady();
  std::string s = run("tap 8");
  ASSERT_TRUE(has(s, "screen: wynMapViewController depth 2")) << s;
  EXPECT_TRUE(has(s, "zoom mapScrollView: 1.50 min 0.50 max 3.00\nimage mapImgview: newMap loaded\n")) << s;
  auto* area = viewOnTop<ScrollView>("mapScrollView");
  ASSERT_NE(area, nullptr);
  // The rectangle around (568 - 100, 200), a 1.5th of the 320 x 524 area.
  EXPECT_NEAR(area->contentOffset().x, (468 - 320 / 3.0) * 1.5, 0.01);
  EXPECT_NEAR(area->contentOffset().y, (200 - 524 / 3.0) * 1.5, 0.01);
  EXPECT_EQ(run("frame mapScrollView"), "frame mapScrollView: 0 44 320 524 content 700 568\n");
  // Zooming keeps the point in the middle of the map where it is.
  const double midX = (area->contentOffset().x + 160) / 1.5, midY = (area->contentOffset().y + 262) / 1.5;
  EXPECT_TRUE(has(run("zoom mapScrollView 5"), "zoom mapScrollView: 3.00 min 0.50 max 3.00")) << s;
  EXPECT_NEAR((area->contentOffset().x + 160) / 3, midX, 0.01);
  EXPECT_NEAR((area->contentOffset().y + 262) / 3, midY, 0.01);
  EXPECT_TRUE(has(run("zoom mapScrollView 0.2"), "zoom mapScrollView: 0.50 min 0.50 max 3.00")) << s;
  EXPECT_TRUE(has(run("zoom mapScrollView 2.2"), "zoom mapScrollView: 2.20 min 0.50 max 3.00")) << s;
  run("tap 1");
  EXPECT_EQ(lastReportName(), "校園地圖");
}

TEST_F(PlacesTest, BuildingsAreListedInPlainStringOrderAndTheButtonsNoteTheEndTime) {
  startReady();
  std::string s = run("tap 9");
  ASSERT_TRUE(has(s, "screen: houseListsViewController depth 2")) << s;
  EXPECT_TRUE(has(s, "table myTableview rows 30\n  row 0.0: A1 | 行政大樓\n")) << s;
  EXPECT_TRUE(has(s, "  row 0.3: B1 | 文學院\n  row 0.4: B10 | 人文社會研究大樓\n  row 0.5: B2 | 外國語文學系館\n")) << s;
  EXPECT_TRUE(has(s, "| 物理暨天文館\n  row 0.11: Cafe | 青楓坡餐廳\n")) << s;  // upper case first
  EXPECT_TRUE(has(s, "  row 0.22: GYM | 綜合體育館\n  row 0.23: Gate | 正門警衛室\n")) << s;
  houseListsViewController::usageList().clear();
  s = run("tap 0");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_EQ(lastReportName(), "建築物對照");
  // The end time is noted in memory only.
  ASSERT_EQ(houseListsViewController::usageList().size(), 1u);
  EXPECT_EQ(houseListsViewController::usageRecord().stringFor("結束時間"), "2026/12/07 09:30:00.000");
  EXPECT_FALSE(has(run("settings"), "結束時間"));
}

// Typing into the field above the list narrows it at once, by code, English
// or Chinese name, whatever the letter case or width.
TEST_F(PlacesTest, SearchNarrowsTheBuildingsByCodeOrNameIgnoringCaseAndWidth) {
  options.canvasHeight = 692;
  options.canvasWidth = 320;
  startReady();
  std::string s = run("tap 9");
  // The field comes first, empty, over the whole list.
  EXPECT_TRUE(has(s, "field searchField: [搜尋代號或名稱]\ntable myTableview rows 30\n")) << s;
  EXPECT_TRUE(has(run("type searchField ａ１"), "table myTableview rows 1\n  row 0.0: A1 | 行政大樓\n"));
  s = run("type searchField lib");
  EXPECT_TRUE(has(s, "table myTableview rows 1\n  row 0.0: LIB | 圖書館\n")) << s;
  // The filtered row is the building's own cell; tapping it does what it
  // always does (nothing but deselect).
  EXPECT_EQ(run("cell 0 0"), "  image: 建築物對照圖 loaded\n  label engNameLbl: LIB {#000000}\n"
                             "  label chineseNameLbl: 圖書館 {#000000}\n");
  EXPECT_TRUE(has(run("row 0 0"), "screen: houseListsViewController depth 2")) << s;
  EXPECT_TRUE(has(run("type searchField cafe"), "rows 1\n  row 0.0: Cafe | 青楓坡餐廳\n"));  // an English name
  s = run("type searchField 學院");  // Chinese names, in key order
  EXPECT_TRUE(has(s, "rows 5\n  row 0.0: B1 | 文學院\n  row 0.1: C1 | 理學院\n  row 0.2: D1 | 工學院\n")) << s;
  // No match is an empty list, not a message; an empty field shows everything again.
  s = run("type searchField 不存在");
  EXPECT_TRUE(has(s, "table myTableview rows 0\n")) << s;
  EXPECT_FALSE(has(s, "alert:")) << s;
  EXPECT_TRUE(has(run("type searchField "), "table myTableview rows 30\n  row 0.0: A1 | 行政大樓\n"));
  // The field stretches with the width; the list takes the taller canvas.
  EXPECT_EQ(run("frame searchField"), "frame searchField: 8 49 304 30\n");
  EXPECT_EQ(run("frame myTableview"), "frame myTableview: 0 84 320 608\n");
  EXPECT_TRUE(has(run("return searchField"), "screen: houseListsViewController depth 2"));
}

TEST_F(PlacesTest, TheDeploymentsBuildingListReplacesTheBundledOne) {
  std::string dir = dataDir() + "-resources";
  std::filesystem::create_directories(dir);
  options.resourcesDir = dir;
  auto write = [&](const std::string& text) { std::ofstream(dir + "/placeList.plist") << text; };
  write("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict><key>b2</key><string>小寫</string>"
        "<key>Z9</key><integer>9</integer><key>A10</key><string>甲十</string><key>A9</key><string>甲九</string>"
        "</dict></plist>");
  startReady();
  std::string s = run("tap 9");
  EXPECT_TRUE(has(s, "table myTableview rows 4\n  row 0.0: A10 | 甲十\n  row 0.1: A9 | 甲九\n  row 0.2: Z9\n"
                     "  row 0.3: b2 | 小寫\n"))
      << s;
  run("tap 1");
  // An array, a broken file or none at all: an empty list, no message.
  for (const char* text : {"<plist version=\"1.0\"><array><string>A1</string></array></plist>", "<plist><dict><key>",
                           ""}) {
    write(text);
    s = run("tap 9");
    EXPECT_TRUE(has(s, "table myTableview rows 0\n")) << s;
    EXPECT_FALSE(has(s, "alert:")) << s;
    run("tap 1");
  }
  std::filesystem::remove_all(dir);
}

// Every camera of the table: its title, picture, badge and the route the badge opens.
TEST_F(PlacesTest, EveryCameraShowsItsTitlePictureAndBadge) {
  startReady();
  std::string s = run("tap 2");
  ASSERT_TRUE(has(s, "screen: camerasViewController depth 2")) << s;
  int buttons = 0;
  for (size_t at = s.find("button 2: "); at != std::string::npos; at = s.find("button 2: ", at + 1)) ++buttons;
  EXPECT_EQ(buttons, 8);
  for (const CameraInfo& c : cameraTable()) {
    const size_t before = requestsFor(c.path).size();
    if (c.button.empty()) {
      // The camera without a menu button opens only by name.
      auto picture = std::make_shared<cameraImgViewController>();
      picture->setWhichCamera(c.name);
      push(picture);
      s = run("show");
    } else {
      s = run("tap 2 " + c.button);
      EXPECT_EQ(Settings::standard().stringForKey("功能名稱").value_or(""), c.name);
      EXPECT_EQ(Settings::standard().stringForKey("啓動時間").value_or(""), "20261207093000");
    }
    ASSERT_TRUE(has(s, "screen: cameraImgViewController depth 3")) << c.name << "\n" << s;
    EXPECT_TRUE(has(s, "label titleLbl: " + c.title + "\n")) << s;
    EXPECT_TRUE(has(s, "button 4" + std::string(c.route.empty() ? " disabled" : "") + ": " + c.badge + "\n")) << s;
    EXPECT_TRUE(has(s, c.path + " loaded\n")) << s;
    EXPECT_TRUE(has(s, "label myLbl: 2026/12/07 09:30:00\n")) << s;
    EXPECT_EQ(requestsFor(c.path).size(), before + 1) << c.name;
    auto* screen = top<cameraImgViewController>();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->toBusStr(), c.route);
    if (!c.route.empty()) {  // the bus-stop badge opens its route
      s = run("tap 4");
      ASSERT_TRUE(has(s, "screen: busInforViewController depth 4")) << s;
      EXPECT_TRUE(lastMoveAnimated());
      EXPECT_TRUE(has(s, "/MQS/businfo2.jsp?routename=%E7%B4%85" + c.route + " loaded\n")) << s;
      EXPECT_EQ(requestsFor("/MQS/businfo2.jsp").back()["query"]["routename"], "紅" + c.route);
      run("tap 2");
    }
    run("tap 2");
  }
  EXPECT_EQ(usageReports(), 11u) << "each camera's back, and the bus page's back";
  // The camera menu's own buttons send no report.
  s = run("tap 1");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_EQ(usageReports(), 11u);
}

// Each reload fetches the picture again and sets the time; anything but a
// whole picture shows no picture, never the old one under the new time.
TEST_F(PlacesTest, ReloadFetchesAgainAndAnythingButAWholePictureShowsNoPictureButTheTime) {
  startReady();
  std::string jpeg = *Files::readFile(sim::bundledDataDir() + "/camera/cam2.jpg");
  // A header claiming 30000 x 30000 pixels, then nothing.
  std::string huge = std::string("\xFF\xD8\xFF\xC0\x00\x11\x08\x75\x30\x75\x30\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01",
                                 21) +
                     std::string(64, '\0');
  const Fault bad[] = {Fault{.status = 500, .body = "<html><body>伺服器錯誤</body></html>"},
                       Fault{.body = jpeg.substr(0, jpeg.size() / 2)}, Fault{.body = huge}, Fault{.cutAfter = 100},
                       Fault{.body = ""}};
  run("tap 2");
  run("tap 2 27");
  for (size_t i = 0; i < std::size(bad); ++i) {
    sim().clearFaults();
    std::string s = run("tap 3");
    ASSERT_TRUE(has(s, "/cam2.jpg loaded\n")) << s;
    sim().setFault("/cam2.jpg", bad[i]);
    run("wait 1");
    s = run("tap 3");
    EXPECT_FALSE(has(s, "image myImgview")) << "never the old picture under the new time\n" << s;
    EXPECT_TRUE(has(s, "label myLbl: 2026/12/07 09:30:0" + std::to_string(i + 1) + "\n")) << s;
  }
  EXPECT_EQ(requestsFor("/cam2.jpg").size(), 1 + 2 * std::size(bad));
}

}  // namespace
}  // namespace yx::test
