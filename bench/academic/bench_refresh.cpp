// The course-change refresh from the simulator: the steady state (a
// 5,000-item temporary-change feed, 50 items of the student's courses, all
// announced before), beside `xmllint --noout` over the same bytes and
// xmllint's own start-up on a tiny document (subtract it to compare); and a
// refresh that announces 200 new changes (settings and scheduled
// notifications saved once per change).
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "academic/course_changes.h"
#include "bench/support/bench_support.h"
#include "platform/application.h"
#include "platform/runloop.h"
#include "platform/settings.h"

namespace {

std::string benchDir() { return yx::bench::scratchDir("refresh"); }

std::string feedFile() { return benchDir() + "/overlay/campus/data/xml/lve_reg.xml"; }

// `items` changes; every (items / matching)-th one belongs to course "M<k>".
void writeFeed(long items, long matching) {
  const long step = items / matching;
  yx::bench::writeFile(feedFile(), yx::bench::xmlFeed(items, [&](long i) {
    using std::to_string;
    const bool mine = i % step == 0 && i / step < matching;
    return "  <lve_reg>\n    <序號>" + (mine ? "M" + to_string(i / step) : to_string(100000 + i)) +
           "</序號>\n    <系級>資訊工程學系二年級A班</系級>\n    <科目>資料結構與演算法 第" + to_string(i) +
           "班</科目>\n    <教師>林雨澄</教師>\n    <原始>12/" + to_string(1 + i % 28) + "(四)第3-4節 E204 教室 #" +
           to_string(i) + "</原始>\n    <異動>12/" + to_string(1 + (i + 7) % 28) + ",12/" + to_string(1 + (i + 14) % 28) +
           "</異動>\n  </lve_reg>\n";
  }));
}

void signInStudent(long courses) {
  std::vector<std::string> list;
  for (long i = 0; i < courses; ++i) list.push_back("M" + std::to_string(i));
  auto& s = yx::Settings::standard();
  s.setString("學號", "41120307");
  s.setObject("stuSubjectNoAry", yx::Value::stringArray(list));
}

void forgetAnnounced() {
  auto& s = yx::Settings::standard();
  for (const char* suffix : {"stu_temp_allShowedSubjectAry", "stu_temp_departmentAry", "stu_temp_subjectNameAry",
                             "stu_temp_teacherNameAry", "stu_temp_beforeDataAry", "stu_temp_afterDataAry"})
    s.removeObjectForKey(std::string("41120307") + suffix);
  yx::Application::shared().cancelAllLocalNotifications();
}

yx::Driver& app() {
  return yx::bench::inProcessApp(benchDir() + "/data", benchDir() + "/overlay", [] { writeFeed(5000, 50); });
}

void refresh() {
  bool done = false;
  yx::Application::shared().performBackgroundFetch([&](yx::FetchResult) { done = true; });
  if (!done) std::abort();
}

void BM_RefreshSteadyState5000(benchmark::State& state) {
  app();
  writeFeed(5000, 50);
  signInStudent(50);
  forgetAnnounced();
  refresh();  // announces the 50 once; every later refresh finds nothing new
  std::size_t writes = yx::Settings::standard().writeCount();
  for (auto _ : state) refresh();
  if (yx::Settings::standard().writeCount() != writes) state.SkipWithError("the steady state wrote settings");
  state.SetItemsProcessed(state.iterations() * 5000);
}
BENCHMARK(BM_RefreshSteadyState5000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_XmllintNoout5000(benchmark::State& state) {
  writeFeed(5000, 50);
  yx::bench::xmllintFloor(state, "--noout '" + feedFile() + "'");
  state.SetItemsProcessed(state.iterations() * 5000);
}
BENCHMARK(BM_XmllintNoout5000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_XmllintStartUp(benchmark::State& state) {
  std::string tiny = benchDir() + "/tiny.xml";
  std::ofstream(tiny) << "<a/>";
  yx::bench::xmllintFloor(state, "--noout '" + tiny + "'");
}
BENCHMARK(BM_XmllintStartUp)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RefreshAnnouncing200(benchmark::State& state) {
  app();
  writeFeed(1000, 200);
  signInStudent(200);
  for (auto _ : state) {
    state.PauseTiming();
    forgetAnnounced();
    state.ResumeTiming();
    refresh();
  }
  if (yx::Application::shared().scheduledLocalNotifications().size() != 200 * 6)
    state.SkipWithError("not every change was announced");
  state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(BM_RefreshAnnouncing200)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
