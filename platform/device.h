#pragma once
// Facts about the device: model, system name and version, and the IPv4
// addresses of its network interfaces. Real values come from the kernel
// (uname, DMI, getifaddrs); tests and the driver can set stand-ins.

#include <optional>
#include <string>
#include <vector>

namespace yx {

struct DeviceInfo {
  std::string model;          // e.g. "ThinkPad X1 Carbon", else the machine type
  std::string systemName;     // e.g. "Linux"
  std::string systemVersion;  // e.g. "6.1.0-18-amd64"
};

struct InterfaceAddress {
  std::string name;  // interface name, e.g. "wlan0"
  std::string ipv4;  // dotted form
};

class Device {
public:
  static DeviceInfo info();
  static void setInfoOverride(std::optional<DeviceInfo> info);

  // IPv4 entries of the interface list, in the kernel's order. Nothing when
  // the list cannot be read.
  static std::optional<std::vector<InterfaceAddress>> ipv4Addresses();
  // A stand-in list; nullopt returns to the kernel's list.
  static void setAddressesOverride(std::optional<std::vector<InterfaceAddress>> list);
  // A stand-in for a list that cannot be read (until the next override).
  static void setAddressesUnreadable();
};

}  // namespace yx
