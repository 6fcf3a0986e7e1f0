// The refresh without a window as the systemd timer runs it: the real
// yunxiu-cli program against its embedded simulator, notices handed to a
// stand-in notification service on a private session bus, the data-folder
// lock, and the unit files of the refresh timer (checked by systemd-analyze
// where it is installed).

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "app/cli/driver.h"
#include "tests/support/app_fixture.h"
#include "tests/support/scratch.h"

namespace yx::test {
namespace {

namespace fs = std::filesystem;

// Runs a shell command line, both output streams together.
ShellResult shell(const std::string& command) { return runShell(command + " 2>&1"); }

const std::string kCli = YX_BINARY_DIR "/bin/yunxiu-cli";
const std::string kStandin = YX_BINARY_DIR "/tests/notify_standin";

class HeadlessTest : public ::testing::Test {
protected:
  ScratchDir scratch;
  const fs::path root = scratch.path;
  void SetUp() override {
    fs::create_directories(root / "data");
    fs::create_directories(root / "overlay/campus/data/xml");
    fs::create_directories(root / "runtime");
    fs::permissions(root / "runtime", fs::perms::owner_all, fs::perm_options::replace);
  }
  void TearDown() override {
    if (busPid > 0) ::kill(busPid, SIGTERM);
  }

  // A signed-in student and the feed of one change of theirs.
  void presetStudentAndFeed() {
    std::string plist =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
        "<key>學號</key><string>41120307</string>"
        "<key>stuSubjectNoAry</key><array><string>3081</string></array></dict></plist>\n";
    std::ofstream(root / "data/settings.plist") << plist;
    std::ofstream(root / "overlay/campus/data/xml/lve_reg.xml")
        << "<NewDataSet><lve_reg><序號>3081</序號><系級>資工二A</系級><科目>資料結構</科目><教師>林雨澄</教師>"
           "<原始>12/8(二)第1節</原始><異動>12/16</異動></lve_reg></NewDataSet>";
  }

  std::string fetchCommand(const std::string& env) {
    return env + " '" + kCli + "' --background-fetch --data-dir '" + (root / "data").string() +
           "' --clock virtual --now 2026-12-07T09:30:00+08:00 --tz Asia/Taipei --sim-data '" +
           (root / "overlay").string() + "'";
  }

  // A private session bus with the stand-in notification service on it.
  std::string startBus() {
    ShellResult r = shell("dbus-daemon --session --fork --print-address=1 --print-pid=1");
    auto l = nonEmptyLines(r.out);
    if (r.status != 0 || l.size() < 2) return {};
    busPid = std::stoi(l[1]);
    std::string address = l[0];
    std::string cmd = "DBUS_SESSION_BUS_ADDRESS='" + address + "' sh -c 'echo $$; exec \"" + kStandin + "\" \"" +
                      (root / "notify.log").string() + "\"'";
    standin = ::popen(cmd.c_str(), "r");
    char buf[64] = {};
    if (!standin || !std::fgets(buf, sizeof buf, standin)) return {};
    standinPid = std::atoi(buf);
    if (!std::fgets(buf, sizeof buf, standin) || std::string(buf) != "ready\n") return {};
    return address;
  }
  void stopStandin() {
    if (standinPid > 0) ::kill(standinPid, SIGTERM);
    if (standin) ::pclose(standin);
    standin = nullptr;
  }

  nlohmann::json plist(const std::string& name) {
    ShellResult r = shell("python3 -c 'import plistlib,json,sys\nprint(json.dumps(plistlib.load(open(sys.argv[1],\"rb\")),"
                  "ensure_ascii=False))' '" + (root / "data" / name).string() + "'");
    return nlohmann::json::parse(r.out, nullptr, false);
  }

