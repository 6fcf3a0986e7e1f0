// Whole text-driver processes, each timed beside its floor in the same run
// (the two alternate, so a busy machine slows both alike), with the target:
//  - cold start to the Home menu and `quit` (virtual and system clock),
//    beside the cost of starting any process (`true`): at most 30 ms;
//  - a 10,000-item news feed (`net wifi`, `tap 4`, `wait 3`, `quit`) beside
//    `xmllint --stream --noout` on the same bytes: at most 5x;
//  - a 30 MB feed: peak resident size at most 6x the feed;
//  - 40,000 activities to a usable list, beside xmllint on them;
//  - an element with 200,000 attributes, beside a normal feed of its size:
//    at most 2 s more.
// The driver is the run command's build (build/bin/yunxiu-cli) when there is
// one, else this tree's; `--driver PATH` names another.

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
#include <string>
#include <vector>

#include "bench/support/bench_support.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

using yx::bench::median;
using yx::bench::newsItem;

void write(const fs::path& p, const std::string& text) { yx::bench::writeFile(p.string(), text); }

struct Run {
  double seconds = 0;
  long maxRssKb = 0;
  int status = -1;
};

// Spawns argv with stdin from a file (or /dev/null) and stdout to /dev/null.
Run spawn(const std::vector<std::string>& args, const std::string& input = "/dev/null") {
  std::vector<char*> argv;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, input.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  Run r;
  auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return r;
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.maxRssKb = usage.ru_maxrss;
  r.status = status;
  posix_spawn_file_actions_destroy(&actions);
  return r;
}

std::string newsFeed(std::size_t minBytes, long minItems) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<NewDataSet>\n";
  for (long i = 0; i < minItems || xml.size() < minBytes; ++i) xml += newsItem(i);
  return xml + "</NewDataSet>\n";
}

std::string activityFeed(long items) {
  return yx::bench::xmlFeed(items, [](long i) {
    return "  <act>\n    <課程名稱>書法與篆刻研習第" + std::to_string(i) + "期</課程名稱>\n    <開課類別>研習活動</開課類別>\n"
           "    <上課地點>雲岫樓 " + std::to_string(100 + i % 400) + " 教室</上課地點>\n"
           "    <上課起始時間>2026-12-01T09:30:00+08:00</上課起始時間>\n    <上課結束時間>2026-12-01T12:00:00+08:00</上課結束時間>\n"
           "    <開始報名時間>2026-11-01T08:00:00+08:00</開始報名時間>\n    <結束報名時間>2026-11-20T17:00:00+08:00</結束報名時間>\n"
           "    <開課對象>全校師生</開課對象>\n    <連結編號>A" + std::to_string(5000 + i) + "</連結編號>\n  </act>\n";
  });
}

// A data folder where the profile was delivered, so the Home menu shows
// without the first-run prompt.
void prepareDataDir(const fs::path& dir) {
  fs::remove_all(dir);
  write(dir / "settings.plist",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
        "\t<key>個人資料</key>\n\t<string>填寫過</string>\n\t<key>功能名稱</key>\n\t<string>首頁</string>\n"
        "</dict>\n</plist>\n");
}

struct Bench {
  std::string driver;
  fs::path root;
  int reps = 9;

  std::vector<std::string> driverArgs(const fs::path& data, const fs::path& overlay, bool virtualClock) const {
    std::vector<std::string> a = {driver, "--data-dir", data.string()};
    if (virtualClock) {
      a.insert(a.end(), {"--clock", "virtual", "--now", "2026-12-07T09:30:00+08:00", "--tz", "Asia/Taipei"});
    }
    if (!overlay.empty()) a.insert(a.end(), {"--sim-data", overlay.string()});
    return a;
  }

  fs::path script(const std::string& name, const std::string& text) const {
    fs::path p = root / (name + ".txt");
    write(p, text);
    return p;
  }

  void coldStart() {
    fs::path data = root / "cold";
    prepareDataDir(data);
    fs::path quit = script("quit", "quit\n");
    std::vector<double> virt, sys, floor;
    spawn(driverArgs(data, {}, true), quit.string());  // warm the file cache
    for (int i = 0; i < reps * 2 + 1; ++i) {
      virt.push_back(spawn(driverArgs(data, {}, true), quit.string()).seconds);
      sys.push_back(spawn(driverArgs(data, {}, false), quit.string()).seconds);
      floor.push_back(spawn({"true"}).seconds);
    }
    std::printf("cold start to the Home menu and quit: virtual clock %.1f ms, system clock %.1f ms median"
                " (target <= 30 ms); any process start %.1f ms\n",
                median(virt) * 1e3, median(sys) * 1e3, median(floor) * 1e3);
  }

