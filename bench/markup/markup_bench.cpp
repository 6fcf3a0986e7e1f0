// Parsing a 5 MB campus feed: the document model with one XPath query and the
// event parser, beside xmllint on the same bytes (libxml2 alone, the floor).
#include "markup/dom.h"
#include "markup/xml_event_parser.h"

#include <benchmark/benchmark.h>

#include "bench/support/bench_support.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const std::string& feed() {
  static const std::string bytes = [] {
    std::string s = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<NewDataSet>\n";
    for (int i = 0; s.size() < 5u * 1024 * 1024; ++i) {
      s += "  <act>\n    <課程名稱>書法與篆刻研習第" + std::to_string(i) + "期</課程名稱>\n"
           "    <開課類別>藝文</開課類別>\n    <上課地點>雲岫樓 " + std::to_string(100 + i % 400) + " 教室</上課地點>\n"
           "    <上課起始時間>2024-03-01T09:30:00+08:00</上課起始時間>\n"
           "    <上課結束時間>2024-03-01T12:00:00+08:00</上課結束時間>\n"
           "    <開始報名時間>2024-02-01T08:00:00+08:00</開始報名時間>\n"
           "    <結束報名時間>2024-02-20T17:00:00+08:00</結束報名時間>\n"
           "    <開課對象>全校師生 &amp; 校友</開課對象>\n    <連結編號>" + std::to_string(5000 + i) + "</連結編號>\n  </act>\n";
    }
    return s + "</NewDataSet>\n";
  }();
  return bytes;
}

const std::string& feedFile() {
  static const std::string path = [] {
    std::string p = std::string(YX_BINARY_DIR) + "/bench_campus_feed_" + std::to_string(::getpid()) + ".xml";
    std::ofstream(p, std::ios::binary) << feed();
    std::atexit([] { std::remove(feedFile().c_str()); });
    return p;
  }();
  return path;
}

void BM_DomParseAndXPath(benchmark::State& state) {
  const std::string& bytes = feed();
  for (auto _ : state) {
    auto doc = yx::DomDocument::initWithData(bytes);
    auto rows = doc->nodesForXPath("//NewDataSet/act");
    benchmark::DoNotOptimize(rows);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_DomParseAndXPath)->Unit(benchmark::kMillisecond)->UseRealTime();

struct Counting : yx::XmlEventDelegate {
  void parserDidStartElement(const std::string&, const std::vector<std::pair<std::string, std::string>>&) override {
    ++elements;
  }
  void parserFoundCharacters(std::string_view chunk) override { characters += chunk.size(); }
  std::size_t elements = 0;
  std::size_t characters = 0;
};

void BM_EventParse(benchmark::State& state) {
  const std::string& bytes = feed();
  for (auto _ : state) {
    yx::XmlEventParser parser(bytes);
    Counting c;
    parser.setDelegate(&c);
    benchmark::DoNotOptimize(parser.parse());
    benchmark::DoNotOptimize(c.elements);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_EventParse)->Unit(benchmark::kMillisecond)->UseRealTime();

void runXmllint(benchmark::State& state, const char* flags) {
  yx::bench::xmllintFloor(state, std::string(flags) + " '" + feedFile() + "' 2>/dev/null");
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * feed().size()));
}

// Process start-up of xmllint is included; measure it alone to subtract.
void BM_XmllintStartupOnly(benchmark::State& state) {
  const std::string cmd = "xmllint --noout - </dev/null >/dev/null 2>&1";
  for (auto _ : state) benchmark::DoNotOptimize(std::system(cmd.c_str()));
}
void BM_XmllintTree(benchmark::State& state) { runXmllint(state, "--noout"); }
void BM_XmllintStream(benchmark::State& state) { runXmllint(state, "--stream --noout"); }
BENCHMARK(BM_XmllintStartupOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_XmllintTree)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_XmllintStream)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
