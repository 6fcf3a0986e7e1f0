#pragma once
// Shared set-up for the library screen tests: the app on the embedded
// simulator with the profile already delivered, simulator overlays for the
// library's servers, and patron documents made to order.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/application.h"
#include "platform/settings.h"
#include "platform/ui/view.h"
#include "tests/support/app_fixture.h"

namespace yx::test {

// One checkout or request of a patron document; "-" leaves the child out.
struct Loan {
  std::string dueDate, title, status = "charged", barcode = "B0001", format = "book", bibId = "1";
};
struct Hold {
  std::string title, dueDate = "2026-12-20", pickup = "總館", format = "book", bibId = "9";
};

inline std::string patronDocument(const std::vector<Loan>& loans, const std::vector<Hold>& holds = {}) {
  auto el = [](const char* name, const std::string& v) {
    return v == "-" ? std::string() : "<" + std::string(name) + ">" + v + "</" + name + ">";
  };
  std::string s = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><patronInfo><patron><checkouts>";
  for (const auto& l : loans)
    s += "<checkout>" + el("dueDate", l.dueDate) + el("title", l.title) + el("status", l.status) +
         el("barcode", l.barcode) + el("format", l.format) + el("bibId", l.bibId) + "</checkout>";
  s += "</checkouts><requests>";
  for (const auto& h : holds)
    s += "<request>" + el("title", h.title) + el("dueDate", h.dueDate) + el("pickupLocation", h.pickup) +
         el("format", h.format) + el("bibId", h.bibId) + "</request>";
  return s + "</requests></patron></patronInfo>";
}

class LibraryFixture : public AppFixture {
protected:
  void startReady() {
    rememberProfileDelivered();
    start();
  }

  // Stores settings before start(), as an earlier run would have.
  void storeBeforeStart(const std::string& key, const Value& value) {
    Settings::standard().open(dataDir());
    Settings::standard().setString("個人資料", "填寫過");
    Settings::standard().setObject(key, value);
    Settings::standard().synchronize();
    Settings::standard().close();
  }

  std::string overlay() {
    if (overlay_.empty()) {
      overlay_ = dataDir() + "-overlay";
      std::filesystem::create_directories(overlay_);
      options.simData = overlay_;
    }
    return overlay_;
  }
  // A file of a kind's folder in the overlay (before start, or any time after).
  void serve(const std::string& folder, const std::string& path, const std::string& body) {
    std::filesystem::path p = std::filesystem::path(overlay()) / folder / path.substr(1);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << body;
  }
  // The catalogue accepts exactly these barcode -> password pairs.
  void accounts(const nlohmann::json& pairs) { serve("library_catalogue", "/accounts.json", pairs.dump()); }
  // The account document served to an accepted barcode.
  void patronFile(const std::string& barcode, const std::string& body) {
    serve("library_catalogue", "/cgi-bin/patron-activity@barcode=" + barcode, body);
  }

  void TearDown() override {
    AppFixture::TearDown();
    if (!overlay_.empty()) {
      std::error_code ec;
      std::filesystem::remove_all(overlay_, ec);
      overlay_.clear();
      options.simData.clear();
    }
  }

  // Home -> 圖書館 -> the function titled `label`.
  std::string openFunction(const std::string& label) {
    run("tap 19");
    static const std::vector<std::string> labels = {"開放時間", "逾期紀錄", "預約到館", "借閱紀錄", "電子資源新訊"};
    for (size_t i = 0; i < labels.size(); ++i)
      if (labels[i] == label) return run("tap " + std::to_string(i) + " " + label);
    return "error: no function " + label;
  }
  // Types both fields on the login screen and presses the login button.
  std::string login(const std::string& id, const std::string& password) {
    run("type libIDField " + id);
    run("type libPWField " + password);
    run("tap inquiryBtn");
    return run("wait 0.2");
  }

  template <class T> T* top() {
    auto* nav = Application::shared().navigation();
    return nav ? dynamic_cast<T*>(nav->topViewController()) : nullptr;
  }
  std::vector<nlohmann::json> logins() { return requestsFor("/cgi-bin/patron-activity"); }
  std::optional<std::string> setting(const std::string& key) { return Settings::standard().stringForKey(key); }
  // What the settings file holds under a key, read by Python's plistlib:
  // "bytes:<hex>" for data, "str:<text>", "absent".
  std::string storedOnDisk(const std::string& key) {
    std::string cmd =
        "python3 -c 'import plistlib,sys\nd=plistlib.load(open(sys.argv[1],\"rb\"))\nv=d.get(sys.argv[2])\n"
        "print(\"absent\" if v is None else \"bytes:\"+v.hex() if isinstance(v,bytes) else \"str:\"+str(v))' '" +
        dataDir() + "/settings.plist' '" + key + "' 2>&1";
    std::string out;
    if (FILE* f = ::popen(cmd.c_str(), "r")) {
      char buf[4096];
      size_t n;
      while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
      ::pclose(f);
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
  }
  static std::string hex(const std::string& bytes) {
    static const char* d = "0123456789abcdef";
    std::string h;
    for (unsigned char c : bytes) {
      h += d[c >> 4];
      h += d[c & 15];
    }
    return h;
  }
  static bool has(const std::string& screen, const std::string& text) {
    return screen.find(text) != std::string::npos;
  }

private:
  std::string overlay_;
};

}  // namespace yx::test
