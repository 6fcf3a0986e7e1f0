#pragma once
// Shared set-up for the telephone, Wi-Fi and feedback screen tests: an app
// whose profile was delivered (with a known user id), the screen on top as
// its class, the settings file read back by Python's plistlib, and the
// simulator's log of one path.

#include <string>

#include <nlohmann/json.hpp>

#include "platform/settings.h"
#include "platform/ui/view_controller.h"
#include "tests/campus/feeds_support.h"
#include "tests/support/scratch.h"

namespace yx::test {

// A directory feed: one "dp" entry per list of (child, text).
inline std::string directoryFeed(const std::vector<std::vector<std::pair<std::string, std::string>>>& entries) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<NewDataSet>\n";
  for (auto& e : entries) {
    xml += "  <dp>";
    for (auto& [k, v] : e) xml += "<" + k + ">" + v + "</" + k + ">";
    xml += "</dp>\n";
  }
  return xml + "</NewDataSet>\n";
}

class PhoneFixture : public FeedsFixture {
protected:
  static constexpr const char* kUserId = "20261201093000123";

  // Starts with the profile delivered and the guide seen (unless asked not to).
  void startPhone(bool guideSeen = true) {
    Settings::standard().open(dataDir());
    Settings::standard().setString("個人資料", "填寫過");
    Settings::standard().setString("user_id", kUserId);
    if (guideSeen) Settings::standard().setString("教學畫面", "已看過");
    for (auto& [k, v] : stored_) Settings::standard().setObject(k, v);
    Settings::standard().synchronize();
    Settings::standard().close();
    start();
  }
  // A value stored before the app starts.
  void storeBeforeStart(const std::string& key, Value v) { stored_.emplace_back(key, std::move(v)); }


  // The buttons a row of the screen's table "myTableView" holds.
  std::vector<Button*> rowButtons(int section, int row) {
    std::vector<Button*> out;
    auto* table = Application::shared().navigation()->topViewController()->view().findNamed<TableView>("myTableView");
    auto cell = table ? table->cellForRow({section, row}) : nullptr;
    if (cell)
      for (auto& v : cell->contentView().subviews())
        if (v->kind() == ViewKind::Button) out.push_back(static_cast<Button*>(v.get()));
    return out;
  }

  // settings.plist as another program reads it (JSON of plistlib's reading),
  // and its keys in file order.
  nlohmann::json storedSettings() { return plistJson(dataDir() + "/settings.plist"); }
  std::vector<std::string> storedKeys() {
    return keysOf(plistJson<nlohmann::ordered_json>(dataDir() + "/settings.plist"));
  }

  // The driver's listing of opened URLs.
  std::string opened() { return run("opened"); }

private:
  std::vector<std::pair<std::string, Value>> stored_;
};

}  // namespace yx::test
