#include "platform/network_state.h"

#include <arpa/inet.h>
#include <dirent.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "platform/runloop.h"

namespace yx {

namespace {

struct Route {
  std::string iface;
  uint32_t dest = 0;     // host byte order
  uint32_t mask = 0;     // host byte order
  uint32_t gateway = 0;  // host byte order
};

std::vector<Route> readRoutes() {
  std::vector<Route> out;
  std::ifstream in("/proc/net/route");
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string iface, dest, gw, flags, refcnt, use, metric, mask;
    if (!(ls >> iface >> dest >> gw >> flags >> refcnt >> use >> metric >> mask)) continue;
    unsigned long f = std::strtoul(flags.c_str(), nullptr, 16);
    if (!(f & 0x1)) continue;  // RTF_UP
    // The kernel prints addresses in network byte order as hex.
    Route r;
    r.iface = iface;
    r.dest = ntohl(static_cast<uint32_t>(std::strtoul(dest.c_str(), nullptr, 16)));
    r.gateway = ntohl(static_cast<uint32_t>(std::strtoul(gw.c_str(), nullptr, 16)));
    r.mask = ntohl(static_cast<uint32_t>(std::strtoul(mask.c_str(), nullptr, 16)));
    out.push_back(r);
  }
  return out;
}

bool ipv6DefaultRouteVia(std::string* ifaceOut, const std::vector<std::string>& up) {
  std::ifstream in("/proc/net/ipv6_route");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream ls(line);
    std::string dest, plen, src, splen, next, metric, refcnt, use, flags, iface;
    if (!(ls >> dest >> plen >> src >> splen >> next >> metric >> refcnt >> use >> flags >> iface))
      continue;
    if (plen != "00" || dest != std::string(32, '0')) continue;
    if (std::find(up.begin(), up.end(), iface) == up.end()) continue;
    *ifaceOut = iface;
    return true;
  }
  return false;
}

// Interfaces that are up and running, not loopback, with their IPv4 subnets.
struct Iface {
  std::string name;
  uint32_t addr = 0, mask = 0;
};

std::vector<Iface> upInterfaces() {
  std::vector<Iface> out;
  struct ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return out;
  for (auto* i = list; i; i = i->ifa_next) {
    if (!i->ifa_name) continue;
    if (!(i->ifa_flags & IFF_UP) || !(i->ifa_flags & IFF_RUNNING) || (i->ifa_flags & IFF_LOOPBACK))
      continue;
    Iface f;
    f.name = i->ifa_name;
    if (i->ifa_addr && i->ifa_addr->sa_family == AF_INET) {
      f.addr = ntohl(reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr);
      if (i->ifa_netmask)
        f.mask = ntohl(reinterpret_cast<const sockaddr_in*>(i->ifa_netmask)->sin_addr.s_addr);
    }
    out.push_back(f);
  }
  ::freeifaddrs(list);
  return out;
}

bool isCellularName(const std::string& n) {
  for (const char* p : {"wwan", "ppp", "rmnet", "wwp"})
    if (n.rfind(p, 0) == 0) return true;
  return false;
}

}  // namespace

NetworkState& NetworkState::shared() {
  static NetworkState* s = new NetworkState();
  return *s;
}

int NetworkState::classify(uint32_t flags) {
  if (!(flags & reach::Reachable)) return 0;
  int status = (flags & reach::ConnectionRequired) ? 0 : 1;
  if ((flags & (reach::ConnectionOnDemand | reach::ConnectionOnTraffic)) &&
      !(flags & reach::InterventionRequired))
    status = 1;
  if (flags & reach::IsWWAN) status = 2;
  return status;
}

