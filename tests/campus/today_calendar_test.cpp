// Today's messages and the academic calendar as a person meets them: from the
// Home menu through the kind or semester menu to the lists and texts, against
// the simulator, with odd feeds served through its faults.

#include <gtest/gtest.h>

#include "campus/info/calendar.h"
#include "platform/http.h"
#include "platform/text_measure.h"
#include "tests/campus/feeds_support.h"

namespace yx::test {
namespace {

using sim::Fault;

std::string todayPath(int kind) { return "/data/xml/today-" + std::to_string(kind) + ".xml"; }
constexpr const char* kCalPath = "/data/xml/cal.xml";

class TodayTest : public FeedsFixture {};

TEST_F(TodayTest, EachKindFetchesItsOwnFeedAndAnEmptyOneSaysSoThenCloses) {
  startReady();
  std::string s = run("tap 16");
  ASSERT_TRUE(has(s, "screen: todayNewsViewController depth 2")) << s;
  EXPECT_TRUE(has(s, "table myTableview rows 4\n  row 0.0: 本日消息\n  row 0.1: 首發消息\n  row 0.2: 本日活動\n"
                     "  row 0.3: 首發活動\n"))
      << s;
  const char* firstRow[] = {"推廣教育中心秋季班招生", "校園捐血活動", "校園導覽志工培訓"};
  const char* counts[] = {"共 8 筆", "共 3 筆", "共 3 筆"};
  for (int row = 0; row < 3; ++row) {
    s = run("row 0 " + std::to_string(row));
    EXPECT_TRUE(has(s, "screen: todayNewsDetailViewController depth 3")) << s;
    EXPECT_TRUE(has(s, "spinner myActivity: on")) << s;
    EXPECT_TRUE(requestsFor(todayPath(row + 1)).empty()) << "the fetch waits 0.1 s";
    s = run("wait 0.1");
    EXPECT_EQ(requestsFor(todayPath(row + 1)).size(), 1u);
    EXPECT_TRUE(has(s, "  row 0.0: " + std::string(firstRow[row]))) << s;
    EXPECT_TRUE(has(s, std::string("label countLbl: ") + counts[row])) << s;
    EXPECT_FALSE(has(s, "spinner")) << s;
    s = run("tap 2");  // back from a list sends no report
    EXPECT_TRUE(has(s, "screen: todayNewsViewController depth 2")) << s;
  }
  EXPECT_EQ(usageReports(), 0u);

  run("row 0 3");
  s = run("wait 0.1");
  EXPECT_TRUE(has(s, "alert:  | 今天沒有首發活動唷！ | 確定\n")) << s;
  EXPECT_TRUE(has(s, "spinner myActivity: on")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: todayNewsViewController depth 2")) << s;
  EXPECT_TRUE(lastMoveAnimated());

  // The menu's own buttons report which feature was in use.
  run("tap 2");
  EXPECT_EQ(usageReports(), 1u);
  EXPECT_EQ(lastReportName(), "本日訊息");
}

// Items are the root's direct "today" children, their text as written; an
// activity's times lose only whole zero seconds and the "+08:00" offset.
TEST_F(TodayTest, ItemsAreTheRootsDirectTodayChildrenWithTheirTextAsWritten) {
  serveFeed(todayPath(1),
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<訊息>\n"
            "  <today><公告>  圖書館  週末 開放 </公告><類別>行政 事項</類別><活動開始日期>2026/12/01</活動開始日期>"
            "<活動結束日期>2026/12/09</活動結束日期><公告>第二個公告</公告></today>\n"
            "  <group><today><公告>藏在裡面</公告></today></group>\n"
            "  <today><公告>只有<b>公告</b>&amp;<![CDATA[<標記>]]></公告></today>\n"
            "</訊息>\n");
  serveFeed(todayPath(3),
            "<NewDataSet><today><課程名稱>夜間 觀星</課程名稱><開課類別>研習活動</開課類別>"
            "<上課起始時間>2013-05-01T09:00:00+08:00</上課起始時間><上課結束時間>2013-05-01T12:00:30+08:00</上課結束時間>"
            "<連結編號>A9</連結編號><開始報名時間>2013-04-20T08:30:00Z</開始報名時間>"
            "<結束報名時間>2013-04-30</結束報名時間><開課對象>全校 師生</開課對象><上課地點>C4 頂樓</上課地點></today>"
            "</NewDataSet>");
  startReady();
  run("tap 16");
  run("row 0 0");
  std::string s = run("wait 0.1");
  EXPECT_TRUE(has(s, "table myTableview rows 2\n  row 0.0:   圖書館  週末 開放 \n  row 0.1: 只有公告&<標記>\n")) << s;
  s = run("row 0 0");
  ASSERT_TRUE(has(s, "screen: todayNewsDetailDataViewController depth 4")) << s;
  EXPECT_TRUE(has(s, "label titleLabel: 本日消息")) << s;
  EXPECT_TRUE(has(s, "text myTextView: 公告：\\n  圖書館  週末 開放 \\n\\n類別：行政 事項\\n\\n活動開始日期：2026/12/01"
                     "\\n\\n活動結束日期：2026/12/09\n"))
      << s;
  run("tap 2");
  s = run("row 0 1");
  EXPECT_TRUE(has(s, "text myTextView: 公告：\\n只有公告&<標記>\\n\\n類別：\\n\\n活動開始日期：\\n\\n活動結束日期：\n")) << s;

  run("tap 2");
  run("tap 2");
  run("row 0 2");
  run("wait 0.1");
  s = run("row 0 0");
  EXPECT_TRUE(has(s, "text myTextView: 課程名稱：\\n夜間 觀星\\n\\n開課對象：全校 師生\\n\\n開課類別：研習活動\\n\\n"
                     "上課地點：C4 頂樓\\n\\n活動時間：\\n2013-05-01 09:00~2013-05-01 12:00:30+08:00\\n\\n"
                     "報名時間：\\n2013-04-20 08:30:00Z~2013-04-30\n"))
      << s;
  // Home from the text reports and goes straight to the Home menu.
  s = run("tap 1");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_EQ(usageReports(), 1u);
}

// ------------------------------------------------------------------ calendar

class CalendarTest : public FeedsFixture {
protected:
  // Opens a semester of the calendar and waits for its feed.
  std::string openSemester(int row) {
    run("tap 13");
    run("row 0 " + std::to_string(row));
    return run("wait 0.1");
  }
};

std::string calEntry(const std::string& semester, const std::string& date, const std::string& project,
                     const std::string& weekno = "1") {
  return "<cal><semester>" + semester + "</semester><weekno>" + weekno + "</weekno><date>" + date +
         "</date><week>一</week><project>" + project + "</project></cal>";
}

TEST_F(CalendarTest, OnlyExactlyOneIsTheFirstSemester) {
  serveFeed(kCalPath, "<行事曆>" + calEntry("1", "20260901", "開學") + calEntry("2", "20260902", "二") +
                          calEntry("01", "20260903", "零一") + calEntry("", "20260904", "空") +
                          calEntry(" 1", "20260905", "空格一") + "<cal><date>20260906</date><project>沒有學期</project></cal>" +
                          calEntry("1", "20260907", "第一學期第二筆", "2") + "</行事曆>");
  startReady();
  std::string s = openSemester(0);
  ASSERT_TRUE(has(s, "screen: calendarDetailViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "table myTableview rows 2\n  header 0: 20260901 (一) | 1\n  row 0.0: 開學\n"
                     "  header 1: 20260907 (一) | 2\n  row 1.0: 第一學期第二筆\n"))
      << s;
  EXPECT_TRUE(has(s, "label countLbl: 共 2 筆")) << s;
  run("tap 2");
  s = openSemester(1);
  EXPECT_TRUE(has(s, "table myTableview rows 5\n")) << s;
  EXPECT_TRUE(has(s, "  row 0.0: 二\n  header 1: 20260903 (一) | 1\n  row 1.0: 零一\n")) << s;
  EXPECT_TRUE(has(s, "  header 4: 20260906 ()\n  row 4.0: 沒有學期\n")) << s;
  EXPECT_EQ(requestsFor(kCalPath).size(), 2u) << "each opening fetches the whole calendar";
  // Back from the list sends no report; home does.
  run("tap 2");
  EXPECT_EQ(usageReports(), 0u);
  run("row 0 0");
  run("wait 0.1");
  s = run("tap 1");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_EQ(usageReports(), 1u);
  EXPECT_EQ(lastReportName(), "行事曆");
}

// The calendar below has December twice (sections 3 and 4), March at the top
// and next to it, and a short date that never matches.
struct MonthCase {
  const char* now;
  const char* expected;  // the table line
};
class CalendarMonthTest : public CalendarTest, public ::testing::WithParamInterface<MonthCase> {};

TEST_P(CalendarMonthTest, ScrollsOnceToTheMonthsFirstSectionUnlessItIsTheFirst) {
  serveFeed(kCalPath, "<x>" + calEntry("1", "20270301", "三月一") + calEntry("1", "20270302", "三月二") +
                          calEntry("1", "2026", "短日期") + calEntry("1", "20261207", "十二月一") +
                          calEntry("1", "20261231", "十二月二") + calEntry("1", "20260610", "六月") + "</x>");
  options.now = GetParam().now;
  startReady();
  std::string s = openSemester(0);
  EXPECT_TRUE(has(s, std::string(GetParam().expected) + "\n")) << s;
  // Later layouts never scroll again.
  auto* table = viewOnTop<TableView>("myTableview");
  table->setContentOffset(Point{0, 0});
  table->reloadData();
  s = run("show");
  EXPECT_TRUE(has(s, "table myTableview rows 6\n")) << s;
}

INSTANTIATE_TEST_SUITE_P(
    Months, CalendarMonthTest,
    ::testing::Values(MonthCase{"2026-12-07T09:30:00+08:00", "table myTableview rows 6 at 3.0 middle"},
                      MonthCase{"2027-03-15T09:30:00+08:00", "table myTableview rows 6"},
                      MonthCase{"2026-06-01T09:30:00+08:00", "table myTableview rows 6 at 5.0 middle"},
                      MonthCase{"2026-08-01T09:30:00+08:00", "table myTableview rows 6"},
                      MonthCase{"2026-01-05T09:30:00+08:00", "table myTableview rows 6"}));

TEST_F(CalendarTest, RowsAreAsHighAsTheirMeasuredTextWithinBounds) {
  std::string longText;
  for (int i = 0; i < 400; ++i) longText += "期末考試週與補考說明";
  serveFeed(kCalPath, "<x>" + calEntry("1", "20260901", "") + calEntry("1", "20260902", "開學") +
                          calEntry("1", "20260903", "加退選開始（至 9 月 19 日止），請同學於期限內上網完成加退選作業") +
                          calEntry("1", "20260904", longText) + "</x>");
  startReady();
  openSemester(0);
  auto* table = viewOnTop<TableView>("myTableview");
  ASSERT_NE(table, nullptr);
  EXPECT_DOUBLE_EQ(table->heightForRow({0, 0}), 40);
  const double oneLine = measureText("開學", 17, false, 240, 500).height;
  EXPECT_GE(oneLine, 20);
  EXPECT_DOUBLE_EQ(table->heightForRow({1, 0}), oneLine + 20);
  const double wrapped = table->heightForRow({2, 0});
  EXPECT_GT(wrapped, oneLine + 20) << "the long line wraps within 240 points";
  EXPECT_DOUBLE_EQ(wrapped, measureText("加退選開始（至 9 月 19 日止），請同學於期限內上網完成加退選作業", 17, false, 240, 500).height + 20);
  EXPECT_LE(table->heightForRow({3, 0}), 520);
  EXPECT_GT(table->heightForRow({3, 0}), 500);
  EXPECT_EQ(table->headerHeight(0), 20);
}

// Today's messages and the calendar read an unparsable, empty, failed or
// oversized answer silently: the spinner keeps turning, back and home work.
TEST_F(CalendarTest, UnreadableFeedsLeaveTheSpinnerTurningAndTheWayOut) {
  startReady();
  const Fault bad[] = {Fault{.body = ""}, Fault{.body = "<NewDataSet><today><公告>斷"}, Fault{.status = 500},
                       Fault{.status = 404}, Fault{.cutAfter = 30}, Fault{.body = "\xff\xfe<NewDataSet/>"},
                       Fault{}};  // the last one over the size limit
  for (auto [tag, path] : {std::pair{16, todayPath(1)}, std::pair{13, std::string(kCalPath)}}) {
    for (size_t i = 0; i < std::size(bad); ++i) {
      SCOPED_TRACE(path + " case " + std::to_string(i));
      sim().setFault(path, bad[i]);
      if (i + 1 == std::size(bad)) setHttpMaxBodyBytes(200);
      run("tap " + std::to_string(tag));
      run("row 0 0");
      std::string s = run("wait 0.5");
      setHttpMaxBodyBytes(32u << 20);
      EXPECT_TRUE(has(s, "screen: " + std::string(tag == 16 ? "todayNews" : "calendar") + "DetailViewController depth 3"))
          << s;
      EXPECT_TRUE(has(s, "spinner myActivity: on")) << s;
      EXPECT_TRUE(has(s, "table myTableview rows 0\n")) << s;
      EXPECT_FALSE(has(s, "alert:")) << s;
      s = run("tap 1");
      EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
    }
  }
}

}  // namespace
}  // namespace yx::test
