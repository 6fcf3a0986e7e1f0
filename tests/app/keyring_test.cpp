// Passwords in the desktop's keyring: the text driver run as a person runs
// it, under a private session bus with a GNOME keyring daemon started for
// the test in a temporary HOME. The keyring is read back over D-Bus by
// Python (tests/app/keyring_items.py), the data folder by grep and plistlib.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const std::string kPassword = "cloud 8,7:sky";

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// A temporary HOME with a data folder; scripts run in it, inside a private
// session bus (and, unless told otherwise, an unlocked keyring), or with no
// bus at all. Inside a script:
//   app [options] <<'X' … X   the text driver on the data folder, keyring on
//   items                     the app's items in the keyring, one a line
//   lock                      locks every keyring collection
class KeyringTest : public ::testing::Test {
protected:
  void SetUp() override {
    char tmpl[] = "/tmp/yx-keyring-XXXXXX";
    home_ = ::mkdtemp(tmpl);
    data_ = home_ + "/data";
  }
  void TearDown() override { std::filesystem::remove_all(home_); }

  enum class Bus { Keyring, BusOnly, None };

  // Runs a bash script; returns what its body printed (both streams).
  std::string session(const std::string& body, Bus bus = Bus::Keyring) {
    const std::string script = home_ + "/script.sh", out = home_ + "/out.txt";
    std::ofstream s(script);
    s << "export HOME='" << home_ << "' XDG_RUNTIME_DIR='" << home_ << "/run' DATA='" << data_ << "'\n"
      << "mkdir -p -m 700 \"$XDG_RUNTIME_DIR\"\n"
      << "app() { '" << YX_BINARY_DIR << "/bin/yunxiu-cli' --clock virtual --now 2026-12-07T09:30:00+08:00"
      << " --tz Asia/Taipei --data-dir \"$DATA\" --secrets keyring --sim-log \"$HOME/sim.log\" \"$@\"; }\n"
      << "items() { /usr/bin/python3 '" << YX_SOURCE_DIR << "/tests/app/keyring_items.py' \"$@\"; }\n"
      << "lock() { items lock; }\n";
    if (bus == Bus::Keyring)
      s << "printf pw | gnome-keyring-daemon --unlock --components=secrets >/dev/null 2>&1\n";
    // Descriptor 3 writes to the bus's own log (busLog()).
    s << "exec 3>&2\n{\n" << body << "\n} > '" << out << "' 2>&1\n";
    s.close();
    std::string cmd = bus == Bus::None
                          ? "env -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY -u WAYLAND_DISPLAY timeout 120 bash " + script
                          : "timeout 120 dbus-run-session -- bash " + script;
    int rc = std::system((cmd + " >'" + home_ + "/bus.txt' 2>&1").c_str());
    EXPECT_EQ(WEXITSTATUS(rc), 0) << slurp(out);
    return slurp(out);
  }

  // What the session bus said (which services it started) and the script's
  // lines to descriptor 3.
  std::string busLog() { return slurp(home_ + "/bus.txt"); }

  // An earlier run's settings file, written by Python's plistlib.
  void plantSettings(const std::string& pythonDict) {
    std::filesystem::create_directories(data_);
    std::ofstream(home_ + "/plant.py") << "import plistlib,sys\nplistlib.dump(" << pythonDict
                                       << ", open(sys.argv[1], 'wb'))\n";
    std::string cmd = "/usr/bin/python3 " + home_ + "/plant.py " + data_ + "/settings.plist";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
  }
  // The settings file as Python reads it: "key=value" lines, sorted.
  std::string fileSettings() {
    std::string cmd = "/usr/bin/python3 -c 'import plistlib,sys\nd=plistlib.load(open(sys.argv[1],\"rb\"))\n"
                      "print(\"\\n\".join(sorted(k+\"=\"+str(v) for k,v in d.items())))' " +
                      data_ + "/settings.plist";
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    char buf[4096];
    while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    pclose(p);
    return out;
  }
  // Files under the data folder holding `text` (grep -r).
  std::string filesHolding(const std::string& text) {
    std::ofstream(home_ + "/needle") << text << "\n";  // any character, no shell quoting
    std::string cmd = "grep -rlF -f '" + home_ + "/needle' '" + data_ + "' 2>/dev/null";
    std::string out;
    FILE* p = popen(cmd.c_str(), "r");
    char buf[4096];
    while (size_t n = fread(buf, 1, sizeof buf, p)) out.append(buf, n);
    pclose(p);
    return out;
  }

