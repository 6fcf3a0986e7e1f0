// The library's rules that need no screen: due-date bands, reading the
// patron document, grouping opening hours, the month a closed
// day falls in, and the news feed's dates and links.

#include <gtest/gtest.h>

#include <chrono>

#include "library/due_dates.h"
#include "library/libTimeDetailViewController.h"
#include "library/news_feed.h"
#include "library/opening_hours.h"
#include "library/patron_activity.h"
#include "tests/library/library_support.h"

namespace yx::library {
namespace {

Today on(int y, int m, int d) {
  Today t;
  t.number = y * 10000LL + m * 100 + d;
  t.day = std::chrono::sys_days{std::chrono::year{y} / m / d}.time_since_epoch().count();
  return t;
}

// The screens show the bands around month and year ends; these are the
// other edges: leap years, times and dashes, and texts without a real date.
TEST(DueBands, CountCalendarDaysOrElseKeepTheNumberRuleWithoutOverflow) {
  const Today mid = on(2026, 12, 15);
  struct Case {
    Today today;
    const char* due;
    DueBand band;
  } cases[] = {
      // Due tomorrow at a month's or a year's end is due soon, not 70 or 8870 "days" away.
      {on(2024, 1, 31), "2024-02-01", DueBand::DueSoon},
      {on(2026, 12, 31), "2027-01-01", DueBand::DueSoon},
      {on(2024, 2, 28), "2024-03-01", DueBand::DueSoon},  // leap year: two days
      {on(2024, 1, 31), "2024-01-30", DueBand::Overdue},
      // A time after the date does not matter; nor do the dashes.
      {mid, "2026-12-15 23:59:00", DueBand::DueSoon},
      {mid, "20261216", DueBand::DueSoon},
      {mid, "2026-12-16x", DueBand::DueSoon},
      // Without a real date, the number rule: no digits read as 0; 2026 < 20261215;
      // 20261301 is no date but a larger number; seven digits are 2026121.
      {mid, "", DueBand::Overdue},
      {mid, "未定", DueBand::Overdue},
      {mid, "2026/12/20", DueBand::Overdue},
      {mid, "2026-13-01", DueBand::NotDue},
      {mid, "2026121", DueBand::Overdue},
      {mid, " 20261217", DueBand::DueSoon},  // 20261217 - 20261215 = 2
      // Digit runs past 64 bits saturate; a run that starts with a real date counts days.
      {mid, "99999999999999999999999999", DueBand::NotDue},
      {mid, "+99999999999999999999999999", DueBand::NotDue},
      {mid, "20261216000000000000000000000", DueBand::DueSoon},
  };
  for (const auto& c : cases) EXPECT_EQ(dueBand(c.due, c.today), c.band) << c.due << " on " << c.today.number;
}

TEST(PatronDocument, ReadsTheLastPatronsErrorAndKeepsListsParallel) {
  auto doc = PatronActivity::parse(
      "<r><patron><error>first</error></patron><patron><error>查無此讀者證號</error></patron></r>");
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->errorText(), "查無此讀者證號");
  doc = PatronActivity::parse("<r><patron><error>only the first</error></patron><patron/></r>");
  ASSERT_TRUE(doc);
  EXPECT_FALSE(doc->errorText()) << "the last patron element decides";

  EXPECT_FALSE(PatronActivity::parse("")) << "empty";
  EXPECT_FALSE(PatronActivity::parse("<html><body>proxy login</body></html>")) << "no patron element";
  EXPECT_FALSE(PatronActivity::parse("<patronInfo><patron><checkouts>")) << "cut";

  doc = PatronActivity::parse(test::patronDocument(
      {{"2026-12-01", "A", "overdue", "-", "-", "-"}, {"-", "-", "-", "X2", "dvd", "77"}},
      {{"-", "-", "-", "-", "-"}}));
  ASSERT_TRUE(doc);
  auto loans = doc->checkouts();
  ASSERT_EQ(loans.size(), 2u);
  EXPECT_EQ(loans[0].title, "A");
  EXPECT_EQ(loans[0].bibId, "");
  EXPECT_EQ(loans[1].dueDate, "");
  EXPECT_EQ(loans[1].bibId, "77");
  ASSERT_EQ(doc->requests().size(), 1u);
  EXPECT_EQ(doc->requests()[0].pickupLocation, "");

