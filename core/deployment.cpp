#include "core/deployment.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

namespace yx {
namespace {

using nlohmann::json;

const char* const kOtherKeys[] = {"sip_domain",     "reachability_host", "softphone_store_link",
                                  "wifi_interfaces", "device_model",      "location",
                                  "resources"};

[[noreturn]] void fail(const std::string& where, const std::string& problem) {
  std::string line = where + ": " + problem;
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  throw DeploymentError(line);
}

// "http://host[:port][/prefix]" or https. Returns an empty string when valid,
// otherwise why not.
std::string checkBaseUrl(const std::string& url) {
  std::string_view rest;
  if (url.rfind("http://", 0) == 0) {
    rest = std::string_view(url).substr(7);
  } else if (url.rfind("https://", 0) == 0) {
    rest = std::string_view(url).substr(8);
  } else {
    return "must start with http:// or https://";
  }
  auto hostEnd = rest.find_first_of("/?#");
  std::string_view host = rest.substr(0, hostEnd);
  if (host.empty()) return "has no host";
  if (hostEnd != std::string_view::npos && rest[hostEnd] != '/') return "must not carry a query or fragment";
  for (char c : url) {
    if (static_cast<unsigned char>(c) <= ' ') return "must not contain spaces or control characters";
  }
  return {};
}

std::string stringValue(const std::string& where, const json& doc, const char* key) {
  const json& v = doc.at(key);
  if (!v.is_string()) fail(where, std::string("\"") + key + "\" must be a string");
  return v.get<std::string>();
}

Deployment parse(const std::string& where, const std::string& text) {
  json doc;
  try {
    doc = json::parse(text);
  } catch (const json::parse_error& e) {
    std::string what = e.what();
    // Drop the library's "[json.exception.parse_error.101] " tag; keep "parse
    // error at line L, column C: ...".
    if (auto close = what.find("] "); what.rfind("[json.exception", 0) == 0 && close != std::string::npos) {
      what = what.substr(close + 2);
    }
    fail(where, "not valid JSON: " + what);
  }
  if (!doc.is_object()) fail(where, "must hold one JSON object");

  std::set<std::string> known(Deployment::kinds().begin(), Deployment::kinds().end());
  known.insert(std::begin(kOtherKeys), std::end(kOtherKeys));
  for (const auto& item : doc.items()) {
    if (!known.count(item.key())) fail(where, "unknown key \"" + item.key() + "\"");
  }

  Deployment d;
  for (const std::string& kind : Deployment::kinds()) {
    if (!doc.contains(kind)) fail(where, "missing kind \"" + kind + "\" (a base URL is needed for every server kind)");
    std::string url = stringValue(where, doc, kind.c_str());
    if (std::string why = checkBaseUrl(url); !why.empty()) {
      fail(where, "\"" + kind + "\" " + why + " (got \"" + url + "\")");
    }
    // One trailing "/" is dropped so that joining with "/path" gives one slash.
    if (url.size() > 1 && url.back() == '/' && url[url.size() - 2] != '/') url.pop_back();
    d.baseUrls[kind] = url;
  }

  auto host = [](const std::string& url) { return Deployment::hostOf(url); };
  d.sipDomain = doc.contains("sip_domain") ? stringValue(where, doc, "sip_domain") : host(d.baseUrls["sip_registration"]);
  d.reachabilityHost =
      doc.contains("reachability_host") ? stringValue(where, doc, "reachability_host") : host(d.baseUrls["campus_data"]);
  d.softphoneStoreLink = doc.contains("softphone_store_link") ? stringValue(where, doc, "softphone_store_link") : "";
  d.deviceModel = doc.contains("device_model") ? stringValue(where, doc, "device_model") : "Linux";
  if (doc.contains("resources")) {
    d.resourcesDir = stringValue(where, doc, "resources");
    if (d.resourcesDir.empty()) fail(where, "\"resources\" must name a folder");
  }

  if (doc.contains("wifi_interfaces")) {
    const json& list = doc["wifi_interfaces"];
    if (!list.is_array()) fail(where, "\"wifi_interfaces\" must be an array of interface names");
    for (const json& name : list) {
      if (!name.is_string() || name.get<std::string>().empty()) {
        fail(where, "\"wifi_interfaces\" must be an array of interface names");
      }
      d.wifiInterfaces.push_back(name.get<std::string>());
    }
  } else {
    d.wifiInterfaces = {"wlan0"};
  }

  if (doc.contains("location")) {
    const json& loc = doc["location"];
    const char* shape = "\"location\" must be an object with the numbers \"latitude\" and \"longitude\"";
    if (!loc.is_object() || !loc.contains("latitude") || !loc.contains("longitude") ||
        !loc["latitude"].is_number() || !loc["longitude"].is_number()) {
      fail(where, shape);
    }
    for (const auto& item : loc.items()) {
      if (item.key() != "latitude" && item.key() != "longitude") fail(where, "unknown key \"location." + item.key() + "\"");
    }
    d.latitude = loc["latitude"].get<double>();
    d.longitude = loc["longitude"].get<double>();
    if (d.latitude < -90 || d.latitude > 90 || d.longitude < -180 || d.longitude > 180) {
      fail(where, "\"location\" is outside the range of latitudes and longitudes");
    }
  }
  return d;
}

std::mutex& currentMutex() {
  static std::mutex m;
  return m;
}
Deployment& currentStorage() {
  static Deployment d;
  return d;
}

}  // namespace

const std::vector<std::string>& Deployment::kinds() {
  static const std::vector<std::string> k = {
      "campus_data", "academic",        "library_catalogue", "library_info", "library_web",
      "sip_registration", "wifi_orn",   "wifi_yi",           "wifi_tai",     "news_pages",
      "course_enrolment", "newspaper_web", "camera",         "weather",      "bus_info"};
  return k;
}

std::string Deployment::url(std::string_view kind, std::string_view pathAndQuery) const {
  auto it = baseUrls.find(std::string(kind));
  if (it == baseUrls.end()) throw DeploymentError("deployment: no base URL for the server kind \"" + std::string(kind) + "\"");
  std::string out = it->second;
  out.append(pathAndQuery);
  return out;
}

std::string Deployment::pathOf(std::string_view url) const {
  std::size_t best = 0;
  bool found = false;
  for (const auto& [kind, base] : baseUrls) {
    if (base.size() < best || url.compare(0, base.size(), base) != 0) continue;
    if (url.size() > base.size() && url[base.size()] != '/' && url[base.size()] != '?' && url[base.size()] != '#')
      continue;
    best = base.size();
    found = true;
  }
  if (found) return std::string(url.substr(best));
  auto scheme = url.find("://");
  if (scheme == std::string_view::npos) return std::string(url);
  auto path = url.find_first_of("/?#", scheme + 3);
  return path == std::string_view::npos ? std::string() : std::string(url.substr(path));
}

std::string Deployment::hostOf(std::string_view url) {
  auto scheme = url.find("://");
  auto start = scheme == std::string_view::npos ? 0 : scheme + 3;
  auto end = url.find_first_of("/:?#", start);
  return std::string(url.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

Deployment Deployment::fromJson(const std::string& text) { return parse("deployment file", text); }

Deployment Deployment::fromFile(const std::string& path) {
  const std::string where = "deployment file " + path;
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) fail(where, "cannot be read (it is a folder)");
  std::ifstream in(path, std::ios::binary);
  if (!in) fail(where, std::string("cannot be read (") + std::strerror(errno) + ")");
  std::ostringstream buf;
  buf << in.rdbuf();
  if (in.bad()) fail(where, "cannot be read");
  Deployment d = parse(where, buf.str());
  if (!d.resourcesDir.empty() && std::filesystem::path(d.resourcesDir).is_relative())
    d.resourcesDir = (std::filesystem::absolute(path).parent_path() / d.resourcesDir).lexically_normal().string();
  return d;
}

std::string Deployment::toJson() const {
  json doc = json::object();
  for (const auto& [kind, url] : baseUrls) doc[kind] = url;
  doc["sip_domain"] = sipDomain;
  doc["reachability_host"] = reachabilityHost;
  doc["softphone_store_link"] = softphoneStoreLink;
  doc["wifi_interfaces"] = wifiInterfaces;
  doc["device_model"] = deviceModel;
  doc["location"] = {{"latitude", latitude}, {"longitude", longitude}};
  if (!resourcesDir.empty()) doc["resources"] = resourcesDir;
  return doc.dump(2) + "\n";
}

const Deployment& Deployment::current() {
  std::lock_guard<std::mutex> lock(currentMutex());
  return currentStorage();
}

void Deployment::setCurrent(Deployment d) {
  std::lock_guard<std::mutex> lock(currentMutex());
  currentStorage() = std::move(d);
}

}  // namespace yx
