#include "app/cli/background_fetch.h"

#include <libnotify/notify.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "core/app_delegate.h"
#include "platform/application.h"
#include "platform/files.h"
#include "platform/runloop.h"

namespace yx {

namespace {

constexpr const char* kServiceName = "yunxiu-refresh.service";
constexpr const char* kTimerName = "yunxiu-refresh.timer";

// Hands notifications to the desktop's notification service (libnotify over
// the session bus). False when none could take it: no bus, no service.
class DesktopNotifier {
public:
  ~DesktopNotifier() {
    if (ready_) notify_uninit();
  }
  bool show(const LocalNotification& n) {
    if (!tried_) {
      tried_ = true;
      // Its warnings ("Failed to connect to proxy") would only repeat what
      // the kept notifications already tell.
      g_log_set_handler("libnotify", static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE),
                        [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
      ready_ = notify_init("雲岫學苑");
      if (ready_) markup_ = serverTakesMarkup();
    }
    if (!ready_) return false;
    std::string body = n.alertBody;
    if (markup_) {
      gchar* escaped = g_markup_escape_text(body.c_str(), -1);
      body = escaped;
      g_free(escaped);
    }
    NotifyNotification* note = notify_notification_new("雲岫學苑", body.c_str(), "yunxiu");
    if (!note) return false;
    if (!n.soundName.empty()) notify_notification_set_hint_string(note, "sound-name", "message-new-instant");
    GError* error = nullptr;
    gboolean shown = notify_notification_show(note, &error);
    if (error) g_error_free(error);
    g_object_unref(G_OBJECT(note));
    // No bus or no service: the rest would fail the same way, slowly.
    if (!shown) ready_ = false;
    return shown;
  }

private:
  static bool serverTakesMarkup() {
    bool markup = false;
    GList* caps = notify_get_server_caps();
    for (GList* c = caps; c; c = c->next)
      if (std::string(static_cast<const char*>(c->data)) == "body-markup") markup = true;
    g_list_free_full(caps, g_free);
    return markup;
  }
  bool tried_ = false, ready_ = false, markup_ = false;
};

std::string absolutePath(const std::string& path) {
  std::error_code ec;
  auto p = std::filesystem::absolute(path, ec);
  return ec ? path : p.lexically_normal().string();
}

std::optional<std::string> quoteWord(const std::string& word) {
  std::string out = "\"";
  for (char c : word) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7f) return std::nullopt;
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '%': out += "%%"; break;
      case '$': out += "$$"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

std::string thisProgram() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

// Runs "systemctl --user ARGS"; its output (both streams) into `message`.
bool systemctl(const std::string& args, std::string& message) {
  std::string command = "systemctl --user " + args + " 2>&1";
  FILE* p = ::popen(command.c_str(), "r");
  if (!p) {
    message = "cannot run systemctl";
    return false;
  }
  char buf[512];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) message.append(buf, n);
  int status = ::pclose(p);
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  bool ok = status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!ok && message.empty()) message = "systemctl --user " + args + " failed";
  return ok;
}

std::string defaultDataDirectory() {
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) return std::string(x) + "/yunxiu";
  if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.local/share/yunxiu";
  return "yunxiu-data";
}

}  // namespace

std::optional<std::string> parseHeadlessRequest(DriverOptions& o, HeadlessRequest& out) {
  bool noEnable = false;
  for (const std::string& word : o.rest) {
    HeadlessCommand c = HeadlessCommand::None;
    if (word == "--background-fetch") c = HeadlessCommand::BackgroundFetch;
    else if (word == "--install-refresh-timer") c = HeadlessCommand::InstallTimer;
    else if (word == "--remove-refresh-timer") c = HeadlessCommand::RemoveTimer;
    else if (word == "--no-enable") noEnable = true;
    else return "unknown option '" + word + "'";
    if (c != HeadlessCommand::None) {
      if (out.command != HeadlessCommand::None && out.command != c)
        return "--background-fetch, --install-refresh-timer and --remove-refresh-timer go one at a time";
      out.command = c;
    }
  }
  o.rest.clear();
  out.enable = !noEnable;
  if (noEnable && out.command != HeadlessCommand::InstallTimer && out.command != HeadlessCommand::RemoveTimer)
    return "--no-enable goes with --install-refresh-timer or --remove-refresh-timer";
  if (out.command != HeadlessCommand::None && (!o.scriptFile.empty() || o.canvasWidth > 0))
    return "the refresh runs without a screen: --script and --canvas do not apply";
  return std::nullopt;
}

// ------------------------------------------------------------------ refresh