  std::string home_, data_;
};

const char* kSignIn = R"(app <<'X'
tap 3
tap examListBtn
type idField 41120307
type passwordField cloud 8,7:sky
tap inquiryBtn
wait 1.5
quit
X
)";

TEST_F(KeyringTest, SignedInAcrossRestartsWithTheOnlyCopyInTheKeyringUntilLogout) {
  plantSettings("{'個人資料': '填寫過'}");
  std::string out = session(std::string(kSignIn) + R"(
echo '--- items'
items
echo '--- restart'
app <<'X'
settings 學號
settings 密碼
tap 3
tap courseListBtn
wait 1.5
quit
X
echo '--- other folder'
app --data-dir "$HOME/other" <<'X'
settings 密碼
quit
X
echo '--- logout'
app <<'X'
tap 3
tap logoutBtn
alert 0
settings 密碼
quit
X
echo '--- items after'
items
)");
  auto part = [&](const std::string& from, const std::string& to) {
    size_t a = out.find(from), b = out.find(to);
    return a == std::string::npos ? std::string() : out.substr(a, b == std::string::npos ? std::string::npos : b - a);
  };
  EXPECT_EQ(out.find("yunxiu:"), std::string::npos) << out;  // a keyring answered: nothing to say
  EXPECT_EQ(part("--- items", "--- restart"),
            "--- items\n密碼 | " + data_ + " | 雲岫學苑: 學生密碼 | " + kPassword + "\n");
  // A restart is still signed in: the course list opens at once and signs
  // with the password from the keyring.
  std::string restart = part("--- restart", "--- other folder");
  EXPECT_NE(restart.find("setting 學號: 41120307\n"), std::string::npos) << restart;
  EXPECT_NE(restart.find("setting 密碼: " + kPassword + "\n"), std::string::npos) << restart;
  EXPECT_NE(restart.find("screen: inquiryResultsViewController"), std::string::npos) << restart;
  std::string log = slurp(home_ + "/sim.log");
  EXPECT_NE(log.find("StuEleList2XML"), std::string::npos);
  EXPECT_EQ(log.find("\"check\":\"password\""), std::string::npos) << log;
  // Another data folder does not see this one's password.
  EXPECT_NE(part("--- other folder", "--- logout").find("setting 密碼: (absent)"), std::string::npos) << out;
  // Not one byte of it in any file of the data folder, then or after.
  EXPECT_EQ(filesHolding(kPassword), "");
  EXPECT_EQ(filesHolding("sky"), "");
  EXPECT_EQ(fileSettings().find("密碼="), std::string::npos);
  // Logout removes it from the keyring too.
  EXPECT_NE(part("--- logout", "--- items after").find("setting 密碼: (absent)"), std::string::npos) << out;
  EXPECT_EQ(part("--- items after", "\n\n"), "--- items after\n");
}

