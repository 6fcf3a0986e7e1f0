#pragma once
// Shared set-up for the library screen tests: the app on the embedded
// simulator with the profile already delivered, simulator overlays for the
// library's servers, and patron documents made to order.

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/application.h"
#include "platform/settings.h"
#include "platform/ui/view.h"
#include "tests/campus/feeds_support.h"

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

class LibraryFixture : public FeedsFixture {
protected:
  // Stores settings before start(), as an earlier run would have.
  void storeBeforeStart(const std::vector<std::pair<std::string, Value>>& values) {
    Settings::standard().open(dataDir());
    for (const auto& [key, value] : values) Settings::standard().setObject(key, value);
    Settings::standard().synchronize();
    Settings::standard().close();
  }
  // The catalogue accepts exactly these barcode -> password pairs.
  void accounts(const nlohmann::json& pairs) { serve("library_catalogue", "/accounts.json", pairs.dump()); }
  // The account document served to an accepted barcode.
  void patronFile(const std::string& barcode, const std::string& body) {
    serve("library_catalogue", "/cgi-bin/patron-activity@barcode=" + barcode, body);
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
  // From a list that opened with its alert: to the menu, log out, go home.
  void logoutAndGoHome() {
    run("alert 0");
    run("tap 3 登出");
    run("alert 0");
    run("tap 1");
  }

  std::vector<nlohmann::json> logins() { return requestsFor("/cgi-bin/patron-activity"); }
  std::optional<std::string> setting(const std::string& key) { return Settings::standard().stringForKey(key); }
  // What the settings file holds under a key, read by Python's plistlib:
  // "bytes:<hex>" for data, "str:<text>", "absent".
  std::string storedOnDisk(const std::string& key) {
    return commandOutput(
        "python3 -c 'import plistlib,sys\nd=plistlib.load(open(sys.argv[1],\"rb\"))\nv=d.get(sys.argv[2])\n"
        "print(\"absent\" if v is None else \"bytes:\"+v.hex() if isinstance(v,bytes) else \"str:\"+str(v))' '" +
        dataDir() + "/settings.plist' '" + key + "' 2>&1");
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
};

}  // namespace yx::test