uint32_t NetworkState::kernelFlags(const std::string& host) {
  std::string h = host;
  if (h == "localhost" || h == "::1") return reach::Reachable | reach::IsDirect;
  in_addr a{};
  bool dotted = ::inet_pton(AF_INET, h.c_str(), &a) == 1;
  uint32_t target = dotted ? ntohl(a.s_addr) : 0;
  if (dotted && (target >> 24) == 127) return reach::Reachable | reach::IsDirect;

  auto ifaces = upInterfaces();
  std::vector<std::string> upNames;
  for (const auto& f : ifaces) upNames.push_back(f.name);
  auto isUp = [&](const std::string& n) {
    return std::find(upNames.begin(), upNames.end(), n) != upNames.end();
  };
  auto withKind = [](uint32_t flags, const std::string& iface) {
    return isCellularName(iface) ? (flags | reach::IsWWAN) : flags;
  };

  // Best (longest prefix) IPv4 route over an interface that is up.
  const Route* best = nullptr;
  auto routes = readRoutes();
  for (const auto& r : routes) {
    if (!isUp(r.iface)) continue;
    if ((target & r.mask) != (r.dest & r.mask)) continue;
    if (!best || r.mask > best->mask) best = &r;
  }
  if (best) {
    uint32_t flags = reach::Reachable;
    if (dotted && target != 0 && best->gateway == 0) flags |= reach::IsDirect;
    return withKind(flags, best->iface);
  }
  if (dotted && target != 0) {
    // A link-local target is reachable on any interface holding such an
    // address, even without a route entry.
    for (const auto& f : ifaces) {
      if (f.mask && (f.addr & f.mask) == (target & f.mask))
        return withKind(reach::Reachable | reach::IsDirect, f.name);
    }
    return 0;
  }
  std::string v6;
  if (ipv6DefaultRouteVia(&v6, upNames)) return withKind(reach::Reachable, v6);
  return 0;
}

uint32_t NetworkState::flagsForHost(const std::string& host) {
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (override_) return *override_;
  }
  return kernelFlags(host);
}

void NetworkState::setOverride(std::optional<uint32_t> flags) {
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (lastClass_ < 0) lastClass_ = classify(override_ ? *override_ : kernelFlags(""));
    override_ = flags;
  }
  checkAndNotify();
}

std::optional<uint32_t> NetworkState::override() const {
  std::lock_guard<std::mutex> lock(mu_);
  return override_;
}

void NetworkState::setWifiInterfaces(std::vector<std::string> names) {
  std::lock_guard<std::mutex> lock(mu_);
  wifi_ = std::move(names);
}

std::vector<std::string> NetworkState::wifiInterfaces() const {
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (!wifi_.empty()) return wifi_;
  }
  std::vector<std::string> out;
  if (DIR* d = ::opendir("/sys/class/net")) {
    while (auto* e = ::readdir(d)) {
      std::string name = e->d_name;
      if (name == "." || name == "..") continue;
      struct stat st {};
      if (::stat(("/sys/class/net/" + name + "/wireless").c_str(), &st) == 0) out.push_back(name);
    }
    ::closedir(d);
  }
  std::sort(out.begin(), out.end());
  return out;
}

NetworkState::CallbackId NetworkState::addChangeCallback(std::function<void()> fn) {
  std::lock_guard<std::mutex> lock(mu_);
  CallbackId id = nextId_++;
  callbacks_.emplace_back(id, std::move(fn));
  return id;
}

void NetworkState::removeChangeCallback(CallbackId id) {
  std::lock_guard<std::mutex> lock(mu_);
  callbacks_.erase(std::remove_if(callbacks_.begin(), callbacks_.end(),
                                  [id](const auto& e) { return e.first == id; }),
                   callbacks_.end());
}

void NetworkState::checkAndNotify() {
  int cls = classify(flagsForHost(""));
  std::vector<CallbackId> ids;
  {
    std::lock_guard<std::mutex> lock(mu_);
    bool changed = lastClass_ >= 0 && cls != lastClass_;
    lastClass_ = cls;
    if (!changed) return;
    for (const auto& e : callbacks_) ids.push_back(e.first);
  }
  // Look the callbacks up when they run, so a removed one is not called.
  RunLoop::main().post([this, ids] {
    for (CallbackId id : ids) {
      std::function<void()> fn;
      {
        std::lock_guard<std::mutex> lock(mu_);
        for (const auto& e : callbacks_)
          if (e.first == id) fn = e.second;
      }
      if (fn) fn();
    }
  });
}

void NetworkState::startMonitoring(double intervalSeconds) {
  stopMonitoring();
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (lastClass_ < 0) lastClass_ = classify(override_ ? *override_ : kernelFlags(""));
  }
  if (!(intervalSeconds > 0)) intervalSeconds = 5;
  TimerId id = RunLoop::main().schedule(intervalSeconds, [this] { checkAndNotify(); }, true);
  std::lock_guard<std::mutex> lock(mu_);
  timer_ = id;
}

void NetworkState::stopMonitoring() {
  TimerId id;
  {
    std::lock_guard<std::mutex> lock(mu_);
    id = timer_;
    timer_ = 0;
  }
  if (id) RunLoop::main().cancel(id);
}

void NetworkState::reset() {
  stopMonitoring();
  std::lock_guard<std::mutex> lock(mu_);
  override_.reset();
  wifi_.clear();
  callbacks_.clear();
  lastClass_ = -1;
}

}  // namespace yx
