#include "sim/campus_sim.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <iostream>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <ctime>
#include <fstream>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "sim/http_server.h"
#include "sim/sample_data.h"
#include "sim/services.h"

#ifndef YX_SIM_DATA_DIR
#define YX_SIM_DATA_DIR "sim/data"
#endif

namespace yx::sim {

using nlohmann::json;

namespace {

constexpr const char* kControlPath = "/_sim/faults";
constexpr size_t kWorkersPerServer = 3;

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Percent-decoding; "+" is a space when decoding form fields and queries.
std::string percentDecode(std::string_view s, bool plusIsSpace) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
      out += static_cast<char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
      i += 2;
    } else if (s[i] == '+' && plusIsSpace) {
      out += ' ';
    } else {
      out += s[i];
    }
  }
  return out;
}

bool isUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : 99;
    if (n == 99 || (n == 1 && c < 0xC2) || i + n >= s.size()) return false;
    uint32_t cp = n == 0 ? c : n == 1 ? (c & 0x1F) : n == 2 ? (c & 0x0F) : (c & 0x07);
    for (size_t k = 1; k <= n; ++k) {
      const auto cc = static_cast<unsigned char>(s[i + k]);
      if ((cc >> 6) != 0x2) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if ((n == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) || (n == 3 && (cp < 0x10000 || cp > 0x10FFFF))) {
      return false;
    }
    i += n + 1;
  }
  return true;
}

std::map<std::string, std::string> decodeFields(std::string_view s) {
  std::map<std::string, std::string> fields;
  size_t start = 0;
  while (start <= s.size() && !s.empty()) {
    size_t end = s.find('&', start);
    if (end == std::string_view::npos) end = s.size();
    std::string_view pair = s.substr(start, end - start);
    if (!pair.empty()) {
      size_t eq = pair.find('=');
      std::string key = percentDecode(pair.substr(0, eq), true);
      std::string value = eq == std::string_view::npos ? std::string() : percentDecode(pair.substr(eq + 1), true);
      // A field that does not decode to UTF-8 (say, Big5) keeps its escaped
      // form, so the log stays valid JSON text.
      if (!isUtf8(key)) key = std::string(pair.substr(0, eq));
      if (!isUtf8(value)) value = std::string(pair.substr(eq + 1));
      fields[key] = value;  // a repeated field keeps its last value
    }
    start = end + 1;
  }
  return fields;
}

std::string base64(std::string_view s) {
  static const char* const t = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < s.size(); i += 3) {
    uint32_t v = (static_cast<unsigned char>(s[i]) << 16) | (static_cast<unsigned char>(s[i + 1]) << 8) |
                 static_cast<unsigned char>(s[i + 2]);
    out += t[v >> 18];
    out += t[(v >> 12) & 63];
    out += t[(v >> 6) & 63];
    out += t[v & 63];
  }
  if (i < s.size()) {
    uint32_t v = static_cast<unsigned char>(s[i]) << 16;
    if (i + 1 < s.size()) v |= static_cast<unsigned char>(s[i + 1]) << 8;
    out += t[v >> 18];
    out += t[(v >> 12) & 63];
    out += i + 1 < s.size() ? t[(v >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

std::string utcTimestamp(std::chrono::system_clock::time_point tp) {
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(tp.time_since_epoch()).count();
  std::time_t secs = static_cast<std::time_t>(ms / 1000);
  std::tm tm{};
  gmtime_r(&secs, &tm);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(ms % 1000));
  return buf;
}

const char* reasonFor(int status) {
  switch (status) {
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 400: return "Bad Request";
    default: return "";
  }
}

}  // namespace

std::string bundledDataDir() {
  if (const char* env = std::getenv("YX_SIM_DATA"); env && *env) return env;
  return YX_SIM_DATA_DIR;
}

Fault Fault::fromJson(const json& j) {
  if (!j.is_object()) throw std::runtime_error("a fault must be a JSON object");
  Fault f;
  for (const auto& item : j.items()) {
    const std::string& k = item.key();
    const json& v = item.value();
    if (k == "delay_ms" && v.is_number_integer() && v.get<long long>() >= 0) {
      f.delayMs = v.get<int>();
    } else if (k == "status" && v.is_number_integer() && v.get<int>() >= 100 && v.get<int>() <= 999) {
      f.status = v.get<int>();
    } else if (k == "cut_after" && v.is_number_integer() && v.get<long long>() >= 0) {
      f.cutAfter = v.get<long long>();
    } else if (k == "body" && v.is_string()) {
      f.body = v.get<std::string>();
    } else if (k == "content_type" && v.is_string()) {
      f.contentType = v.get<std::string>();
    } else if (k == "kind" && v.is_string()) {
      f.kind = v.get<std::string>();
    } else if (k == "path") {
      // carried by the control endpoint's requests; the caller uses it
    } else {
      throw std::runtime_error("fault: unknown key or bad value for \"" + k + "\"");
    }
  }
  return f;
}

json Fault::toJson() const {
  json j = json::object();
  if (delayMs) j["delay_ms"] = delayMs;
  if (status) j["status"] = status;
  if (cutAfter >= 0) j["cut_after"] = cutAfter;
  if (body) j["body"] = *body;
  if (!contentType.empty()) j["content_type"] = contentType;
  if (!kind.empty()) j["kind"] = kind;
  return j;
}

namespace {

// A listening loopback socket; -1 when the port cannot be had.
int listenOnLoopback(int port, int& boundPort) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  // Address reuse only: SO_REUSEPORT would let a second simulator share a
  // fixed port and split its traffic.
  int yes = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(static_cast<uint16_t>(port));
  socklen_t len = sizeof addr;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, SOMAXCONN) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    ::close(fd);
    return -1;
  }
  boundPort = ntohs(addr.sin_port);
  return fd;
}

}  // namespace

