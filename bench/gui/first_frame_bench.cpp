// Start-up of the window as a user waits for it: from spawning `yunxiu` to
// the first drawn frame of the Home menu (its "first-frame" line), and to
// the process's exit, with its peak memory; beside a bare Qt Quick window
// (yx_bare_window) spawned the same way in the same run, turn about, so the
// ratio holds on any machine. Offscreen platform, software rendering, on a
// data folder past the first-run gate. Reports medians.
//
//   yx_gui_bench [--runs N] [--app PATH] [--web-engine] [--first-start]
//
// --app measures another build of yunxiu (an older one, for a before and
// after); --web-engine leaves the web engine enabled (loaded when a page
// shows) instead of passing --no-web-engine; --first-start removes the
// artwork an earlier start decoded and kept, before each start.

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

extern char** environ;

namespace {

struct Sample {
  double firstFrameMs = -1, exitMs = -1, peakMB = -1, cpuMs = -1;
};

Sample spawnAndTime(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int out[2];
  if (pipe(out) != 0) return {};
  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&fa, out[0]);
  posix_spawn_file_actions_addopen(&fa, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  const auto t0 = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, argv[0], &fa, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&fa);
  close(out[1]);
  if (rc != 0) {
    close(out[0]);
    return {};
  }
  Sample s;
  std::string seen;
  char buf[256];
  for (ssize_t n; (n = read(out[0], buf, sizeof buf)) > 0;) {
    seen.append(buf, static_cast<size_t>(n));
    if (s.firstFrameMs < 0 && seen.find("first-frame") != std::string::npos)
      s.firstFrameMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  }
  close(out[0]);
  int status = 0;
  rusage ru{};
  wait4(pid, &status, 0, &ru);
  s.exitMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  s.peakMB = ru.ru_maxrss / 1024.0;
  // Processor time of every thread, user and system: steadier than the wall
  // clock on a busy machine.
  s.cpuMs = (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1000.0 + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1000.0;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) s.firstFrameMs = -1;
  return s;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  if (v.empty()) return 0;
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// A data folder past the first-run gate: the profile was delivered.
std::filesystem::path readyDataDir() {
  auto dir = std::filesystem::temp_directory_path() / ("yx-bench-gui-" + std::to_string(::getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "settings.plist")
      << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
         "<plist version=\"1.0\"><dict><key>個人資料</key><string>填寫過</string></dict></plist>\n";
  return dir;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 9;
  std::string app = std::string(YX_BINARY_DIR) + "/bin/yunxiu";
  bool webEngine = false, firstStart = false;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--runs" && i + 1 < argc) runs = std::max(1, std::atoi(argv[++i]));
    else if (a == "--app" && i + 1 < argc) app = argv[++i];
    else if (a == "--web-engine") webEngine = true;
    else if (a == "--first-start") firstStart = true;
    // Google Benchmark flags from scripts/bench.sh are not ours.
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  setenv("QT_QUICK_BACKEND", "software", 1);
  const std::string bare = std::string(YX_BINARY_DIR) + "/bin/yx_bare_window";
  const auto data = readyDataDir();
  std::vector<std::string> appArgs = {app, "--data-dir", data.string(), "--exit-after-first-frame"};
  if (!webEngine) appArgs.push_back("--no-web-engine");

  // One warm-up each (page cache), then turn about.
  spawnAndTime({bare});
  spawnAndTime(appArgs);
  std::vector<double> appFrame, appExit, appPeak, bareFrame, bareExit, barePeak, appCpu, bareCpu;
  for (int i = 0; i < runs; ++i) {
    Sample b = spawnAndTime({bare});
    // A first start finds no artwork decoded at an earlier one.
    if (firstStart) std::filesystem::remove_all(data / "Caches");
    Sample a = spawnAndTime(appArgs);
    if (a.firstFrameMs < 0 || b.firstFrameMs < 0) {
      std::fprintf(stderr, "yx_gui_bench: %s did not draw its first frame\n", a.firstFrameMs < 0 ? app.c_str() : bare.c_str());
      std::filesystem::remove_all(data);
      return 1;
    }
    appFrame.push_back(a.firstFrameMs);
    appExit.push_back(a.exitMs);
    appPeak.push_back(a.peakMB);
    appCpu.push_back(a.cpuMs);
    bareCpu.push_back(b.cpuMs);
    bareFrame.push_back(b.firstFrameMs);
    bareExit.push_back(b.exitMs);
    barePeak.push_back(b.peakMB);
  }
  std::filesystem::remove_all(data);
  const double af = median(appFrame), bf = median(bareFrame), ae = median(appExit), be = median(bareExit);
  const double ap = median(appPeak), bp = median(barePeak);
  std::printf("window start-up, median of %d runs (%s%s)%s\n", runs, app.c_str(), webEngine ? "" : " --no-web-engine",
              firstStart ? ", each a first start" : "");
  std::printf("  first frame   yunxiu %7.1f ms   bare Qt Quick window %7.1f ms   ratio %.2f\n", af, bf, af / bf);
  std::printf("  process exit  yunxiu %7.1f ms   bare Qt Quick window %7.1f ms   ratio %.2f\n", ae, be, ae / be);
  std::printf("  peak memory   yunxiu %7.1f MB   bare Qt Quick window %7.1f MB   ratio %.2f\n", ap, bp, ap / bp);
  const double ac = median(appCpu), bc = median(bareCpu);
  std::printf("  cpu time      yunxiu %7.1f ms   bare Qt Quick window %7.1f ms   ratio %.2f\n", ac, bc, ac / bc);
  return 0;
}
