// Opening hours (the menu of periods, closed days scrolled to the present,
// a period's hours by building) and the e-resource news with its pages.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/libOpenTimeViewController.h"
#include "library/newSourceWebViewController.h"
#include "tests/library/library_support.h"

namespace yx::test {
namespace {

class HoursTest : public LibraryFixture {
protected:
  std::string openClosedDays() {
    openFunction("開放時間");
    return run("row 0 0");
  }
};

// The bundled year: 8/8, 9/28, 10/10, 11/12, 12/25, 1/1, 1/27 ... In
// December, November's 11/12 (row 3) comes first: the row before it.
TEST_F(HoursTest, ClosedDaysScrollOnceToThePresentMonth) {
  startReady();
  std::string s = openClosedDays();
  ASSERT_TRUE(has(s, "screen: libTimeDetailViewController depth 4")) << s;
  EXPECT_TRUE(has(s, "label countLbl: 共 13 筆")) << s;
  EXPECT_TRUE(has(s, "row 0.4: 115/12/25 | 行憲紀念日")) << s;
  EXPECT_TRUE(has(s, "table myTableview rows 13 at 0.2 top\n")) << s;
}

// Which row comes to the top is the closed-days rule's (see the library
// rules); on screen, a previous-month first row moves nothing.
TEST_F(HoursTest, APreviousMonthFirstRowMovesNothing) {
  serve("library_info", "/vesplint/open.xml",
        "<OpenTime><Item><Term>休館日</Term><Period>115/11/30</Period><Hour>校慶補假</Hour></Item>"
        "<Item><Term>休館日</Term><Period>115/12/25</Period><Hour>行憲紀念日</Hour></Item></OpenTime>");
  startReady();
  std::string s = openClosedDays();
  EXPECT_TRUE(has(s, "table myTableview rows 2\n")) << "not scrolled\n" << s;
  s = run("row 0 1");  // selecting only deselects
  EXPECT_TRUE(has(s, "screen: libTimeDetailViewController depth 4")) << s;
  run("tap 2");
  EXPECT_TRUE(requestsFor("/Data/situ1.aspx").empty()) << "back from the closed days sends no report";
}

TEST_F(HoursTest, PeriodsGroupByBuildingAndRowsFollowTheDocument) {
  serve("library_info", "/vesplint/open.xml",
        "<OpenTime>"
        "<Item><Term>學期中</Term><Period>9/1-1/15</Period><Hour>08-22</Hour><Building>總館</Building><Weekday>平日</Weekday></Item>"
        "<Item><Term>學期中</Term><Hour>休館</Hour><Building>總館</Building><Weekday>國定假日</Weekday></Item>"
        "<Item><Term>學期中</Term><Period>考試週</Period><Hour>08-23</Hour><Building>分館</Building></Item>"
        "<Item><Term>暑假</Term><Period>7/1-8/31</Period><Hour>09-17</Hour><Building>總館</Building><Weekday>平日</Weekday></Item>"
        "<Item><Term>學期中</Term><Period>9/1-1/15</Period><Hour>09-17</Hour><Building>總館</Building><Weekday>週末</Weekday></Item>"
        "</OpenTime>");
  startReady();
  std::string s = openFunction("開放時間");
  EXPECT_TRUE(has(s, "table myTableview rows 2\n  row 0.0: 學期中開放時間\n  row 0.1: 暑假開放時間\n")) << s;
  EXPECT_EQ(requestsFor("/vesplint/open.xml").size(), 1u);

  s = run("row 0 0");
  EXPECT_TRUE(has(s, "screen: libOpenTimeViewController depth 4")) << s;
  EXPECT_TRUE(has(s, "label titleLabel: 學期中開放時間")) << s;
  EXPECT_TRUE(has(s,
                  "  header 0: 總館\n"
                  "  row 0.0: 9/1-1/15 | 平日 | 08-22\n"
                  "  row 0.1: 國定假日 | 休館\n"
                  "  header 1: 分館\n"
                  "  row 1.0: 考試週 | 08-23\n"
                  "  header 2: 總館\n"
                  "  row 2.0: 9/1-1/15 | 週末 | 09-17\n"))
      << s;
  // The one line of a row without a period or weekdays sits in the middle.
  auto* table = top<libOpenTimeViewController>()->view().findNamed<TableView>("myTableview");
  auto noPeriod = std::dynamic_pointer_cast<libOpenCell>(table->cellForRow({0, 1}));
  auto noWeek = std::dynamic_pointer_cast<libOpenCell>(table->cellForRow({1, 0}));
  auto both = std::dynamic_pointer_cast<libOpenCell>(table->cellForRow({0, 0}));
  ASSERT_TRUE(noPeriod && noWeek && both);
  const Rect middle{11, 19, 195, 21};
  EXPECT_EQ(noPeriod->weekLbl->frame(), middle);
  EXPECT_EQ(noWeek->periodLbl->frame(), middle);
  EXPECT_NE(both->periodLbl->frame(), middle);
  EXPECT_NE(both->weekLbl->frame(), middle);

  s = run("tap 2");
  s = run("row 0 1");
  EXPECT_TRUE(has(s, "label titleLabel: 暑假開放時間\n")) << s;
  EXPECT_TRUE(has(s, "  header 0: 總館\n  row 0.0: 7/1-8/31 | 平日 | 09-17\n")) << s;
  s = run("tap 1");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 1u);
}

TEST_F(HoursTest, ItemsShowMonthAndDayAndOpenTheirPagesEscapedOnce) {
  serve("library_web", "/xhr/announcements/rssfeed/59519819.rss",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel>"
        "<item><title>十二月</title><link>{{base:library_web}}/p/%E9%9B%B2%20a.html</link>"
        "<pubDate>Wed, 05 Dec 2012 10:00:00 +0800</pubDate></item>"
        "<item><title>一月</title><link>  {{base:library_web}}/p/電子 書.html\n</link>"
        "<pubDate>Mon, 07 Jan 2013 08:00:00 GMT</pubDate></item>"
        "<item><title>怪月</title><link>javascript:alert(1)</link><pubDate>Mon, 07 Okt 2013</pubDate></item>"
        "<item><title>短日期</title><pubDate>2013-01-07</pubDate></item>"
        "<item><title>沒有日期</title><link></link></item>"
        "</channel></rss>");
  serve("library_web", "/p/雲 a.html", "<html><body>頁面一</body></html>");
  serve("library_web", "/p/電子 書.html", "<html><body>頁面二</body></html>");
  startReady();
  std::string s = openFunction("電子資源新訊");
  EXPECT_TRUE(has(s, "spinner indicator: on")) << s;
  s = run("wait 0.2");
  EXPECT_FALSE(has(s, "spinner")) << s;
  EXPECT_TRUE(has(s, "label countLbl: 共 5 筆")) << s;
  EXPECT_TRUE(has(s,
                  "  row 0.0: 12/05 | 十二月\n"
                  "  row 0.1: 1/07 | 一月\n"
                  "  row 0.2: Okt/07 | 怪月\n"
                  "  row 0.3: 2013-01-07 | 短日期\n"
                  "  row 0.4: 沒有日期\n"))
      << s;

  s = run("row 0 0");
  EXPECT_TRUE(has(s, "screen: newSourceWebViewController depth 4")) << s;
  EXPECT_TRUE(has(s, "/p/%E9%9B%B2%20a.html loaded")) << s;
  auto* page = top<newSourceWebViewController>();
  EXPECT_NE(page->view().findNamed<WebView>("webView")->content().find("頁面一"), std::string::npos);
  run("tap 2");
  s = run("row 0 1");
  EXPECT_TRUE(has(s, "/p/%E9%9B%BB%E5%AD%90%20%E6%9B%B8.html loaded")) << s;
  run("tap 2");
  EXPECT_TRUE(requestsFor("/Data/situ1.aspx").empty()) << "back from a page sends no report";

  // A link that is no web address, or none at all, opens nothing.
  for (const char* row : {"row 0 2", "row 0 3", "row 0 4"}) {
    s = run(row);
    EXPECT_TRUE(has(s, "screen: newSourceViewController depth 3")) << row << "\n" << s;
  }
  s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: libViewController depth 2")) << s;
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 1u) << "back from the news list reports";
}

