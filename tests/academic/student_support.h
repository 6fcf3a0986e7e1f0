#pragma once
// Set-up shared by the student screen tests: the app on the simulator with
// the profile already delivered, optionally a signed-in student, and the
// academic requests, cache files and settings as a person or another
// program finds them.

#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/settings.h"
#include "tests/campus/feeds_support.h"

namespace yx::test {

inline constexpr const char* kStudent = "41120307";
inline constexpr const char* kPassword = "cloud 8,7:sky";
inline constexpr const char* kMethods = "/emisappws/AppWebService.asmx/";

class StudentFixture : public FeedsFixture {
protected:
  // Before start(): the settings an earlier run left (values by key).
  void remember(const std::vector<std::pair<std::string, std::string>>& values) {
    Settings::standard().open(dataDir());
    for (auto& [k, v] : values) Settings::standard().setString(k, v);
    Settings::standard().synchronize();
    Settings::standard().close();
  }
  void startSignedIn(const std::string& number = kStudent, const std::string& password = kPassword) {
    remember({{"學號", number}, {"密碼", password}});
    startReady();
  }
  // Before start(): a cache file under Documents/DownloadXml.
  void leaveFile(const std::string& name, const std::string& body) {
    std::filesystem::path p = std::filesystem::path(dataDir()) / "Documents" / "DownloadXml" / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << body;
  }
  // A student method's answer for everyone (the generic answer).
  void answer(const std::string& method, const std::string& body) {
    serve("academic", std::string(kMethods) + method, body);
  }
  std::vector<nlohmann::json> academicRequests() {
    std::vector<nlohmann::json> out;
    for (auto& r : sim().requests())
      if (r.value("kind", "") == "academic") out.push_back(r);
    return out;
  }
  std::string setting(const std::string& key) { return Settings::standard().stringForKey(key).value_or("(absent)"); }
  // The top screen, as its class.
  template <class T> T* top() {
    auto* nav = Application::shared().navigation();
    return nav ? dynamic_cast<T*>(nav->topViewController()) : nullptr;
  }
  // Opens the Student menu from the Home menu.
  std::string openMenu() { return run("tap 3"); }
  // Signs in on the form on top.
  std::string signIn(const std::string& number = kStudent, const std::string& password = kPassword) {
    run("type idField " + number);
    run("type passwordField " + password);
    return run("tap inquiryBtn");
  }
  unsigned fileMode(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0;
  }
};

}  // namespace yx::test
