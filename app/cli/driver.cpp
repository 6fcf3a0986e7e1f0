#include "app/cli/driver.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <sstream>

#include <arpa/inet.h>

#include "core/credentials.h"
#include "core/deployment.h"
#include "platform/dates.h"
#include "platform/device.h"
#include "platform/files.h"
#include "platform/location.h"
#include "platform/resources.h"
#include "platform/network_state.h"
#include "platform/settings.h"
#include "platform/text.h"
#include "platform/ui/alert.h"
#include "platform/ui/headless_web.h"
#include "sim/campus_sim.h"

namespace yx {

// ------------------------------------------------------------------ options

std::optional<std::vector<InterfaceAddress>> parseInterfaceList(const std::string& text) {
  std::vector<InterfaceAddress> list;
  if (text == "none") return list;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    std::string entry = text.substr(start, end - start);
    size_t eq = entry.find('=');
    if (eq == std::string::npos || eq == 0) return std::nullopt;
    InterfaceAddress a{entry.substr(0, eq), entry.substr(eq + 1)};
    unsigned char buf[4];
    if (::inet_pton(AF_INET, a.ipv4.c_str(), buf) != 1) return std::nullopt;
    list.push_back(std::move(a));
    start = end + 1;
  }
  return list;
}

std::string driverUsage() {
  return "options: --data-dir DIR  --config FILE  --clock virtual|system  --now ISO-8601\n"
         "         --tz ZONE  --script FILE  --sim-log FILE  --sim-data DIR  --canvas WxH\n"
         "         --ifaddrs NAME=IPV4[,NAME=IPV4...]|none  --resources DIR\n"
         "         --secrets keyring|file\n"
         "commands: show | tap TAG|NAME [TITLE] | row [TABLE] S R | cell [TABLE] S R\n"
         "          tapcell [TABLE] S R TAG|NAME | focus FIELD | type FIELD TEXT | return FIELD\n"
         "          paste TEXTVIEW TEXT | pick PICKER ROW | switch NAME on|off | zoom NAME SCALE\n"
         "          pinch NAME SCALE | frame NAME | alert INDEX | wait SECONDS | settings [KEY] | files\n"
         "          notifications | opened | net on|off|wifi|3g | background | foreground | fetch\n"
         "          help | quit\n";
}

std::optional<std::string> parseDriverOptions(int argc, char** argv, DriverOptions& o, bool allowUnknown) {
  const char* secrets = std::getenv("YUNXIU_SECRETS");
  o.secrets = secrets && *secrets ? secrets : "keyring";
  if (o.secrets != "keyring" && o.secrets != "file")
    return "YUNXIU_SECRETS takes keyring or file, not '" + o.secrets + "'";
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto value = [&](std::string& into) -> bool {
      if (i + 1 >= argc) return false;
      into = argv[++i];
      return true;
    };
    std::string clock;
    bool ok = true;
    if (a == "--data-dir") ok = value(o.dataDir);
    else if (a == "--config") ok = value(o.configFile);
    else if (a == "--now") ok = value(o.now);
    else if (a == "--tz") ok = value(o.timeZone);
    else if (a == "--script") ok = value(o.scriptFile);
    else if (a == "--sim-log") ok = value(o.simLog);
    else if (a == "--sim-data") ok = value(o.simData);
    else if (a == "--resources") ok = value(o.resourcesDir);
    else if (a == "--secrets") {
      ok = value(o.secrets);
      o.secretsGiven = true;
      if (ok && o.secrets != "keyring" && o.secrets != "file")
        return "--secrets takes keyring or file, not '" + o.secrets + "'";
    }
    else if (a == "--ifaddrs") {
      ok = value(o.ifaddrs);
      if (ok && !parseInterfaceList(o.ifaddrs))
        return "--ifaddrs takes NAME=IPV4[,NAME=IPV4...] or none, not '" + o.ifaddrs + "'";
    }
    else if (a == "--canvas") {
      std::string size;
      ok = value(size);
      if (ok) {
        double w = 0, h = 0;
        char x = 0, extra = 0;
        if (std::sscanf(size.c_str(), "%lf%c%lf%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X') || w < 100 ||
            h < 100 || w > 10000 || h > 10000)
          return "--canvas takes a size in points such as 320x692, not '" + size + "'";
        o.canvasWidth = w;
        o.canvasHeight = h;
      }
    } else if (a == "--clock") {
      ok = value(clock);
      if (ok && clock != "virtual" && clock != "system")
        return "--clock takes virtual or system, not '" + clock + "'";
      o.virtualClock = clock == "virtual";
    } else if (allowUnknown) {
      o.rest.push_back(a);
      continue;
    } else {
      return "unknown option '" + a + "'";
    }
    if (!ok) return "option " + a + " needs a value";
  }
  return std::nullopt;
}

// ------------------------------------------------------------------ helpers