  pid_t busPid = 0, standinPid = 0;
  FILE* standin = nullptr;
};

// With a desktop to show them, the new change's notice and its past
// reminder go out at once; without one (no session bus at all), every notice
// stays scheduled until a run that can show it.
TEST_F(HeadlessTest, NoticesGoToTheDesktopOrStayScheduledForTheNextRun) {
  const std::string body = "課程異動：\\n資料結構 林雨澄\\n12/8(二)第1節\\n異動：12/16";
  const std::vector<std::string> shownTwice = {"雲岫學苑\t雲岫學苑\t" + body, "雲岫學苑\t雲岫學苑\t" + body};
  for (bool busFirst : {true, false}) {
    SCOPED_TRACE(busFirst ? "with a desktop" : "without one");
    fs::remove_all(root / "data");
    fs::create_directories(root / "data");
    fs::remove(root / "notify.log");
    presetStudentAndFeed();
    if (!busFirst) {
      ShellResult first = shell(fetchCommand("DBUS_SESSION_BUS_ADDRESS=unix:path=" + (root / "nobus").string() +
                                             " XDG_RUNTIME_DIR=" + (root / "runtime").string()));
      EXPECT_EQ(first.status, 0) << first.out;
      // The at-once notice and all four reminders (one already past) are kept.
      EXPECT_EQ(plist("notifications.plist").size(), 5u);
      EXPECT_EQ(plist("settings.plist")["41120307stu_temp_allShowedSubjectAry"],
                nlohmann::json::array({"12/8(二)第1節12/16"}));
    }
    std::string bus = startBus();
    ASSERT_FALSE(bus.empty()) << "no private session bus";
    ShellResult r = shell(fetchCommand("DBUS_SESSION_BUS_ADDRESS='" + bus + "'"));
    EXPECT_EQ(r.status, 0) << r.out;
    stopStandin();
    ::kill(busPid, SIGTERM);
    busPid = 0;
    // Either way the notice and the past reminder reach the desktop once.
    EXPECT_EQ(nonEmptyLines(readWhole(root / "notify.log")), shownTwice);
    auto left = plist("notifications.plist");
    ASSERT_EQ(left.size(), 3u);
    EXPECT_EQ(left[0]["alertBody"], "課程異動：\n資料結構 林雨澄\n12/8(二)第1節\n異動：12/16");
  }
}

TEST_F(HeadlessTest, AHeldDataFolderIsLeftAloneByTheRefreshAndRefusedToOthers) {
  presetStudentAndFeed();
  std::string before = readWhole(root / "data/settings.plist");
  int fd = ::open((root / "data/.lock").c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);

  ShellResult r = shell(fetchCommand("DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent"));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(readWhole(root / "data/settings.plist"), before);
  EXPECT_FALSE(fs::exists(root / "data/notifications.plist"));
  EXPECT_FALSE(fs::exists(root / "data/Documents"));

  // The window and the driver wait for it, then give up with one line.
  resetGlobals();
  DriverOptions o;
  o.dataDir = (root / "data").string();
  o.virtualClock = true;
  o.lockWaitSeconds = 0.3;
  Driver d(o);
  auto err = d.start(nullptr);
  ASSERT_TRUE(err.has_value());
  EXPECT_EQ(*err, "data folder " + o.dataDir + " is in use");
  EXPECT_TRUE(d.dataFolderBusy());
  EXPECT_EQ(readWhole(root / "data/settings.plist"), before);

  // Once it is let go, the refresh runs.
  ::close(fd);
  r = shell(fetchCommand("DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent"));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(fs::exists(root / "data/notifications.plist"));
  resetGlobals();
}

// --------------------------------------------------------- refresh timer

class TimerTest : public HeadlessTest {
protected:
  std::string env(const std::string& path = "") {
    std::string e = "XDG_CONFIG_HOME='" + (root / "config").string() + "' XDG_RUNTIME_DIR='" +
                    (root / "runtime").string() + "'";
    if (!path.empty()) e += " PATH='" + path + ":" + std::getenv("PATH") + "'";
    return e;
  }
  fs::path units() { return root / "config/systemd/user"; }
  // A systemctl stand-in that records its arguments and fails when asked to.
  std::string fakeSystemctl(bool fail) {
    fs::create_directories(root / "bin");
    std::ofstream f(root / "bin/systemctl");
    f << "#!/bin/sh\necho \"$*\" >> '" << (root / "systemctl.log").string() << "'\n";
    if (fail) f << "echo 'Failed to connect to bus: No medium found' >&2\nexit 1\n";
    f.close();
    fs::permissions(root / "bin/systemctl", fs::perms::owner_all);
    return (root / "bin").string();
  }
};

TEST_F(TimerTest, UnitsRunThisProgramWithEveryPathAbsoluteAndQuoted) {
  fs::create_directories(root / "work");
  ShellResult r = shell("cd '" + (root / "work").string() + "' && " + env() + " '" + kCli +
                "' --install-refresh-timer --no-enable --data-dir 'my \"data\" 100% $HOME\\x' --tz Asia/Taipei"
                " --sim-data overlay");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(nonEmptyLines(r.out), (std::vector<std::string>{"wrote " + (units() / "yunxiu-refresh.service").string(),
                                                    "wrote " + (units() / "yunxiu-refresh.timer").string()}));
  std::string work = (root / "work").string();
  EXPECT_EQ(readWhole(units() / "yunxiu-refresh.service"),
            "[Unit]\nDescription=雲岫學苑 course-change refresh\n\n[Service]\nType=oneshot\nExecStart=\"" + kCli +
                "\" \"--background-fetch\" \"--data-dir\" \"" + work +
                "/my \\\"data\\\" 100%% $$HOME\\\\x\" \"--tz\" \"Asia/Taipei\" \"--sim-data\" \"" + work +
                "/overlay\"\n");
  std::string timer = readWhole(units() / "yunxiu-refresh.timer");
  EXPECT_NE(timer.find("[Timer]\nOnBootSec=5min\nOnUnitActiveSec=30min\n"), std::string::npos) << timer;
  EXPECT_NE(timer.find("[Install]\nWantedBy=timers.target\n"), std::string::npos) << timer;

  if (shell("command -v systemd-analyze").status != 0) GTEST_SKIP() << "systemd-analyze is not installed";
  ShellResult v = shell(env() + " systemd-analyze --user verify '" + (units() / "yunxiu-refresh.timer").string() + "' '" +
                (units() / "yunxiu-refresh.service").string() + "'");
  EXPECT_EQ(v.status, 0) << v.out;
}

TEST_F(TimerTest, EnablingAndRemovingGoThroughTheUserManager) {
  std::string bin = fakeSystemctl(false);
  ShellResult r = shell(env(bin) + " '" + kCli + "' --install-refresh-timer --data-dir '" + (root / "data").string() + "'");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(nonEmptyLines(r.out).back(), "enabled yunxiu-refresh.timer");
  r = shell(env(bin) + " '" + kCli + "' --remove-refresh-timer");
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(nonEmptyLines(r.out), (std::vector<std::string>{"removed " + (units() / "yunxiu-refresh.timer").string(),
                                                    "removed " + (units() / "yunxiu-refresh.service").string()}));
  EXPECT_FALSE(fs::exists(units() / "yunxiu-refresh.timer"));
  EXPECT_EQ(nonEmptyLines(readWhole(root / "systemctl.log")),
            (std::vector<std::string>{"--user daemon-reload", "--user enable --now yunxiu-refresh.timer",
                                      "--user disable --now yunxiu-refresh.timer", "--user daemon-reload"}));
}

TEST_F(TimerTest, AUserManagerThatFailsLeavesTheFilesAndSaysWhy) {
  std::string bin = fakeSystemctl(true);
  ShellResult r = shell(env(bin) + " '" + kCli + "' --install-refresh-timer");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_EQ(nonEmptyLines(r.out).back(), "Failed to connect to bus: No medium found");
  EXPECT_TRUE(fs::exists(units() / "yunxiu-refresh.service"));
  EXPECT_TRUE(fs::exists(units() / "yunxiu-refresh.timer"));

  // A value a unit file cannot carry is refused before anything is written.
  fs::remove_all(units());
  r = shell(env(bin) + " '" + kCli + "' --install-refresh-timer --no-enable --data-dir \"$(printf 'a\\nb')\"");
  EXPECT_EQ(r.status, 2) << r.out;
  EXPECT_FALSE(fs::exists(units() / "yunxiu-refresh.service"));
}

}  // namespace
}  // namespace yx::test