int runBackgroundFetch(const DriverOptions& options) {
  Driver driver(options);
  auto err = driver.prepare(/*waitForLock=*/false);
  if (driver.dataFolderBusy()) return 0;  // the window or another refresh is at it
  if (err) {
    std::cerr << "yunxiu-cli: " << *err << "\n";
    return 2;
  }
  auto& app = Application::shared();
  // Notices go to the desktop now; what it does not take stays scheduled
  // (and saved) for the window or the next run.
  app.setDeliversWhenDue(false);
  DesktopNotifier notifier;
  app.setNotificationGate([&notifier](const LocalNotification& n) { return notifier.show(n); });
  auto delegate = std::make_shared<corvaleAppDelegate>();
  app.setDelegate(delegate);
  app.performBackgroundFetch();
  driver.settle();
  app.deliverDueNotifications();
  app.setNotificationGate(nullptr);
  app.setDelegate(nullptr);
  driver.stop();
  return 0;
}

// ------------------------------------------------------------ refresh timer

std::string userUnitDirectory() {
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) return std::string(x) + "/systemd/user";
  if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.config/systemd/user";
  return ".config/systemd/user";
}

std::optional<std::string> refreshExecStart(const std::string& program, const DriverOptions& o) {
  std::vector<std::string> words = {program, "--background-fetch", "--data-dir",
                                    absolutePath(o.dataDir.empty() ? defaultDataDirectory() : o.dataDir)};
  auto add = [&](const char* option, const std::string& value, bool path) {
    if (value.empty()) return;
    words.push_back(option);
    words.push_back(path ? absolutePath(value) : value);
  };
  add("--config", o.configFile, true);
  if (o.virtualClock) add("--clock", "virtual", false);
  add("--now", o.now, false);
  add("--tz", o.timeZone, false);
  add("--sim-data", o.simData, true);
  add("--sim-log", o.simLog, true);
  std::string line;
  for (const std::string& w : words) {
    auto q = quoteWord(w);
    if (!q) return std::nullopt;
    line += (line.empty() ? "" : " ") + *q;
  }
  return line;
}

int installRefreshTimer(const DriverOptions& options, bool enable) {
  std::string program = thisProgram();
  if (program.empty()) {
    std::cerr << "yunxiu-cli: cannot tell where this program lives\n";
    return 2;
  }
  auto exec = refreshExecStart(program, options);
  if (!exec) {
    std::cerr << "yunxiu-cli: a path or value holds a line break or control character; a unit file cannot carry it\n";
    return 2;
  }
  std::string service =
      "[Unit]\n"
      "Description=雲岫學苑 course-change refresh\n"
      "\n"
      "[Service]\n"
      "Type=oneshot\n"
      "ExecStart=" + *exec + "\n";
  std::string timer =
      "[Unit]\n"
      "Description=雲岫學苑 course-change refresh every half hour\n"
      "\n"
      "[Timer]\n"
      "OnBootSec=5min\n"
      "OnUnitActiveSec=30min\n"
      "\n"
      "[Install]\n"
      "WantedBy=timers.target\n";
  std::string dir = userUnitDirectory();
  if (!Files::createDirectory(dir, true) && !Files::isDirectory(dir)) {
    std::cerr << "yunxiu-cli: cannot create " << dir << "\n";
    return 2;
  }
  for (auto [name, text] : {std::pair{kServiceName, &service}, std::pair{kTimerName, &timer}}) {
    std::string path = Files::join(dir, name);
    if (!Files::writeFileAtomically(path, *text, 0644)) {
      std::cerr << "yunxiu-cli: cannot write " << path << "\n";
      return 2;
    }
    std::cout << "wrote " << path << "\n";
  }
  if (!enable) return 0;
  std::string message;
  if (!systemctl("daemon-reload", message) || !systemctl(std::string("enable --now ") + kTimerName, message)) {
    std::cout << message << "\n";
    return 1;
  }
  std::cout << "enabled " << kTimerName << "\n";
  return 0;
}

int removeRefreshTimer(bool enable) {
  std::string dir = userUnitDirectory();
  if (!Files::exists(Files::join(dir, kTimerName)) && !Files::exists(Files::join(dir, kServiceName))) {
    std::cout << "no refresh timer in " << dir << "\n";
    return 0;
  }
  int status = 0;
  if (enable) {
    std::string message;
    if (!systemctl(std::string("disable --now ") + kTimerName, message)) {
      std::cout << message << "\n";
      status = 1;
    }
  }
  for (const char* name : {kTimerName, kServiceName}) {
    std::string path = Files::join(dir, name);
    if (Files::exists(path) && Files::removeItem(path)) std::cout << "removed " << path << "\n";
  }
  if (enable && status == 0) {
    std::string message;
    (void)systemctl("daemon-reload", message);
  }
  return status;
}

}  // namespace yx
