#pragma once
// The text driver: reads commands, acts on the top screen as a person would,
// and prints the screen after each command. Both front-ends use it: the
// terminal program for scripts and tests, the window for --script replays.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/device.h"

namespace yx {
namespace sim {
class CampusSim;
}

struct DriverOptions {
  std::string dataDir;     // default $XDG_DATA_HOME/yunxiu
  std::string configFile;  // empty: the embedded simulator
  bool virtualClock = false;
  std::string now;         // ISO-8601 start time for the virtual clock
  std::string timeZone;    // IANA zone; default the machine's
  std::string scriptFile;
  std::string simLog, simData;
  double canvasWidth = 0, canvasHeight = 0;  // --canvas WxH in points; 0: the design size 320x568
  std::string ifaddrs;      // --ifaddrs NAME=IPV4[,NAME=IPV4…] or "none"; empty: the kernel's list
  std::string resourcesDir; // --resources DIR
  // --secrets keyring|file: where passwords live. "keyring": the desktop's
  // Secret Service when one answers, else the settings file. The programs
  // take the environment's YUNXIU_SECRETS, else "keyring"; an app built in
  // a test keeps them in its own file unless it asks.
  std::string secrets = "file";
  bool secretsGiven = false;   // --secrets was on the command line
  bool keyringMayAsk = true;   // false: a locked keyring is never asked to open (work nobody watches)
  // How long start() waits for another program to let go of the data folder.
  double lockWaitSeconds = 30;
  std::vector<std::string> rest;  // arguments the caller handles itself
};

// "wlan0=10.1.12.4,eth0=192.168.0.2" as an interface list; "none" is an
// empty list (the front-ends then treat the list as unreadable). Nothing when
// the text is not such a list.
std::optional<std::vector<InterfaceAddress>> parseInterfaceList(const std::string& text);

// Parses the shared options; on a bad option returns the one-line message.
std::optional<std::string> parseDriverOptions(int argc, char** argv, DriverOptions& out,
                                              bool allowUnknown = false);
std::string driverUsage();

class Driver {
public:
  using DelegateFactory = std::function<std::shared_ptr<ApplicationDelegate>()>;
  explicit Driver(DriverOptions options);
  ~Driver();

  // Prepares the data folder, clock, deployment (or the embedded simulator)
  // and launches the application. Returns the error line on failure.
  std::optional<std::string> start(DelegateFactory makeDelegate);
  void stop();

  // Everything start() does before the application launches. The data
  // folder is locked first ("<data dir>/.lock", an exclusive flock held until
  // stop()): with `waitForLock` for up to lockWaitSeconds, else one try.
  // When another program holds it, the error is "data folder <dir> is in
  // use", dataFolderBusy() is true and nothing in the folder was touched.
  std::optional<std::string> prepare(bool waitForLock = true);
  bool dataFolderBusy() const { return busy_; }

  // Runs one command line and returns its output (the screen after it, or
  // one "error: ..." line). Sets quit() on "quit".
  std::string execute(const std::string& line);
  bool quitRequested() const { return quit_; }

  // The screen as text.
  std::string dump() const;

  // Lets pending work run: timers due now and finished background results.
  // With the system clock, up to `graceSeconds` of real time pass first, so
  // the short delays screens use after a touch (0.1 s before a prompt) are
  // over; it ends sooner when nothing is due within that time.
  void settle(double graceSeconds = 0);

  const DriverOptions& options() const { return opts_; }
  sim::CampusSim* simulator() const { return sim_.get(); }

private:
  std::string run(const std::vector<std::string>& words, const std::string& rest);
  DriverOptions opts_;
  std::unique_ptr<sim::CampusSim> sim_;
  bool quit_ = false;
  bool busy_ = false;
  int lockFd_ = -1;
  std::string lastListing_;  // output of the listing commands
};

// Splits "cmd a b rest of line" into words; `restFrom(n)` is the text after the n-th word.
std::vector<std::string> splitWords(const std::string& line);
std::string textAfterWords(const std::string& line, size_t n);
// One-line form of a text: newline as \n, tab as \t, carriage return as \r,
// and every other character a line splitter may break at (C0 and C1 controls,
// DEL, U+2028, U+2029) as \uXXXX.
std::string oneLine(const std::string& s);

}  // namespace yx
