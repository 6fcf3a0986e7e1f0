#pragma once
// The device's IPv4 address on its Wi-Fi (or, failing that, wired) link.

#include <string>

namespace yx {

// Walks the interface list; of the IPv4 entries whose interface stands for
// the device's Wi-Fi link (the deployment's list, else the wireless
// interfaces, else the wired ones) the last in list order wins. "error" when
// the list cannot be read or holds no such entry.
std::string getIPAddress();

}  // namespace yx
