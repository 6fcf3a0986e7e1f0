// The news feed pipeline from the simulator until the list is on screen:
// probe, download, event parsing, the cache file and the list with its rows
// (the loader's fixed 0.3 s start is not part of it). Beside it, in the same
// run, the floor: `xmllint --stream --noout` over the same bytes; the ratio
// of the medians has the target 3x.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <vector>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/cli/driver.h"
#include "app/cli/features.h"
#include "campus/info/info_loaders.h"
#include "core/deployment.h"
#include "core/launch.h"
#include "platform/application.h"
#include "platform/runloop.h"
#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace {

std::string benchDir() {
  static std::string dir = [] {
    char tmpl[] = "/tmp/yx-bench-feeds-XXXXXX";
    const char* d = ::mkdtemp(tmpl);
    return std::string(d ? d : "/tmp/yx-bench-feeds");
  }();
  return dir;
}

std::string feedPath(long items) { return "/Data/xml/bench-" + std::to_string(items) + ".xml"; }
std::string feedFile(long items) { return benchDir() + "/overlay/campus" + feedPath(items); }

void writeFeed(long items) {
  std::string path = feedFile(items);
  if (std::filesystem::exists(path)) return;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out << "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<NewDataSet>\n";
  for (long i = 0; i < items; ++i) {
    out << "  <news>\n    <編號>" << 10000 + i << "</編號>\n"
        << "    <公告>鳴泉:第 " << i << " 則校園消息：圖書館、體育館與學生活動中心開放時間調整&lt;br&gt;"
        << "詳情請洽各單位 分機 " << 2000 + i % 900 << "</公告>\n"
        << "    <類別>行政事項</類別>\n    <活動開始日期>2026/12/01</活動開始日期>\n"
        << "    <活動結束日期>2026/12/31</活動結束日期>\n  </news>\n";
  }
  out << "</NewDataSet>\n";
}

yx::Driver& app() {
  static std::unique_ptr<yx::Driver> driver = [] {
    for (long n : {1000L, 10000L}) writeFeed(n);
    yx::registerAllFeatures();
    yx::DriverOptions o;
    o.dataDir = benchDir() + "/data";
    o.simData = benchDir() + "/overlay";
    o.virtualClock = true;
    o.now = "2026-12-07T09:30:00+08:00";
    o.timeZone = "Asia/Taipei";
    auto d = std::make_unique<yx::Driver>(o);
    if (auto err = d->start(yx::makeApplicationDelegate)) {
      std::fprintf(stderr, "%s\n", err->c_str());
      std::abort();
    }
    return d;
  }();
  return *driver;
}

double loadNews(long items) {
  auto* nav = yx::Application::shared().navigation();
  std::string url = yx::Deployment::current().url("campus_data", feedPath(items));
  auto start = std::chrono::steady_clock::now();
  auto loader = std::make_shared<yx::newsXMLParser>();
  nav->pushViewController(loader, false);
  loader->parseURL(url);
  yx::Background::drain(120);
  yx::RunLoop::main().runUntilIdle();
  auto* top = nav->topViewController();
  if (!top || top->className() != "newsListViewController") return -1;
  top->view();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  nav->popToRootViewControllerAnimated(false);
  yx::Alerts::clear();
  yx::RunLoop::main().runUntilIdle();
  return seconds;
}

double xmllint(long items) {
  std::string cmd = "xmllint --stream --noout '" + feedFile(items) + "'";
  auto start = std::chrono::steady_clock::now();
  if (std::system(cmd.c_str()) != 0) return -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

void BM_NewsFeedToListBesideXmllint(benchmark::State& state) {
  long items = state.range(0);
  app();
  std::vector<double> pipeline, floor;
  for (auto _ : state) {
    double p = loadNews(items);
    double f = xmllint(items);
    if (p < 0 || f < 0) {
      state.SkipWithError(p < 0 ? "the list was not pushed" : "xmllint failed");
      break;
    }
    pipeline.push_back(p);
    floor.push_back(f);
  }
  state.counters["pipeline_ms"] = median(pipeline) * 1e3;
  state.counters["xmllint_ms"] = median(floor) * 1e3;
  state.counters["ratio"] = median(floor) > 0 ? median(pipeline) / median(floor) : 0;
  state.counters["target"] = 3;
  state.SetItemsProcessed(state.iterations() * items);
}
BENCHMARK(BM_NewsFeedToListBesideXmllint)->Arg(1000)->Arg(10000)->Iterations(9)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
