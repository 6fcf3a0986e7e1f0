// Settings store, property-list array files and date formatting.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "platform/dates.h"
#include "platform/files.h"
#include "platform/settings.h"

namespace {

std::string tempDir() {
  char tmpl[] = "/tmp/yx-bench-XXXXXX";
  const char* d = ::mkdtemp(tmpl);
  return d ? d : "/tmp";
}

// 100 keys set one by one, then synchronize. Arg 1: every change written
// through to disk (the default); arg 0: written once by synchronize.
void BM_Settings100KeysSetAndSynchronize(benchmark::State& state) {
  std::string dir = tempDir();
  yx::Settings& s = yx::Settings::standard();
  s.open(dir);
  s.setWriteThrough(state.range(0) != 0);
  int round = 0;
  for (auto _ : state) {
    ++round;
    for (int i = 0; i < 100; ++i)
      s.setString("key" + std::to_string(i), "值 " + std::to_string(i) + "/" + std::to_string(round));
    benchmark::DoNotOptimize(s.synchronize());
  }
  s.setWriteThrough(true);
  s.close();
  yx::Files::removeItem(dir);
}
BENCHMARK(BM_Settings100KeysSetAndSynchronize)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

yx::Value thousandRecords() {
  yx::Value arr = yx::Value::array();
  for (int i = 0; i < 1000; ++i) {
    yx::Value rec = yx::Value::dictionary();
    for (int f = 0; f < 10; ++f)
      rec.set("欄位" + std::to_string(f), "第 " + std::to_string(i) + " 筆的內容 " + std::to_string(f));
    arr.append(std::move(rec));
  }
  return arr;
}

void BM_ArrayFile1000RecordsWriteAndRead(benchmark::State& state) {
  std::string dir = tempDir();
  std::string path = dir + "/news.plist";
  yx::Value arr = thousandRecords();
  for (auto _ : state) {
    benchmark::DoNotOptimize(yx::Files::writeArrayFile(path, arr));
    auto back = yx::Files::readArrayFile(path);
    if (!back || back->size() != 1000) state.SkipWithError("read back failed");
  }
  yx::Files::removeItem(dir);
}
BENCHMARK(BM_ArrayFile1000RecordsWriteAndRead)->Unit(benchmark::kMillisecond);

void BM_FormatDate(benchmark::State& state) {
  yx::setTimeZone("Asia/Taipei");
  auto t = std::chrono::system_clock::now();
  for (auto _ : state) {
    benchmark::DoNotOptimize(yx::formatDate("yyyyMMddHHmmssSSS", t));
    benchmark::DoNotOptimize(yx::formatDate("YYYY/MM/dd HH:mm", t));
    t += std::chrono::milliseconds(1);
  }
}
BENCHMARK(BM_FormatDate);

void BM_ParseDate(benchmark::State& state) {
  yx::setTimeZone("Asia/Taipei");
  for (auto _ : state) benchmark::DoNotOptimize(yx::parseDate("yyyy-MM-dd HH:mm:ss", "2024-12-31 23:59:58"));
}
BENCHMARK(BM_ParseDate);

}  // namespace

BENCHMARK_MAIN();