// The teacher, library, Wi-Fi and SIP sign-ins as a person makes them:
// every password lands in the keyring and nowhere in the data folder, each
// service is still signed in after a restart, and each logout takes its
// own away.
TEST_F(KeyringTest, TheTeacherLibraryWiFiAndSipPasswordsLiveOnlyInTheKeyring) {
  plantSettings("{'個人資料': '填寫過'}");
  std::string out = session(R"(
app --ifaddrs wlan0=10.1.12.4 <<'X'
tap 19
tap 3 借閱紀錄
type libIDField 123456
type libPWField lib2026
tap inquiryBtn
wait 0.2
tap 1
tap 17
type accountField s1101001
type passwordField wyn2026
tap 3
wait 3
tap 14
wait 0.2
tap homeButton
tap 14
tap 4 我的網路電話
type accountField s1101001
type passwordField wyn2026
tap submitBtn
alert 0
quit
X
app <<'X'
tap 21
tap 0
type idField 30127
type pwField cs201,data:78
tap inquiryBtn
wait 0.2
quit
X
echo '--- items'
items
echo '--- restart'
app <<'X'
settings
tap 21
tap logout
alert 0
tap 1
tap 17
tap 1
tap 19
tap 3 登出
alert 0
tap 1
tap 14
tap 4 我的網路電話
tap logOut
alert 0
quit
X
echo '--- items after'
items
)");
  const size_t items = out.find("--- items"), restart = out.find("--- restart"), after = out.find("--- items after");
  ASSERT_NE(after, std::string::npos) << out;
  // The teacher's password is kept as its encoding for the service.
  const std::string teacherItem = "teacherPW | " + data_ + " | 雲岫學苑: 教師密碼 | ";
  const size_t teacherAt = out.find(teacherItem);
  ASSERT_NE(teacherAt, std::string::npos) << out;
  const size_t encodedAt = teacherAt + teacherItem.size();
  const std::string encoded = out.substr(encodedAt, out.find('\n', encodedAt) - encodedAt);
  EXPECT_EQ(out.substr(items, restart - items),
            "--- items\n"
            "libPW | " + data_ + " | 雲岫學苑: 圖書館密碼 | lib2026\n" + teacherItem + encoded + "\n" +
            "userPhoneData | " + data_ + " | 雲岫學苑: 網路電話密碼 | k3Yp9qTe\n"
            "wifiPass | " + data_ + " | 雲岫學苑: 無線網路密碼 | wyn2026\n");
  ASSERT_EQ(encoded.size(), std::string("cs201,data:78").size()) << encoded;
  const std::string again = out.substr(restart, after - restart);
  EXPECT_TRUE(again.find("setting teacherID: 30127\n") != std::string::npos) << again;
  EXPECT_TRUE(again.find("setting teacherPW: " + encoded + "\n") != std::string::npos) << again;
  EXPECT_TRUE(again.find("setting libPW: lib2026\n") != std::string::npos) << again;
  EXPECT_TRUE(again.find("setting wifiPass: wyn2026\n") != std::string::npos) << again;
  EXPECT_TRUE(again.find("setting userPhoneData: {username: 88410101, password: k3Yp9qTe}\n") != std::string::npos)
      << again;
  // The Wi-Fi form is filled from the keyring; the stored account shows.
  EXPECT_TRUE(again.find("field passwordField: *******\n") != std::string::npos) << again;
  EXPECT_TRUE(again.find("screen: myPhoneAccountViewController") != std::string::npos) << again;
  for (const std::string& typed : {std::string("lib2026"), std::string("wyn2026"), std::string("k3Yp9qTe"),
                                   std::string("cs201,data:78"), encoded})
    EXPECT_EQ(filesHolding(typed), "") << typed;
  // The teacher, library and SIP logouts take their passwords out of the keyring.
  EXPECT_EQ(out.substr(after), "--- items after\nwifiPass | " + data_ + " | 雲岫學苑: 無線網路密碼 | wyn2026\n");
}

