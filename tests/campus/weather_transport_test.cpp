// Weather, live bus information, the shuttle timetable and the class periods
// as a person meets them, against the simulator.

#include <gtest/gtest.h>

#include "campus/weather_transport/bus_info.h"
#include "campus/weather_transport/shuttle_timetable.h"
#include "campus/weather_transport/weather.h"
#include "tests/campus/feeds_support.h"

namespace yx::test {
namespace {

using sim::Fault;

constexpr const char* kWeatherPath = "/m/f/town368/GT/6501000.htm";

// -------------------------------------------------------------------- scrape

TEST(WeatherScrape, CutsTheFiveEntriesAtTheMarkersInOrder) {
  const std::string page =
      "<p><img src='/i/3.png' alt='陰短暫雨' width=40></p><img src='/i/other.png' alt='x' width=1>"
      "<span class='degree blue'>9<sup>°</sup></span>"
      "<span class='humidity'></span>  濕 95%</span>一</span>二</span>三";
  // The second picture ends the first piece: the temperature is not found in it.
  EXPECT_FALSE(scrapeWeather(page, "http://h").has_value());

  const std::string good =
      "<head><title>x</title></head><img src='/m/img/wx/08.png' alt='短暫陣雨' width=60 height=60>"
      "<span class='degree blue'>27<sup>°C</sup></span><span class='humidity'></span>  濕度 95%</span>間</span>降雨 80%"
      "</span>後";
  auto r = scrapeWeather(good, "http://127.0.0.1:8080");
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(*r, (std::vector<std::string>{"http://127.0.0.1:8080/m/img/wx/08.png", "短暫陣雨", "27 ℃", " 濕度 95%",
                                          "降雨 80%"}));
  // Exactly one blank (U+0020) goes; an ideographic space is no blank.
  std::string one = good;
  one.replace(one.find("  濕度"), 2, " ");
  EXPECT_EQ((*scrapeWeather(one, ""))[3], "濕度 95%");
  std::string wide = good;
  wide.replace(wide.find("  濕度"), 2, "\u3000");
  EXPECT_EQ((*scrapeWeather(wide, ""))[3], "\u3000濕度 95%");

  // Each missing marker or piece: nothing.
  for (const char* marker : {"<img src='", "' alt='", "' width=", "<span class='degree blue'>", "<sup>",
                             "<span class='humidity'></span>"}) {
    std::string broken = good;
    broken.erase(broken.find(marker), std::string(marker).size());
    EXPECT_FALSE(scrapeWeather(broken, "").has_value()) << marker;
  }
  std::string twoPieces = good.substr(0, good.find("</span>降雨"));
  EXPECT_FALSE(scrapeWeather(twoPieces, "").has_value());
  EXPECT_FALSE(scrapeWeather(good + "\xB6\xB3", "").has_value()) << "not UTF-8";

  EXPECT_EQ(siteRootOf("http://127.0.0.1:8080/prefix/m/f/x.htm?a=1"), "http://127.0.0.1:8080");
  EXPECT_EQ(siteRootOf("https://www.example.org"), "https://www.example.org");
  EXPECT_EQ(siteRootOf("no address"), "");
}

// ------------------------------------------------------------------- weather

class WeatherTest : public FeedsFixture {
protected:
  // The weather record as another program reads the settings file.
  std::string storedRecord() {
    Settings::standard().synchronize();
    return commandOutput("python3 -c 'import plistlib,json,sys\nd=plistlib.load(open(sys.argv[1],\"rb\"))\n"
                         "print(json.dumps(d.get(\"天氣資訊\"),ensure_ascii=False))' '" +
                         dataDir() + "/settings.plist'");
  }
  std::string weatherBase() { return Deployment::current().url("weather", ""); }
};

TEST_F(WeatherTest, TheChinesePageIsScrapedStoredAndShown) {
  startReady();
  std::string s = run("tap 10");
  ASSERT_TRUE(has(s, "screen: dayWeatherViewController depth 3")) << s;
  const std::string icon = weatherBase() + "/m/img/wx/02.png";
  EXPECT_TRUE(has(s, "image iconImgview: " + icon + " loaded\nlabel label1: 多雲時晴\nlabel label2: 18 ℃\n"
                     "label label3: 相對濕度 78%\nlabel label4: 降雨機率 20%\n"))
      << s;
  EXPECT_EQ(storedRecord(), "[\"" + icon + "\", \"多雲時晴\", \"18 ℃\", \"相對濕度 78%\", \"降雨機率 20%\"]");
  EXPECT_EQ(requestsFor(kWeatherPath).size(), 2u) << "the probe, then the page";
  EXPECT_EQ(requestsFor("/m/img/wx/02.png").size(), 1u);
  // Back skips the loader; the report names the feature opened from the menu.
  s = run("tap 1");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_TRUE(lastMoveAnimated());
  EXPECT_EQ(usageReports(), 1u);
  EXPECT_EQ(lastReportName(), "溪城天氣");
}

TEST_F(WeatherTest, AFailedProbeAlertsAndAnUnreadablePageKeepsTheRecord) {
  startReady();
  sim().setFault(kWeatherPath, Fault{.status = 503, .body = "維護中"});
  std::string s = run("tap 10");
  EXPECT_TRUE(has(s, "screen: weatherXML depth 2")) << s;
  EXPECT_TRUE(has(s, "alert: 網路警示 | 請確認網路連線狀態是否開啟 | 確定\n")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_FALSE(lastMoveAnimated());
  EXPECT_EQ(requestsFor(kWeatherPath).size(), 1u) << "no second fetch";
  EXPECT_EQ(storedRecord(), "null");

  // A changed or non-UTF-8 page keeps the record, and the loader can be left.
  sim().clearFaults();
  run("tap 10");
  run("tap 0");
  const std::string before = storedRecord();
  ASSERT_NE(before, "null");
  for (const char* overlay : {"weather-new-layout", "weather-big5"}) {
    auto page = Files::readFile(sim::bundledDataDir() + "/../overlays/" + overlay + "/weather" + kWeatherPath);
    ASSERT_TRUE(page.has_value()) << overlay;
    sim().setFault(kWeatherPath, Fault{.body = *page});
    s = run("tap 10");
    ASSERT_TRUE(has(s, "screen: weatherXML depth 2")) << overlay << "\n" << s;
    EXPECT_TRUE(has(s, "button 0: 首頁\nbutton 1: 返回\n")) << s;
    EXPECT_FALSE(has(s, "alert:")) << s;
    EXPECT_EQ(storedRecord(), before);
    s = run("tap 1");
    EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  }
  // A transfer failing after a good probe leaves the loader too.
  sim().clearFaults();
  auto loader = std::make_shared<weatherXML>();
  loader->receive("parseURL:", Deployment::current().url("weather", kWeatherPath));
  sim().setFault(kWeatherPath, Fault{.cutAfter = 50});
  push(loader);
  s = run("wait 1");
  EXPECT_TRUE(has(s, "screen: weatherXML depth 2")) << s;
  s = run("tap 0");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_EQ(usageReports(), 4u);
}

TEST_F(WeatherTest, AStoredRecordOfAnotherShapeShowsTheTextsThereAre) {
  startReady();
  sim().setFault("/m/img/wx/02.png", Fault{.status = 404});
  for (auto record : {Value::array({Value("http://127.0.0.1:1/none.png"), Value("晴"), Value(25)}),
                      Value::array({Value(""), Value("晴"), Value("25 ℃"), Value("濕"), Value("雨"), Value("多")}),
                      Value("晴")}) {
    Settings::standard().setObject("天氣資訊", record);
    push(std::make_shared<dayWeatherViewController>());
    std::string s = run("show");
    EXPECT_FALSE(has(s, "image iconImgview")) << s;
    if (record.isArray()) {
      EXPECT_TRUE(has(s, "label label1: 晴\n")) << s;
      EXPECT_EQ(has(s, "label label2: 25 ℃\nlabel label3: 濕\nlabel label4: 雨\n"), record.size() == 6) << s;
    } else {
      EXPECT_FALSE(has(s, "label label")) << s;
    }
    run("tap 0");
  }
}

// ----------------------------------------------------------------------- bus

class BusTest : public FeedsFixture {};

TEST_F(BusTest, RouteButtonsLoadTheirPagesWithTheRouteEscapedOnTheWire) {
  startReady();
  std::string s = run("tap 5");
  ASSERT_TRUE(has(s, "screen: busInforViewController depth 2")) << s;
  EXPECT_TRUE(has(s, "button 3: 紅27\nbutton 4: 紅28\nbutton 6: 756\nbutton shuttleButton: 接駁公車時刻表\n")) << s;
  auto* bus = top<busInforViewController>();
  ASSERT_NE(bus, nullptr);
  auto* web = bus->view().findNamed<WebView>("myWebView");
  EXPECT_TRUE(has(web->content(), "<td>雲岫大學（R27公車站）</td>")) << web->content();
  EXPECT_TRUE(has(web->content(), "<td class=\"eta far\">09:46</td>")) << "now + 16 minutes";
  const std::pair<int, const char*> routes[] = {{4, "routename=%E7%B4%8528"}, {6, "routename=756"},
                                                {3, "routename=%E7%B4%8527"}};
  for (auto [tag, query] : routes) {
    s = run("tap " + std::to_string(tag));
    EXPECT_TRUE(has(s, std::string("/MQS/businfo2.jsp?") + query + " loaded\n")) << s;
    EXPECT_EQ(requestsFor("/MQS/businfo2.jsp").back()["raw_query"], query);
  }
  EXPECT_TRUE(has(web->content(), "紅27")) << web->content();
  const size_t pages = requestsFor("/MQS/businfo2.jsp").size();
  bus->btnEvent(5);
  run("show");
  EXPECT_EQ(requestsFor("/MQS/businfo2.jsp").size(), pages) << "tag 5 does nothing";
  // A route the service does not know gets its plain page.
  bus->busNO("99");
  run("wait 0.1");
  EXPECT_TRUE(has(web->content(), "查無此路線")) << web->content();
  s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_EQ(lastReportName(), "公車動態");
}

TEST_F(BusTest, WhileAPageLoadsACoverLiesOverItAndAFailureAlertsThenCloses) {
  startReady();
  sim().setFault("/MQS/businfo2.jsp", Fault{.delayMs = 300});
  auto bus = std::make_shared<busInforViewController>();
  bus->busNO("28");
  push(bus);
  RunLoop::main().runOnce();
  std::string s = driver().dump();
  EXPECT_TRUE(has(s, "web: " + busPageURL("紅28") + " loading\nspinner myActivity: on\n")) << s;
  EXPECT_EQ(run("frame cover"), "frame cover: 0 88 320 480\n");
  s = run("wait 1");
  EXPECT_FALSE(has(s, "spinner")) << s;

  sim().setFault("/MQS/businfo2.jsp", Fault{.status = 500});
  s = run("tap 4");
  EXPECT_TRUE(has(s, "alert: 錯誤 |  | 確定\n")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_FALSE(has(s, "spinner")) << s;
}

// ------------------------------------------------------------------ timetable

struct HourCase {
  const char* now;
  const char* metro;   // the tables' lines
  const char* campus;
};
class TimetableTest : public FeedsFixture, public ::testing::WithParamInterface<HourCase> {};

TEST_P(TimetableTest, ComesToTheCurrentHoursFirstDepartureOnce) {
  options.now = GetParam().now;
  startReady();
  run("tap 5");
  std::string s = run("tap shuttleButton");
  ASSERT_TRUE(has(s, "screen: busDetailTViewController depth 3")) << s;
  EXPECT_TRUE(lastMoveAnimated());
  EXPECT_TRUE(has(s, std::string(GetParam().metro) + "\n  header 0: 捷運溪城站\n  row 0.0: 06:00\n")) << s;
  EXPECT_TRUE(has(s, std::string(GetParam().campus) + "\n  header 0: 雲岫大學\n  row 0.0: 06:10\n")) << s;
  EXPECT_TRUE(has(s, "button 3: 假日\n")) << s;
  EXPECT_FALSE(has(s, "button 4: 平日")) << s;
  // A row tap brings it 70 points below the top, and no later layout undoes it.
  auto* table = viewOnTop<TableView>("mrtTableview");
  s = run("row mrtTableview 0 30");
  EXPECT_DOUBLE_EQ(table->contentOffset().y, 20 + 30 * 40 + 20 - 70);
  EXPECT_TRUE(has(s, "table mrtTableview rows 120\n")) << s;
  run("show");
  EXPECT_DOUBLE_EQ(table->contentOffset().y, 20 + 30 * 40 + 20 - 70);
}

INSTANTIATE_TEST_SUITE_P(
    Hours, TimetableTest,
    ::testing::Values(HourCase{"2026-12-07T16:20:00+08:00", "table mrtTableview rows 120 at 0.69 top",
                               "table wynTableview rows 120 at 0.69 middle"},
                      HourCase{"2026-12-07T06:45:00+08:00", "table mrtTableview rows 120 at 0.0 top",
                               "table wynTableview rows 120 at 0.0 middle"},
                      HourCase{"2026-12-07T22:05:00+08:00", "table mrtTableview rows 120 at 0.119 top",
                               "table wynTableview rows 120 at 0.119 middle"},
                      HourCase{"2026-12-07T05:59:00+08:00", "table mrtTableview rows 120",
                               "table wynTableview rows 120"}));

// The screens show the sizes; the scroll to the current hour needs each set
// to be ascending clock times.
TEST(TimetableData, TheDaySetsAreAscendingClockTimes) {
  for (const auto& list : {weekdayMetroDepartures(), weekdayCampusDepartures(), weekendMetroDepartures(),
                           weekendCampusDepartures()}) {
    EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));
    for (auto& t : list) EXPECT_EQ(t.size(), 5u) << t;
  }
}

TEST_F(BusTest, TheDayButtonsSwapTheSetsAndTheTimetablesBackButtonSendsNoReport) {
  options.now = "2026-12-07T16:20:00+08:00";
  startReady();
  run("tap 5");
  run("tap shuttleButton");
  std::string s = run("tap 3");
  EXPECT_TRUE(has(s, "button 4: 平日\n")) << s;
  EXPECT_FALSE(has(s, "button 3: 假日")) << s;
  EXPECT_TRUE(has(s, "table mrtTableview rows 60\n  header 0: 捷運溪城站\n  row 0.0: 06:30\n")) << s;
  EXPECT_TRUE(has(s, "table wynTableview rows 60\n  header 0: 雲岫大學\n  row 0.0: 06:40\n")) << s;
  s = run("tap 4");
  EXPECT_TRUE(has(s, "button 3: 假日\n")) << s;
  EXPECT_TRUE(has(s, "table mrtTableview rows 120\n")) << s;
  EXPECT_EQ(run("cell wynTableview 0 119"), "  image: 公車資訊 loaded\n  label myLbl: 22:20 {#000000}\n");
  const size_t reports = usageReports();
  s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: busInforViewController depth 2")) << s;
  EXPECT_EQ(usageReports(), reports);
  run("tap shuttleButton");
  s = run("tap 1");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_EQ(usageReports(), reports + 1);
}

TEST_F(BusTest, TheClassPeriodsListFourteenPeriods) {
  startReady();
  std::string s = run("tap 7");
  ASSERT_TRUE(has(s, "screen: timeListsViewController depth 2")) << s;
  EXPECT_TRUE(has(s, "table myTableview rows 14\n  row 0.0:   第 1 節 | 08:10~09:00\n")) << s;
  EXPECT_TRUE(has(s, "  row 0.13:   第 14 節 | 21:10~22:00\n")) << s;
  run("row 0 3");
  s = run("tap 1");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_EQ(lastReportName(), "節次對照表");
}

}  // namespace
}  // namespace yx::test
