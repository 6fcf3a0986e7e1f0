#pragma once
// Network reachability: flags in the phone platform's bit values, computed
// from the kernel's interfaces and routes, or from an override set by tests
// and the driver ("net off|on|wifi|3g").

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace yx {

namespace reach {
constexpr uint32_t Reachable = 0x2;
constexpr uint32_t ConnectionRequired = 0x4;
constexpr uint32_t ConnectionOnTraffic = 0x8;
constexpr uint32_t InterventionRequired = 0x10;
constexpr uint32_t ConnectionOnDemand = 0x20;
constexpr uint32_t IsDirect = 0x20000;
constexpr uint32_t IsWWAN = 0x40000;
}  // namespace reach

class NetworkState {
public:
  static NetworkState& shared();

  // Flags for reaching host (a name or dotted IPv4; "" or "0.0.0.0" means
  // any route). Without an override they come from the kernel: a host name
  // or the any-route address is Reachable when an interface that is up and
  // not loopback carries a default route; a dotted address is Reachable when
  // a route (or an interface's own subnet, for link-local addresses) covers
  // it, with IsDirect when no gateway is needed. IsWWAN is added when the
  // route leaves through a cellular interface (wwan*, ppp*, rmnet*, wwp*).
  // Loopback hosts are always Reachable | IsDirect.
  uint32_t flagsForHost(const std::string& host);

  // Forces the flags for every host; nothing returns to the kernel's view.
  void setOverride(std::optional<uint32_t> flags);
  std::optional<uint32_t> override() const;

  // The names of the interfaces that count as the Wi-Fi link, in the order
  // the deployment gives them (used to find the device's Wi-Fi address).
  // When none were set: the kernel's wireless interfaces, in name order.
  void setWifiInterfaces(std::vector<std::string> names);
  std::vector<std::string> wifiInterfaces() const;

  // Called on the main queue when the classified state (0 none, 1 wifi,
  // 2 cellular) of the any-route target changes: after an override change,
  // or when the periodic kernel check started by startMonitoring() sees one.
  using CallbackId = std::uint64_t;
  CallbackId addChangeCallback(std::function<void()> fn);
  void removeChangeCallback(CallbackId id);
  // Checks the kernel's view every intervalSeconds (on a main-loop timer).
  void startMonitoring(double intervalSeconds = 5);
  void stopMonitoring();

  // The 0/1/2 classification of flags (0 none, 1 wifi/other, 2 cellular).
  static int classify(uint32_t flags);

  // Tests: forget override, callbacks, interface list and monitoring.
  void reset();

private:
  NetworkState() = default;
  void checkAndNotify();
  uint32_t kernelFlags(const std::string& host);

  mutable std::mutex mu_;
  std::optional<uint32_t> override_;
  std::vector<std::string> wifi_;
  std::vector<std::pair<CallbackId, std::function<void()>>> callbacks_;
  CallbackId nextId_ = 1;
  int lastClass_ = -1;
  std::uint64_t timer_ = 0;
};

}  // namespace yx
