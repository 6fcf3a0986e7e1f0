#include "core/reachability.h"

#include <arpa/inet.h>

#include "platform/notify.h"

namespace yx {

namespace {
bool isDottedIPv4(const std::string& s) {
  in_addr a{};
  return inet_pton(AF_INET, s.c_str(), &a) == 1;
}
}  // namespace

std::shared_ptr<Reachability> Reachability::reachabilityWithHostName(const std::string& hostName) {
  if (hostName.empty()) return nullptr;
  return std::shared_ptr<Reachability>(new Reachability(hostName, false));
}

std::shared_ptr<Reachability> Reachability::reachabilityWithAddress(const std::string& ipv4) {
  if (!isDottedIPv4(ipv4)) return nullptr;
  return std::shared_ptr<Reachability>(new Reachability(ipv4, false));
}

std::shared_ptr<Reachability> Reachability::reachabilityForInternetConnection() {
  return std::shared_ptr<Reachability>(new Reachability("0.0.0.0", false));
}

std::shared_ptr<Reachability> Reachability::reachabilityForLocalWiFi() {
  return std::shared_ptr<Reachability>(new Reachability("169.254.0.0", true));
}

Reachability::~Reachability() { stopNotifier(); }

bool Reachability::startNotifier() {
  if (callback_) return true;
  std::weak_ptr<Reachability> weak = weak_from_this();
  callback_ = NetworkState::shared().addChangeCallback([weak] {
    if (auto self = weak.lock())
      NotificationCenter::defaultCenter().post(kNetworkReachabilityChangedNotification, self.get(),
                                               std::weak_ptr<Reachability>(self));
  });
  return true;
}

void Reachability::stopNotifier() {
  if (callback_) NetworkState::shared().removeChangeCallback(*callback_);
  callback_.reset();
}

std::optional<uint32_t> Reachability::flags() const {
  return NetworkState::shared().flagsForHost(host_);
}

NetworkStatus Reachability::networkStatusForFlags(uint32_t f) {
  if (!(f & reach::Reachable)) return NotReachable;
  NetworkStatus status = (f & reach::ConnectionRequired) ? NotReachable : ReachableViaWiFi;
  if ((f & (reach::ConnectionOnDemand | reach::ConnectionOnTraffic)) && !(f & reach::InterventionRequired))
    status = ReachableViaWiFi;
  if (f & reach::IsWWAN) status = ReachableViaWWAN;
  return status;
}

NetworkStatus Reachability::localWiFiStatusForFlags(uint32_t f) {
  return ((f & reach::Reachable) && (f & reach::IsDirect)) ? ReachableViaWiFi : NotReachable;
}

NetworkStatus Reachability::currentReachabilityStatus() const {
  auto f = flags();
  if (!f) return NotReachable;
  return localWiFi_ ? localWiFiStatusForFlags(*f) : networkStatusForFlags(*f);
}

bool Reachability::connectionRequired() const {
  auto f = flags();
  return f && (*f & reach::ConnectionRequired);
}

}  // namespace yx
