#pragma once
// Shared set-up for the news, activities and lab-seat screen tests.

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/application.h"
#include "platform/settings.h"
#include "platform/ui/view_controller.h"
#include "tests/support/app_fixture.h"
#include "tests/support/scratch.h"

namespace yx::test {

// What a shell command prints, without the final newlines.
inline std::string commandOutput(const std::string& cmd) {
  std::string out = runShell(cmd).out;
  while (!out.empty() && out.back() == '\n') out.pop_back();
  return out;
}

class FeedsFixture : public AppFixture {
protected:
  // Starts with the profile already delivered, so no first-run prompt shows.
  void startReady() {
    rememberProfileDelivered();
    start();
  }

  // Runs a command that starts a feed loader and lets the loader finish (its
  // progress alert counts to a hundred in a second); what the screen is then.
  std::string loaded(const std::string& command) {
    run(command);
    return run("wait 1.5");
  }

  // A simulator overlay folder; files are given by their campus data path.
  std::string overlay() {
    if (overlay_.empty()) {
      overlay_ = dataDir() + "-overlay";
      std::filesystem::create_directories(overlay_);
      options.simData = overlay_;
    }
    return overlay_;
  }
  void serve(const std::string& kindFolder, const std::string& path, const std::string& body) {
    std::filesystem::path p = std::filesystem::path(overlay()) / kindFolder / path.substr(1);
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << body;
  }
  void serveFeed(const std::string& path, const std::string& body) { serve("campus", path, body); }

  void TearDown() override {
    AppFixture::TearDown();
    if (!overlay_.empty()) {
      std::error_code ec;
      std::filesystem::remove_all(overlay_, ec);
    }
  }

  std::string cacheFile(const std::string& name) { return documents() + "/DownloadXml/" + name + ".plist"; }

  // The cache file as another program reads it: Python's plistlib, as JSON
  // (a list of objects with their keys in file order). "ERROR ..." when
  // plistlib refuses it, "MISSING" when there is no file.
  std::string plistlib(const std::string& name) {
    std::string path = cacheFile(name);
    if (!std::filesystem::exists(path)) return "MISSING";
    return commandOutput(
        "python3 -c 'import plistlib,json,sys\ntry:\n d=plistlib.load(open(sys.argv[1],\"rb\"))\n"
        " print(json.dumps(d,ensure_ascii=False))\nexcept Exception as e:\n print(\"ERROR\",e)' '" +
        path + "' 2>&1");
  }
  nlohmann::ordered_json records(const std::string& name) {
    std::string text = plistlib(name);
    auto j = nlohmann::ordered_json::parse(text, nullptr, false);
    EXPECT_FALSE(j.is_discarded()) << text;
    return j;
  }

  // A record's keys in file order.
  static std::vector<std::string> keysOf(const nlohmann::ordered_json& record) {
    std::vector<std::string> keys;
    for (auto& [k, v] : record.items()) keys.push_back(k);
    return keys;
  }
  static bool has(const std::string& screen, const std::string& text) {
    return screen.find(text) != std::string::npos;
  }

  NavigationController& nav() { return *Application::shared().navigation(); }
  // The screen on top as the class a test expects (null when it is another),
  // and a view of it by name.
  template <class T = ViewController> T* top() {
    auto* nav = Application::shared().navigation();
    return nav ? dynamic_cast<T*>(nav->topViewController()) : nullptr;
  }
  template <class T> T* viewOnTop(const std::string& name) {
    auto* vc = top();
    return vc ? vc->view().findNamed<T>(name) : nullptr;
  }
  // Pushes a screen made by the test, unanimated, as code would.
  void push(std::shared_ptr<ViewController> screen) { nav().pushViewController(std::move(screen), false); }
  bool lastMoveAnimated() { return nav().transitions().back().animated; }

  // Usage reports received, and the feature name of the last one.
  size_t usageReports() { return requestsFor("/Data/situ1.aspx").size(); }
  std::string lastReportName() {
    auto reports = requestsFor("/Data/situ1.aspx");
    return reports.empty() ? "" : reports.back()["query"].value("fn", "");
  }

private:
  std::string overlay_;
};

}  // namespace yx::test