struct CampusSim::Impl {
  // One server kind. Its socket listens from start(); the HTTP server and its
  // threads are made when the first connection waits on it.
  struct Server {
    const ServiceKind* kind = nullptr;
    std::unique_ptr<HttpService> http;  // null until first use
    std::thread thread;
    int port = 0;
    int listenFd = -1;  // owned here until the HTTP server adopts it
  };

  SimOptions opt;
  DataStore data;
  std::vector<std::unique_ptr<Server>> servers;
  bool started = false;
  // Watches the sockets of the kinds not yet in use and starts each kind's
  // server on its first connection.
  std::thread watcher;
  int wakePipe[2] = {-1, -1};
  std::mutex launchMutex;  // guards Server::http, thread and listenFd after start()
  std::atomic<bool> httpModuleMissingSaid{false};

  mutable std::mutex logMutex;
  std::vector<json> log;
  std::ofstream logOut;

  mutable std::mutex faultMutex;
  std::map<std::string, Fault> faults;  // path -> fault (with its optional kind)

  std::mutex stopMutex;
  std::condition_variable stopCv;
  bool stopping = false;

  mutable std::mutex timeMutex;
  std::optional<std::chrono::system_clock::time_point> fixedNow;
  // Every kind's base URL, known once all ports are bound.
  std::shared_ptr<const std::map<std::string, std::string>> baseUrls;

  explicit Impl(SimOptions o)
      : opt(std::move(o)), data(opt.dataDir.empty() ? bundledDataDir() : opt.dataDir, opt.overlayDir),
        fixedNow(opt.fixedNow) {}

  CampusTime campusTime() const {
    std::lock_guard<std::mutex> lock(timeMutex);
    return {fixedNow.value_or(std::chrono::system_clock::now()), opt.utcOffsetMinutes, baseUrls};
  }

  void loadFaultFile(bool overlay) {
    auto text = data.readTop("faults.json", overlay);
    if (!text) return;
    const std::string where = (overlay ? opt.overlayDir : data.bundledDir()) + "/faults.json";
    json doc;
    try {
      doc = json::parse(*text);
    } catch (const json::parse_error& e) {
      throw std::runtime_error(where + ": not valid JSON: " + e.what());
    }
    if (!doc.is_object()) throw std::runtime_error(where + ": must hold one object of path -> fault");
    for (const auto& item : doc.items()) {
      try {
        faults[item.key()] = Fault::fromJson(item.value());
      } catch (const std::exception& e) {
        throw std::runtime_error(where + ": \"" + item.key() + "\": " + e.what());
      }
    }
  }

  std::optional<Fault> faultFor(const std::string& kind, const std::string& path) const {
    std::lock_guard<std::mutex> lock(faultMutex);
    auto it = faults.find(path);
    if (it == faults.end() || (!it->second.kind.empty() && it->second.kind != kind)) return std::nullopt;
    return it->second;
  }

