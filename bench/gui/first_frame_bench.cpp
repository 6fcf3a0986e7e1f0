// Start-up of the window front-end: from spawning `yunxiu` to its first
// drawn frame of the Home menu on the offscreen platform, with and without
// the web engine's start-up. Report the median of the repetitions.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern char** environ;

namespace {

double firstFrameSeconds(bool webEngine) {
  std::string exe = std::string(YX_BINARY_DIR) + "/bin/yunxiu";
  auto dataDir = std::filesystem::temp_directory_path() / ("yx-bench-gui-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dataDir);
  std::vector<std::string> args = {exe, "--data-dir", dataDir.string(), "--exit-after-first-frame"};
  if (!webEngine) args.push_back("--no-web-engine");
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  int out[2];
  if (pipe(out) != 0) return -1;
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&fa, out[0]);
  posix_spawn_file_actions_addopen(&fa, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  auto t0 = std::chrono::steady_clock::now();
  pid_t pid = 0;
  int rc = posix_spawn(&pid, exe.c_str(), &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  close(out[1]);
  if (rc != 0) {
    close(out[0]);
    return -1;
  }
  std::string seen;
  char buf[256];
  double elapsed = -1;
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) {
    seen.append(buf, static_cast<size_t>(n));
    if (seen.find("first-frame") != std::string::npos) {
      elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
      break;
    }
  }
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  std::filesystem::remove_all(dataDir);
  return elapsed;
}

void BM_FirstFrame(benchmark::State& state) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("QT_QUICK_BACKEND", "software", 1);
  setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu", 0);
  for (auto _ : state) {
    double s = firstFrameSeconds(state.range(0) != 0);
    if (s < 0) {
      state.SkipWithError("yunxiu did not draw a frame");
      return;
    }
    state.SetIterationTime(s);
  }
}
BENCHMARK(BM_FirstFrame)->Arg(0)->Arg(1)->ArgName("webEngine")->UseManualTime()->Iterations(1)->Repetitions(7)
    ->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
