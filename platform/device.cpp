#include "platform/device.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/utsname.h>

#include <fstream>
#include <mutex>

namespace yx {

namespace {
std::mutex gMu;
std::optional<DeviceInfo> gInfo;
std::optional<std::vector<InterfaceAddress>> gAddresses;
bool gAddressesUnreadable = false;

std::string firstLine(const char* path) {
  std::ifstream in(path);
  std::string line;
  if (in) std::getline(in, line);
  while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
  return line;
}
}  // namespace

DeviceInfo Device::info() {
  {
    std::lock_guard<std::mutex> lock(gMu);
    if (gInfo) return *gInfo;
  }
  DeviceInfo d;
  struct utsname u {};
  if (::uname(&u) == 0) {
    d.systemName = u.sysname;
    d.systemVersion = u.release;
    d.model = u.machine;
  } else {
    d.systemName = "Linux";
  }
  std::string product = firstLine("/sys/class/dmi/id/product_name");
  if (!product.empty()) d.model = product;
  if (d.model.empty()) d.model = "PC";
  return d;
}

void Device::setInfoOverride(std::optional<DeviceInfo> info) {
  std::lock_guard<std::mutex> lock(gMu);
  gInfo = std::move(info);
}

std::optional<std::vector<InterfaceAddress>> Device::ipv4Addresses() {
  {
    std::lock_guard<std::mutex> lock(gMu);
    if (gAddressesUnreadable) return std::nullopt;
    if (gAddresses) return gAddresses;
  }
  struct ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return std::nullopt;
  std::vector<InterfaceAddress> out;
  for (struct ifaddrs* i = list; i; i = i->ifa_next) {
    if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET || !i->ifa_name) continue;
    char buf[INET_ADDRSTRLEN] = {0};
    auto* sin = reinterpret_cast<const struct sockaddr_in*>(i->ifa_addr);
    if (::inet_ntop(AF_INET, &sin->sin_addr, buf, sizeof buf)) out.push_back({i->ifa_name, buf});
  }
  ::freeifaddrs(list);
  return out;
}

void Device::setAddressesOverride(std::optional<std::vector<InterfaceAddress>> list) {
  std::lock_guard<std::mutex> lock(gMu);
  gAddresses = std::move(list);
  gAddressesUnreadable = false;
}

void Device::setAddressesUnreadable() {
  std::lock_guard<std::mutex> lock(gMu);
  gAddresses.reset();
  gAddressesUnreadable = true;
}

}  // namespace yx