  // Waits for the given time unless the simulator stops first.
  void pause(int ms) {
    std::unique_lock<std::mutex> lock(stopMutex);
    stopCv.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stopping; });
  }

  void record(json entry) {
    std::lock_guard<std::mutex> lock(logMutex);
    if (logOut.is_open()) {
      logOut << entry.dump(-1, ' ', false, json::error_handler_t::replace) << '\n';
      logOut.flush();
    }
    log.push_back(std::move(entry));
  }

  static void setContent(HttpOutgoing& res, std::string body, std::string type) {
    res.body = std::move(body);
    res.contentType = std::move(type);
  }

  void control(const HttpIncoming& req, HttpOutgoing& res) {
    if (req.method == "DELETE") {
      std::lock_guard<std::mutex> lock(faultMutex);
      faults.clear();
      setContent(res, "OK", "text/plain");
      return;
    }
    if (req.method == "GET") {
      json all = json::object();
      std::lock_guard<std::mutex> lock(faultMutex);
      for (const auto& [path, f] : faults) all[path] = f.toJson();
      setContent(res, all.dump(2), "application/json");
      return;
    }
    if (req.method != "POST") {
      res.status = 405;
      return;
    }
    try {
      json j = json::parse(req.body);
      if (!j.is_object() || !j.contains("path") || !j["path"].is_string()) {
        throw std::runtime_error("the fault needs a \"path\"");
      }
      Fault f = Fault::fromJson(j);
      std::lock_guard<std::mutex> lock(faultMutex);
      faults[j["path"].get<std::string>()] = f;
      setContent(res, "OK", "text/plain");
    } catch (const std::exception& e) {
      res.status = 400;
      setContent(res, std::string(e.what()) + "\n", "text/plain");
    }
  }

  void handle(const ServiceKind& kind, const HttpIncoming& req, HttpOutgoing& res) {
    if (req.path == kControlPath) {
      control(req, res);
      return;
    }

    SimRequest r;
    r.kind = kind.key;
    r.method = req.method;
    r.path = req.path;
    const std::string& target = req.target;
    const size_t q = target.find('?');
    r.rawPath = target.substr(0, q);
    r.rawQuery = q == std::string::npos ? std::string() : target.substr(q + 1);
    r.query = decodeFields(r.rawQuery);
    r.body = req.body;
    for (const auto& [k, v] : req.headers) r.headers.emplace(k, v);
    const std::string& type = req.contentType;
    const bool bodyMethod = req.method == "POST" || req.method == "PUT" || req.method == "PATCH";
    if (!req.body.empty() && (type.rfind("application/x-www-form-urlencoded", 0) == 0 || (type.empty() && bodyMethod))) {
      r.form = decodeFields(req.body);
    }

    SimReply reply = answer(kind, r);
    std::optional<Fault> fault = faultFor(kind.key, r.path);
    if (fault) {
      if (fault->delayMs > 0) pause(fault->delayMs);
      if (fault->body) {
        reply.body = *fault->body;
        if (reply.status == 404 || reply.status == 405) reply.status = 200;
      }
      if (!fault->contentType.empty()) reply.contentType = fault->contentType;
      if (fault->status) reply.status = fault->status;
    }

    json entry = {{"time", utcTimestamp(std::chrono::system_clock::now())},
                  {"kind", kind.key},
                  {"method", r.method},
                  {"path", r.rawPath},
                  {"raw_query", r.rawQuery},
                  {"query", r.query},
                  {"form", r.form},
                  {"status", reply.status}};
    if (!reply.check.empty()) entry["check"] = reply.check;
    if (isUtf8(r.body)) {
      entry["body"] = r.body;
    } else {
      entry["body_base64"] = base64(r.body);
    }
    record(std::move(entry));

    res.status = reply.status;
    res.reason = reasonFor(reply.status);
    res.headers = std::move(reply.headers);
    // A cut announces the whole length, sends only the first bytes, then
    // drops the connection, as a server that dies part-way through would.
    if (fault && fault->cutAfter >= 0) res.cutAfter = fault->cutAfter;
    // The body is moved, not copied: a large feed is held once.
    setContent(res, std::move(reply.body), std::move(reply.contentType));
  }

  SimReply answer(const ServiceKind& kind, const SimRequest& r) {
    if (std::find(kind.methods.begin(), kind.methods.end(), r.method) == kind.methods.end()) {
      SimReply reply{405, "Method Not Allowed\n", "text/plain; charset=utf-8", {}, {}};
      std::string allow;
      for (const auto& m : kind.methods) allow += (allow.empty() ? "" : ", ") + m;
      reply.headers.emplace("Allow", allow);
      return reply;
    }
    SimContext ctx(data, campusTime());
    for (const Route& route : kind.routes) {
      const bool methodMatches = route.method == r.method || (route.method == "GET" && r.method == "HEAD");
      if (methodMatches && route.path == r.path) return route.handler(r, ctx);
    }
    std::string path = r.path;
    if (!path.empty() && path.back() == '/') path += "index.html";
    // Keyed answers and the accounts file are data, not addresses.
    const std::string last = path.substr(path.rfind('/') + 1);
    if (last.find('@') != std::string::npos || path == "/accounts.json") {
      return SimReply{404, "Not Found\n", "text/plain; charset=utf-8", {}, {}};
    }
    for (const KeyField& key : kind.keyFields) {
      if (key.path != path) continue;
      const std::string* value = nullptr;
      if (auto q = r.query.find(key.field); q != r.query.end()) value = &q->second;
      else if (auto f = r.form.find(key.field); f != r.form.end()) value = &f->second;
      if (!value) break;
      if (auto content = ctx.keyedFile(kind.folder, path, key.field, *value)) {
        return SimReply{200, std::move(*content), contentTypeFor(path), {}, {}};
      }
      break;
    }
    if (auto content = ctx.file(kind.folder, path)) {
      return SimReply{200, std::move(*content), contentTypeFor(path), {}, {}};
    }
    return SimReply{404, "Not Found\n", "text/plain; charset=utf-8", {}, {}};
  }

  // Makes the kind's HTTP server and starts its accept loop on the socket
  // already listening (launchMutex held).
  void launch(Server& s) {
    if (s.http || s.listenFd < 0) return;
    std::string why;
    HttpServiceMaker make = httpServiceMaker(&why);
    if (!make) {
      // Without the HTTP module no kind can answer: say so once and close the
      // socket, so callers are refused at once instead of waiting.
      if (!httpModuleMissingSaid.exchange(true)) std::cerr << "campus-sim: " << why << "\n";
      ::close(s.listenFd);
      s.listenFd = -1;
      return;
    }
    const ServiceKind* kind = s.kind;
    HttpHandler handler = [this, kind](const HttpIncoming& req, HttpOutgoing& res) { handle(*kind, req, res); };
    s.http.reset(make(s.listenFd, handler, kWorkersPerServer));
    s.listenFd = -1;
    HttpService* raw = s.http.get();
    s.thread = std::thread([raw] { raw->run(); });
  }

  void watch() {
    for (;;) {
      std::vector<pollfd> fds;
      std::vector<Server*> owners;
      {
        std::lock_guard<std::mutex> lock(launchMutex);
        fds.push_back({wakePipe[0], POLLIN, 0});
        owners.push_back(nullptr);
        for (auto& s : servers) {
          if (s->http || s->listenFd < 0) continue;
          fds.push_back({s->listenFd, POLLIN, 0});
          owners.push_back(s.get());
        }
      }
      if (fds.size() == 1) return;  // every kind is serving
      int n = ::poll(fds.data(), fds.size(), -1);
      if (n < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (fds[0].revents != 0) return;  // stop
      std::lock_guard<std::mutex> lock(launchMutex);
      for (size_t i = 1; i < fds.size(); ++i)
        if (fds[i].revents != 0) launch(*owners[i]);
    }
  }

  void stopAll() {
    if (wakePipe[1] >= 0) {
      char c = 0;
      (void)!::write(wakePipe[1], &c, 1);
    }
    if (watcher.joinable()) watcher.join();
    for (int& fd : wakePipe) {
      if (fd >= 0) ::close(fd);
      fd = -1;
    }
    std::lock_guard<std::mutex> lock(launchMutex);
    for (auto& s : servers) {
      while (s->http && s->thread.joinable() && !s->http->isRunning())
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    {
      std::lock_guard<std::mutex> stopLock(stopMutex);
      stopping = true;
    }
    stopCv.notify_all();
    for (auto& s : servers) {
      if (s->http) s->http->stop();
      if (s->listenFd >= 0) ::close(s->listenFd);
      s->listenFd = -1;
    }
    for (auto& s : servers) {
      if (s->thread.joinable()) s->thread.join();
    }
    servers.clear();
    started = false;
  }
};

CampusSim::CampusSim(SimOptions o) : impl_(std::make_unique<Impl>(std::move(o))) {}

CampusSim::~CampusSim() { stop(); }

void CampusSim::start() {
  if (impl_->started) return;
  Impl& im = *impl_;
  {
    std::error_code ec;
    if (!std::filesystem::is_directory(im.data.bundledDir(), ec)) {
      throw std::runtime_error("campus-sim: data folder not found: " + im.data.bundledDir());
    }
    if (!im.opt.overlayDir.empty() && !std::filesystem::is_directory(im.opt.overlayDir, ec)) {
      throw std::runtime_error("campus-sim: overlay data folder not found: " + im.opt.overlayDir);
    }
  }
  {
    std::lock_guard<std::mutex> lock(im.faultMutex);
    im.loadFaultFile(false);
    im.loadFaultFile(true);
  }
  if (!im.opt.logFile.empty()) {
    im.logOut.open(im.opt.logFile, std::ios::app);
    if (!im.logOut) throw std::runtime_error("campus-sim: cannot write the request log " + im.opt.logFile);
  }
  {
    std::lock_guard<std::mutex> lock(im.stopMutex);
    im.stopping = false;
  }

  // Every kind's socket listens now, so the deployment is complete and
  // connections queue; a kind's server and threads start on first use.
  const auto& kinds = serviceKinds();
  for (size_t i = 0; i < kinds.size(); ++i) {
    auto s = std::make_unique<Impl::Server>();
    s->kind = &kinds[i];
    const int wanted = im.opt.port > 0 ? im.opt.port + static_cast<int>(i) : 0;
    s->listenFd = listenOnLoopback(wanted, s->port);
    if (s->listenFd < 0) {
      im.stopAll();
      throw std::runtime_error(wanted > 0 ? "campus-sim: cannot listen on 127.0.0.1:" + std::to_string(wanted) +
                                                " for " + kinds[i].key
                                          : "campus-sim: cannot listen on a loopback port for " + kinds[i].key);
    }
    im.servers.push_back(std::move(s));
  }
  if (::pipe2(im.wakePipe, O_CLOEXEC) != 0) {
    im.stopAll();
    throw std::runtime_error("campus-sim: cannot make a wake-up pipe");
  }
  im.watcher = std::thread([&im] { im.watch(); });
  {
    auto bases = std::make_shared<std::map<std::string, std::string>>();
    for (const auto& s : im.servers) (*bases)[s->kind->key] = "http://127.0.0.1:" + std::to_string(s->port);
    std::lock_guard<std::mutex> lock(im.timeMutex);
    im.baseUrls = std::move(bases);
  }
  im.started = true;
}

void CampusSim::stop() {
  if (impl_->started || !impl_->servers.empty()) impl_->stopAll();
  if (impl_->logOut.is_open()) impl_->logOut.close();
}

bool CampusSim::running() const { return impl_->started; }

int CampusSim::port(const std::string& kind) const {
  for (const auto& s : impl_->servers) {
    if (s->kind->key == kind) return s->port;
  }
  return 0;
}

Deployment CampusSim::deployment() const {
  Deployment d;
  for (const auto& s : impl_->servers) d.baseUrls[s->kind->key] = "http://127.0.0.1:" + std::to_string(s->port);
  d.sipDomain = "yunxiu.edu.tw";
  d.reachabilityHost = "127.0.0.1";
  d.softphoneStoreLink = "https://apps.yunxiu.edu.tw/softphone";
  d.deviceModel = "Linux";
  d.wifiInterfaces = {"wlan0", "wlp2s0"};
  d.latitude = 24.1505;  // 雲岫大學's main gate (a made-up campus)
  d.longitude = 120.6843;
  return d;
}

std::vector<json> CampusSim::requests() const {
  std::lock_guard<std::mutex> lock(impl_->logMutex);
  return impl_->log;
}

void CampusSim::clearRequests() {
  std::lock_guard<std::mutex> lock(impl_->logMutex);
  impl_->log.clear();
}

void CampusSim::setFault(const std::string& path, Fault f) {
  std::lock_guard<std::mutex> lock(impl_->faultMutex);
  impl_->faults[path] = std::move(f);
}

void CampusSim::clearFaults() {
  std::lock_guard<std::mutex> lock(impl_->faultMutex);
  impl_->faults.clear();
}

void CampusSim::setNow(std::chrono::system_clock::time_point t) {
  std::lock_guard<std::mutex> lock(impl_->timeMutex);
  impl_->fixedNow = t;
}

}  // namespace yx::sim
