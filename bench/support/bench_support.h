#pragma once
// What several benchmarks share: a scratch folder, files and feeds of N
// items written there, the app started once in this process on the embedded
// simulator, and xmllint run as the floor beside a measured pipeline.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/driver.h"
#include "app/cli/features.h"
#include "core/launch.h"

namespace yx::bench {

// /tmp/yx-bench-<name>-XXXXXX, made on the first call; one per process.
inline const std::string& scratchDir(const std::string& name) {
  static const std::string dir = [&] {
    std::string tmpl = "/tmp/yx-bench-" + name + "-XXXXXX";
    const char* d = ::mkdtemp(tmpl.data());
    return d ? std::string(d) : "/tmp/yx-bench-" + name;
  }();
  return dir;
}

// Writes `bytes` at `path`, making the folders on the way.
inline void writeFile(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// A campus feed of `items` elements, item(i) giving the i-th.
inline std::string xmlFeed(long items, const std::function<std::string(long)>& item) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<NewDataSet>\n";
  for (long i = 0; i < items; ++i) xml += item(i);
  return xml + "</NewDataSet>\n";
}

// The i-th item of a news feed (a line break and an extension in its text).
inline std::string newsItem(long i) {
  return "  <news>\n    <編號>" + std::to_string(10000 + i) + "</編號>\n    <公告>鳴泉:第 " + std::to_string(i) +
         " 則校園消息：圖書館、體育館與學生活動中心開放時間調整&lt;br&gt;詳情請洽各單位 分機 " +
         std::to_string(2000 + i % 900) +
         "</公告>\n    <類別>行政事項</類別>\n    <活動開始日期>2026/12/01</活動開始日期>\n"
         "    <活動結束日期>2026/12/31</活動結束日期>\n  </news>\n";
}

// The whole app in this process, started on the first call: every feature
// registered, the data in `dataDir`, the embedded simulator serving
// `simData` over its bundled data (when given), the virtual clock at
// 2026-12-07 09:30 in Taipei. `prepare` runs first, once.
inline Driver& inProcessApp(const std::string& dataDir, const std::string& simData = "",
                            const std::function<void()>& prepare = {}) {
  static std::unique_ptr<Driver> driver = [&] {
    if (prepare) prepare();
    registerAllFeatures();
    DriverOptions o;
    o.dataDir = dataDir;
    o.simData = simData;
    o.virtualClock = true;
    o.now = "2026-12-07T09:30:00+08:00";
    o.timeZone = "Asia/Taipei";
    auto d = std::make_unique<Driver>(o);
    if (auto err = d->start(makeApplicationDelegate)) {
      std::fprintf(stderr, "%s\n", err->c_str());
      std::abort();
    }
    return d;
  }();
  return *driver;
}

// One run of `xmllint <args>` with its standard output dropped: the seconds
// it took, or -1 when it failed.
inline double timedXmllint(const std::string& args) {
  const std::string cmd = "xmllint " + args + " >/dev/null";
  const auto start = std::chrono::steady_clock::now();
  if (std::system(cmd.c_str()) != 0) return -1;
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The floor as a benchmark of its own: `xmllint <args>` once an iteration.
inline void xmllintFloor(benchmark::State& state, const std::string& args) {
  for (auto _ : state) {
    if (timedXmllint(args) < 0) {
      state.SkipWithError("xmllint failed");
      break;
    }
  }
}

inline double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace yx::bench