std::vector<std::string> splitWords(const std::string& line) {
  std::istringstream in(line);
  std::vector<std::string> words;
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

std::string textAfterWords(const std::string& line, size_t n) {
  size_t pos = 0;
  for (size_t i = 0; i < n; ++i) {
    pos = line.find_first_not_of(" \t", pos);
    if (pos == std::string::npos) return {};
    pos = line.find_first_of(" \t", pos);
    if (pos == std::string::npos) return {};
  }
  pos = line.find_first_not_of(" \t", pos);
  if (pos == std::string::npos) return {};
  std::string rest = line.substr(pos);
  while (!rest.empty() && (rest.back() == '\r' || rest.back() == '\n')) rest.pop_back();
  return rest;
}

// Newline, tab and carriage return keep their short escapes; every other
// character a line splitter may break at (C0 and C1 controls, DEL, U+2028,
// U+2029) is written \uXXXX.
std::string oneLine(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  auto escape = [&out](unsigned code) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\u%04X", code);
    out += buf;
  };
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c == '\r') out += "\\r";
    else if (c < 0x20 || c == 0x7F) escape(c);
    else if (c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) >= 0x80 &&
             static_cast<unsigned char>(s[i + 1]) <= 0x9F)
      escape(static_cast<unsigned char>(s[++i]));  // U+0080..U+009F
    else if (c == 0xE2 && i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0x80 &&
             (static_cast<unsigned char>(s[i + 2]) == 0xA8 || static_cast<unsigned char>(s[i + 2]) == 0xA9)) {
      escape(0x2000 + static_cast<unsigned char>(s[i + 2]) - 0x80);  // U+2028, U+2029
      i += 2;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

namespace {

bool parseInt(const std::string& s, int& out) {
  if (s.empty()) return false;
  char* end = nullptr;
  long v = std::strtol(s.c_str(), &end, 10);
  if (*end != '\0' || v < -1000000000L || v > 1000000000L) return false;
  out = static_cast<int>(v);
  return true;
}

std::string defaultDataDir() {
  if (const char* x = std::getenv("XDG_DATA_HOME"); x && *x) return std::string(x) + "/yunxiu";
  if (const char* h = std::getenv("HOME"); h && *h) return std::string(h) + "/.local/share/yunxiu";
  return "yunxiu-data";
}

std::optional<TimePoint> parseIso(const std::string& s) {
  for (const char* pattern : {"yyyy-MM-dd'T'HH:mm:ssXXX", "yyyy-MM-dd'T'HH:mm:ss", "yyyy-MM-dd'T'HH:mm",
                              "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd"})
    if (auto t = parseDate(pattern, s)) return t;
  return std::nullopt;
}

std::string masked(const std::string& s) {
  size_t chars = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++chars;
  return std::string(chars, '*');
}

// ----------------------------------------------------------- screen walking

void collect(View* v, std::vector<View*>& out) {
  if (!v || v->hidden()) return;
  out.push_back(v);
  if (v->kind() == ViewKind::TableView || v->kind() == ViewKind::TableViewCell ||
      v->kind() == ViewKind::CollectionView)
    return;  // their rows are printed by the table line
  for (auto& s : v->subviews()) collect(s.get(), out);
}

std::vector<View*> visibleViews() {
  std::vector<View*> out;
  auto* nav = Application::shared().navigation();
  if (!nav || !nav->topViewController()) return out;
  collect(nav->topViewController()->viewPtr().get(), out);
  return out;
}

std::string buttonKey(const Button& b) {
  if (b.hasTag()) return std::to_string(b.tag());
  if (!b.name().empty()) return b.name();
  if (!b.actionName().empty()) return b.actionName();
  return "-";
}

// A cell's visible texts on one line, joined by " | ".
std::string cellText(const TableViewCell* cell) {
  std::string joined;
  if (!cell) return joined;
  auto texts = cell->texts();
  for (size_t i = 0; i < texts.size(); ++i) joined += (i ? " | " : "") + oneLine(texts[i]);
  return joined;
}

std::string scrollPositionName(TableView::ScrollPosition p) {
  switch (p) {
    case TableView::ScrollPosition::Top: return "top";
    case TableView::ScrollPosition::Middle: return "middle";
    case TableView::ScrollPosition::Bottom: return "bottom";
    default: return "none";
  }
}

// One view as its dump line(s). With `colours`, label lines end in their
// text colour (" {#rrggbb}").
void dumpView(View* v, std::ostringstream& out, bool colours = false) {
  const std::string& name = v->name();
  auto named = [&](const char* kind) { return std::string(kind) + (name.empty() ? "" : " " + name); };
  switch (v->kind()) {
    case ViewKind::Label: {
      auto* l = static_cast<Label*>(v);
      if (!l->text().empty()) {
        out << named("label") << ": " << oneLine(l->text());
        if (colours) out << " {" << l->textColor().hex().substr(0, 7) << "}";
        out << "\n";
      }
      break;
    }
    case ViewKind::Button: {
      auto* b = static_cast<Button*>(v);
      // A fetched picture shows as the URL it was requested with.
      std::string title = !b->title().empty()  ? b->title()
                          : b->imageData()     ? b->imageSource()
                          : !b->image().empty() ? b->image()
                                                : b->backgroundImage();
      out << "button " << buttonKey(*b) << (b->enabled() ? "" : " disabled") << ": " << oneLine(title) << "\n";
      break;
    }
    case ViewKind::TextField: {
      auto* f = static_cast<TextField*>(v);
      std::string text = f->secureTextEntry() ? masked(f->text()) : oneLine(f->text());
      if (text.empty() && !f->placeholder().empty()) text = "[" + oneLine(f->placeholder()) + "]";
      out << named("field") << (f->enabled() ? "" : " disabled") << ": " << text << "\n";
      break;
    }
    case ViewKind::TextView:
      out << named("text") << ": " << oneLine(static_cast<TextView*>(v)->text()) << "\n";
      break;
    case ViewKind::ImageView: {
      auto* i = static_cast<ImageView*>(v);
      std::string src = !i->imageName().empty() ? i->imageName() : i->source();
      if (i->state() != "empty")
        out << named("image") << ": " << (src.empty() ? "-" : oneLine(src)) << " " << i->state() << "\n";
      break;
    }
    case ViewKind::PickerView: {
      auto* p = static_cast<PickerView*>(v);
      int rows = p->numberOfRows(0);
      out << "picker " << (name.empty() ? std::to_string(p->tag()) : name) << " rows " << rows << " selected "
          << p->selectedRowInComponent(0);
      for (int r = 0; r < rows && r < 100; ++r) out << (r ? " | " : ": ") << oneLine(p->titleForRow(r, 0));
      out << "\n";
      break;
    }
    case ViewKind::WebView: {
      auto* w = static_cast<WebView*>(v);
      out << "web: " << (w->url().empty() ? "-" : oneLine(w->url())) << " " << w->stateName() << "\n";
      break;
    }
    case ViewKind::Switch:
      out << named("switch") << ": " << (static_cast<Switch*>(v)->isOn() ? "on" : "off") << "\n";
      break;
    case ViewKind::ActivityIndicator:
      if (static_cast<ActivityIndicator*>(v)->isAnimating()) out << named("spinner") << ": on\n";
      break;
    case ViewKind::ProgressView: {
      char buf[32];
      std::snprintf(buf, sizeof buf, "%.2f", static_cast<ProgressView*>(v)->progress());
      out << named("progress") << ": " << buf << "\n";
      break;
    }
    case ViewKind::ScrollView: {
      auto* sv = static_cast<ScrollView*>(v);
      if (sv->zoomable()) {
        char buf[96];
        std::snprintf(buf, sizeof buf, ": %.2f min %.2f max %.2f", sv->zoomScale(), sv->minimumZoomScale(),
                      sv->maximumZoomScale());
        out << named("zoom") << buf << "\n";
      }
      break;
    }
    case ViewKind::TableView: {
      auto* t = static_cast<TableView*>(v);
      t->layoutIfNeeded();  // printing the table is drawing it
      int sections = t->numberOfSections();
      int total = 0;
      for (int s = 0; s < sections; ++s) total += t->numberOfRowsInSection(s);
      out << named("table") << " rows " << total;
      if (auto at = t->scrolledToRow())
        out << " at " << at->section << "." << at->row << " " << scrollPositionName(t->scrolledToPosition());
      out << "\n";
      int printed = 0;
      const int kMaxRows = 200;
      for (int s = 0; s < sections; ++s) {
        std::string header = t->headerTitle(s);
        if (header.empty())
          if (auto hv = t->headerView(s)) {
            std::vector<std::string> texts;
            std::vector<View*> hvs;
            collect(hv.get(), hvs);
            for (View* x : hvs)
              if (x->kind() == ViewKind::Label && !static_cast<Label*>(x)->text().empty())
                texts.push_back(static_cast<Label*>(x)->text());
            for (size_t i = 0; i < texts.size(); ++i) header += (i ? " | " : "") + texts[i];
          }
        if (!header.empty()) out << "  header " << s << ": " << oneLine(header) << "\n";
        int rows = t->numberOfRowsInSection(s);
        for (int r = 0; r < rows; ++r) {
          if (printed == kMaxRows) {
            out << "  more: " << (total - printed) << " rows\n";
            ++printed;
          }
          if (printed > kMaxRows) break;
          out << "  row " << s << "." << r << ": " << cellText(t->cellForRow({s, r}).get()) << "\n";
          ++printed;
        }
      }
      break;
    }
    case ViewKind::CollectionView: {
      auto* c = static_cast<CollectionView*>(v);
      int total = 0;
      for (int s = 0; s < c->numberOfSections(); ++s) total += c->numberOfItemsInSection(s);
      out << named("grid") << " items " << total << "\n";
      for (int s = 0; s < c->numberOfSections(); ++s)
        for (int r = 0; r < c->numberOfItemsInSection(s) && r < 200; ++r) {
          out << "  item " << s << "." << r << ": " << cellText(c->cellForItem({s, r}).get()) << "\n";
        }
      break;
    }
    default:
      break;
  }
}

std::string valueText(const Value& v) {
  switch (v.type()) {
    case Value::Type::Null: return "(null)";
    case Value::Type::String: return oneLine(v.asString());
    case Value::Type::Integer: return std::to_string(v.asInteger());
    case Value::Type::Real: {
      char buf[64];
      std::snprintf(buf, sizeof buf, "%g", v.asReal());
      return buf;
    }
    case Value::Type::Boolean: return v.asBool() ? "true" : "false";
    case Value::Type::Bytes: return "<" + std::to_string(v.asBytes().size()) + " bytes>";
    case Value::Type::Array: {
      std::string s = "[";
      for (size_t i = 0; i < v.size(); ++i) s += (i ? ", " : "") + valueText(v[i]);
      return s + "]";
    }
    case Value::Type::Dictionary: {
      std::string s = "{";
      bool first = true;
      for (auto& [k, x] : v.asDictionary()) {
        s += (first ? "" : ", ") + oneLine(k) + ": " + valueText(x);
        first = false;
      }
      return s + "}";
    }
  }
  return {};
}

}  // namespace

// ------------------------------------------------------------------- driver

namespace {
// Real time let pass after each command with the system clock.
constexpr double kCommandGraceSeconds = 0.15;
}  // namespace

Driver::Driver(DriverOptions options) : opts_(std::move(options)) {}
Driver::~Driver() { stop(); }

std::optional<std::string> Driver::start(DelegateFactory makeDelegate) {
  if (auto err = prepare(true)) return err;
  if (!webBackend()) setWebBackend(std::make_shared<HeadlessWebBackend>());
  Application::shared().setDelegate(makeDelegate ? makeDelegate() : nullptr);
  Application::shared().launch();
  settle();
  return std::nullopt;
}

std::optional<std::string> Driver::prepare(bool waitForLock) {
  if (opts_.dataDir.empty()) opts_.dataDir = defaultDataDir();
  std::error_code ec;
  std::filesystem::create_directories(opts_.dataDir, ec);
  if (ec) return "cannot create the data folder " + opts_.dataDir + ": " + ec.message();

  // One program at a time keeps its state in a data folder.
  std::string lockPath = Files::join(opts_.dataDir, ".lock");
  lockFd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  // A folder nobody can write (read-only file system) is locked through the
  // lock file when it has one; without one, no program can change its state,
  // so the app runs on what it holds and keeps its changes in memory.
  if (lockFd_ < 0 && errno == EROFS) lockFd_ = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  const bool readOnly = lockFd_ < 0 && (errno == EROFS || errno == ENOENT);
  if (lockFd_ < 0 && !readOnly) return "cannot lock the data folder " + opts_.dataDir + ": " + std::strerror(errno);
  auto waited = std::chrono::steady_clock::now();
  while (lockFd_ >= 0 && ::flock(lockFd_, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    bool timeUp = !waitForLock || std::chrono::duration<double>(std::chrono::steady_clock::now() - waited).count() >=
                                      opts_.lockWaitSeconds;
    if (error != EWOULDBLOCK && error != EINTR) timeUp = true;
    if (timeUp) {
      ::close(lockFd_);
      lockFd_ = -1;
      busy_ = true;
      return "data folder " + opts_.dataDir + " is in use";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  std::filesystem::permissions(opts_.dataDir, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::replace, ec);
  // Temporary files of writes a killed run never finished.
  Files::removeLeftoverTemporaries(opts_.dataDir);

  if (!opts_.timeZone.empty() && !setTimeZone(opts_.timeZone))
    return "unknown time zone '" + opts_.timeZone + "'";
  if (opts_.virtualClock) {
    TimePoint start = std::chrono::system_clock::now();
    if (!opts_.now.empty()) {
      auto t = parseIso(opts_.now);
      if (!t) return "--now takes an ISO-8601 time such as 2026-12-06T09:30:00+08:00, not '" + opts_.now + "'";
      start = *t;
    }
    setClock(std::make_shared<ManualClock>(start));
  } else if (!opts_.now.empty()) {
    return "--now needs --clock virtual";
  }

  if (opts_.canvasWidth > 0) setCanvasSize(Size{opts_.canvasWidth, opts_.canvasHeight});

  // A bad deployment file is refused with its one line before anything
  // else is said or opened.
  Deployment deployment;
  if (!opts_.configFile.empty()) {
    try {
      deployment = Deployment::fromFile(opts_.configFile);
    } catch (const DeploymentError& e) {
      return std::string(e.what());
    }
  }

  Files::setDataDirectory(opts_.dataDir);
  Settings::standard().open(opts_.dataDir);
  if (opts_.secrets == "keyring") {
    if (auto why = keepPasswordsInKeyring(opts_.keyringMayAsk)) std::cerr << "yunxiu: " << oneLine(*why) << "\n";
  }
  Application::shared().setDataDirectory(opts_.dataDir);

  if (opts_.configFile.empty()) {
    sim::SimOptions so;
    so.overlayDir = opts_.simData;
    so.logFile = opts_.simLog;
    if (opts_.virtualClock) so.fixedNow = now();
    sim_ = std::make_unique<sim::CampusSim>(so);
    try {
      sim_->start();
    } catch (const std::exception& e) {
      return std::string("the embedded campus simulator did not start: ") + e.what();
    }
    deployment = sim_->deployment();
  }
  if (!opts_.ifaddrs.empty()) {
    if (opts_.ifaddrs == "none") Device::setAddressesUnreadable();
    else Device::setAddressesOverride(parseInterfaceList(opts_.ifaddrs));
  }
  setResourceOverrideDirectory(!opts_.resourcesDir.empty() ? opts_.resourcesDir : deployment.resourcesDir);
  NetworkState::shared().setWifiInterfaces(deployment.wifiInterfaces);
  Location::shared().setCoordinate(Coordinate{deployment.latitude, deployment.longitude});
  if (!deployment.deviceModel.empty()) {
    DeviceInfo info = Device::info();
    info.model = deployment.deviceModel;
    Device::setInfoOverride(info);
  }
  Deployment::setCurrent(std::move(deployment));
  return std::nullopt;
}

void Driver::stop() {
  if (sim_) {
    // Reports still on their way may reach the simulator (and its log).
    Background::drain(5);
    Background::drainDetached(5);
    sim_->stop();
    sim_.reset();
  }
  if (lockFd_ >= 0) {
    ::close(lockFd_);  // lets go of the lock
    lockFd_ = -1;
  }
}

void Driver::settle(double graceSeconds) {
  auto& loop = RunLoop::main();
  if (clock().isManual()) {
    loop.runFor(0);
    return;
  }
  // Real time passes only while something is due within the grace period
  // (a prompt 0.1 s after a screen loads) or background work is running.
  const double end = clock().monotonic() + graceSeconds;
  for (;;) {
    loop.runUntilIdle();
    const double left = end - clock().monotonic();
    if (left <= 0) break;
    if (loop.secondsUntilNextTimer() > left && Background::inFlight() == 0) break;
    loop.waitForWork(left);
  }
  Background::drain(30);
  loop.runUntilIdle();
}

std::string Driver::dump() const {
  std::ostringstream out;
  auto* nav = Application::shared().navigation();
  ViewController* top = nav ? nav->topViewController() : nullptr;
  out << "screen: " << (top ? top->className() : "none") << " depth " << (nav ? nav->depth() : 0) << "\n";
  for (View* v : visibleViews()) dumpView(v, out);
  for (auto& a : Alerts::visible()) {
    out << "alert: " << oneLine(a->title()) << " | " << oneLine(a->message());
    for (auto& b : a->buttonTitles()) out << " | " << oneLine(b);
    out << "\n";
    std::vector<View*> inner;
    for (auto& s : a->contentView().subviews()) collect(s.get(), inner);
    for (View* v : inner) {
      std::ostringstream sub;
      dumpView(v, sub);
      std::istringstream lines(sub.str());
      for (std::string l; std::getline(lines, l);) out << "  " << l << "\n";
    }
  }
  return out.str();
}

std::string Driver::execute(const std::string& line) {
  auto words = splitWords(line);
  if (words.empty() || words[0][0] == '#') return {};
  std::string err = run(words, line);
  if (!err.empty()) return "error: " + err + "\n";
  if (quit_) return {};
  settle(kCommandGraceSeconds);
  if (words[0] == "settings" || words[0] == "files" || words[0] == "notifications" || words[0] == "opened" ||
      words[0] == "help" || words[0] == "cell" || words[0] == "frame")
    return lastListing_;
  return dump();
}

namespace {

// The visible views inside one cell of a table or grid.
std::vector<View*> cellViews(TableViewCell* cell) {
  std::vector<View*> out;
  if (!cell) return out;
  for (auto& sv : cell->subviews()) collect(sv.get(), out);
  return out;
}

// The visible views inside the rows the screen's tables and grids show
// (at most as many rows as the dump prints), in row order.
std::vector<View*> rowViews() {
  std::vector<View*> out;
  const int kMaxRows = 200;
  for (View* v : visibleViews()) {
    if (v->kind() == ViewKind::TableView) {
      auto* t = static_cast<TableView*>(v);
      int printed = 0;
      for (int s = 0; s < t->numberOfSections() && printed < kMaxRows; ++s)
        for (int r = 0; r < t->numberOfRowsInSection(s) && printed < kMaxRows; ++r, ++printed)
          for (View* x : cellViews(t->cellForRow({s, r}).get())) out.push_back(x);
    } else if (v->kind() == ViewKind::CollectionView) {
      auto* c = static_cast<CollectionView*>(v);
      for (int s = 0; s < c->numberOfSections(); ++s)
        for (int r = 0; r < c->numberOfItemsInSection(s) && r < kMaxRows; ++r)
          for (View* x : cellViews(c->cellForItem({s, r}).get())) out.push_back(x);
    }
  }
  return out;
}

bool matches(View* v, const std::string& key, ViewKind kind) {
  if (v->kind() != kind) return false;
  if (v->name() == key) return true;
  int tag = 0;
  bool numeric = parseInt(key, tag);
  if (kind == ViewKind::Button) {
    auto* b = static_cast<Button*>(v);
    return (numeric && b->hasTag() && b->tag() == tag) || b->actionName() == key;
  }
  return numeric && v->tag() == tag;
}

template <class T> std::vector<T*> findIn(const std::vector<View*>& views, const std::string& key, ViewKind kind) {
  std::vector<T*> found;
  for (View* v : views)
    if (matches(v, key, kind)) found.push_back(static_cast<T*>(v));
  return found;
}

template <class T> std::vector<T*> findAll(const std::string& key, ViewKind kind) {
  std::vector<T*> found;
  int tag = 0;
  bool numeric = parseInt(key, tag);
  for (View* v : visibleViews()) {
    if (v->kind() != kind) continue;
    bool match = v->name() == key;
    if (!match && kind == ViewKind::Button) {
      auto* b = static_cast<Button*>(v);
      match = (numeric && b->hasTag() && b->tag() == tag) || b->actionName() == key;
    } else if (!match && numeric) {
      match = v->tag() == tag;
    }
    if (match) found.push_back(static_cast<T*>(v));
  }
  return found;
}

template <class T> T* findOne(const std::string& key, ViewKind kind, std::string& err, const char* what) {
  auto all = findAll<T>(key, kind);
  if (all.empty()) {
    err = std::string("no ") + what + " '" + key + "' on this screen";
    return nullptr;
  }
  return all.front();
}

}  // namespace

std::string Driver::run(const std::vector<std::string>& w, const std::string& line) {
  const std::string& cmd = w[0];
  auto& app = Application::shared();
  bool alertUp = !Alerts::visible().empty();
  static const std::vector<std::string> inspect = {"show",  "settings", "files", "notifications", "opened",
                                                   "alert", "wait",     "quit",  "help",          "net",
                                                   "background", "foreground", "fetch", "cell", "frame"};
  static const std::vector<std::string> known = {"tap",    "row",    "focus", "type",   "paste", "return",
                                                 "pick",   "switch", "zoom",  "pinch",  "tapcell"};
  if (std::find(inspect.begin(), inspect.end(), cmd) == inspect.end() &&
      std::find(known.begin(), known.end(), cmd) == known.end())
    return "unknown command '" + cmd + "' (try 'help')";
  if (alertUp && std::find(inspect.begin(), inspect.end(), cmd) == inspect.end())
    return "an alert is showing: answer it with 'alert INDEX'";
  lastListing_.clear();
  std::string err;

  if (cmd == "show") return {};
  if (cmd == "quit") {
    quit_ = true;
    return {};
  }
  if (cmd == "help") {
    lastListing_ = driverUsage();
    return {};
  }
  if (cmd == "tap") {
    if (w.size() < 2) return "usage: tap TAG|NAME [TITLE]";
    std::string title = textAfterWords(line, 2);
    auto titled = [&](std::vector<Button*> list) {
      if (!title.empty())
        std::erase_if(list, [&](Button* b) { return b->title() != title && b->image() != title; });
      return list;
    };
    // The screen's own buttons first, then those inside the rows shown.
    auto buttons = titled(findAll<Button>(w[1], ViewKind::Button));
    if (buttons.empty()) buttons = titled(findIn<Button>(rowViews(), w[1], ViewKind::Button));
    if (buttons.empty()) return "no button '" + w[1] + "'" + (title.empty() ? "" : " titled '" + title + "'") + " on this screen";
    if (!buttons.front()->enabled()) return "button '" + w[1] + "' is disabled";
    buttons.front()->tap();
    return {};
  }
  if (cmd == "row") {
    if (w.size() < 3) return "usage: row [TABLE] S R";
    int s = 0, r = 0;
    TableView* table = nullptr;
    size_t i = 1;
    if (w.size() >= 4) {
      table = findOne<TableView>(w[1], ViewKind::TableView, err, "table");
      if (!table) return err;
      i = 2;
    } else {
      for (View* v : visibleViews())
        if (v->kind() == ViewKind::TableView) {
          table = static_cast<TableView*>(v);
          break;
        }
      if (!table) {
        for (View* v : visibleViews())
          if (v->kind() == ViewKind::CollectionView) {
            if (!parseInt(w[1], s) || !parseInt(w[2], r)) return "row needs numbers";
            if (!static_cast<CollectionView*>(v)->userSelectItem({s, r})) return "no item " + w[1] + "." + w[2];
            return {};
          }
        return "no table on this screen";
      }
    }
    if (!parseInt(w[i], s) || !parseInt(w[i + 1], r)) return "row needs a section and a row number";
    if (!table->userSelectRow({s, r})) return "no row " + w[i] + "." + w[i + 1];
    return {};
  }
  if (cmd == "cell" || cmd == "tapcell") {
    // [TABLE] S R, then for tapcell the button.
    size_t needed = cmd == "cell" ? 3 : 4;
    if (w.size() < needed) return cmd == "cell" ? "usage: cell [TABLE] S R" : "usage: tapcell [TABLE] S R TAG|NAME";
    bool named = w.size() > needed;
    View* list = nullptr;
    for (View* v : visibleViews()) {
      bool isList = v->kind() == ViewKind::TableView || v->kind() == ViewKind::CollectionView;
      if (isList && (!named || v->name() == w[1])) {
        list = v;
        break;
      }
    }
    if (!list) return named ? "no table '" + w[1] + "' on this screen" : "no table on this screen";
    size_t i = named ? 2 : 1;
    int s = 0, r = 0;
    if (!parseInt(w[i], s) || !parseInt(w[i + 1], r)) return cmd + " needs a section and a row number";
    std::shared_ptr<TableViewCell> cell;
    if (list->kind() == ViewKind::TableView) {
      auto* t = static_cast<TableView*>(list);
      if (s >= 0 && s < t->numberOfSections() && r >= 0 && r < t->numberOfRowsInSection(s)) cell = t->cellForRow({s, r});
    } else {
      auto* c = static_cast<CollectionView*>(list);
      if (s >= 0 && s < c->numberOfSections() && r >= 0 && r < c->numberOfItemsInSection(s)) cell = c->cellForItem({s, r});
    }
    if (!cell) return "no row " + w[i] + "." + w[i + 1];
    if (cmd == "cell") {
      std::ostringstream out;
      for (View* v : cellViews(cell.get())) {
        std::ostringstream one;
        dumpView(v, one, true);
        std::istringstream lines(one.str());
        for (std::string l; std::getline(lines, l);) out << "  " << l << "\n";
      }
      lastListing_ = out.str();
      return {};
    }
    auto buttons = findIn<Button>(cellViews(cell.get()), w[i + 2], ViewKind::Button);
    if (buttons.empty()) return "no button '" + w[i + 2] + "' in row " + w[i] + "." + w[i + 1];
    if (!buttons.front()->enabled()) return "button '" + w[i + 2] + "' is disabled";
    buttons.front()->tap();
    return {};
  }
  if (cmd == "zoom" || cmd == "pinch") {
    if (w.size() < 3) return "usage: " + cmd + " NAME SCALE";
    char* end = nullptr;
    double scale = std::strtod(w[2].c_str(), &end);
    if (*end != '\0' || !(scale > 0) || scale > 1e6) return cmd + " takes a positive scale, not '" + w[2] + "'";
    auto views = visibleViews();
    auto inRows = rowViews();
    views.insert(views.end(), inRows.begin(), inRows.end());
    for (View* v : views) {
      if (v->name() != w[1]) continue;
      if (cmd == "zoom") {
        if (v->kind() != ViewKind::ScrollView || !static_cast<ScrollView*>(v)->zoomable())
          return "'" + w[1] + "' does not zoom";
        static_cast<ScrollView*>(v)->userZoom(scale);
      } else if (!v->userPinch(scale)) {
        return "'" + w[1] + "' takes no pinch";
      }
      return {};
    }
    return "no view '" + w[1] + "' on this screen";
  }
  if (cmd == "frame") {
    if (w.size() < 2) return "usage: frame NAME";
    auto views = visibleViews();
    auto inRows = rowViews();
    views.insert(views.end(), inRows.begin(), inRows.end());
    std::ostringstream out;
    for (View* v : views) {
      if (v->name() != w[1]) continue;
      const Rect& f = v->frame();
      char buf[160];
      std::snprintf(buf, sizeof buf, "frame %s: %g %g %g %g", w[1].c_str(), f.x, f.y, f.width, f.height);
      out << buf;
      double font = 0;
      if (v->kind() == ViewKind::Label) font = static_cast<Label*>(v)->fontSize();
      else if (v->kind() == ViewKind::Button) font = static_cast<Button*>(v)->fontSize();
      else if (v->kind() == ViewKind::TextView) font = static_cast<TextView*>(v)->fontSize();
      if (font > 0) {
        std::snprintf(buf, sizeof buf, " font %g", font);
        out << buf;
      }
      if (v->kind() == ViewKind::ScrollView) {
        Size c = static_cast<ScrollView*>(v)->contentSize();
        std::snprintf(buf, sizeof buf, " content %g %g", c.width, c.height);
        out << buf;
      }
      out << "\n";
    }
    if (out.str().empty()) return "no view '" + w[1] + "' on this screen";
    lastListing_ = out.str();
    return {};
  }
  if (cmd == "focus" || cmd == "type" || cmd == "return" || cmd == "paste") {
    if (w.size() < 2) return "usage: " + cmd + " FIELD" + (cmd == "type" || cmd == "paste" ? " TEXT" : "");
    auto fields = findAll<TextField>(w[1], ViewKind::TextField);
    if (fields.empty()) {
      auto texts = findAll<TextView>(w[1], ViewKind::TextView);
      if (texts.empty()) return "no field '" + w[1] + "' on this screen";
      TextView* t = texts.front();
      if (!t->editable()) return "text '" + w[1] + "' is not editable";
      if (cmd == "focus") {
        t->userFocus();
      } else if (cmd == "return") {
        t->userReplace(utf8Length(t->text()), 0, "\n");
      } else if (cmd == "paste") {
        if (!t->userReplace(utf8Length(t->text()), 0, textAfterWords(line, 2))) return "text '" + w[1] + "' refused the edit";
      } else {
        // Typed key by key at the end; a refused key is lost, as on the phone.
        const std::string typed = textAfterWords(line, 2);
        if (!t->userFocus()) return {};
        for (size_t at = 0; at < typed.size() && t->isFirstResponder();) {
          size_t next = at + utf8Offset(std::string_view(typed).substr(at), 1);
          t->userReplace(utf8Length(t->text()), 0, typed.substr(at, next - at));
          at = next;
        }
      }
      return {};
    }
    TextField* f = fields.front();
    if (cmd == "paste") return "paste takes a text view, not the field '" + w[1] + "'";
    if (!f->enabled()) return "field '" + w[1] + "' is disabled";
    if (cmd == "focus") {
      f->userFocus();
    } else if (cmd == "type") {
      if (!f->isFirstResponder() && !f->userFocus()) return {};  // the field opened something else instead
      f->userType(textAfterWords(line, 2));
    } else {
      f->userReturn();
    }
    return {};
  }
  if (cmd == "pick") {
    if (w.size() < 3) return "usage: pick PICKER ROW";
    auto* p = findOne<PickerView>(w[1], ViewKind::PickerView, err, "picker");
    if (!p) return err;
    int row = 0;
    if (!parseInt(w[2], row) || !p->userPick(row, 0)) return "picker '" + w[1] + "' has no row " + w[2];
    return {};
  }
  if (cmd == "switch") {
    if (w.size() < 3 || (w[2] != "on" && w[2] != "off")) return "usage: switch NAME on|off";
    auto* s = findOne<Switch>(w[1], ViewKind::Switch, err, "switch");
    if (!s) return err;
    s->userSet(w[2] == "on");
    return {};
  }
  if (cmd == "alert") {
    int index = 0;
    if (w.size() < 2 || !parseInt(w[1], index)) return "usage: alert INDEX";
    auto a = Alerts::front();
    if (!a) return "no alert is showing";
    if (!a->pressButton(index)) return "the alert has no button " + w[1];
    return {};
  }
  if (cmd == "wait") {
    double s = 0;
    if (w.size() < 2) return "usage: wait SECONDS";
    char* end = nullptr;
    s = std::strtod(w[1].c_str(), &end);
    if (*end != '\0' || s < 0 || s > 86400 * 366) return "wait takes a number of seconds";
    RunLoop::main().runFor(s);
    return {};
  }
  if (cmd == "settings") {
    std::ostringstream out;
    auto keys = Settings::standard().keys();
    std::sort(keys.begin(), keys.end());
    if (w.size() >= 2) keys = {textAfterWords(line, 1)};
    for (auto& k : keys) {
      auto v = Settings::standard().objectForKey(k);
      out << "setting " << oneLine(k) << ": " << (v ? valueText(*v) : "(absent)") << "\n";
    }
    if (keys.empty()) out << "settings: none\n";
    lastListing_ = out.str();
    return {};
  }
  if (cmd == "files") {
    std::ostringstream out;
    std::error_code ec;
    std::string docs = Files::documentsDirectory();
    std::vector<std::string> lines;
    for (auto it = std::filesystem::recursive_directory_iterator(docs, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      if (!it->is_regular_file()) continue;
      lines.push_back("file " + oneLine(std::filesystem::relative(it->path(), docs).string()) + " " +
                      std::to_string(it->file_size()));
    }
    std::sort(lines.begin(), lines.end());
    for (auto& l : lines) out << l << "\n";
    if (lines.empty()) out << "files: none\n";
    lastListing_ = out.str();
    return {};
  }
  if (cmd == "notifications") {
    std::ostringstream out;
    auto when = [](double t) {
      return formatDate("yyyy-MM-dd HH:mm:ss",
                        TimePoint(std::chrono::duration_cast<TimePoint::duration>(std::chrono::duration<double>(t))));
    };
    for (auto& n : app.deliveredNotifications()) out << "notification delivered " << when(n.fireDate) << ": " << oneLine(n.alertBody) << "\n";
    for (auto& n : app.scheduledLocalNotifications()) out << "notification scheduled " << when(n.fireDate) << ": " << oneLine(n.alertBody) << "\n";
    if (out.str().empty()) out << "notifications: none\n";
    lastListing_ = out.str();
    return {};
  }
  if (cmd == "opened") {
    std::ostringstream out;
    for (auto& u : app.openedURLs()) out << "opened: " << oneLine(u) << "\n";
    if (out.str().empty()) out << "opened: none\n";
    lastListing_ = out.str();
    return {};
  }
  if (cmd == "net") {
    if (w.size() < 2) return "usage: net on|off|wifi|3g";
    if (w[1] == "off") NetworkState::shared().setOverride(0u);
    else if (w[1] == "wifi") NetworkState::shared().setOverride(reach::Reachable | reach::IsDirect);
    else if (w[1] == "3g") NetworkState::shared().setOverride(reach::Reachable | reach::IsWWAN);
    else if (w[1] == "on") NetworkState::shared().setOverride(std::nullopt);
    else return "usage: net on|off|wifi|3g";
    return {};
  }
  if (cmd == "background") {
    app.enterBackground();
    return {};
  }
  if (cmd == "foreground") {
    app.enterForeground();
    return {};
  }
  if (cmd == "fetch") {
    app.performBackgroundFetch();
    return {};
  }
  return "unknown command '" + cmd + "' (try 'help')";
}

}  // namespace yx
