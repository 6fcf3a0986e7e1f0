#pragma once
// Network reachability monitor: reads the platform flags for a host (or any
// route, or the link-local Wi-Fi network), classifies them, and posts
// "kNetworkReachabilityChangedNotification" (object: the monitor) when the
// network state changes.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/network_state.h"

namespace yx {

inline constexpr const char* kNetworkReachabilityChangedNotification =
    "kNetworkReachabilityChangedNotification";

// Connection status: 0 not reachable, 1 Wi-Fi or another non-cellular link, 2 cellular.
enum NetworkStatus : int { NotReachable = 0, ReachableViaWiFi = 1, ReachableViaWWAN = 2 };

class Reachability : public std::enable_shared_from_this<Reachability> {
public:
  // Null when the target cannot be created (an empty host name).
  static std::shared_ptr<Reachability> reachabilityWithHostName(const std::string& hostName);
  // A dotted IPv4 address; null when it is not one.
  static std::shared_ptr<Reachability> reachabilityWithAddress(const std::string& ipv4);
  static std::shared_ptr<Reachability> reachabilityForInternetConnection();
  static std::shared_ptr<Reachability> reachabilityForLocalWiFi();

  ~Reachability();

  // Starts hearing changes; each one posts the notification on the main thread.
  bool startNotifier();
  void stopNotifier();

  NetworkStatus currentReachabilityStatus() const;
  bool connectionRequired() const;

  static NetworkStatus networkStatusForFlags(uint32_t flags);
  static NetworkStatus localWiFiStatusForFlags(uint32_t flags);

  const std::string& host() const { return host_; }
  bool localWiFiRef() const { return localWiFi_; }

private:
  Reachability(std::string host, bool localWiFi) : host_(std::move(host)), localWiFi_(localWiFi) {}
  std::optional<uint32_t> flags() const;

  std::string host_;  // "" or "0.0.0.0": any route
  bool localWiFi_ = false;
  std::optional<NetworkState::CallbackId> callback_;
};

}  // namespace yx
