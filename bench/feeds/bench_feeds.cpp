// The news feed pipeline from the simulator until the list is on screen:
// probe, download, event parsing, the cache file and the list with its rows
// (the loader's fixed 0.3 s start is not part of it). Beside it, in the same
// run, the floor: `xmllint --stream --noout` over the same bytes; the ratio
// of the medians has the target 3x.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench/support/bench_support.h"
#include "campus/info/info_loaders.h"
#include "core/deployment.h"
#include "platform/application.h"
#include "platform/runloop.h"
#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace {

using yx::bench::median;

std::string benchDir() { return yx::bench::scratchDir("feeds"); }

std::string feedPath(long items) { return "/Data/xml/bench-" + std::to_string(items) + ".xml"; }
std::string feedFile(long items) { return benchDir() + "/overlay/campus" + feedPath(items); }

void writeFeed(long items) {
  if (!std::filesystem::exists(feedFile(items)))
    yx::bench::writeFile(feedFile(items), yx::bench::xmlFeed(items, yx::bench::newsItem));
}

yx::Driver& app() {
  return yx::bench::inProcessApp(benchDir() + "/data", benchDir() + "/overlay", [] {
    for (long n : {1000L, 10000L}) writeFeed(n);
  });
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


void BM_NewsFeedToListBesideXmllint(benchmark::State& state) {
  long items = state.range(0);
  app();
  std::vector<double> pipeline, floor;
  for (auto _ : state) {
    double p = loadNews(items);
    double f = yx::bench::timedXmllint("--stream --noout '" + feedFile(items) + "'");
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
