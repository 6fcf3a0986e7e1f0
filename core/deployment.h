#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace yx {

// Raised when a deployment file cannot be used. The message is one line that
// names the problem (unknown key, missing kind, parse error with its line).
struct DeploymentError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Where the outside servers live and the other per-installation values.
struct Deployment {
  // The server kinds that need a base URL, in the order the simulator and the
  // README list them.
  static const std::vector<std::string>& kinds();

  std::map<std::string, std::string> baseUrls;  // kind key -> base URL (no trailing "/")
  std::string sipDomain, reachabilityHost, softphoneStoreLink, deviceModel;
  std::vector<std::string> wifiInterfaces;
  double latitude = 0, longitude = 0;
  // A folder whose files replace the bundled resources of the same name
  // (building list, map); "" for none. Relative to the deployment file.
  std::string resourcesDir;

  // The base URL of that kind joined with a path and query exactly as written
  // ("//x" stays "//x"). Throws DeploymentError for a kind without a base URL.
  std::string url(std::string_view kind, std::string_view pathAndQuery) const;
  // The inverse: the path and query of a URL as the app wrote them, without
  // the base URL (scheme, host, port and path prefix) of the kind it starts
  // with (the longest such); for any other URL, what follows its host and port.
  std::string pathOf(std::string_view url) const;
  // The host of a base URL ("http://h:1/p" -> "h").
  static std::string hostOf(std::string_view url);

  static Deployment fromFile(const std::string& path);  // throws DeploymentError
  static Deployment fromJson(const std::string& text);  // throws DeploymentError

  // The file form of this deployment (what fromJson reads back).
  std::string toJson() const;

  // The deployment the app runs with. Set once at start-up, before other
  // threads read it.
  static const Deployment& current();
  static void setCurrent(Deployment d);
};

}  // namespace yx