  // Times a driver run against xmllint on the same feed, alternating.
  void feedRun(const char* what, const fs::path& feed, const fs::path& overlay, const fs::path& commands,
               double target) {
    fs::path data = root / "feed";
    std::vector<double> app, lint;
    for (int i = 0; i < reps; ++i) {
      prepareDataDir(data);
      Run r = spawn(driverArgs(data, overlay, true), commands.string());
      if (r.status != 0) std::printf("  (the driver exited with status %d)\n", r.status);
      app.push_back(r.seconds);
      lint.push_back(spawn({"xmllint", "--stream", "--noout", feed.string()}).seconds);
    }
    const double ratio = median(app) / median(lint);
    std::printf("%s: %.3f s median, xmllint --stream --noout %.3f s: %.1fx", what, median(app), median(lint), ratio);
    if (target > 0) std::printf(" (target <= %.0fx)", target);
    std::printf("\n");
  }

  void newsFeed10k() {
    fs::path overlay = root / "news10k";
    fs::path feed = overlay / "campus/Data/xml/news-0.xml";
    write(feed, newsFeed(0, 10000));
    feedRun("10,000-item news feed, whole driver run", feed, overlay,
            script("news", "net wifi\ntap 4\nwait 3\nquit\n"), 5);
  }

  void activities40k() {
    fs::path overlay = root / "act40k";
    fs::path feed = overlay / "campus/Data/xml/act-0.xml";
    write(feed, activityFeed(40000));
    feedRun("40,000 activities to the list and the last row's detail", feed, overlay,
            script("acts", "net wifi\ntap 6\nwait 3\nrow 0 39999\nquit\n"), 0);
  }

  void bigFeedMemory() {
    fs::path overlay = root / "news30m";
    fs::path feed = overlay / "campus/Data/xml/news-0.xml";
    write(feed, newsFeed(30u << 20, 0));
    const double feedKb = static_cast<double>(fs::file_size(feed)) / 1024;
    fs::path data = root / "big";
    std::vector<double> peaks;
    for (int i = 0; i < 3; ++i) {
      prepareDataDir(data);
      Run r = spawn(driverArgs(data, overlay, true), script("big", "net wifi\ntap 4\nwait 3\nquit\n").string());
      peaks.push_back(static_cast<double>(r.maxRssKb));
    }
    std::printf("30 MB feed: peak resident %.0f MB for a %.1f MB feed: %.1fx (target <= 6x)\n", median(peaks) / 1024,
                feedKb / 1024, median(peaks) / feedKb);
  }

  void manyAttributes() {
    fs::path overlay = root / "attrs";
    std::string bad = "<?xml version=\"1.0\"?>\n<NewDataSet>\n" + newsItem(0) + "<news";
    for (int i = 0; i < 200000; ++i) bad += " a" + std::to_string(i) + "=\"1\"";
    bad += ">\n</news>\n</NewDataSet>\n";
    write(overlay / "campus/Data/xml/news-0.xml", bad);
    fs::path normalOverlay = root / "attrs-normal";
    write(normalOverlay / "campus/Data/xml/news-0.xml", newsFeed(bad.size(), 0));
    fs::path commands = script("attrs", "net wifi\ntap 4\nwait 3\nquit\n");
    fs::path data = root / "attrs-data";
    std::vector<double> hostile, normal;
    for (int i = 0; i < 3; ++i) {
      prepareDataDir(data);
      hostile.push_back(spawn(driverArgs(data, overlay, true), commands.string()).seconds);
      prepareDataDir(data);
      normal.push_back(spawn(driverArgs(data, normalOverlay, true), commands.string()).seconds);
    }
    std::printf("an element with 200,000 attributes (%.1f MB): %.3f s, a normal feed of that size %.3f s: "
                "%.2f s more (target <= 2 s)\n",
                static_cast<double>(bad.size()) / (1 << 20), median(hostile), median(normal),
                median(hostile) - median(normal));
  }
};

}  // namespace

int main(int argc, char** argv) {
  Bench b;
  b.driver = std::string(YX_SOURCE_DIR) + "/build/bin/yunxiu-cli";
  if (!fs::exists(b.driver)) b.driver = std::string(YX_BINARY_DIR) + "/bin/yunxiu-cli";
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "--driver") b.driver = argv[++i];
    else if (std::string(argv[i]) == "--reps") b.reps = std::max(1, std::atoi(argv[++i]));
  }
  char tmpl[] = "/tmp/yx-driver-bench-XXXXXX";
  const char* dir = ::mkdtemp(tmpl);
  if (dir == nullptr) return 1;
  b.root = dir;
  std::printf("driver: %s\n", b.driver.c_str());
  b.coldStart();
  b.newsFeed10k();
  b.activities40k();
  b.bigFeedMemory();
  b.manyAttributes();
  fs::remove_all(b.root);
  return 0;
}
