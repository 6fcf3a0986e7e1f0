#include "phone/wifi_check.h"

#include "core/ip_address.h"
#include "core/screen_kit.h"
#include "phone/phone_kit.h"
#include "platform/escape.h"
#include "platform/http.h"
#include "platform/settings.h"
#include "platform/text.h"

namespace yx::phone {

namespace {
constexpr const char* kSignInPath = "/cgi-bin/ace_web_auth.cgi";
}

std::string wifiCheck::getIPAddress() { return yx::getIPAddress(); }

std::optional<std::string> wifiCheck::wifiStrLength(const std::string& address) {
  std::vector<std::string> parts = splitText(address, '.');
  if (parts.size() < 3) return std::nullopt;
  const int x = leadingInt(parts[2]);
  if (x >= 4 && x <= 7) return "tai";
  if ((x >= 8 && x <= 19) || (x >= 48 && x <= 59) || (x >= 246 && x <= 253)) return "orn";
  if (x >= 27 && x <= 29) return "yi";
  return std::nullopt;
}

bool wifiCheck::postRequstWifi(const std::string& user, const std::string& pass, const std::string& login,
                               const std::string& where) {
  if (where != "orn" && where != "yi" && where != "tai") return false;
  auto url = serverURL("wifi_" + where, kSignInPath);
  if (!url) return false;
  HttpResult r = httpPost(*url, "username=" + componentEscape(user) + "&userpwd=" + componentEscape(pass) +
                                    "&login=" + componentEscape(login), 60);
  if (!r.ok) return false;
  auto text = decodeUtf8(std::optional<std::string>(std::move(r.body)));
  if (!text || text->find("show_portal=1") == std::string::npos) return false;
  Settings::standard().setObjects({{"wifiUser", Value(user)}, {"wifiPass", Value(pass)}});
  return true;
}

void wifiCheck::logout() {
  if (auto url = serverURL("wifi_orn", std::string(kSignInPath) + "?logout")) (void)httpGet(*url, 60);
}

}  // namespace yx::phone
