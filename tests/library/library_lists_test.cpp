// The borrowed, overdue and hold lists: due-date bands against the virtual
// clock, filters, counts and notices, empty lists, the way back, and the
// record page a row opens.

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "library/borrowReViewController.h"
#include "library/libWebViewController.h"
#include "platform/dates.h"
#include "tests/library/library_support.h"

namespace yx::test {
namespace {

class ListsTest : public LibraryFixture {
protected:
  // The due-date labels row r's cell shows, with their colours; a row shows
  // its date in exactly one of the three.
  std::string dueLabels(int row) {
    std::istringstream cell(run("cell 0 " + std::to_string(row)));
    std::string out;
    for (std::string line; std::getline(cell, line);)
      if (line.find("label dueDateLbl") != std::string::npos) out += line.substr(line.find("dueDateLbl")) + "\n";
    return out;
  }
  std::string imageOf(int row) {
    auto* table = top<ViewController>()->view().findNamed<TableView>("myTableview");
    return table->cellForRow({0, row})->imageView().imageName();
  }
};

struct BandCase {
  const char* now;
  std::vector<std::string> dues;  // yesterday, today, today + 2, today + 3
};

// Around month and year ends, and early in the morning when UTC is still
// on the previous day, the bands count calendar days in Taipei.
TEST_F(ListsTest, DueDatesTakeTheColourOfTheirBand) {
  const std::vector<BandCase> cases = {
      {"2027-01-31T09:00:00+08:00", {"2027-01-30", "2027-01-31", "2027-02-02", "2027-02-03"}},
      {"2026-12-30T09:00:00+08:00", {"2026-12-29", "2026-12-30", "2027-01-01", "2027-01-02"}},
      {"2026-12-15T12:00:00+08:00", {"2026-12-14", "2026-12-15", "2026-12-17", "2026-12-18"}},
      {"2027-01-01T07:30:00+08:00", {"2026-12-31", "2027-01-01", "2027-01-03", "2027-01-04"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.now);
    TearDown();
    SetUp();
    options.now = c.now;
    std::vector<Loan> loans;
    for (const auto& d : c.dues) loans.push_back({d, "書 " + d});
    patronFile("000123456", patronDocument(loans));
    startReady();
    openFunction("借閱紀錄");
    std::string s = login("123456", "lib2026");
    ASSERT_TRUE(has(s, "screen: borrowReViewController")) << s;
    EXPECT_EQ(dueLabels(0), "dueDateLblRed: " + c.dues[0] + " {#d0021b}\n");
    EXPECT_EQ(dueLabels(1), "dueDateLblOrange: " + c.dues[1] + " {#e67e00}\n");
    EXPECT_EQ(dueLabels(2), "dueDateLblOrange: " + c.dues[2] + " {#e67e00}\n");
    EXPECT_EQ(dueLabels(3), "dueDateLbl: " + c.dues[3] + " {#33414c}\n");
    auto* list = top<borrowReViewController>();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->compareDate(c.dues[0]) + list->compareDate(c.dues[1]) + list->compareDate(c.dues[3]),
              "逾期差三天未到期");
  }
}

// One account's three lists: every loan, exactly "overdue" ones with their
// notice, every hold; rows open the record page by its bib_id.
TEST_F(ListsTest, EachListShowsItsRowsAndRowsOpenTheRecordPage) {
  patronFile("000123456", patronDocument({{"2026-12-01", "逾期的書", "overdue", "W1", "book", "11"},
                                          {"2026-12-30", "影片", "charged", "A2", "dvd", "12"},
                                          {"-", "-", "-", "-", "map", "-"},
                                          {"2026-12-30", "路徑", "charged", "X", "../book", "14"},
                                          {"無日期", "怪期", "Overdue", "Y", "", "15"},
                                          {"2026-12-03", "四", "overdue", "B4"}},
                                         {{"到館", "2026-12-20", "總館", "book", "101044"},
                                          {"運送中", "", "分館", "dvd", "a b&amp;c=d"},
                                          {"-", "-", "-", "-", "-"}}));
  startReady();
  openFunction("借閱紀錄");
  std::string s = login("123456", "lib2026");
  EXPECT_TRUE(has(s, "label countLbl: 共 6 筆")) << s;
  EXPECT_TRUE(has(s, "row 0.0: 逾期的書 | 條碼號: W1 | 2026-12-01")) << s;
  EXPECT_TRUE(has(s, "row 0.2: 條碼號: ")) << "a checkout without children keeps its row\n" << s;
  EXPECT_EQ(dueLabels(4), "dueDateLblRed: 無日期 {#d0021b}\n") << "no date: the number 0 is before today";
  EXPECT_EQ(imageOf(0), "book.png");
  EXPECT_EQ(imageOf(1), "dvd.png");
  EXPECT_EQ(imageOf(2), "format_other.png") << "no such picture";
  EXPECT_EQ(imageOf(3), "format_other.png") << "a path is no picture name";
  EXPECT_EQ(imageOf(4), "format_other.png");

  run("tap 2");
  s = run("tap 1 逾期紀錄");
  EXPECT_TRUE(has(s, "table myTableview rows 2")) << s;
  EXPECT_TRUE(has(s, "row 0.0: 逾期的書 | 條碼號: W1 | 2026-12-01")) << s;
  EXPECT_TRUE(has(s, "row 0.1: 四 | 條碼號: B4 | 2026-12-03")) << s;
  EXPECT_TRUE(has(s, "label countLbl: 共 2 筆")) << s;
  EXPECT_TRUE(has(s, "text statusTextview: 目前共有 2 筆逾期資料：每逾期1日，圖書每冊罰2元，非書資料每件罰10元。"
                     "請盡速歸還，以免被停權。"))
      << s;

  run("tap 2");
  s = run("tap 2 預約到館");
  EXPECT_TRUE(has(s, "table myTableview rows 3")) << s;
  EXPECT_TRUE(has(s, "row 0.0: 到館 | 取書地點: 總館 | 2026-12-20")) << s;
  EXPECT_TRUE(has(s, "row 0.1: 運送中 | 取書地點: 分館")) << s;
  EXPECT_TRUE(has(s, "label countLbl: 共 3 筆")) << s;
  const size_t reports = requestsFor("/Data/situ1.aspx").size();
  s = run("row 0 0");
  EXPECT_TRUE(has(s, "screen: libWebViewController depth 4")) << s;
  EXPECT_TRUE(has(s, "/cgi-bin/search_virtua.pl?bib_id=101044 loaded")) << s;
  auto page = [&] { return top<libWebViewController>()->view().findNamed<WebView>("webView")->content(); };
  EXPECT_NE(page().find("城市與河流"), std::string::npos);
  EXPECT_FALSE(has(s, "spinner")) << s;
  s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: libArriveViewController depth 3")) << s;
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), reports) << "back from the record page sends no report";

