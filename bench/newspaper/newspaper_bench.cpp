// The campus newspaper against the in-process simulator.
//
// Article list: `loadNewsData:` of a list of 1,000 and 10,000 articles until
// the table is reloaded and its first 12 cells are made; beside it the floor,
// the same URL fetched and parsed by DomDocument with one pass reading the
// items' fields.
//
// Photo grid: an issue of 200 distinct thumbnails from `loadData:` until
// every thumbnail is applied to its cell; beside it the floor, the same 200
// pictures fetched and decoded one after another on one thread. The grid
// also reports the main thread's CPU time spent on the pictures (results
// applied to their cells, as the run loop delivers them) as `main_cpu_ms`,
// and the loading of the issue's feed with the cells as `load_cpu_ms`.

#include <benchmark/benchmark.h>
#include <time.h>

#include <cstdio>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench/support/bench_support.h"
#include "campus/newspaper/news_lists.h"
#include "campus/newspaper/photo_database.h"
#include "core/deployment.h"
#include "markup/dom.h"
#include "platform/application.h"
#include "platform/http.h"
#include "platform/image.h"
#include "platform/runloop.h"
#include "platform/settings.h"
#include "sim/sample_data.h"

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Weverything"
#elif defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#endif
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>
#if defined(__clang__)
#pragma clang diagnostic pop
#elif defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

constexpr int kThumbnails = 200;

using yx::bench::writeFile;

std::string benchDir() { return yx::bench::scratchDir("newspaper"); }

// Section 1 lists 1,000 articles, section 2 10,000 (no thumbnails, so the
// list alone is measured).
void writeList(int section, long items) {
  writeFile(benchDir() + "/overlay/campus/Data/xml/Times/new-cht" + std::to_string(section) + ".xml",
            yx::bench::xmlFeed(items, [](long i) {
              return "  <cht>\n    <編號>" + std::to_string(900000 + i) + "</編號>\n    <期別>286</期別>\n"
                     "    <發佈日期>2026/12/04</發佈日期>\n    <標題>雲岫大學第 " + std::to_string(i) +
                     " 則校園新聞：圖書館與體育館開放時間調整</標題>\n    <圖片路徑></圖片路徑>\n  </cht>\n";
            }));
}

// 200 distinct thumbnails (150 x 100 JPEG) and the issue that lists them.
void writeIssue() {
  std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<NewDataSet>\n";
  for (int i = 0; i < kThumbnails; ++i) {
    char path[32];
    std::snprintf(path, sizeof path, "bench/%03d.jpg", i);
    xml += "<pic_db><圖片標題>第 " + std::to_string(i) + " 張</圖片標題><圖片路徑>" + path +
           "</圖片路徑><攝影者>攝影社</攝影者></pic_db>\n";
    std::vector<unsigned char> px(150 * 100 * 3);
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 150; ++x) {
        unsigned char* p = &px[static_cast<size_t>((y * 150 + x) * 3)];
        p[0] = static_cast<unsigned char>((x * 255 / 150 + i * 37) % 256);
        p[1] = static_cast<unsigned char>((y * 255 / 100 + i * 11) % 256);
        p[2] = static_cast<unsigned char>((x + y + i * 53) % 256);
      }
    std::string jpeg;
    stbi_write_jpg_to_func([](void* ctx, void* data, int n) { static_cast<std::string*>(ctx)->append(static_cast<char*>(data), n); },
                           &jpeg, 150, 100, 3, px.data(), 85);
    writeFile(benchDir() + "/overlay/newspaper_web/ashx/getILPic150.ashx@im=" + yx::sim::keyedValue(path), jpeg);
  }
  writeFile(benchDir() + "/overlay/campus/Data/xml/Times/pic_db-bench.xml", xml + "</NewDataSet>\n");
}

yx::Driver& app() {
  return yx::bench::inProcessApp(benchDir() + "/data", benchDir() + "/overlay", [] {
    writeList(1, 1000);
    writeList(2, 10000);
    writeIssue();
  });
}

int sectionFor(long items) { return items == 1000 ? 1 : 2; }

double threadCpuMs() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// ------------------------------------------------------------ article list