// Opening hours or news that are not XML, or well-formed documents under an
// error status (an error page is no feed): empty lists, no alert, the news
// spinner still turning.
class BadDocumentsTest : public HoursTest, public testing::WithParamInterface<bool> {};

TEST_P(BadDocumentsTest, GiveEmptyLists) {
  if (!GetParam()) {
    serve("library_info", "/vesplint/open.xml", "<OpenTime><Item><Term>學期中");
    serve("library_web", "/xhr/announcements/rssfeed/59519819.rss", "<rss><channel><item><title>cut");
  }
  startReady();
  if (GetParam()) {
    sim().setFault("/vesplint/open.xml",
                   sim::Fault{.status = 500, .body = "<OpenTime><Item><Term>休館日</Term><Period>115/12/25</Period></Item></OpenTime>"});
    sim().setFault("/xhr/announcements/rssfeed/59519819.rss",
                   sim::Fault{.status = 404, .body = "<rss><channel><item><title>錯誤頁</title></item></channel></rss>"});
  }
  std::string s = openFunction("開放時間");
  EXPECT_TRUE(has(s, "table myTableview rows 0")) << s;
  EXPECT_FALSE(has(s, "alert:")) << s;
  s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: libViewController depth 2")) << s;
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 1u) << "back from the opening hours reports";

  run("tap 4 電子資源新訊");
  s = run("wait 0.2");
  EXPECT_TRUE(has(s, "table myTableview rows 0")) << s;
  EXPECT_TRUE(has(s, "spinner indicator: on")) << s;
  EXPECT_FALSE(has(s, "alert:")) << s;
  s = run("tap 1");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
}
INSTANTIATE_TEST_SUITE_P(NotXmlOrErrorStatus, BadDocumentsTest, testing::Bool());

}  // namespace
}  // namespace yx::test