TEST_F(KeyringTest, PasswordsFoundInTheFileMoveToTheKeyringAtStartAndReadAsBefore) {
  plantSettings(
      "{'個人資料': '填寫過', '學號': '41120307', '密碼': 'cloud 8,7:sky', 'teacherID': 'T0042',"
      " 'teacherPW': 'enc:pw', 'libID': 'L123', 'libPW': 'lib pw', 'wifiUser': 'w1', 'wifiPass': 'wifi pw',"
      " 'userPhoneNumber': '0912', 'userPhoneData': {'username': 'sip-user', 'password': 'sip pw'}}");
  const std::string before = fileSettings();
  std::string out = session(R"(
app <<'X'
settings
quit
X
echo '--- items'
items
echo '--- again'
app <<'X'
settings
quit
X
)");
  // Every key reads as it did from the file, in both runs.
  for (const char* line :
       {"setting 密碼: cloud 8,7:sky\n", "setting 學號: 41120307\n", "setting teacherPW: enc:pw\n",
        "setting teacherID: T0042\n", "setting libPW: lib pw\n", "setting wifiPass: wifi pw\n",
        "setting userPhoneData: {username: sip-user, password: sip pw}\n"}) {
    size_t first = out.find(line);
    EXPECT_NE(first, std::string::npos) << line << out;
    EXPECT_NE(out.find(line, out.find("--- again")), std::string::npos) << line << out;
  }
  const std::string items = out.substr(out.find("--- items"), out.find("--- again") - out.find("--- items"));
  EXPECT_EQ(items, "--- items\n"
                   "libPW | " + data_ + " | 雲岫學苑: 圖書館密碼 | lib pw\n"
                   "teacherPW | " + data_ + " | 雲岫學苑: 教師密碼 | enc:pw\n"
                   "userPhoneData | " + data_ + " | 雲岫學苑: 網路電話密碼 | sip pw\n"
                   "wifiPass | " + data_ + " | 雲岫學苑: 無線網路密碼 | wifi pw\n"
                   "密碼 | " + data_ + " | 雲岫學苑: 學生密碼 | cloud 8,7:sky\n");
  // The file keeps everything else, without a password.
  EXPECT_EQ(fileSettings().find("pw"), std::string::npos) << fileSettings();
  EXPECT_NE(fileSettings().find("userPhoneData={'username': 'sip-user'}"), std::string::npos) << fileSettings();
  EXPECT_NE(before.find("libPW=lib pw"), std::string::npos);
  EXPECT_EQ(filesHolding("sip pw"), "");
  EXPECT_EQ(filesHolding("cloud 8,7"), "");
}

TEST_F(KeyringTest, ALockedKeyringItsUserRefusesReadsAsSignedOutAndSendsNothing) {
  plantSettings("{'個人資料': '填寫過', 'libID': 'L123', 'libPW': 'lib pw', 'stuSubjectNoAry': ['1001'],"
                " 'userPhoneData': {'username': 'sip-user', 'password': 'sip pw'}}");
  // Unlocking needs a prompt; without a display the prompt cannot show,
  // which the keyring takes as the user's refusal.
  std::string out = session(std::string(kSignIn) + R"(
lock
echo '--- refresh' >&3
app --background-fetch
echo "--- refresh done $?" >&3
echo '--- locked'
app <<'X'
settings
tap 3
tap examListBtn
quit
X
)");
  // A timed refresh, which nobody watches, never asks to open the keyring;
  // a person's run does.
  const std::string bus = busLog();
  const size_t refresh = bus.find("--- refresh\n"), done = bus.find("--- refresh done 0\n");
  ASSERT_NE(done, std::string::npos) << bus;
  EXPECT_EQ(bus.substr(refresh, done - refresh).find("Prompter"), std::string::npos) << bus;
  EXPECT_NE(bus.find("Prompter", done), std::string::npos) << bus;
  std::string locked = out.substr(out.find("--- locked"));
  for (const char* key : {"學號", "密碼", "libPW", "userPhoneData"})
    EXPECT_EQ(locked.find(std::string("setting ") + key + ":"), std::string::npos) << key << locked;
  EXPECT_NE(locked.find("setting libID: L123"), std::string::npos) << locked;
  // Signed out: the timetable asks for a sign-in instead of sending an
  // empty password.
  EXPECT_NE(locked.find("screen: testListViewController depth 3"), std::string::npos) << locked;
  std::string log = slurp(home_ + "/sim.log");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << log;  // the first run's probe and fetch only
  // Nothing was lost: the file still holds the student number.
  EXPECT_NE(fileSettings().find("學號=41120307"), std::string::npos);
}

