// The newspaper's event and speech boards and its photo database, from the
// newspaper menu: campus groups and their headers, the excellence icon named
// by the feed (arriving late, failing or absent), the grid filled a moment
// after it shows, the zoomable photo and the newspaper's web pages.

#include <gtest/gtest.h>

#include "campus/newspaper/boards.h"
#include "campus/newspaper/photo_database.h"
#include "campus/newspaper/times_menu.h"
#include "tests/sim/http_probe.h"
#include "tests/campus/newspaper_support.h"

namespace yx::test {
namespace {

using sim::Fault;

class NewspaperBoardsTest : public NewspaperFixture {
protected:
  TableView& table() { return *viewOnTop<TableView>("myTableview"); }
  // Header views are made when asked for, so the test keeps the one it reads.
  std::shared_ptr<Label> headerLabel(int section) {
    auto header = table().headerView(section);
    return header ? std::dynamic_pointer_cast<Label>(header->subviews().front()) : nullptr;
  }
  Label* cellLabel(int section, const std::string& name) {
    return table().cellForRow({section, 0})->contentView().findNamed<Label>(name);
  }
  ImageView* cellIcon(int section) {
    return table().cellForRow({section, 0})->contentView().findNamed<ImageView>("goodImgview");
  }
  static Item event(const std::string& name, const std::string& flag, const std::string& campus) {
    return {{"日期", "2026/12/10"}, {"時間", "10:00"}, {"主辦", "學務處"}, {"地點", "大禮堂"},
            {"活動名稱", name},      {"是否卓越", flag}, {"校園", campus}};
  }
};

TEST_F(NewspaperBoardsTest, BoardsGroupByCampusRunsAndMarkExcellentOnesWithTheFeedsIcon) {
  std::string s = openNewspaper(2);
  ASSERT_TRUE(has(s, "screen: timesActsViewController depth 3")) << s;
  EXPECT_EQ(*Settings::standard().stringForKey("功能名稱"), "活動看板");
  const std::string icon = "http://127.0.0.1:" + std::to_string(sim().port("newspaper_web")) + "/images/excellent.png";
  EXPECT_TRUE(has(s, "image littleIconImgview: " + icon + " loaded\n")) << s;
  EXPECT_TRUE(has(s, "label countLbl: 共8筆\n")) << s;
  // Campuses 溪城, 溪城, 臺北, 溪城: headers before the first, third and fourth.
  EXPECT_TRUE(has(s, "  header 0:     溪城校園\n  row 0.0: 社團聯合成果展 | 日期/時間: 2026/12/08/14:00 | "
                     "主辦/地點: 課外活動組/學生活動中心\n  row 1.0: 冬季管樂音樂會"))
      << s;
  EXPECT_TRUE(has(s, "  header 2:     臺北校園\n  row 2.0: 城市山林講座")) << s;
  EXPECT_TRUE(has(s, "  header 3:     溪城校園\n")) << s;
  const double heights[] = {25, 0, 25, 25, 25, 25, 25, 25};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(table().headerHeight(i), heights[i]) << i;
  EXPECT_EQ(headerLabel(0)->backgroundColor(), Color::rgb(149, 213, 239));
  EXPECT_EQ(headerLabel(2)->backgroundColor(), Color::rgb(216, 228, 188));
  EXPECT_EQ(headerLabel(4)->backgroundColor(), Color::rgb(239, 217, 149));
  EXPECT_EQ(headerLabel(5)->backgroundColor(), Color::rgb(238, 179, 242));
  // "台北校園" is not the events board's spelling, nor is 校外活動 a campus:
  // blank 25-point headers.
  for (int i : {6, 7}) {
    EXPECT_EQ(headerLabel(i)->text(), "") << i;
    EXPECT_TRUE(headerLabel(i)->backgroundColor().isClear()) << i;
  }
  // Flags Y and empty are marked once the icon is there; N never.
  EXPECT_EQ(cellIcon(0)->state(), "loaded");  // Y
  EXPECT_EQ(cellIcon(2)->state(), "loaded");  // empty flag
  EXPECT_EQ(cellIcon(1)->state(), "empty");   // N
  EXPECT_EQ(cellLabel(0, "nameLbl")->frame(), (Rect{40, 2, 270, 35}));
  EXPECT_EQ(cellLabel(1, "nameLbl")->frame(), (Rect{10, 2, 300, 35}));

  EXPECT_TRUE(has(run("row 3 0"), "screen: timesActsViewController")) << "a row only deselects";
  EXPECT_FALSE(table().indexPathForSelectedRow());
  run("tap 3 上一頁.png");
  EXPECT_EQ(usageReports(), 0u);

  // Speeches spell Taipei their own way and keep marked labels in place.
  s = run("tap 3 演講看板");
  ASSERT_TRUE(has(s, "screen: timesSpeechsViewController depth 3")) << s;
  EXPECT_EQ(*Settings::standard().stringForKey("功能名稱"), "演講看板");
  EXPECT_TRUE(has(s, "  header 2:     臺北校園\n  row 2.0: 城市裡的永續生活 | 演講人: 張淑芬 執行長 | "
                     "日期/時間: 2026/12/10/18:30 | 主辦/地點: 推廣教育中心/臺北教學中心\n"))
      << s;
  // Entry 4 is at "臺北校園": a new group, but not a campus this board knows.
  EXPECT_EQ(table().headerHeight(4), 25);
  EXPECT_EQ(headerLabel(4)->text(), "");
  EXPECT_EQ(headerLabel(2)->backgroundColor(), Color::rgb(216, 228, 188));
  EXPECT_EQ(cellLabel(0, "questionLbl")->frame(), (Rect{40, 2, 270, 35}));  // Y
  EXPECT_EQ(cellLabel(2, "questionLbl")->frame(), (Rect{40, 2, 270, 35}));  // empty flag
  EXPECT_EQ(cellLabel(1, "questionLbl")->frame(), (Rect{10, 2, 300, 35}));  // N
  EXPECT_EQ(cellIcon(1)->state(), "empty");
  // Back and home from a board report.
  run("tap 2 返回");
  EXPECT_EQ(usageReports(), 1u);
  run("tap 2 活動看板");
  EXPECT_TRUE(has(run("tap 1 首頁"), "screen: corvaleViewController"));
  EXPECT_EQ(usageReports(), 2u);
}

TEST_F(NewspaperBoardsTest, BoardsWithoutAnIconOrWithABadOneShowNoIcon) {
  serveTimes("event.xml", "event", {event("沒有圖示", "Y", "溪城校園")});
  serveTimes("speech.xml", "speech", {{{"講題", "壞圖示"}, {"是否卓越", "Y"}, {"校園", "霧岬校園"}}},
             "<icon><網址>file:///etc/passwd</網址></icon><icon><網址>not a url</網址></icon>");
  openNewspaper();
  std::string s = run("tap 2 活動看板");
  EXPECT_FALSE(has(s, "littleIconImgview")) << s;
  EXPECT_EQ(cellIcon(0)->state(), "empty");
  EXPECT_EQ(requestsFor("/images/excellent.png").size(), 0u);
  run("tap 3 上一頁.png");

  // An icon that is no http(s) address fails quietly; the missing children are "".
  s = run("tap 3 演講看板");
  EXPECT_TRUE(has(s, "  header 0:     霧岬校園\n  row 0.0: 壞圖示 | 演講人:  | 日期/時間: / | 主辦/地點: /\n")) << s;
  EXPECT_FALSE(has(s, "littleIconImgview")) << s;
  EXPECT_EQ(cellIcon(0)->state(), "empty");
  run("tap 3 上一頁.png");

  // An unreadable feed: an empty board, no message.
  sim().setFault(std::string(kTimes) + "event.xml", Fault{.status = 500});
  s = run("tap 2 活動看板");
  EXPECT_TRUE(has(s, "table myTableview rows 0\n")) << s;
  EXPECT_FALSE(has(s, "alert")) << s;
}

TEST_F(NewspaperBoardsTest, TheIconArrivingAfterTheListReloadsItSoMarkedRowsGetIt) {
  startReady();
  sim().setFault("/images/excellent.png", Fault{.delayMs = 300});
  run("tap 20");
  // Chosen in the menu, the board shows its entries at once ...
  top<wynTimesViewController>()->funBtn(2);
  ASSERT_TRUE(top<timesActsViewController>());
  EXPECT_EQ(table().numberOfSections(), 8);
  EXPECT_EQ(cellIcon(0)->state(), "empty");
  // ... and the icon, when it comes, reaches the marked rows.
  ASSERT_TRUE(Background::drain(10));
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(cellIcon(0)->state(), "loaded");
  EXPECT_EQ(cellIcon(1)->state(), "empty");
  EXPECT_EQ(viewOnTop<ImageView>("littleIconImgview")->state(), "loaded");
}

class NewspaperPhotosTest : public NewspaperFixture {};

TEST_F(NewspaperPhotosTest, IssueGridPhotoAndTheNewspapersPages) {
  std::string s = openNewspaper(4);
  ASSERT_TRUE(has(s, "screen: imageDBViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "table myTableview rows 3\n  row 0.0: 雲岫時報286期 [2026/12/04]\n  row 0.1: 雲岫時報285期 "
                     "[2026/11/20]\n  row 0.2: 雲岫時報284期 [2026/11/06]\n"))
      << s;
  EXPECT_EQ(*Settings::standard().stringForKey("功能名稱"), "近期圖輯");

  // The grid fills 0.1 s after it shows; the spinner turns until then.
  s = run("row 0 0");
  ASSERT_TRUE(has(s, "screen: imageDBthumbViewController depth 4")) << s;
  EXPECT_TRUE(has(s, "grid myCollectionview items 0\nspinner myActivity: on\n")) << s;
  EXPECT_EQ(requestsFor("/Data/xml/Times/pic_db-286.xml").size(), 0u);
  s = run("wait 0.1");
  EXPECT_TRUE(has(s, "grid myCollectionview items 24\n  item 0.0: 校門的第一道晨光\n")) << s;
  EXPECT_FALSE(has(s, "spinner")) << s;
  run("wait 0");
  const std::string base = "http://127.0.0.1:" + std::to_string(sim().port("newspaper_web"));
  EXPECT_EQ(run("cell 0 23"), "  image myImageview: " + base +
                                  "/ashx/getILPic150.ashx?im=2026/1204/db/24.jpg loaded\n"
                                  "  label myLbl: 畢業生的合照預演 {#000000}\n");
  EXPECT_EQ(requestsFor("/ashx/getILPic150.ashx").size(), 24u);

  // The chosen item shows its selected background while the photo opens.
  s = run("row 0 5");
  ASSERT_TRUE(has(s, "screen: imageDBdetailViewController depth 5")) << s;
  EXPECT_TRUE(has(s, "label titleLbl: 運動會大隊接力\nzoom myScrollview: 1.00 min 1.00 max 3.00\n"
                     "image imgView: " + base + "/ashx/getILPic.ashx?im=2026/1204/db/06.jpg loaded\n"
                     "label provLbl: 攝影/提供: 學生記者 陳冠宇\nbutton 3: 雲岫學報網站\nbutton 4: 申請照片\n"))
      << s;
  auto* grid = dynamic_cast<imageDBthumbViewController*>(nav().viewControllers()[3].get());
  ASSERT_TRUE(grid);
  auto* collection = grid->view().findNamed<CollectionView>("myCollectionview");
  auto cell = collection->cellForItem({0, 5});
  ASSERT_TRUE(cell->isSelected());
  auto* selected = dynamic_cast<CustomCellBackground*>(cell->subviews().front().get());
  ASSERT_TRUE(selected) << "drawn under the content";
  EXPECT_EQ(selected->backgroundColor(), (Color{0.529f, 0.808f, 0.922f, 1}));
  EXPECT_EQ(selected->borderWidth(), 5);
  EXPECT_EQ(selected->cornerRadius(), 5);
  EXPECT_EQ(selected->borderColor(), Color::black());
  EXPECT_FALSE(collection->cellForItem({0, 4})->isSelected());

  EXPECT_TRUE(has(run("zoom myScrollview 2.5"), "zoom myScrollview: 2.50 min 1.00 max 3.00\n"));
  EXPECT_TRUE(has(run("zoom myScrollview 7"), "zoom myScrollview: 3.00 min 1.00 max 3.00\n"));

  // The newspaper's home page: leaving it for home sends no report.
  s = run("tap 3 雲岫學報網站");
  ASSERT_TRUE(has(s, "screen: timesHomeWebViewController depth 6\n")) << s;
  EXPECT_TRUE(has(s, "web: " + base + "/ loaded\n")) << s;
  EXPECT_FALSE(has(s, "spinner")) << s;
  s = run("tap 1 首頁");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_EQ(usageReports(), 0u);

  // The page for requesting a photo does report.
  run("tap 20");
  run("tap 4 近期圖輯");
  run("row 0 1");
  run("wait 0.1");
  run("row 0 0");
  s = run("tap 4 申請照片");
  EXPECT_TRUE(has(s, "web: " + base + "/gallery/AskPic.aspx loaded\n")) << s;
  run("tap 2 返回");
  run("tap 4 申請照片");
  run("tap 1 首頁");
  EXPECT_EQ(usageReports(), 1u);
}

TEST_F(NewspaperPhotosTest, AFailingPageSaysErrorAndClosesAndEmptyOrBrokenIssuesStayEmpty) {
  openNewspaper(4);
  // An issue without photos: an empty grid, the spinner stopped.
  run("row 0 2");
  std::string s = run("wait 0.1");
  EXPECT_TRUE(has(s, "grid myCollectionview items 0\n")) << s;
  EXPECT_FALSE(has(s, "spinner")) << s;
  run("tap 3 上一頁.png");

  // An issue feed that does not parse: empty, and the spinner keeps turning.
  sim().setFault(std::string(kTimes) + "pic_db-285.xml", Fault{.body = "<NewDataSet><pic_db>"});
  run("row 0 1");
  s = run("wait 0.5");
  EXPECT_TRUE(has(s, "grid myCollectionview items 0\nspinner myActivity: on\n")) << s;
  run("tap 2 返回");

  // A photo that cannot be fetched leaves its place empty; a failing page
  // says "error" and closes when answered.
  sim().setFault("/ashx/getILPic.ashx", Fault{.status = 404, .body = "Not Found"});
  sim().setFault("/gallery/AskPic.aspx", Fault{.status = 503});
  run("row 0 0");
  run("wait 0.1");
  s = run("row 0 0");
  EXPECT_TRUE(has(s, "label provLbl: 攝影/提供: 攝影社 林子晴\n")) << s;
  EXPECT_FALSE(has(s, "image imgView")) << s;
  s = run("tap 4 申請照片");
  EXPECT_TRUE(has(s, "alert:  | error | ok\n")) << s;
  EXPECT_FALSE(has(s, "spinner")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: imageDBdetailViewController depth 5")) << s;
  EXPECT_TRUE(lastMoveAnimated());

  // Issue list buttons: 3 back quietly, 2 back and 1 home with a report.
  run("tap 2 返回");
  run("tap 2 返回");
  run("tap 3 上一頁.png");
  EXPECT_EQ(usageReports(), 0u);
  run("tap 4 近期圖輯");
  run("tap 2 返回");
  EXPECT_EQ(usageReports(), 1u);
}

class NewspaperServerTest : public NewspaperFixture {};

TEST_F(NewspaperServerTest, PicturesAreKeyedByPathAndServedAsTheirBytes) {
  // A picture whose bytes happen to hold a placeholder's braces stays as it is.
  std::string odd = std::string("\x89PNG\r\n\x1A\n", 8) + "{{today}}{{base:campus_data}}";
  servePicture("getILPic.ashx", "odd/圖 1&2.png", odd);
  startReady();
  auto get = [&](const std::string& target) { return sim::test::rawGet(sim().port("newspaper_web"), target); };
  auto r = get("/ashx/getILPic.ashx?im=odd/%E5%9C%96%201%262.png");
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, odd);
  r = get("/ashx/getILPic150.ashx?im=2026%2F1204%2F%E5%B1%B1%26%E9%9B%B2.jpg");
  EXPECT_EQ(r.status, 200);
  EXPECT_TRUE(Image::isImage(r.body));
  EXPECT_EQ(get("/ashx/getILPic.ashx?im=2026/1204/nothing.jpg").status, 404);
  EXPECT_EQ(get("/ashx/getILPic.ashx").status, 404);
  // Typed by what the bytes are.
  EXPECT_EQ(get("/ashx/getILPic.ashx?im=2026/1204/a1.jpg").headers["content-type"], "image/jpeg");
  EXPECT_EQ(get("/ashx/getILPic150.ashx?im=2026/1204/s2.png").headers["content-type"], "image/png");
  EXPECT_EQ(get("/images/excellent.png").headers["content-type"], "image/png");
}

}  // namespace
}  // namespace yx::test