  // The first child of exactly that name counts: not a prefixed one, not a later one.
  doc = PatronActivity::parse(
      "<r xmlns:x='urn:x'><patron><checkouts><checkout><x:title>prefixed</x:title><title><b>雲</b>岫</title>"
      "<title>second</title><dueDate/></checkout></checkouts></patron></r>");
  ASSERT_TRUE(doc);
  ASSERT_EQ(doc->checkouts().size(), 1u);
  EXPECT_EQ(doc->checkouts()[0].title, "雲岫");
  EXPECT_EQ(doc->checkouts()[0].dueDate, "");
}

// Items as (term, building); each gets its index as its hours.
std::string hoursDocument(const std::vector<std::pair<std::string, std::string>>& items) {
  std::string s = "<OpenTime>";
  for (size_t i = 0; i < items.size(); ++i)
    s += "<Item><Term>" + items[i].first + "</Term><Period>" + std::to_string(i) + "</Period><Hour>h" +
         std::to_string(i) + "</Hour><Building>" + items[i].second + "</Building><Weekday>w</Weekday></Item>";
  return s + "</OpenTime>";
}

std::string groupsOf(const OpeningHours& h, const std::string& term) {
  std::string s;
  auto it = h.open.find(term);
  if (it == h.open.end()) return "none";
  for (const auto& g : it->second) {
    s += g.build + "(";
    for (const auto& hour : g.hour) s += hour;
    s += ")";
  }
  return s;
}

TEST(OpeningHoursGrouping, OneGroupPerRunOfTermAndBuilding) {
  // Winter hours of the same building go under 寒假, not 學期中.
  auto h = OpeningHours::parse(hoursDocument({{"學期中", "A"}, {"寒假", "A"}, {"寒假", "A"}}));
  EXPECT_EQ(groupsOf(h, "學期中"), "A(h0)");
  EXPECT_EQ(groupsOf(h, "寒假"), "A(h1h2)");
  EXPECT_EQ(h.menuRows(), (std::vector<std::string>{"學期中開放時間", "寒假開放時間"}));

  // A term that comes back keeps its earlier groups; closed days between
  // two Items of one building do not split it.
  h = OpeningHours::parse(hoursDocument(
      {{"學期中", "A"}, {"休館日", ""}, {"學期中", "A"}, {"暑假", "B"}, {"學期中", "C"}, {"其他", "C"}, {"學期中", "C"}}));
  EXPECT_EQ(groupsOf(h, "學期中"), "A(h0h2)C(h4h6)");
  EXPECT_EQ(groupsOf(h, "暑假"), "B(h3)");
  EXPECT_EQ(h.closeDates, (std::vector<std::string>{"1"}));
  EXPECT_EQ(h.menuRows(), (std::vector<std::string>{"休館日", "學期中開放時間", "暑假開放時間"}));
}

TEST(OpeningHoursGrouping, MissingChildrenAreEmptyAndNonXmlHasNoRows) {
  auto h = OpeningHours::parse(
      "<OpenTime><Item><Term>休館日</Term><Hour>颱風</Hour></Item><Item><Term>學期中</Term><Hour>9-5</Hour>"
      "</Item><Item/></OpenTime>");
  EXPECT_EQ(h.closeDates, (std::vector<std::string>{""}));
  EXPECT_EQ(h.closeNames, (std::vector<std::string>{"颱風"}));
  ASSERT_EQ(h.open["學期中"].size(), 1u);
  const auto& g = h.open["學期中"][0];
  EXPECT_EQ(g.build, "");
  EXPECT_EQ(g.period, (std::vector<std::string>{""}));
  EXPECT_EQ(g.week, (std::vector<std::string>{""}));
  EXPECT_EQ(OpeningHours::parse("<html>").menuRows(), std::vector<std::string>{});
  EXPECT_EQ(OpeningHours::parse("<OpenTime/>").menuRows(), (std::vector<std::string>{"學期中開放時間"}));
}

TEST(ClosedDays, ThePresentMonthsRowOrTheOneBeforeThePreviousMonths) {
  using V = std::vector<std::string>;
  const V year = {"115/08/08", "115/10/10", "115/11/12", "115/11/20", "115/12/25", "116/01/01", "116/02/28"};
  // December: the first November date (row 2) decides, so row 1.
  EXPECT_EQ(libTimeDetailViewController::presentRow(year, "12"), 1);
  // January: the previous month is 12 (row 4), so row 3.
  EXPECT_EQ(libTimeDetailViewController::presentRow(year, "01"), 3);
  // February: January's row 5 comes first, so row 4.
  EXPECT_EQ(libTimeDetailViewController::presentRow(year, "02"), 4);
  // October: row 1 is this month.
  EXPECT_EQ(libTimeDetailViewController::presentRow(year, "10"), 1);
  // A previous-month first row means row -1: nothing moves, and no later row does either.
  EXPECT_EQ(libTimeDetailViewController::presentRow(V{"115/11/01", "115/12/25"}, "12"), std::nullopt);
  // This month in row 0: already at the top.
  EXPECT_EQ(libTimeDetailViewController::presentRow(V{"115/12/01", "115/12/25"}, "12"), std::nullopt);
  // Dates too short to hold a month are passed over; characters, not bytes, count.
  EXPECT_EQ(libTimeDetailViewController::presentRow(V{"12", "", "115/3/1"}, "12"), std::nullopt);
  EXPECT_EQ(libTimeDetailViewController::presentRow(V{"115/3/1", "一一五年12月"}, "12"), 1);
  EXPECT_EQ(libTimeDetailViewController::presentRow(V{"12", "x", "一一五/12/25"}, "12"), 2);
  EXPECT_EQ(libTimeDetailViewController::presentRow(year, "07"), std::nullopt);
}

// The news screen shows the usual dates and links; these are the edges.
TEST(NewsFeed, DatesCountCharactersAndLinksKeepOnlyValidEscapes) {
  EXPECT_EQ(changeDate(""), "");
  EXPECT_EQ(changeDate("Wed, 05 十二月2013"), "十二月/05");  // characters, not bytes
  EXPECT_EQ(escapeLink("http://h/a%20b/%E9%9B%B2.html?x=1&y=%7"), "http://h/a%20b/%E9%9B%B2.html?x=1&y=%257");
  EXPECT_EQ(escapeLink("http://h/100%"), "http://h/100%25");
  EXPECT_TRUE(isWebLink("HTTPS://h/"));
  EXPECT_FALSE(isWebLink("file:///etc/passwd"));
}

}  // namespace
}  // namespace yx::library