void BM_ArticleList(benchmark::State& state) {
  const long items = state.range(0);
  app();
  auto* nav = yx::Application::shared().navigation();
  auto list = std::make_shared<yx::chiNewsViewController>();
  nav->pushViewController(list, false);
  yx::Settings::standard().setString("chiNewsType", std::to_string(sectionFor(items)));
  auto* table = list->view().findNamed<yx::TableView>("myTableview");
  for (auto _ : state) {
    // Appearing with a remembered section empties the list and loads it.
    list->viewWillAppear(false);
    for (int r = 0; r < 12; ++r) benchmark::DoNotOptimize(table->cellForRow({0, r}));
  }
  if (list->newsTitAry.size() != static_cast<size_t>(items)) state.SkipWithError("the list is incomplete");
  nav->popToRootViewControllerAnimated(false);
  yx::Settings::standard().removeObjectForKey("chiNewsType");
  state.SetItemsProcessed(state.iterations() * items);
}
BENCHMARK(BM_ArticleList)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ArticleListFloor(benchmark::State& state) {
  const long items = state.range(0);
  app();
  const std::string url = yx::Deployment::current().url(
      "campus_data", "/Data/xml/Times/new-cht" + std::to_string(sectionFor(items)) + ".xml");
  for (auto _ : state) {
    auto r = yx::httpGet(url, 60);
    auto doc = yx::DomDocument::initWithData(r.body);
    size_t seen = 0;
    auto root = doc->rootElement();
    auto nodes = root->elementsForName("cht");
    for (auto& node : *nodes) {
      auto item = node->asElement();
      for (const char* field : {"編號", "期別", "發佈日期", "標題", "圖片路徑"})
        if (auto found = item->elementsForName(field)) seen += found->front()->stringValue().value_or("").size();
    }
    benchmark::DoNotOptimize(seen);
  }
  state.SetItemsProcessed(state.iterations() * items);
}
BENCHMARK(BM_ArticleListFloor)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// -------------------------------------------------------------- photo grid

void BM_PhotoGrid(benchmark::State& state) {
  app();
  auto* nav = yx::Application::shared().navigation();
  double mainCpu = 0, loadCpu = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto grid = std::make_shared<yx::imageDBthumbViewController>();
    grid->timeStr = "bench";
    nav->pushViewController(grid, false);
    auto* collection = grid->view().findNamed<yx::CollectionView>("myCollectionview");
    state.ResumeTiming();

    const double cpu0 = threadCpuMs();
    grid->loadData("bench");
    std::vector<std::shared_ptr<yx::TableViewCell>> cells;
    for (int i = 0; i < collection->numberOfItemsInSection(0); ++i) cells.push_back(collection->cellForItem({0, i}));
    loadCpu += threadCpuMs() - cpu0;
    // Until every thumbnail is in its cell.
    auto& loop = yx::RunLoop::main();
    for (;;) {
      const double delivered0 = threadCpuMs();
      loop.runOnce();
      mainCpu += threadCpuMs() - delivered0;
      int applied = 0;
      for (auto& c : cells)
        applied += static_cast<yx::imageDBthumbCell&>(*c).myImageview().state() == "loaded";
      if (applied == kThumbnails) break;
      if (yx::Background::inFlight() == 0 && !loop.runOnce()) {
        state.SkipWithError("a thumbnail did not arrive");
        break;
      }
      loop.waitForWork(0.05);
    }

    state.PauseTiming();
    nav->popToRootViewControllerAnimated(false);
    yx::RunLoop::main().reset();  // the grid's delayed first load, never needed here
    state.ResumeTiming();
  }
  state.counters["main_cpu_ms"] = benchmark::Counter(mainCpu, benchmark::Counter::kAvgIterations);
  state.counters["load_cpu_ms"] = benchmark::Counter(loadCpu, benchmark::Counter::kAvgIterations);
  state.SetItemsProcessed(state.iterations() * kThumbnails);
}
BENCHMARK(BM_PhotoGrid)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PhotoGridFloor(benchmark::State& state) {
  app();
  std::vector<std::string> urls;
  for (int i = 0; i < kThumbnails; ++i) {
    char path[32];
    std::snprintf(path, sizeof path, "bench/%03d.jpg", i);
    urls.push_back(yx::Deployment::current().url("newspaper_web", std::string("/ashx/getILPic150.ashx?im=") + path));
  }
  for (auto _ : state) {
    int decoded = 0;
    std::thread one([&] {
      for (auto& u : urls) {
        auto r = yx::httpGet(u, 60);
        decoded += !yx::Image::fromShared(std::make_shared<const std::string>(std::move(r.body))).empty();
      }
    });
    one.join();
    if (decoded != kThumbnails) state.SkipWithError("a thumbnail did not decode");
  }
  state.SetItemsProcessed(state.iterations() * kThumbnails);
}
BENCHMARK(BM_PhotoGridFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
