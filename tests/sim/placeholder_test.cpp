#include <gtest/gtest.h>

#include <chrono>

#include "sim/sample_data.h"

namespace yx::sim {
namespace {

using namespace std::chrono;

// A campus moment given in campus local time (UTC+8).
CampusTime campusAt(int y, unsigned m, unsigned d, int hh = 10, int mm = 20, int ss = 30) {
  sys_seconds local = sys_days{year{y} / month{m} / day{d}} + hours(hh) + minutes(mm) + seconds(ss);
  return {local - hours(8), 8 * 60};
}

TEST(Placeholders, FillDatesRelativeToCampusToday) {
  const CampusTime t = campusAt(2013, 5, 1);
  EXPECT_EQ(fillPlaceholders("{{today}}", t), "2013-05-01");
  EXPECT_EQ(fillPlaceholders("<a>{{today+3d@09:00|yyyy-MM-ddTHH:mm:ss+08:00}}</a>", t),
            "<a>2013-05-04T09:00:00+08:00</a>");
  EXPECT_EQ(fillPlaceholders("{{today-1|yyyy/MM/dd}}~{{today+30|yyyy/M/d}}", t), "2013/04/30~2013/5/31");
  EXPECT_EQ(fillPlaceholders("{{now|HH:mm:ss}} {{now-25m|HH:mm}} {{now+2h|H}}", t), "10:20:30 09:55 12");
  EXPECT_EQ(fillPlaceholders("{{today+1d@23:59:58|yyMMdd HHmmss}}", t), "130502 235958");
  EXPECT_EQ(fillPlaceholders("{{today|E}} {{today|EEEE}} {{today+4|E}}", t), "三 星期三 日");
  EXPECT_EQ(fillPlaceholders("{{today|'today is' yyyy 'y''s'}}", t), "today is 2013 y's");
  // Month, year and leap-day boundaries.
  EXPECT_EQ(fillPlaceholders("{{today+59}}", campusAt(2024, 1, 1)), "2024-02-29");
  EXPECT_EQ(fillPlaceholders("{{today-1}}", campusAt(2025, 1, 1)), "2024-12-31");
}

TEST(Placeholders, UseCampusTimeNotUtc) {
  // 23:30 UTC on 30 April is already 1 May on campus.
  CampusTime t{sys_days{year{2013} / 4 / 30} + hours(23) + minutes(30), 8 * 60};
  EXPECT_EQ(fillPlaceholders("{{today}} {{now|HH:mm}}", t), "2013-05-01 07:30");
  t.utcOffsetMinutes = 0;
  EXPECT_EQ(fillPlaceholders("{{today}}", t), "2013-04-30");
}

TEST(Placeholders, AcademicYearDatesSpanAugustToJuly) {
  // In December the academic year began this August; in March it began last August.
  const CampusTime december = campusAt(2013, 12, 6);
  const CampusTime march = campusAt(2014, 3, 2);
  const CampusTime august = campusAt(2014, 8, 1);
  EXPECT_EQ(fillPlaceholders("{{ay:09-13|yyyyMMdd}} {{ay:02-16|yyyyMMdd}}", december), "20130913 20140216");
  EXPECT_EQ(fillPlaceholders("{{ay:09-13|yyyyMMdd}} {{ay:02-16|yyyyMMdd}}", march), "20130913 20140216");
  EXPECT_EQ(fillPlaceholders("{{ay:08-01|yyyyMMdd}} {{ay:07-31|yyyyMMdd}}", august), "20140801 20150731");
  EXPECT_EQ(fillPlaceholders("{{ay:09-13|E}}", december), "五");
}

TEST(Placeholders, BaseUrlsAndNamedPatterns) {
  CampusTime t = campusAt(2026, 12, 25);
  EXPECT_EQ(fillPlaceholders("{{base:camera}}", t), "{{base:camera}}");  // no kinds known: as written
  t.baseUrls = std::make_shared<const std::map<std::string, std::string>>(
      std::map<std::string, std::string>{{"camera", "http://127.0.0.1:4000/"}, {"weather", "http://h:1/w"}});
  EXPECT_EQ(fillPlaceholders("<a href='{{base:camera}}/cam1.jpg'>{{base:weather}}</a>", t),
            "<a href='http://127.0.0.1:4000/cam1.jpg'>http://h:1/w</a>");
  EXPECT_EQ(fillPlaceholders("{{base:nothing}}", t), "{{base:nothing}}");
  EXPECT_EQ(fillPlaceholders("{{today|roc}} {{today+7|roc}} {{ay:08-01|roc}}", t), "115/12/25 116/01/01 115/08/01");
  EXPECT_EQ(fillPlaceholders("{{now|rfc822}}", t), "Fri, 25 Dec 2026 10:20:30 +0800");
  EXPECT_EQ(fillPlaceholders("{{today-20@09:05|rfc822}}", t), "Sat, 05 Dec 2026 09:05:00 +0800");
  EXPECT_EQ(keyedValue("A1 2/3%4&=+#雲"), "A1%202%2F3%254&=+#%E9%9B%B2");
}

TEST(Placeholders, LeaveAnythingElseAsWritten) {
  const CampusTime t = campusAt(2013, 5, 1);
  for (const char* text : {"{{tomorrow}}", "{{today+}}", "{{today+3x}}", "{{today@25:00}}", "{{ay:02-30}}",
                           "{{ay:13-01}}", "{{today", "no placeholder }} here", "{{}}", "{{ today}}"}) {
    EXPECT_EQ(fillPlaceholders(text, t), text);
  }
  // A bad one does not stop the next one from being filled.
  EXPECT_EQ(fillPlaceholders("{{x}} {{today}} {{", t), "{{x}} 2013-05-01 {{");
  // Bytes around placeholders pass unchanged, including non-ASCII and NUL.
  const std::string bytes = std::string("雲岫\0\xff", 8) + "{{today|dd}}";
  EXPECT_EQ(fillPlaceholders(bytes, t), std::string("雲岫\0\xff", 8) + "01");
}

TEST(DataPaths, OnlyPlainAbsolutePathsNameDataFiles) {
  EXPECT_TRUE(isSafeDataPath("/Data/xml/news-0.xml"));
  EXPECT_TRUE(isSafeDataPath("/data/xml/雲岫.xml"));
  EXPECT_TRUE(isSafeDataPath("/a..b/.hidden"));
  for (const char* p : {"", "Data/x", "/../etc/passwd", "/Data/../../x", "/Data/./x", "/Data/..", "/a\\b",
                        "/a\nb"}) {
    EXPECT_FALSE(isSafeDataPath(p)) << p;
  }
  EXPECT_FALSE(isSafeDataPath(std::string("/a\0b", 4)));
}

}  // namespace
}  // namespace yx::sim
