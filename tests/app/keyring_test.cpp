// Passwords in the desktop's keyring: the text driver run as a person runs
// it, under a private session bus with a GNOME keyring daemon started for
// the test in a temporary HOME. The keyring is read back over D-Bus by
// Python (tests/app/keyring_items.py), the data folder by grep and plistlib.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/scratch.h"

namespace {

using yx::test::readWhole;

std::string between(const std::string& text, const std::string& from, const std::string& to) {
  size_t a = text.find(from), b = text.find(to, a == std::string::npos ? 0 : a);
  return a == std::string::npos ? "" : text.substr(a, b == std::string::npos ? std::string::npos : b - a);
}

// A temporary HOME with a data folder; scripts run in it inside a private
// session bus (with an unlocked keyring, or a bus only), or with no bus.
// In a script: `app [options] <<'X' … X` runs the text driver on the data
// folder, `items` lists the app's keyring items, `items lock` locks the
// keyring, and descriptor 3 writes into the bus's own log.
class KeyringTest : public ::testing::Test {
protected:

  enum class Bus { Keyring, BusOnly, None };

  // Runs the script; returns what its body printed (both streams).
  std::string session(const std::string& body, Bus bus = Bus::Keyring) {
    const std::string script = home_ + "/script.sh", out = home_ + "/out.txt";
    std::ofstream s(script);
    s << "export HOME='" << home_ << "' XDG_RUNTIME_DIR='" << home_ << "/run'\nmkdir -p -m 700 \"$XDG_RUNTIME_DIR\"\n"
      << "app() { '" << YX_BINARY_DIR << "/bin/yunxiu-cli' --clock virtual --now 2026-12-07T09:30:00+08:00"
      << " --tz Asia/Taipei --data-dir '" << data_ << "' --secrets keyring --sim-log \"$HOME/sim.log\" \"$@\"; }\n"
      << "items() { /usr/bin/python3 '" << YX_SOURCE_DIR << "/tests/app/keyring_items.py' \"$@\"; }\n";
    if (bus == Bus::Keyring) s << "printf pw | gnome-keyring-daemon --unlock --components=secrets >/dev/null 2>&1\n";
    s << "exec 3>&2\n{\n" << body << "\n} > '" << out << "' 2>&1\n";
    s.close();
    std::string cmd = bus == Bus::None ? "env -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY -u WAYLAND_DISPLAY bash "
                                       : "dbus-run-session -- bash ";
    int rc = std::system(("timeout 120 " + cmd + script + " >'" + home_ + "/bus.txt' 2>&1").c_str());
    EXPECT_EQ(WEXITSTATUS(rc), 0) << readWhole(out);
    return readWhole(out);
  }
  std::string busLog() { return readWhole(home_ + "/bus.txt"); }

  // An earlier run's settings file, written by Python's plistlib.
  void plantSettings(const std::string& pythonDict) {
    std::filesystem::create_directories(data_);
    std::ofstream(home_ + "/plant.py") << "import plistlib,sys\nplistlib.dump(" << pythonDict << ", open(sys.argv[1], 'wb'))\n";
    ASSERT_EQ(std::system(("/usr/bin/python3 " + home_ + "/plant.py " + data_ + "/settings.plist").c_str()), 0);
  }
  // The settings file as Python reads it: "key=value" lines.
  std::string fileSettings() {
    return yx::test::runShell("/usr/bin/python3 -c 'import plistlib,sys\nfor k,v in plistlib.load(open(sys.argv[1],"
                              "\"rb\")).items(): print(k+\"=\"+str(v))' " + data_ + "/settings.plist").out;
  }
  // Files under the data folder that hold `text` anywhere.
  std::string filesHolding(const std::string& text) {
    std::ofstream(home_ + "/needle") << text << "\n";
    return yx::test::runShell("grep -rlF -f '" + home_ + "/needle' '" + data_ + "'").out;
  }
  std::string item(const std::string& key, const std::string& label, const std::string& secret) {
    return key + " | " + data_ + " | 雲岫學苑: " + label + " | " + secret + "\n";
  }

