// How long the in-process simulator takes to start and stop (the app's
// embedded default pays this at every launch), and what one feed request costs.
#include <benchmark/benchmark.h>
#include <httplib.h>

#include "sim/campus_sim.h"

namespace {

void BM_StartStop(benchmark::State& state) {
  for (auto _ : state) {
    yx::sim::CampusSim sim;
    sim.start();
    sim.stop();
  }
}
BENCHMARK(BM_StartStop)->Unit(benchmark::kMillisecond);

void BM_FeedRequest(benchmark::State& state) {
  yx::sim::CampusSim sim;
  sim.start();
  httplib::Client client("127.0.0.1", sim.port("campus_data"));
  for (auto _ : state) {
    auto res = client.Get(state.range(0) ? "/data/xml/cal.xml" : "/data/xml/today-4.xml");
    if (!res || res->status != 200) state.SkipWithError("request failed");
  }
  sim.clearRequests();
}
BENCHMARK(BM_FeedRequest)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
