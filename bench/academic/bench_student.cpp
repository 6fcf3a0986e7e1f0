// The student services' answers from the simulator until the list is on
// screen (probe, download, event parsing, the cache file, the list reading
// it and drawing its first rows; the screens' fixed 0.3 s start is not part
// of it), beside `xmllint --stream --noout` over the same bytes. And the
// course list drawing all its rows, beside one read of its cache file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "academic/signing.h"
#include "academic/student/course_list.h"
#include "academic/student/course_loader.h"
#include "academic/student/exam_timetable.h"
#include "bench/support/bench_support.h"
#include "markup/feed_loader.h"
#include "platform/application.h"
#include "platform/files.h"
#include "platform/http.h"
#include "platform/runloop.h"
#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace {

constexpr int kRowsOnScreen = 10;

std::string benchDir() { return yx::bench::scratchDir("student"); }

std::string number(long records) { return "B" + std::to_string(records); }
std::string answerFile(const std::string& method, long records) {
  return benchDir() + "/overlay/academic/emisappws/AppWebService.asmx/" + method + "@pStuNo=" + number(records);
}

void writeAnswers(long records) {
  std::string exams = answerFile("StuExamList2XML", records), courses = answerFile("StuEleList2XML", records);
  if (std::filesystem::exists(exams)) return;
  using std::to_string;
  yx::bench::writeFile(exams, yx::bench::xmlFeed(records, [](long i) {
    return "  <stu_exam_table>\n    <ch_name>林子晴</ch_name>\n    <cos_name>專業選修課程第" + to_string(i) +
           "號</cos_name>\n    <req_ele_type>選</req_ele_type>\n    <cr>3</cr>\n    <seat_no>" + to_string(i % 60) +
           "</seat_no>\n    <exam_date>2026/12/" + to_string(10 + i % 20) + "/二</exam_date>\n    <sess>" +
           to_string(1 + i % 7) + "</sess>\n    <exam_tm>90</exam_tm>\n    <room>E" + to_string(100 + i % 400) +
           "</room>\n    <exam_no>" + to_string(i % 60) + "</exam_no>\n    <exam_type></exam_type>\n  </stu_exam_table>\n";
  }));
  yx::bench::writeFile(courses, yx::bench::xmlFeed(records, [](long i) {
    return "  <stu_ele_table>\n    <ch_cos_name>專業選修課程第" + to_string(i) + "號</ch_cos_name>\n    <time_plase>" +
           "四/0" + to_string(1 + i % 8) + "-0" + to_string(2 + i % 8) + "/E" + to_string(100 + i % 400) +
           "</time_plase>\n    <teach_name>王明哲</teach_name>\n    <seat_no>" + to_string(i % 60) +
           "</seat_no>\n  </stu_ele_table>\n";
  }));
  yx::bench::writeFile(benchDir() + "/overlay/academic/accounts.json",
                       R"({"students": {"B1000": {"password": "pw"}, "B10000": {"password": "pw"}}})");
}

yx::Driver& app() {
  return yx::bench::inProcessApp(benchDir() + "/data", benchDir() + "/overlay", [] {
    for (long n : {1000L, 10000L}) writeAnswers(n);
  });
}

void settle() {
  yx::Background::drain(120);
  yx::RunLoop::main().runUntilIdle();
}

void reset(benchmark::State& state) {
  state.PauseTiming();
  yx::Application::shared().navigation()->popToRootViewControllerAnimated(false);
  yx::Alerts::clear();
  yx::RunLoop::main().runUntilIdle();
  state.ResumeTiming();
}

void drawFirstRows(yx::TableView& table) {
  for (int s = 0, drawn = 0; s < table.numberOfSections() && drawn < kRowsOnScreen; ++s)
    for (int r = 0; r < table.numberOfRowsInSection(s) && drawn < kRowsOnScreen; ++r, ++drawn) table.cellForRow({s, r});
}

