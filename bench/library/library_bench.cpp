// A patron with 1,000 and 10,000 loans: from the catalogue's answer to the
// borrowed list with every row's cell made (parsing, the six lists, the
// due-date band and the format picture of each row), beside xmllint counting
// the same document's checkouts (libxml2 alone, the floor).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

#include "bench/support/bench_support.h"
#include "library/borrowReViewController.h"
#include "platform/dates.h"
#include "platform/runloop.h"

namespace {

const std::string& patronDocument(int loans) {
  static std::map<int, std::string> made;
  auto& s = made[loans];
  if (!s.empty()) return s;
  static const char* const formats[] = {"book", "dvd", "journal", "ebook", "map"};
  s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<patronInfo>\n  <patron>\n    <barcode>000123456</barcode>\n"
      "    <checkouts>\n";
  for (int i = 0; i < loans; ++i) {
    char due[16];
    std::snprintf(due, sizeof due, "2026-%02d-%02d", 1 + i % 12, 1 + i % 28);
    s += "      <checkout>\n        <bibId>" + std::to_string(100000 + i) + "</bibId>\n        <title>雲岫山區植物圖鑑 第" +
         std::to_string(i) + "冊：溪城的四季與步道</title>\n        <barcode>W" + std::to_string(1000000 + i) +
         "</barcode>\n        <dueDate>" + due + "</dueDate>\n        <status>" + (i % 7 ? "charged" : "overdue") +
         "</status>\n        <format>" + formats[i % 5] + "</format>\n      </checkout>\n";
  }
  s += "    </checkouts>\n    <requests/>\n  </patron>\n</patronInfo>\n";
  return s;
}

std::string documentFile(int loans) {
  std::string p = "/tmp/yx-bench-patron-" + std::to_string(::getpid()) + "-" + std::to_string(loans) + ".xml";
  std::ofstream(p, std::ios::binary) << patronDocument(loans);
  return p;
}

void BM_BorrowedListAllCells(benchmark::State& state) {
  const int loans = static_cast<int>(state.range(0));
  const std::string& bytes = patronDocument(loans);
  yx::setTimeZone("Asia/Taipei");
  for (auto _ : state) {
    auto list = std::make_shared<yx::borrowReViewController>();
    list->setBorrowData(bytes);
    auto* table = list->view().findNamed<yx::TableView>("myTableview");
    int rows = table->numberOfRowsInSection(0);
    for (int r = 0; r < rows; ++r) benchmark::DoNotOptimize(table->cellForRow({0, r}));
    if (rows != loans) state.SkipWithError("wrong number of rows");
    // Taking the screen down again is not part of showing it.
    state.PauseTiming();
    list.reset();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * loans);
}
BENCHMARK(BM_BorrowedListAllCells)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_XmllintCountCheckouts(benchmark::State& state) {
  const int loans = static_cast<int>(state.range(0));
  const std::string file = documentFile(loans);
  yx::bench::xmllintFloor(state, "--xpath 'count(//patron/checkouts/checkout)' '" + file + "' 2>/dev/null");
  std::remove(file.c_str());
  state.SetItemsProcessed(state.iterations() * loans);
}
BENCHMARK(BM_XmllintCountCheckouts)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