  // An id that holds "&" and "=" stays one query value; no record page: the catalogue says so.
  s = run("row 0 1");
  EXPECT_TRUE(has(s, "search_virtua.pl?bib_id=a%20b%26c%3Dd loaded")) << s;
  auto pages = requestsFor("/cgi-bin/search_virtua.pl");
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_EQ(pages[1]["query"], (nlohmann::json{{"bib_id", "a b&c=d"}}));
  EXPECT_NE(page().find("查無此書目"), std::string::npos);
  s = run("tap 1");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), reports + 1);
}

// With nothing to list, each list says why; its button (like Back) returns to
// the Library menu, past the login screen, with the usage report.
TEST_F(ListsTest, EmptyListsSayWhyAndReturnToTheMenu) {
  startReady();
  const std::vector<std::pair<std::string, std::string>> lists = {
      {"借閱紀錄", "您沒有未還的借出資料，歡迎多加利用圖書館。"},
      {"逾期紀錄", "謝謝您無逾期未還資料，請繼續保持良好習慣。"},
      {"預約到館", "您沒有預約到館資料。"}};
  openFunction("借閱紀錄");
  std::string s = login("A1234567", "雲岫+&=pw");
  EXPECT_TRUE(has(s, "alert:  | " + lists[0].second + " | 確定")) << s;
  EXPECT_TRUE(has(s, "screen: borrowReViewController depth 4")) << s;
  EXPECT_FALSE(has(s, "共 0 筆")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: libViewController depth 2")) << s;
  for (size_t i = 1; i < lists.size(); ++i) {
    s = run("tap " + std::to_string(i) + " " + lists[i].first);
    EXPECT_TRUE(has(s, "alert:  | " + lists[i].second + " | 確定")) << s;
    s = run("alert 0");
    EXPECT_TRUE(has(s, "screen: libViewController depth 2")) << s;
  }
  std::multiset<std::string> reported;
  for (auto& r : requestsFor("/Data/situ1.aspx")) reported.insert(r["query"]["fn"].get<std::string>());
  EXPECT_EQ(reported, (std::multiset<std::string>{"借閱紀錄", "逾期紀錄", "預約到館"}));
}

TEST_F(ListsTest, ACacheThatIsNotAPatronDocumentListsNothingSilently) {
  storeBeforeStart(
      {{"libData", Value::bytes("<html>portal</html>")}, {"libPW", Value("lib2026")}, {"libID", Value("123456")}});
  startReady();
  run("tap 19");
  // Before the refresh: the lists open straight away on the cached page.
  std::string s = run("tap 3 借閱紀錄");
  EXPECT_TRUE(has(s, "screen: borrowReViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "table myTableview rows 0")) << s;
  EXPECT_FALSE(has(s, "alert:")) << s;
  s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: libViewController depth 2")) << s;
}

}  // namespace
}  // namespace yx::test