  yx::test::ScratchDir scratch_;
  const std::string home_ = scratch_.path, data_ = home_ + "/data";
};

// A run of the text driver in a script: one step a line, each of one or
// more commands ("a\nb"), then quit.
std::string app(std::initializer_list<const char*> steps, const std::string& options = "") {
  std::string run = "app " + options + " <<'X'\n";
  for (const char* step : steps) run += std::string(step) + "\n";
  return run + "quit\nX\n";
}

const std::string kStudentSignIn =
    app({"tap 3\ntap examListBtn\ntype idField 41120307\ntype passwordField cloud 8,7:sky\ntap inquiryBtn\nwait 1.5"});

// Every sign-in as a person makes it: each password lands in the keyring
// (the teacher's as its encoding for the service) and nowhere in the data
// folder, each service is still signed in after a restart, another data
// folder sees none of them, and each logout takes its own away.
TEST_F(KeyringTest, EveryPasswordLivesOnlyInTheKeyringAcrossRestartsUntilItsLogout) {
  plantSettings("{'個人資料': '填寫過'}");
  std::string out = session(
      kStudentSignIn +
      app({"tap 21\ntap 0\ntype idField 30127\ntype pwField cs201,data:78\ntap inquiryBtn\nwait 0.2\ntap 1",
           "tap 19\ntap 3 借閱紀錄\ntype libIDField 123456\ntype libPWField lib2026\ntap inquiryBtn\nwait 0.2\ntap 1",
           "tap 17\ntype accountField s1101001\ntype passwordField wyn2026\ntap 3\nwait 3",
           "tap 14\nwait 0.2\ntap homeButton\ntap 14\ntap 4 我的網路電話",
           "type accountField s1101001\ntype passwordField wyn2026\ntap submitBtn"},
          "--ifaddrs wlan0=10.1.12.4") +
      "echo '--- items'\nitems\necho '--- restart'\n" + app({"settings", "tap 3\ntap courseListBtn\nwait 1.5"}) +
      "echo '--- other folder'\n" + app({"settings"}, "--data-dir \"$HOME/other\"") + "echo '--- logouts'\n" +
      app({"tap 3\ntap logoutBtn\nalert 0\ntap 1", "tap 21\ntap logout\nalert 0\ntap 1",
           "tap 19\ntap 3 登出\nalert 0\ntap 1", "tap 14\ntap 4 我的網路電話\ntap logOut"}) +
      "echo '--- items after'\nitems\n");
  EXPECT_EQ(out.find("yunxiu:"), std::string::npos) << out;  // a keyring answered: nothing to say
  const std::string items = between(out, "--- items\n", "--- restart");
  const std::string teacher = between(items, "teacherPW", "\n").substr(std::string("teacherPW").size());
  const std::string encoded = teacher.substr(teacher.rfind(" | ") + 3);
  EXPECT_EQ(encoded.size(), std::string("cs201,data:78").size()) << items;
  EXPECT_EQ(items, "--- items\n" + item("libPW", "圖書館密碼", "lib2026") + item("teacherPW", "教師密碼", encoded) +
                       item("userPhoneData", "網路電話密碼", "k3Yp9qTe") + item("wifiPass", "無線網路密碼", "wyn2026") +
                       item("密碼", "學生密碼", "cloud 8,7:sky"));
  // After a restart every service reads as before; the course list opens at
  // once and signs with the password from the keyring.
  const std::string restart = between(out, "--- restart", "--- other folder");
  for (const std::string& line : std::vector<std::string>{
           "setting 學號: 41120307", "setting 密碼: cloud 8,7:sky", "setting teacherID: 30127", "setting teacherPW: " + encoded,
        "setting libPW: lib2026", "setting wifiPass: wyn2026", "setting userPhoneData: {username: 88410101, password: k3Yp9qTe}",
        "screen: inquiryResultsViewController depth 4"})
    EXPECT_NE(restart.find(line + "\n"), std::string::npos) << line << "\n" << restart;
  EXPECT_EQ(readWhole(home_ + "/sim.log").find("\"check\":\"password\""), std::string::npos);
  const std::string other = between(out, "--- other folder", "--- logouts");
  for (const char* key : {"PW:", "密碼:", "wifiPass:", "userPhoneData:"})
    EXPECT_EQ(other.find(key), std::string::npos) << key << other;
  for (const std::string& secret : {std::string("cloud 8,7:sky"), std::string("cs201,data:78"), encoded,
                                    std::string("lib2026"), std::string("wyn2026"), std::string("k3Yp9qTe")})
    EXPECT_EQ(filesHolding(secret), "") << secret;
  // Only the Wi-Fi password, which no logout removes, is left.
  EXPECT_EQ(between(out, "--- items after", "\n\n"), "--- items after\n" + item("wifiPass", "無線網路密碼", "wyn2026"));
}

// Passwords an earlier run left in the file move to the keyring at start
// and read as before. Locked, and its user saying no, the keyring makes
// every service read as signed out, so no empty password is ever sent; it
// is asked once a run, and a timed refresh, which nobody watches, does not
// ask at all.
TEST_F(KeyringTest, FilePasswordsMoveToTheKeyringAndALockedOneReadsAsSignedOut) {
  plantSettings("{'個人資料': '填寫過', '學號': '41120307', '密碼': 'cloud 8,7:sky', 'stuSubjectNoAry': ['1001'],"
                " 'libID': 'L123', 'libPW': 'lib pw', 'userPhoneData': {'username': 'sip-user', 'password': 'sip pw'}}");
  std::string out = session(app({"settings"}) + "echo '--- items'\nitems\nitems lock\n" +
                            "echo '--- refresh' >&3\napp --background-fetch\necho \"--- refresh done $?\" >&3\n" +
                            "echo '--- locked'\n" + app({"settings", "tap 3\ntap examListBtn"}));
  const std::string moved = between(out, "setting", "--- items");
  for (const char* line : {"setting 學號: 41120307\n", "setting 密碼: cloud 8,7:sky\n", "setting libPW: lib pw\n",
                           "setting userPhoneData: {username: sip-user, password: sip pw}\n"})
    EXPECT_NE(moved.find(line), std::string::npos) << line << moved;
  EXPECT_EQ(between(out, "--- items", "--- locked"),
            "--- items\n" + item("libPW", "圖書館密碼", "lib pw") + item("userPhoneData", "網路電話密碼", "sip pw") +
                item("密碼", "學生密碼", "cloud 8,7:sky"));
  const std::string file = fileSettings();
  EXPECT_EQ(file.find("pw"), std::string::npos) << file;
  EXPECT_NE(file.find("userPhoneData={'username': 'sip-user'}\n"), std::string::npos) << file;
  EXPECT_NE(file.find("學號=41120307\n"), std::string::npos) << file;  // nothing else moved or lost

  const std::string locked = between(out, "--- locked", "\n\n");
  for (const char* key : {"學號", "密碼", "libPW", "userPhoneData"})
    EXPECT_EQ(locked.find(std::string("setting ") + key + ":"), std::string::npos) << key << locked;
  EXPECT_NE(locked.find("setting libID: L123\n"), std::string::npos) << locked;
  EXPECT_NE(locked.find("screen: testListViewController depth 3"), std::string::npos) << locked;  // the sign-in form
  EXPECT_EQ(readWhole(home_ + "/sim.log").find("\"kind\":\"academic\""), std::string::npos);
  const std::string bus = busLog();
  ASSERT_NE(bus.find("--- refresh done 0\n"), std::string::npos) << bus;
  const std::string asked = "Activating service name='org.gnome.keyring.SystemPrompter'";
  EXPECT_EQ(between(bus, "--- refresh\n", "--- refresh done").find(asked), std::string::npos) << bus;
  // A person's run asks once, however many passwords it then reads.
  const size_t first = bus.find(asked, bus.find("--- refresh done"));
  EXPECT_NE(first, std::string::npos) << bus;
  EXPECT_EQ(bus.find(asked, first + 1), std::string::npos) << bus;
}

// No Secret Service at all (no bus), or one whose keyring cannot be written
// to (a headless machine with the daemon installed): the password is not
// lost, it stays in the owner-only file, and each run says why in one line.
TEST_F(KeyringTest, WithoutAKeyringToWriteToThePasswordStaysInTheFileSaidOnceARun) {
  for (auto [bus, said] : {std::pair{Bus::None, "yunxiu: passwords stay in " + data_ + "/settings.plist"},
                           std::pair{Bus::BusOnly, std::string("yunxiu: the keyring did not take 雲岫學苑: 學生密碼")}}) {
    std::filesystem::remove_all(data_);
    plantSettings("{'個人資料': '填寫過'}");
    std::string out = session(kStudentSignIn + app({"settings 密碼"}), bus);
    size_t lines = 0;
    for (size_t at = out.find(said); at != std::string::npos; at = out.find(said, at + 1)) ++lines;
    EXPECT_EQ(lines, 2u) << out;
    EXPECT_NE(out.find("setting 密碼: cloud 8,7:sky\n"), std::string::npos) << out;
    EXPECT_EQ(filesHolding("cloud 8,7:sky"), data_ + "/settings.plist\n");
    struct stat st {};
    ASSERT_EQ(::stat((data_ + "/settings.plist").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
  }
}

}  // namespace
