// The calendar and today's messages from the fetch to the reloaded table with
// every row height computed (the calendar measures each event's text): the
// blocking fetch from the simulator, the document, the arrays, the reload
// and the table's layout. Beside each, the floor: `xmllint --noout` over the
// same bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "bench/support/bench_support.h"
#include "campus/info/calendar.h"
#include "campus/info/today_news.h"
#include "platform/application.h"
#include "platform/runloop.h"
#include "platform/ui/view_controller.h"
#include "sim/campus_sim.h"

namespace {

std::string benchDir() { return yx::bench::scratchDir("guide"); }

// A calendar over an academic year: events of one to three lines.
const std::string& calendar(long entries) {
  static std::map<long, std::string> made;
  auto& s = made[entries];
  if (!s.empty()) return s;
  const char* projects[] = {"開學", "加退選開始（至 9 月 19 日止），請同學於期限內上網完成加退選作業",
                            "期中考試週開始，各系所依新日程安排考試，請同學留意教室異動與考試規則，並攜帶學生證應考",
                            "校慶運動會（停課一天）"};
  s = yx::bench::xmlFeed(entries, [&](long i) {
    int month = static_cast<int>(8 + i * 12 / entries) % 12 + 1;
    char date[16];
    std::snprintf(date, sizeof date, "%04d%02d%02d", month >= 8 ? 2026 : 2027, month, static_cast<int>(i % 28) + 1);
    return "  <cal>\n    <semester>1</semester>\n    <weekno>" + std::to_string(i % 20) + "</weekno>\n    <date>" +
           date + "</date>\n    <week>三</week>\n    <project>" + projects[i % 4] + " 第" + std::to_string(i) +
           "項</project>\n  </cal>\n";
  });
  return s;
}

const std::string& todayFeed(long items) {
  static std::map<long, std::string> made;
  auto& s = made[items];
  if (!s.empty()) return s;
  s = yx::bench::xmlFeed(items, [](long i) {
    return "  <today>\n    <編號>" + std::to_string(5000 + i) + "</編號>\n    <公告>第 " + std::to_string(i) +
           " 則本日消息：圖書館、體育館與學生活動中心開放時間調整 詳情請洽各單位</公告>\n"
           "    <類別>行政事項</類別>\n    <活動開始日期>2026/12/01</活動開始日期>\n"
           "    <活動結束日期>2026/12/31</活動結束日期>\n  </today>\n";
  });
  return s;
}

// The feed in the scratch folder (written once) for xmllint.
std::string feedFile(const std::string& name, const std::string& bytes) {
  std::string path = benchDir() + "/" + name;
  if (!std::filesystem::exists(path)) yx::bench::writeFile(path, bytes);
  return path;
}

yx::Driver& app() { return yx::bench::inProcessApp(benchDir() + "/data"); }

// Loads the screen (timing paused), then times `load` and the table's layout.
template <class Screen, class Load>
void timeScreen(benchmark::State& state, long rows, Load load) {
  auto* nav = yx::Application::shared().navigation();
  for (auto _ : state) {
    state.PauseTiming();
    auto screen = std::make_shared<Screen>();
    nav->pushViewController(screen, false);
    auto* table = screen->view().template findNamed<yx::TableView>("myTableview");
    table->layoutIfNeeded();
    state.ResumeTiming();
    load(*screen);
    table->layoutIfNeeded();
    state.PauseTiming();
    if (table->numberOfSections() * table->numberOfRowsInSection(0) != rows &&
        table->numberOfRowsInSection(0) != rows) {
      state.SkipWithError("the table does not hold every row");
      break;
    }
    nav->popToRootViewControllerAnimated(false);
    yx::RunLoop::main().reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * rows);
}

void BM_CalendarFetchToLaidOutTable(benchmark::State& state) {
  long entries = state.range(0);
  app().simulator()->setFault("/data/xml/cal.xml", yx::sim::Fault{.body = calendar(entries)});
  timeScreen<yx::calendarDetailViewController>(state, entries, [](auto& s) { s.startParser(); });
}
BENCHMARK(BM_CalendarFetchToLaidOutTable)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TodayFetchToLaidOutTable(benchmark::State& state) {
  long items = state.range(0);
  app().simulator()->setFault("/data/xml/today-1.xml", yx::sim::Fault{.body = todayFeed(items)});
  timeScreen<yx::todayNewsDetailViewController>(state, items, [](auto& s) { s.loadData(); });
}
BENCHMARK(BM_TodayFetchToLaidOutTable)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void xmllintFloor(benchmark::State& state, const std::string& path, long rows) {
  yx::bench::xmllintFloor(state, "--noout '" + path + "'");
  state.SetItemsProcessed(state.iterations() * rows);
}

void BM_XmllintCalendarFloor(benchmark::State& state) {
  long entries = state.range(0);
  xmllintFloor(state, feedFile("cal-" + std::to_string(entries) + ".xml", calendar(entries)), entries);
}
BENCHMARK(BM_XmllintCalendarFloor)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_XmllintTodayFloor(benchmark::State& state) {
  long items = state.range(0);
  xmllintFloor(state, feedFile("today-" + std::to_string(items) + ".xml", todayFeed(items)), items);
}
BENCHMARK(BM_XmllintTodayFloor)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
