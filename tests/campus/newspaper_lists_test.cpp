// The newspaper's menu and article lists as a person meets them: from the
// Home menu through the sections and back, with the feeds, thumbnails and
// usage reports checked on the wire and the remembered section in the store.

#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <thread>

#include "campus/newspaper/news_lists.h"
#include "platform/http.h"
#include "tests/campus/newspaper_support.h"

namespace yx::test {
namespace {

using sim::Fault;

class NewspaperListsTest : public NewspaperFixture {};

TEST_F(NewspaperListsTest, MenuOpensTheLatestIssueWithThumbnailsCountAndUsageLabel) {
  std::string s = openNewspaper();
  ASSERT_TRUE(has(s, "screen: wynTimesViewController depth 2")) << s;
  for (const char* line : {"button 0: 最新一期", "button 1: WYN Times", "button 2: 活動看板", "button 3: 演講看板",
                           "button 4: 近期圖輯", "button 3: 上一頁.png"})
    EXPECT_TRUE(has(s, line)) << line << "\n" << s;
  EXPECT_EQ(usageReports(), 0u);

  s = run("tap 0 最新一期");
  ASSERT_TRUE(has(s, "screen: chiNewsViewController depth 3")) << s;
  EXPECT_EQ(*Settings::standard().stringForKey("功能名稱"), "最新一期");
  EXPECT_TRUE(has(s, "label timeLbl: 286期 [2026/12/04]\n")) << s;
  EXPECT_TRUE(has(s, "row 0.2: 雲岫大學與在地社區攜手推動永續校園計畫首年成果豐碩獲教育部肯定\n")) << s;
  s = run("wait 0.5");
  EXPECT_TRUE(has(s, "label countLbl: 共4筆\n")) << s;
  std::string cell = run("cell 0 0");
  EXPECT_TRUE(has(cell, "image myImage: http://127.0.0.1:" + std::to_string(sim().port("newspaper_web")) +
                            "/ashx/getILPic150.ashx?im=2026/1204/a1.jpg loaded\n"))
      << cell;
  EXPECT_TRUE(has(cell, "label myLbl: 雲岫大學六十週年校慶典禮隆重登場 {#696565}")) << cell;
  // The article without a picture shows the placeholder without asking for one.
  EXPECT_TRUE(has(run("cell 0 3"), "image myImage: 005_30.png loaded"));
  // The feed, then the thumbnails of the rows shown, fetched side by side.
  auto asked = wire("/");
  ASSERT_EQ(asked.size(), 4u);
  EXPECT_EQ(asked[0], "/Data/xml/Times/new-cht1.xml");
  EXPECT_EQ(std::set<std::string>(asked.begin() + 1, asked.end()),
            (std::set<std::string>{"/ashx/getILPic150.ashx?im=2026/1204/a1.jpg",
                                   "/ashx/getILPic150.ashx?im=2026/1204/b1.jpg",
                                   "/ashx/getILPic150.ashx?im=2026/1204/b2.jpg"}));

  // The menu's own buttons leave without a report.
  run("tap 3 上一頁.png");
  s = run("tap 1 首頁");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_EQ(usageReports(), 0u);
}

TEST_F(NewspaperListsTest, TheLastItemGivesIssueAndDateAndMissingChildrenAreEmpty) {
  serveTimes("new-cht1.xml", "cht",
             {{{"編號", "1"}, {"期別", "280"}, {"發佈日期", "2026/10/01"}, {"標題", "第一則"}, {"圖片路徑", ""}},
              {{"編號", "2"}, {"期別", "281"}, {"發佈日期", "2026/10/15"}},
              {{"期別", "282"}, {"發佈日期", "2026/10/30"}, {"標題", "沒有編號"}, {"圖片路徑", ""}}});
  serveTimes("new-2.xml", "cht", {{{"編號", "2"}, {"標題", "第二則"}, {"內文", "內文"}}});
  openNewspaper(0);
  std::string s = run("wait 0.1");
  EXPECT_TRUE(has(s, "label timeLbl: 282期 [2026/10/30]\n")) << s;
  EXPECT_TRUE(has(s, "table myTableview rows 3\n  row 0.0: 第一則\n  row 0.1: \n  row 0.2: 沒有編號\n")) << s;
  EXPECT_TRUE(has(s, "label countLbl: 共3筆")) << s;
  // A row without an id of its own opens nothing; the others open.
  s = run("row 0 2");
  EXPECT_TRUE(has(s, "screen: chiNewsViewController")) << s;
  s = run("row 0 1");
  EXPECT_TRUE(has(s, "screen: chiNewsDetailViewController depth 4")) << s;
  EXPECT_TRUE(has(s, "label timeLbl: 282 期 [2026/10/30]")) << s;
  EXPECT_EQ(requestsFor("/Data/xml/Times/new-2.xml").size(), 1u);
}

TEST_F(NewspaperListsTest, SectionsAreRememberedUntilTheListIsLeftByHomeOrBack) {
  openNewspaper(0);
  std::string s = run("tap typeBtn_3");
  EXPECT_TRUE(has(s, "row 0.0: 資工系團隊獲國際程式競賽金牌")) << s;
  EXPECT_EQ(*Settings::standard().stringForKey("chiNewsType"), "3");
  EXPECT_EQ(viewOnTop<Button>("typeBtn_3")->backgroundImage(), "003_01.png");
  EXPECT_EQ(viewOnTop<Button>("typeBtn_1")->backgroundImage(), "003_02.png");

  // An article and back: the list shows the remembered section again.
  s = run("row 0 1");
  ASSERT_TRUE(has(s, "screen: chiNewsDetailViewController")) << s;
  EXPECT_EQ(viewOnTop<Button>("typeBtn_3")->backgroundImage(), "003_01.png");
  run("tap 2 上一頁.png");
  // The article's section button returns to the list on that section, unanimated.
  run("row 0 0");
  s = run("tap typeBtn_5");
  EXPECT_TRUE(has(s, "screen: chiNewsViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "row 0.0: 專題：從雲岫看山——校園百年地景變遷")) << s;
  EXPECT_FALSE(lastMoveAnimated());

  // The bottom bar's back keeps the choice: the next visit loads section 1,
  // then on appearing the stored section.
  run("tap 3 上一頁.png");
  EXPECT_EQ(*Settings::standard().stringForKey("chiNewsType"), "5");
  sim().clearRequests();
  s = run("tap 0 最新一期");
  EXPECT_TRUE(has(s, "row 0.0: 專題：從雲岫看山——校園百年地景變遷")) << s;
  // Back by the header reports and forgets; the visit after loads section 1 only.
  run("tap 2 返回");
  EXPECT_FALSE(Settings::standard().stringForKey("chiNewsType"));
  EXPECT_EQ(usageReports(), 1u);
  run("tap 0 最新一期");
  run("tap typeBtn_2");
  s = run("tap 1 首頁");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_FALSE(Settings::standard().stringForKey("chiNewsType"));
  EXPECT_EQ(usageReports(), 2u);
  std::vector<std::string> feeds;
  for (auto& r : wire("/Data/xml/Times/")) feeds.push_back(r.substr(16));
  EXPECT_EQ(feeds, (std::vector<std::string>{"new-cht1.xml", "new-cht5.xml", "new-cht1.xml", "new-cht2.xml"}));

  // Entering the background forgets the section too.
  run("tap 20");
  run("tap 0 最新一期");
  run("tap typeBtn_4");
  run("background");
  EXPECT_FALSE(Settings::standard().stringForKey("chiNewsType"));
}

TEST_F(NewspaperListsTest, EmptyFailedAndErrorSectionsLeaveAnEmptyOrPlaceholderList) {
  serveTimes("new-cht2.xml", "cht", {{{"編號", "9"}, {"期別", "9"}, {"發佈日期", "d"}, {"標題", "不該出現"}}});
  openNewspaper(0);
  // An empty section: one placeholder row that opens nothing, the count hidden.
  std::string s = run("tap typeBtn_4");
  EXPECT_TRUE(has(s, "label timeLbl: 期 []\n")) << s;
  EXPECT_TRUE(has(s, "table myTableview rows 1\n  row 0.0: 請見特別企劃\n")) << s;
  EXPECT_FALSE(has(s, "countLbl")) << s;
  EXPECT_TRUE(has(run("cell 0 0"), "image myImage: 特別企劃紅.png loaded"));
  EXPECT_TRUE(has(run("row 0 0"), "screen: chiNewsViewController depth 3"));

  // A section answered with an error status is a failed fetch even when the
  // error page parses: the list is empty, nothing is said, the label stays.
  run("tap typeBtn_1");
  sim().setFault(std::string(kTimes) + "new-cht2.xml", Fault{.status = 502});
  s = run("tap typeBtn_2");
  EXPECT_TRUE(has(s, "table myTableview rows 0\n")) << s;
  EXPECT_TRUE(has(s, "label timeLbl: 286期 [2026/12/04]\n")) << s;
  EXPECT_FALSE(has(s, "alert:")) << s;
  EXPECT_EQ(run("row 0 0"), "error: no row 0.0\n");

  // Cut, unparsable and unreachable feeds behave the same.
  sim().setFault(std::string(kTimes) + "new-cht3.xml", Fault{.cutAfter = 40});
  EXPECT_TRUE(has(run("tap typeBtn_3"), "table myTableview rows 0\n"));
  sim().setFault(std::string(kTimes) + "new-cht5.xml", Fault{.body = "<NewDataSet><cht><標題>斷"});
  EXPECT_TRUE(has(run("tap typeBtn_5"), "table myTableview rows 0\n"));
  // A feed larger than any answer is taken is refused whole, not cut.
  const auto limit = httpMaxBodyBytes();
  setHttpMaxBodyBytes(200);
  std::string big = run("tap typeBtn_1");
  setHttpMaxBodyBytes(limit);
  EXPECT_TRUE(has(big, "table myTableview rows 0\n")) << big;
}

TEST_F(NewspaperListsTest, LateThumbnailsNeverLandInTheRowsOfAnotherSection) {
  // Section 1's thumbnails are held back; section 2 is shown before they come.
  startReady();
  sim().setFault("/ashx/getILPic150.ashx", Fault{.delayMs = 400});
  run("tap 20");
  ImageLoader::resetCounters();
  run("tap 0 最新一期");
  // A worker that had not begun a thumbnail when its row went would never ask
  // for it: wait until all three are on their way.
  for (int i = 0; i < 5000 && ImageLoader::peakInFlight() < 3; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_GE(ImageLoader::peakInFlight(), 3);
  sim().clearFaults();
  run("tap typeBtn_2");
  run("wait 1");
  const std::string base = "http://127.0.0.1:" + std::to_string(sim().port("newspaper_web"));
  EXPECT_EQ(run("cell 0 0"), "  image myImage: " + base + "/ashx/getILPic150.ashx?im=2026/1204/e1.jpg loaded\n"
                             "  label myLbl: 岫谷秋楓季 落葉步道開放 {#696565}\n");
  EXPECT_TRUE(has(run("cell 0 2"), "getILPic150.ashx?im=2026/1204/lake%20view.jpg loaded"));
  // The held-back answers did arrive, and went nowhere.
  auto thumbs = wire("/ashx/getILPic150.ashx");
  ASSERT_EQ(thumbs.size(), 6u);
  EXPECT_EQ(std::set<std::string>(thumbs.begin(), thumbs.begin() + 3),
            (std::set<std::string>{"/ashx/getILPic150.ashx?im=2026/1204/a1.jpg",
                                   "/ashx/getILPic150.ashx?im=2026/1204/b1.jpg",
                                   "/ashx/getILPic150.ashx?im=2026/1204/b2.jpg"}));
}

TEST_F(NewspaperListsTest, EnglishEditionAndItsPlaceholderArticle) {
  std::string s = openNewspaper(1);
  ASSERT_TRUE(has(s, "screen: engNewsViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "label timeLbl: No. 286 [2026/12/04]\n")) << s;
  EXPECT_TRUE(has(s, "row 0.0: Yunxiu University Celebrates 60 Years\n")) << s;
  EXPECT_EQ(*Settings::standard().stringForKey("功能名稱"), "WYN Times");
  s = run("tap 2 返回");
  EXPECT_TRUE(has(s, "screen: wynTimesViewController")) << s;
  EXPECT_EQ(usageReports(), 1u);

  // An empty English feed: "無資料。", which still opens an article (with no id).
  sim().setFault(std::string(kTimes) + "new-eng.xml", Fault{.body = "<NewDataSet/>"});
  s = run("tap 1 WYN Times");
  EXPECT_TRUE(has(s, "label timeLbl: No.  []\n")) << s;
  EXPECT_TRUE(has(s, "row 0.0: 無資料。\n")) << s;
  EXPECT_TRUE(has(run("cell 0 0"), "image myImageview: 005_30.png loaded"));
  s = run("row 0 0");
  ASSERT_TRUE(has(s, "screen: engNewsDetailViewController depth 4")) << s;
  EXPECT_EQ(requestsFor("/Data/xml/Times/new-.xml").size(), 1u);
  // The article did not parse; the English page still has its way back.
  EXPECT_TRUE(has(s, "label timeLbl: No.  []\n")) << s;
  EXPECT_TRUE(has(s, "button 2: 上一頁.png")) << s;
  EXPECT_FALSE(has(s, "titleLbl")) << s;
  run("tap 2 上一頁.png");
  s = run("tap 3 上一頁.png");
  EXPECT_TRUE(has(s, "screen: wynTimesViewController")) << s;
  EXPECT_EQ(usageReports(), 1u);
  run("tap 1 WYN Times");
  run("tap 1 首頁");
  EXPECT_EQ(usageReports(), 2u);
}

}  // namespace
}  // namespace yx::test