TEST_F(KeyringTest, WithoutASecretServiceThePasswordStaysInTheOwnerOnlyFileAndTheAppSaysWhyOnce) {
  plantSettings("{'個人資料': '填寫過'}");
  std::string out = session(std::string(kSignIn) + "app <<'X'\nsettings 密碼\nquit\nX\n", Bus::None);
  // One line a run, naming the file and the reason.
  size_t said = 0;
  for (size_t at = 0; (at = out.find("yunxiu: passwords stay in " + data_ + "/settings.plist", at)) != std::string::npos;
       ++at)
    ++said;
  EXPECT_EQ(said, 2u) << out;
  EXPECT_NE(out.find("setting 密碼: " + kPassword), std::string::npos) << out;
  EXPECT_NE(fileSettings().find("密碼=" + kPassword), std::string::npos);
  EXPECT_EQ(filesHolding(kPassword), data_ + "/settings.plist\n");  // the same look finds it when it is there
  struct stat st {};
  ASSERT_EQ(::stat((data_ + "/settings.plist").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// A bus whose keyring daemon starts on demand without a keyring to write
// to (a headless machine with the daemon installed): the password is not
// lost, it stays in the file, and that is said once a run.
TEST_F(KeyringTest, AKeyringThatDoesNotTakeThePasswordLeavesItInTheFile) {
  plantSettings("{'個人資料': '填寫過'}");
  std::string out = session(std::string(kSignIn) + "app <<'X'\nsettings 密碼\nsettings 學號\nquit\nX\n", Bus::BusOnly);
  size_t said = 0;
  for (size_t at = 0; (at = out.find("yunxiu: the keyring did not take 雲岫學苑: 學生密碼", at)) != std::string::npos; ++at)
    ++said;
  EXPECT_EQ(said, 2u) << out;
  EXPECT_NE(out.find("setting 密碼: " + kPassword), std::string::npos) << out;
  EXPECT_NE(out.find("setting 學號: 41120307"), std::string::npos) << out;
  EXPECT_NE(fileSettings().find("密碼=" + kPassword), std::string::npos);
}

// Where passwords live is part of how the refresh timer runs the program
// when it was chosen on the command line.
TEST_F(KeyringTest, TheRefreshTimerKeepsAChosenPlaceForPasswords) {
  const std::string cli = std::string(YX_BINARY_DIR) + "/bin/yunxiu-cli";
  const std::string env = "env XDG_CONFIG_HOME='" + home_ + "/config' HOME='" + home_ + "' ";
  ASSERT_EQ(std::system((env + cli + " --install-refresh-timer --no-enable --data-dir '" + data_ +
                         "' --secrets file >/dev/null 2>&1").c_str()),
            0);
  std::string unit = slurp(home_ + "/config/systemd/user/yunxiu-refresh.service");
  EXPECT_NE(unit.find("\"--data-dir\" \"" + data_ + "\" \"--secrets\" \"file\"\n"), std::string::npos) << unit;
  // Not chosen (the environment's choice included): the service decides
  // for itself when it runs.
  ASSERT_EQ(std::system((env + cli + " --install-refresh-timer --no-enable --data-dir '" + data_ + "' >/dev/null 2>&1")
                            .c_str()),
            0);
  unit = slurp(home_ + "/config/systemd/user/yunxiu-refresh.service");
  EXPECT_EQ(unit.find("--secrets"), std::string::npos) << unit;
}

}  // namespace
