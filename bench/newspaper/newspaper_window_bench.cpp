// The window while the photo grid of 200 distinct thumbnails fills: the
// longest gap between two drawn frames (offscreen, software renderer), with
// the window asked to draw continuously, from the moment the grid's issue is
// chosen until every thumbnail is in its cell. Reported as `max_gap_ms`
// (median of the iterations); the iteration time is the fill time.

#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

#include "app/gui/gui_app.h"
#include "bench/support/bench_support.h"
#include "campus/newspaper/photo_database.h"
#include "platform/application.h"
#include "platform/image.h"
#include "sim/sample_data.h"

namespace {

constexpr int kThumbnails = 200;

using yx::bench::writeFile;

std::string benchDir() { return yx::bench::scratchDir("newspaper-window"); }

// The bundled thumbnails under 200 distinct paths, each made distinct by a
// trailing comment byte, and an issue listing them first.
void writeIssue() {
  std::vector<std::string> pictures;
  for (const auto& entry :
       std::filesystem::directory_iterator(std::string(YX_SOURCE_DIR) + "/sim/data/newspaper_web/ashx"))
    if (entry.path().filename().string().rfind("getILPic150.ashx@", 0) == 0) {
      std::ifstream in(entry.path(), std::ios::binary);
      pictures.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
  std::string list = "<NewDataSet><pic_db><期別>bench</期別><發佈日期>2026/12/04</發佈日期></pic_db></NewDataSet>";
  std::string issue = "<NewDataSet>";
  for (int i = 0; i < kThumbnails; ++i) {
    std::string path = "bench/" + std::to_string(i) + ".jpg";
    issue += "<pic_db><圖片標題>第 " + std::to_string(i) + " 張</圖片標題><圖片路徑>" + path +
             "</圖片路徑><攝影者>攝影社</攝影者></pic_db>";
    std::string bytes = pictures[static_cast<size_t>(i) % pictures.size()] + std::string(1, static_cast<char>(i));
    writeFile(benchDir() + "/overlay/newspaper_web/ashx/getILPic150.ashx@im=" + yx::sim::keyedValue(path), bytes);
  }
  writeFile(benchDir() + "/overlay/campus/Data/xml/Times/pic_db.xml", list);
  writeFile(benchDir() + "/overlay/campus/Data/xml/Times/pic_db-bench.xml", issue + "</NewDataSet>");
  writeFile(benchDir() + "/data/settings.plist",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>個人資料</key>"
            "<string>填寫過</string></dict></plist>\n");
}

QGuiApplication& qtApp() {
  static int argc = 1;
  static char name[] = "bench_newspaper_window";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QUICK_BACKEND", "software");
    auto* a = new QGuiApplication(argc, argv);
    yx::gui::useAppFont();
    return a;
  }();
  return *app;
}

yx::CollectionView* gridOnTop() {
  auto* nav = yx::Application::shared().navigation();
  auto* grid = nav ? dynamic_cast<yx::imageDBthumbViewController*>(nav->topViewController()) : nullptr;
  return grid ? grid->view().findNamed<yx::CollectionView>("myCollectionview") : nullptr;
}

// Thumbnails in their cells; every cell is made once the grid has its items,
// as if the window were tall enough to show them all.
int thumbnailsShown() {
  auto* collection = gridOnTop();
  if (!collection) return 0;
  int n = 0;
  for (int i = 0; i < collection->numberOfItemsInSection(0); ++i)
    n += static_cast<yx::imageDBthumbCell&>(*collection->cellForItem({0, i})).myImageview().state() == "loaded";
  return n;
}

void BM_WindowWhileGridFills(benchmark::State& state) {
  static bool prepared = [] {
    writeIssue();
    yx::registerAllFeatures();
    return true;
  }();
  (void)prepared;
  qtApp();
  std::vector<double> gaps;
  for (auto _ : state) {
    state.PauseTiming();
    yx::gui::GuiApp::installWebBackend(false);
    yx::DriverOptions o;
    o.dataDir = benchDir() + "/data";
    o.simData = benchDir() + "/overlay";
    o.timeZone = "Asia/Taipei";
    yx::Driver driver(o);
    if (auto err = driver.start(yx::makeApplicationDelegate)) {
      state.SkipWithError(err->c_str());
      return;
    }
    yx::gui::GuiApp window(driver, yx::gui::GuiOptions{});
    if (!window.load().isEmpty()) {
      state.SkipWithError("the window did not load");
      return;
    }
    window.execute("tap 20");
    window.execute("tap 4 近期圖輯");
    std::mutex mu;
    std::vector<qint64> frames;
    QElapsedTimer clock;
    clock.start();
    auto drawn = QObject::connect(window.window(), &QQuickWindow::frameSwapped, window.window(), [&] {
      {
        std::lock_guard<std::mutex> lock(mu);
        frames.push_back(clock.nsecsElapsed());
      }
      window.window()->update();
    }, Qt::DirectConnection);
    window.window()->update();
    state.ResumeTiming();

    // The issue chosen as a person's tap does it: the window keeps running.
    const qint64 start = clock.nsecsElapsed();
    auto* nav = yx::Application::shared().navigation();
    nav->topViewController()->view().findNamed<yx::TableView>("myTableview")->userSelectRow({0, 0});
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
      if (thumbnailsShown() == kThumbnails || clock.nsecsElapsed() - start > 20'000'000'000) loop.quit();
    });
    poll.start();
    loop.exec();
    const qint64 end = clock.nsecsElapsed();

    state.PauseTiming();
    if (thumbnailsShown() != kThumbnails) state.SkipWithError("the grid did not fill");
    double longest = 0;
    {
      std::lock_guard<std::mutex> lock(mu);
      qint64 previous = start;
      for (qint64 t : frames) {
        if (t < start) continue;
        if (t > end) break;
        longest = std::max(longest, (t - previous) / 1e6);
        previous = t;
      }
      longest = std::max(longest, (end - previous) / 1e6);
    }
    gaps.push_back(longest);
    QObject::disconnect(drawn);
    state.ResumeTiming();
  }
  std::sort(gaps.begin(), gaps.end());
  state.counters["max_gap_ms"] = gaps.empty() ? 0 : gaps[gaps.size() / 2];
}
BENCHMARK(BM_WindowWhileGridFills)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
