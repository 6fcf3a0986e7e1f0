// The Call record and the directory at scale. With 1,000 and 10,000 stored
// calls over 500 numbers: one directory call (the record updated and the
// store written; the call report is left out) and the frequent-numbers
// screen from load to its first 20 rows, beside their floors in the same
// run: one Settings::synchronize() of the same store and libplist reading
// the same file. And a 5,000-line directory feed from the simulator to the
// rows on screen (the screen's 0.1 s start left out), beside
// `xmllint --noout` over the same bytes; and a search typed over it.
#include <benchmark/benchmark.h>

#include <plist/plist.h>

#include <filesystem>
#include <memory>
#include <string>

#include "bench/support/bench_support.h"
#include "core/deployment.h"
#include "phone/call_record.h"
#include "phone/directory_extensions.h"
#include "phone/frequent_numbers.h"
#include "platform/application.h"
#include "platform/files.h"
#include "platform/runloop.h"
#include "platform/settings.h"
#include "platform/ui/alert.h"
#include "sim/campus_sim.h"

namespace {

constexpr int kNumbers = 500;
constexpr int kFeedLines = 5000;
constexpr int kFeedUnit = 9001;

std::string benchDir() { return yx::bench::scratchDir("phone"); }

std::string feedFile() { return benchDir() + "/overlay/campus/data/xml/dp-" + std::to_string(kFeedUnit) + ".xml"; }

void writeFeed() {
  if (std::filesystem::exists(feedFile())) return;
  yx::bench::writeFile(feedFile(), yx::bench::xmlFeed(kFeedLines, [](long i) {
    const std::string ext = std::to_string(2000 + i % 8000);
    const std::string exts = i % 3 == 0 ? ext + "/2550" + ext : i % 3 == 1 ? ext + "," + std::to_string(2001 + i % 8000) : ext;
    return "  <dp>\n    <單位名稱>第 " + std::to_string(i) + " 研究室 實驗組</單位名稱>\n    <單位分機>" + exts +
           "</單位分機>\n  </dp>\n";
  }));
}

yx::Driver& app() { return yx::bench::inProcessApp(benchDir() + "/data", benchDir() + "/overlay", writeFeed); }

// A Call record of `calls` calls over 500 numbers, as four stored values.
std::vector<std::pair<std::string, yx::Value>> record(long calls) {
  yx::Value names = yx::Value::dictionary(), counts = yx::Value::dictionary();
  std::vector<std::string> phones, times;
  std::vector<long> perNumber(kNumbers, 0);
  for (long i = 0; i < calls; ++i) {
    int n = static_cast<int>((i * 7919) % kNumbers);
    ++perNumber[static_cast<size_t>(n)];
    phones.push_back(std::to_string(2000 + n));
    times.push_back("2026/12/" + std::string(i % 28 < 9 ? "0" : "") + std::to_string(i % 28 + 1) + " 09:30");
  }
  for (int n = 0; n < kNumbers; ++n) {
    names.set(std::to_string(2000 + n), yx::Value("第 " + std::to_string(n) + " 研究室"));
    counts.set(std::to_string(2000 + n), yx::Value(std::to_string(perNumber[static_cast<size_t>(n)])));
  }
  return {{"schoolCallDic1", names},
          {"schoolCallDic2", counts},
          {"callTime_Phone", yx::Value::stringArray(phones)},
          {"callTime_Time", yx::Value::stringArray(times)}};
}

// The app with the record stored and no campus data server, so the call
// report is not sent.
void prepareStore(long calls) {
  app();
  yx::Deployment::setCurrent(yx::Deployment{});
  yx::Settings::standard().setWriteThrough(true);
  yx::Settings::standard().setObjects(record(calls));
}

void BM_DirectoryCall(benchmark::State& state) {
  prepareStore(state.range(0));
  const auto initial = record(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    yx::Settings::standard().setObjects(initial);
    auto calls = yx::phone::CallRecord::loadForCalling();
    state.ResumeTiming();
    calls.callFromDirectory("2042", "第 42 研究室");
  }
}
BENCHMARK(BM_DirectoryCall)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SynchronizeFloor(benchmark::State& state) {
  prepareStore(state.range(0));
  auto& s = yx::Settings::standard();
  s.setWriteThrough(false);
  long tick = 0;
  for (auto _ : state) {
    state.PauseTiming();
    s.setString("benchTick", std::to_string(++tick));
    state.ResumeTiming();
    if (!s.synchronize()) state.SkipWithError("synchronize failed");
  }
  s.setWriteThrough(true);
}
BENCHMARK(BM_SynchronizeFloor)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LibplistReadFloor(benchmark::State& state) {
  prepareStore(state.range(0));
  const std::string path = yx::Files::join(yx::Settings::standard().dataDirectory(), "settings.plist");
  for (auto _ : state) {
    auto bytes = yx::Files::readFile(path);
    plist_t root = nullptr;
    if (bytes) plist_from_xml(bytes->data(), static_cast<uint32_t>(bytes->size()), &root);
    if (!root) state.SkipWithError("libplist could not read the store");
    plist_free(root);
  }
}
BENCHMARK(BM_LibplistReadFloor)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_FrequentScreen(benchmark::State& state) {
  prepareStore(state.range(0));
  for (auto _ : state) {
    auto screen = std::make_shared<yx::phone::schoolCallOftenViewController>();
    screen->view();
    screen->startSort();
    auto* table = screen->view().findNamed<yx::TableView>("myTableView");
    int drawn = 0;
    for (int s = 0; s < 2 && drawn < 20; ++s)
      for (int r = 0; r < table->numberOfRowsInSection(s) && drawn < 20; ++r, ++drawn)
        benchmark::DoNotOptimize(table->cellForRow({s, r}));
    if (drawn != 20) state.SkipWithError("fewer than 20 rows");
    state.PauseTiming();
    yx::RunLoop::main().reset();  // the screen's pending 0.1 s start
    state.ResumeTiming();
  }
}
BENCHMARK(BM_FrequentScreen)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DirectoryFeedToRows(benchmark::State& state) {
  auto& driver = app();
  yx::Deployment::setCurrent(driver.simulator()->deployment());
  auto* nav = yx::Application::shared().navigation();
  for (auto _ : state) {
    auto screen = std::make_shared<yx::phone::schoolCallDetail2ViewController>();
    screen->cellRow = kFeedUnit;
    screen->titleText = "研究大樓";
    nav->pushViewController(screen, false);
    screen->startParser();
    auto* table = screen->view().findNamed<yx::TableView>("myTableView");
    // The rows a 568-point screen shows (484 points of 40-point rows).
    for (int r = 0; r < 13; ++r) benchmark::DoNotOptimize(table->cellForRow({0, r}));
    if (table->numberOfRowsInSection(0) < kFeedLines) state.SkipWithError("the feed was not read");
    state.PauseTiming();
    nav->popToRootViewControllerAnimated(false);
    yx::RunLoop::main().reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kFeedLines);
}
BENCHMARK(BM_DirectoryFeedToRows)->Unit(benchmark::kMillisecond)->UseRealTime();

// Typing "2354" into the lines screen's search field over the 5,000-line
// feed: four keystrokes, each narrowing the rows and reloading the table
// (the first also folds every line's texts), and the rows then shown.
void BM_DirectorySearchTyping(benchmark::State& state) {
  auto& driver = app();
  yx::Deployment::setCurrent(driver.simulator()->deployment());
  auto* nav = yx::Application::shared().navigation();
  for (auto _ : state) {
    state.PauseTiming();
    auto screen = std::make_shared<yx::phone::schoolCallDetail2ViewController>();
    screen->cellRow = kFeedUnit;
    screen->titleText = "研究大樓";
    nav->pushViewController(screen, false);
    screen->startParser();
    auto* table = screen->view().findNamed<yx::TableView>("myTableView");
    state.ResumeTiming();
    for (const char* typed : {"2", "23", "235", "2354"}) {
      screen->search(typed);
      for (int r = 0; r < 13 && r < table->numberOfRowsInSection(0); ++r)
        benchmark::DoNotOptimize(table->cellForRow({0, r}));
    }
    if (table->numberOfRowsInSection(0) == 0) state.SkipWithError("nothing was found");
    state.PauseTiming();
    nav->popToRootViewControllerAnimated(false);
    yx::RunLoop::main().reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * 4);
}
BENCHMARK(BM_DirectorySearchTyping)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_XmllintFloor(benchmark::State& state) {
  writeFeed();
  yx::bench::xmllintFloor(state, "--noout '" + feedFile() + "'");
  state.SetItemsProcessed(state.iterations() * kFeedLines);
}
BENCHMARK(BM_XmllintFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
