// News, activities and lab seats as a person meets them: from the Home menu
// through the loader to the lists, details and web pages, against the
// simulator, with the cache files read back by Python's plistlib.

#include <gtest/gtest.h>

#include "platform/ui/view_controller.h"
#include "tests/campus/feeds_support.h"

namespace yx::test {
namespace {

using sim::Fault;

constexpr const char* kNewsPath = "/Data/xml/news-0.xml";
constexpr const char* kActPath = "/Data/xml/act-0.xml";

class NewsTest : public FeedsFixture {};

TEST_F(NewsTest, HomeToListDetailAndWebPage) {
  startReady();
  std::string s = run("tap 4");
  EXPECT_TRUE(has(s, "screen: newsXMLParser depth 2")) << s;
  EXPECT_TRUE(has(s, "alert: 網路資料讀取中 | 請稍候...")) << s;
  // The progress alert counts to a hundred over the list, then goes.
  s = run("wait 0.99");
  ASSERT_TRUE(has(s, "screen: newsListViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "alert: 網路資料讀取中 | 請稍候...\n  progress progressBar: 0.99\n  label proLbl: 99 %\n")) << s;
  EXPECT_TRUE(has(run("wait 0.01"), "label proLbl: 100 %"));
  s = run("wait 0.02");
  EXPECT_FALSE(has(s, "alert:")) << s;
  EXPECT_TRUE(has(s, "label countLbl: 共 16 筆")) << s;
  // The list shows the announcement up to its first "<br>"; prefixes are gone.
  EXPECT_TRUE(has(s, "row 0.1: 第十二屆雲岫人文社會學術研討會徵稿\n")) << s;
  EXPECT_TRUE(has(s, "row 0.4: 志工服務隊招募新血，歡迎各系同學加入\n")) << s;
  EXPECT_TRUE(has(s, "row 0.5: 校園攝影比賽即日起收件，主題「岫谷四季」\n")) << s;
  ASSERT_EQ(requestsFor(kNewsPath).size(), 2u) << "probe and download";

  auto news = records("news");
  ASSERT_EQ(news.size(), 16u);
  EXPECT_EQ(keysOf(news[3]), (std::vector<std::string>{"編號", "公告", "類別", "活動開始日期", "活動結束日期"}));
  EXPECT_EQ(news[3]["公告"], "雲岫藝廊「山嵐與光」水墨聯展開幕<br>展期間每日09:00至17:00開放參觀<br>地點：藝術中心一樓");
  EXPECT_EQ(news[1]["活動開始日期"], "2026/11/27");

  s = run("row 0 1");
  ASSERT_TRUE(has(s, "screen: newsDetailsViewController depth 4")) << s;
  EXPECT_TRUE(has(s, "text myTextview: 公告：\\n第十二屆雲岫人文社會學術研討會徵稿截稿日期延至本月底\\n\\n類別：學術活動"
                     "\\n\\n活動開始日期：2026/11/27\\n\\n活動結束日期：2026/12/31\n"))
      << s;

  s = run("tap 3");
  ASSERT_TRUE(has(s, "screen: newsWebViewController depth 5")) << s;
  EXPECT_TRUE(has(s, "label headerLabel: 最新消息")) << s;
  EXPECT_TRUE(has(s, "/TodayNews/newsdtl.aspx?id=5015 loaded")) << s;
  EXPECT_FALSE(has(s, "spinner")) << s;
  auto page = requestsFor("/TodayNews/newsdtl.aspx");
  ASSERT_EQ(page.size(), 1u);
  EXPECT_EQ(page[0]["raw_query"], "id=5015");
}

TEST_F(NewsTest, ChooserOpensClosesAndLoadsTheCategoryFeed) {
  startReady();
  std::string s = loaded("tap 4");
  EXPECT_FALSE(has(s, "chooseTableview")) << s;
  s = run("tap 3");
  EXPECT_TRUE(has(s, "table chooseTableview rows 7")) << s;
  EXPECT_TRUE(has(s, "row 0.3: 推廣教育")) << s;
  s = run("tap 4");
  EXPECT_FALSE(has(s, "chooseTableview")) << s;
  run("tap 3");
  s = loaded("row chooseTableview 0 3");
  EXPECT_EQ(requestsFor("/Data/xml/news-3.xml").size(), 2u);
  ASSERT_TRUE(has(s, "screen: newsListViewController depth 5")) << s;
  auto news = records("news");
  ASSERT_FALSE(news.empty());
  for (auto& r : news) EXPECT_EQ(r["類別"], "推廣教育") << r.dump();
}

TEST_F(NewsTest, OddFeedTextIsTreatedFieldByField) {
  serveFeed(kNewsPath,
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<NewDataSet>\n"
            "\t<news>\n\t\t<編號>7 7</編號>\n\t\t<公告>鳴泉:第一 段\n落&lt;br&gt;小字:第二段</公告>\n"
            "\t\t<類別>行政 事項</類別>\n\t\t<活動開始日期>2026/12/01</活動開始日期>\n"
            "\t\t<活動結束日期>2026/12/09</活動結束日期>\n\t</news>\n"
            "  <news>\n    <編號>abc</編號>\n  </news>\n"
            "</NewDataSet>\n");
  startReady();
  std::string s = loaded("tap 4");
  ASSERT_TRUE(has(s, "label countLbl: 共 2 筆")) << s;
  auto news = records("news");
  ASSERT_EQ(news.size(), 2u);
  // Spaces and newlines go; the tabs after a field's end tag stay in it.
  EXPECT_EQ(news[0]["編號"], "77\t\t");
  EXPECT_EQ(news[0]["公告"], "第一段落<br>第二段\t\t");
  EXPECT_EQ(news[0]["類別"], "行政事項\t\t");
  EXPECT_EQ(news[0]["活動結束日期"], "2026/12/09\t");
  // A missing child is an empty string; space indentation leaves nothing.
  EXPECT_EQ(news[1]["編號"], "abc");
  EXPECT_EQ(news[1]["公告"], "");
  EXPECT_EQ(news[1]["活動結束日期"], "");

  s = run("row 0 0");
  EXPECT_TRUE(has(s, "公告：\\n第一段落第二段\\t\\t\\n\\n類別：行政事項\\t\\t")) << s;
  s = run("tap 3");
  EXPECT_TRUE(has(s, "newsdtl.aspx?id=77 ")) << s;
  run("tap 101");
  run("tap 2");  // back to the list
  s = run("row 0 1");
  EXPECT_TRUE(has(s, "text myTextview: 公告：\\n\\n\\n類別：\\n\\n活動開始日期：\\n\\n活動結束日期：\n")) << s;
  s = run("tap 3");
  EXPECT_TRUE(has(s, "newsdtl.aspx?id=0 ")) << s;
}

TEST_F(NewsTest, RunsReplaceTheCacheAndAnEmptyFeedKeepsIt) {
  startReady();
  loaded("tap 4");
  run("tap 1");
  std::string s = loaded("tap 4");
  EXPECT_TRUE(has(s, "label countLbl: 共 16 筆")) << s;
  EXPECT_EQ(records("news").size(), 16u) << "a second run must not duplicate";
  run("tap 1");

  // No item: from the Home menu the old records stay and are listed.
  sim().setFault(kNewsPath, Fault{.body = "<?xml version=\"1.0\"?><NewDataSet>\n</NewDataSet>"});
  s = loaded("tap 4");
  EXPECT_TRUE(has(s, "label countLbl: 共 16 筆")) << s;
  EXPECT_FALSE(has(s, "alert:")) << s;
  // The chooser deletes the file first, so the same feed lists nothing.
  run("tap 3");
  s = loaded("row chooseTableview 0 0");
  EXPECT_TRUE(has(s, "screen: newsListViewController depth 5")) << s;
  EXPECT_TRUE(has(s, "label countLbl: 共 0 筆")) << s;
  EXPECT_TRUE(has(s, "alert: 提醒 | 此類別目前無相關資訊。 | 確定")) << s;
  EXPECT_EQ(plistlib("news"), "MISSING");

  // Items outside "NewDataSet" are never stored.
  sim().setFault(kNewsPath, Fault{.body = "<other><news><編號>1</編號><公告>x</公告></news></other>"});
  run("alert 0");
  run("tap 1");
  s = loaded("tap 4");
  EXPECT_TRUE(has(s, "label countLbl: 共 0 筆")) << s;
  EXPECT_EQ(plistlib("news"), "[]");
}

// A feed that breaks off (a mismatched end tag, or an element with absurdly
// many attributes) keeps the records before the fault and lists nothing.
TEST_F(NewsTest, MalformedFeedKeepsRecordsSoFarAndShowsNoList) {
  startReady();
  std::string bomb = "<news";
  for (int i = 0; i < 20000; ++i) bomb += " a" + std::to_string(i) + "=\"1\"";
  for (auto [bad, code] : {std::pair{std::string("<news><編號>2</編號><公告>壞</news>"), "76"},
                           std::pair{bomb + "><公告>之後</公告></news>", "1"}}) {
    sim().setFault(kNewsPath, Fault{.body = "<NewDataSet><news><編號>1</編號><公告>好</公告></news>" + bad + "</NewDataSet>"});
    std::string s = loaded("tap 4");
    EXPECT_TRUE(has(s, "screen: newsXMLParser depth 2")) << s;
    EXPECT_TRUE(has(s, "alert: Error loading content | Unable to download story feed from web site (Error code " +
                           std::string(code) + " ) | OK\n"))
        << s;
    auto news = records("news");
    ASSERT_EQ(news.size(), 1u);
    EXPECT_EQ(news[0]["公告"], "好");
    s = run("alert 0");
    EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  }
}

// No answer to the probe: the network alert, then the loader goes.
TEST_F(NewsTest, AProbeWithoutAnswerAlertsAndTheLoaderGoes) {
  startReady();
  sim().setFault(kNewsPath, Fault{.cutAfter = 10});
  std::string s = loaded("tap 4");
  EXPECT_TRUE(has(s, "alert: 網路警示 | 請確認網路連線狀態是否開啟 | 確定\n")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
}

TEST_F(NewsTest, WebPageFailureAlertsAndReturnsToTheDetail) {
  startReady();
  sim().setFault("/TodayNews/newsdtl.aspx", Fault{.cutAfter = 5});
  loaded("tap 4");
  run("row 0 0");
  std::string s = run("tap 3");
  EXPECT_TRUE(has(s, "screen: newsWebViewController depth 5")) << s;
  // The spinner stays behind the alert until it is answered.
  EXPECT_TRUE(has(s, "spinner spinner: on")) << s;
  EXPECT_TRUE(has(s, "alert: 錯誤 |  | 確定\n")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: newsDetailsViewController depth 4")) << s;
  EXPECT_FALSE(has(s, "spinner")) << s;
  EXPECT_FALSE(lastMoveAnimated());
  EXPECT_EQ(usageReports(), 0u);
}

class ActivitiesTest : public FeedsFixture {};

TEST_F(ActivitiesTest, HomeToListDetailAndCoursePage) {
  startReady();
  std::string s = loaded("tap 6");
  ASSERT_TRUE(has(s, "screen: inforActsViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "label countLbl: 共 13 筆")) << s;
  EXPECT_TRUE(has(s, "row 0.0: 建築系畢業設計成果展\n")) << s;
  auto acts = records("act");
  ASSERT_EQ(acts.size(), 13u);
  EXPECT_EQ(keysOf(acts[0]), (std::vector<std::string>{"課程名稱", "開課類別", "上課地點", "上課起始時間", "上課結束時間",
                                                      "開始報名時間", "結束報名時間", "開課對象", "連結編號"}));
  s = run("row 0 0");
  EXPECT_TRUE(has(s, "text myTextview: 課程名稱：\\n建築系畢業設計成果展\\n\\n開課對象：全校師生及校外人士\\n\\n"
                     "開課類別：成果展\\n\\n上課地點：設計學院展覽廳\\n\\n活動時間：\\n2026-12-05 10:00~2026-12-18 18:00"
                     "\\n\\n報名時間：\\n2026-11-17 09:00~2026-12-04 17:00\n"))
      << s;
  s = run("tap 3");
  ASSERT_TRUE(has(s, "screen: inforActWebViewController depth 5")) << s;
  EXPECT_TRUE(has(s, "label headerLabel: 活動")) << s;
  auto page = requestsFor("/course.aspx");
  ASSERT_EQ(page.size(), 1u);
  EXPECT_EQ(page[0]["raw_query"], "cid=A1131");
}

TEST_F(ActivitiesTest, OnlyPlainOffsetTimesAreShortened) {
  serveFeed(kActPath,
            "<NewDataSet><act><課程名稱>IT 講座</課程名稱><上課起始時間>2026-12-01T09:00:00+08:00</上課起始時間>"
            "<上課結束時間>2026-12-01T09:00:30+08:00</上課結束時間><開始報名時間>2026-11-01T09:00:00+09:00"
            "</開始報名時間><結束報名時間>2026-11-30</結束報名時間><連結編號>A&amp;1 #2</連結編號></act></NewDataSet>");
  startReady();
  loaded("tap 6");
  auto acts = records("act");
  ASSERT_EQ(acts.size(), 1u);
  EXPECT_EQ(acts[0]["課程名稱"], "IT講座");
  EXPECT_EQ(acts[0]["上課起始時間"], "2026-12-01 09:00");
  EXPECT_EQ(acts[0]["上課結束時間"], "2026-12-01 09:00:30+08:00");
  EXPECT_EQ(acts[0]["開始報名時間"], "2026-11-01 09:00:00+09:00");
  EXPECT_EQ(acts[0]["結束報名時間"], "2026-11-30");
  EXPECT_EQ(acts[0]["開課類別"], "");
  // A link id with query characters stays one value.
  run("row 0 0");
  run("tap 3");
  auto page = requestsFor("/course.aspx");
  ASSERT_EQ(page.size(), 1u);
  EXPECT_EQ(page[0]["query"]["cid"], "A&1#2");
  EXPECT_EQ(page[0]["query"].size(), 1u);
}

class LabsTest : public FeedsFixture {};

TEST_F(LabsTest, SeatsFromHomeMenuRefreshAndAFeedWithoutLabs) {
  startReady();
  std::string s = loaded("tap 1");
  ASSERT_TRUE(has(s, "screen: computerViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "row 0.0: C301\\t剩餘 48 位\n")) << s;
  EXPECT_TRUE(has(s, "row 0.2: C303\\t剩餘 0 位\n")) << s;
  EXPECT_TRUE(has(s, "header 0: 最後更新：2026-12-07 09:28\n")) << s;
  auto labs = records("labs");
  ASSERT_GE(labs.size(), 3u);
  EXPECT_EQ(keysOf(labs[0]),
            (std::vector<std::string>{"實習室編號", "使用機號", "使用機位數", "每間機位數", "開放訊息", "更新時間"}));
  EXPECT_EQ(labs[0]["更新時間"], "2026-12-07 09:28:00");
  EXPECT_EQ(labs[0]["使用機號"], "1,2,3,5,8,9,10,12,15,21,22,30");
  s = run("tap 3");
  EXPECT_TRUE(has(s, "screen: computerSeatXMLParser depth 4")) << s;
  s = run("wait 1.5");
  EXPECT_TRUE(has(s, "screen: computerViewController depth 5")) << s;
  EXPECT_EQ(records("labs").size(), labs.size());
  EXPECT_EQ(requestsFor("/Data/xml/labs.xml").size(), 4u);
  s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;

  // A feed without labs keeps the old list and file, without a message.
  labs = records("labs");
  sim().setFault("/Data/xml/labs.xml", Fault{.body = "<NewDataSet>\n</NewDataSet>"});
  s = loaded("tap 1");
  ASSERT_TRUE(has(s, "screen: computerViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "row 0.0: C301\\t剩餘 48 位\n")) << s;
  EXPECT_FALSE(has(s, "alert:")) << s;
  EXPECT_EQ(records("labs"), labs);

  // With no file at all the list is empty, without a message, and the
  // header is still three characters short.
  std::filesystem::remove(cacheFile("labs"));
  s = loaded("tap 3");
  ASSERT_TRUE(has(s, "screen: computerViewController depth 5")) << s;
  EXPECT_TRUE(has(s, "table myTableview rows 0\n  header 0: 最後\n")) << s;
  EXPECT_FALSE(has(s, "alert:")) << s;
}

// Seats are read as a C int conversion: clamped to the int range, and the
// difference is clamped the same way instead of wrapping.
TEST_F(LabsTest, SeatTextsForFullOverfullClosedAndOutOfRangeLabs) {
  serveFeed("/Data/xml/labs.xml",
            "<NewDataSet>"
            "<labs><實習室編號>A 1</實習室編號><使用機位數>40</使用機位數><每間機位數>40</每間機位數>"
            "<更新時間>2026-12-07T10:20:30+08:00</更新時間></labs>"
            "<labs><實習室編號>A2</實習室編號><使用機位數>45</使用機位數><每間機位數>40</每間機位數></labs>"
            "<labs><實習室編號>A3</實習室編號><使用機位數>3</使用機位數><每間機位數>0</每間機位數></labs>"
            "<labs><實習室編號>A4</實習室編號><使用機位數>3</使用機位數><每間機位數>n/a</每間機位數></labs>"
            "<labs><實習室編號>B1</實習室編號><使用機位數>-2147483648</使用機位數><每間機位數>2147483647</每間機位數></labs>"
            "<labs><實習室編號>B2</實習室編號><使用機位數>-99999999999</使用機位數><每間機位數>99999999999</每間機位數></labs>"
            "<labs><實習室編號>B3</實習室編號><使用機位數>99999999999</使用機位數><每間機位數>-5</每間機位數></labs>"
            "<labs><實習室編號>B4</實習室編號><使用機位數>1</使用機位數><每間機位數>4294967296</每間機位數></labs>"
            "</NewDataSet>");
  startReady();
  std::string s = loaded("tap 1");
  const char* rows[] = {"A1\\t剩餘 0 位",           "A2\\t剩餘 -5 位",          "A3\\t現在未開放或未連線",
                        "A4\\t現在未開放或未連線",  "B1\\t剩餘 2147483647 位",  "B2\\t剩餘 2147483647 位",
                        "B3\\t剩餘 -2147483648 位", "B4\\t剩餘 2147483646 位"};
  for (int i = 0; i < 8; ++i) EXPECT_TRUE(has(s, "row 0." + std::to_string(i) + ": " + rows[i] + "\n")) << s;
  EXPECT_EQ(records("labs")[0]["更新時間"], "2026-12-07 10:20:30");
}

}  // namespace
}  // namespace yx::test