void BM_ExamAnswerToTimetable(benchmark::State& state) {
  long records = state.range(0);
  app();
  auto* nav = yx::Application::shared().navigation();
  for (auto _ : state) {
    std::string url = yx::studentMethodURL("StuExamList2XML", number(records), "pw");
    auto screen = std::make_shared<yx::testListInquiryViewController>();
    nav->pushViewController(screen, false);
    screen->parseURL(url);
    settle();
    if (screen->rows().size() != static_cast<size_t>(records)) {
      state.SkipWithError("the timetable is not complete");
      break;
    }
    drawFirstRows(*screen->view().findNamed<yx::TableView>("tableView"));
    reset(state);
  }
  state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK(BM_ExamAnswerToTimetable)->Arg(1000)->Arg(10000)->MinTime(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CourseAnswerToList(benchmark::State& state) {
  long records = state.range(0);
  app();
  auto* nav = yx::Application::shared().navigation();
  for (auto _ : state) {
    std::string url = yx::studentMethodURL("StuEleList2XML", number(records), "pw");
    auto loader = std::make_shared<yx::inquiryXMLParser>();
    nav->pushViewController(loader, false);
    loader->parseURL(url);
    settle();
    auto* list = dynamic_cast<yx::inquiryResultsViewController*>(nav->topViewController());
    auto* table = list ? list->view().findNamed<yx::TableView>("tableView") : nullptr;
    if (!table || table->numberOfRowsInSection(0) != records) {
      state.SkipWithError("the course list was not pushed whole");
      break;
    }
    drawFirstRows(*table);
    reset(state);
  }
  state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK(BM_CourseAnswerToList)->Arg(1000)->Arg(10000)->MinTime(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_XmllintStreamFloor(benchmark::State& state) {
  long records = state.range(0);
  writeAnswers(records);
  const char* method = state.range(1) ? "StuEleList2XML" : "StuExamList2XML";
  yx::bench::xmllintFloor(state, "--stream --noout '" + answerFile(method, records) + "'");
  state.SetLabel(method);
  state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK(BM_XmllintStreamFloor)
    ->Args({1000, 0})
    ->Args({10000, 0})
    ->Args({1000, 1})
    ->Args({10000, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The course list of 10,000 courses on screen, then every row drawn.
void BM_CourseListDrawAllRows(benchmark::State& state) {
  app();
  auto* nav = yx::Application::shared().navigation();
  auto loader = std::make_shared<yx::inquiryXMLParser>();
  nav->pushViewController(loader, false);
  loader->parseURL(yx::studentMethodURL("StuEleList2XML", number(10000), "pw"));
  settle();
  auto* list = dynamic_cast<yx::inquiryResultsViewController*>(nav->topViewController());
  auto* table = list ? list->view().findNamed<yx::TableView>("tableView") : nullptr;
  if (!table) {
    state.SkipWithError("no course list");
    return;
  }
  for (auto _ : state) {
    table->reloadData();
    for (int r = 0; r < table->numberOfRowsInSection(0); ++r) table->cellForRow({0, r});
  }
  state.counters["cache_reads"] = static_cast<double>(list->cacheReads());
  nav->popToRootViewControllerAnimated(false);
  yx::RunLoop::main().runUntilIdle();
}
BENCHMARK(BM_CourseListDrawAllRows)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CourseCacheReadOnce(benchmark::State& state) {
  app();
  std::string path = yx::FeedLoaderViewController::cachePath("stu_ele_table");
  for (auto _ : state) {
    auto v = yx::Files::readArrayFile(path);
    if (!v || v->size() != 10000) {
      state.SkipWithError("run BM_CourseListDrawAllRows first: no cache of 10,000 courses");
      break;
    }
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK(BM_CourseCacheReadOnce)->Unit(benchmark::kMillisecond)->UseRealTime();

// Parts of the timetable's load, to see where its time goes: one signed
// GET of the answer, and writing the cache of 10,000 exams.
void BM_ExamAnswerGet(benchmark::State& state) {
  app();
  for (auto _ : state) {
    auto r = yx::httpGet(yx::studentMethodURL("StuExamList2XML", number(state.range(0)), "pw"), 60);
    if (!r.ok) state.SkipWithError("no answer");
  }
}
BENCHMARK(BM_ExamAnswerGet)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ExamCacheWrite(benchmark::State& state) {
  app();
  std::string path = yx::FeedLoaderViewController::cachePath("stu_exam_table");
  auto v = yx::Files::readArrayFile(path);
  if (!v || v->size() != 10000) {
    state.SkipWithError("run BM_ExamAnswerToTimetable/10000 first");
    return;
  }
  for (auto _ : state) yx::Files::writeArrayFile(benchDir() + "/exam-copy.plist", *v);
}
BENCHMARK(BM_ExamCacheWrite)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
