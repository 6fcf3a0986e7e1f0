#include "core/ip_address.h"

#include <algorithm>
#include <vector>

#include "platform/device.h"
#include "platform/network_state.h"

namespace yx {

namespace {
bool startsWith(const std::string& s, const char* p) { return s.rfind(p, 0) == 0; }

bool isWired(const std::string& name) {
  return startsWith(name, "eth") || startsWith(name, "en") || startsWith(name, "em");
}
}  // namespace

std::string getIPAddress() {
  auto list = Device::ipv4Addresses();
  if (!list) return "error";
  std::vector<std::string> wifi = NetworkState::shared().wifiInterfaces();
  auto pick = [&](auto&& matches) -> std::string {
    std::string found;
    for (const auto& entry : *list)
      if (matches(entry.name)) found = entry.ipv4;
    return found;
  };
  std::string ip = pick([&](const std::string& n) { return std::find(wifi.begin(), wifi.end(), n) != wifi.end(); });
  if (ip.empty()) ip = pick(isWired);
  return ip.empty() ? "error" : ip;
}

}  // namespace yx
