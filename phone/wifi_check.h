#pragma once
// The campus Wi-Fi portals: which campus the device's address is on, and the
// sign-in request to that campus's portal.

#include <optional>
#include <string>

namespace yx::phone {

class wifiCheck {
public:
  // The device's IPv4 address on its Wi-Fi link, "error" when there is none.
  std::string getIPAddress();
  // The campus of an address, from its third part read as C's atoi reads
  // it: 4-7 "tai", 8-19 "orn", 27-29 "yi", 48-59 "orn", 246-253 "orn";
  // nothing for other values and for text of fewer than three parts.
  std::optional<std::string> wifiStrLength(const std::string& address);
  // Posts "username=…&userpwd=…&login=submit" (each value escaped as a
  // component) to the campus's portal. Accepted when the answer is UTF-8
  // text that holds "show_portal=1": the account and password are then
  // remembered ("wifiUser", "wifiPass"). False for a campus without a portal.
  bool postRequstWifi(const std::string& user, const std::string& pass, const std::string& login,
                      const std::string& where);
  // Signs out at the main campus's portal; the answer is not looked at.
  void logout();
};

}  // namespace yx::phone
