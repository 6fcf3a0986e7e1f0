// Dates: the exact patterns, the week-based year at the end of December,
// time zones, and parsing.
#include <gtest/gtest.h>

#include <thread>

#include "platform/dates.h"

namespace yx {
namespace {

using namespace std::chrono;

// A UTC instant from its parts.
TimePoint utc(int y, unsigned mo, unsigned d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
  return sys_days{year{y} / month{mo} / day{d}} + hours{h} + minutes{mi} + seconds{s} +
         milliseconds{ms};
}

class DatesTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(setTimeZone("Asia/Taipei")); }
  void TearDown() override { setTimeZone("UTC"); }
};

TEST_F(DatesTest, WeekBasedYearDiffersFromCalendarYearAtYearEnd) {
  // 2024-12-29 is a Sunday: in zh_TW weeks start on Sunday and the week
  // holding 1 January is week 1 of the new year.
  for (unsigned d : {29u, 30u, 31u}) {
    TimePoint t = utc(2024, 12, d, 4);  // noon in Taipei
    EXPECT_EQ(formatDate("yyyy", t), "2024") << d;
    EXPECT_EQ(formatDate("YYYY", t), "2025") << d;
    EXPECT_EQ(formatDate("YYYY/MM/dd HH:mm", t), "2025/12/" + std::to_string(d) + " 12:00");
  }
  EXPECT_EQ(formatDate("YYYY", utc(2024, 12, 28, 4)), "2024");  // the Saturday before
  // The time zone decides the day: 23:30 UTC on 28 Dec is already the 29th in Taipei.
  EXPECT_EQ(formatDate("YYYY", utc(2024, 12, 28, 23, 30)), "2025");
  ASSERT_TRUE(setTimeZone("UTC"));
  EXPECT_EQ(formatDate("YYYY", utc(2024, 12, 28, 23, 30)), "2024");
}

// Every field at once down to the millisecond, unpadded months, the 12-hour
// clock (midnight is 12) and the zone's name.
TEST_F(DatesTest, PatternsAsWritten) {
  TimePoint t = utc(2025, 3, 7, 6, 5, 12, 345);  // 14:05:12.345 in Taipei
  EXPECT_EQ(formatDate("yyyyMMddHHmmssSSS", t), "20250307140512345");
  EXPECT_EQ(formatDate("M", t), "3");
  std::string z = formatDate("yyyy-MM-dd hh:mm:ss z", t);
  EXPECT_EQ(z.rfind("2025-03-07 02:05:12 ", 0), 0u) << z;
  EXPECT_GT(z.size(), std::string("2025-03-07 02:05:12 ").size());
  EXPECT_EQ(formatDate("hh", utc(2025, 3, 6, 16)), "12");
}

TEST_F(DatesTest, ZonesChangeFormattingAndUnknownZonesAreRefused) {
  TimePoint t = utc(2025, 1, 1, 0, 30);
  EXPECT_EQ(formatDate("yyyy-MM-dd HH:mm:ss", t), "2025-01-01 08:30:00");
  ASSERT_TRUE(setTimeZone("America/New_York"));
  EXPECT_EQ(timeZone(), "America/New_York");
  EXPECT_EQ(formatDate("yyyy-MM-dd HH:mm:ss", t), "2024-12-31 19:30:00");
  EXPECT_FALSE(setTimeZone("Mars/Olympus_Mons"));
  EXPECT_EQ(timeZone(), "America/New_York");
  // Other threads see the new zone too.
  std::string fromThread;
  std::thread([&] { fromThread = formatDate("HH", t); }).join();
  EXPECT_EQ(fromThread, "19");
}

// Strict: whole texts only; impossible dates are no dates; one-digit days
// and months between separators are read; abutting fields keep their widths.
TEST_F(DatesTest, ParsingWholeTextsOnly) {
  EXPECT_EQ(parseDate("yyyy-MM-dd HH:mm:ss", "2024-12-31 23:59:58"), utc(2024, 12, 31, 15, 59, 58));
  EXPECT_EQ(parseDate("yyyyMMdd", "20250307"), utc(2025, 3, 6, 16));
  using Text = std::pair<const char*, const char*>;
  for (auto [pattern, text] : {Text{"yyyy-MM-dd HH:mm:ss", "2024-12-31 23:59:58 extra"}, Text{"yyyyMMdd", ""},
                               Text{"yyyyMMdd", "日期"}, Text{"yyyy/MM/dd", "2026/2/30"}, Text{"yyyy/MM/dd", "2026/13/45"},
                               Text{"yyyyMMdd", "20260230"}, Text{"yyyyMMdd", "2026125"}})
    EXPECT_FALSE(parseDate(pattern, text)) << text;
  EXPECT_EQ(parseDate("yyyy/MM/dd", "2026/12/5"), utc(2026, 12, 4, 16));
  EXPECT_EQ(parseDate("yyyy/MM/dd", "2026/1/05"), utc(2026, 1, 4, 16));
  EXPECT_EQ(parseDate("yyyy-MM-dd'T'HH:mm", "2026-3-7T08:05"), utc(2026, 3, 7, 0, 5));
}

}  // namespace
}  // namespace yx
