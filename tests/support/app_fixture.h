#pragma once
// A whole app in the test process: a fresh data folder, the virtual clock at
// a fixed time in Taipei, the embedded simulator on loopback and the text
// driver to act as a person would. Every global is reset between tests.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "app/cli/driver.h"
#include "app/cli/features.h"
#include "core/launch.h"
#include "platform/device.h"
#include "platform/files.h"
#include "platform/network_state.h"
#include "platform/notify.h"
#include "platform/resources.h"
#include "platform/runloop.h"
#include "platform/settings.h"
#include "platform/ui/alert.h"
#include "sim/campus_sim.h"

namespace yx::test {

inline void resetGlobals() {
  Alerts::clear();
  Application::shared().reset();
  RunLoop::main().reset();
  NotificationCenter::defaultCenter().reset();
  NetworkState::shared().reset();
  Settings::standard().close();
  setClock(nullptr);
  setCanvasSize(Size{kScreenWidth, kScreenHeight});
  Device::setAddressesOverride(std::nullopt);
  setResourceOverrideDirectory("");
}

class AppFixture : public ::testing::Test {
protected:
  // Options a test may change before start().
  DriverOptions options;

  void SetUp() override {
    resetGlobals();
    dataDir_ = std::filesystem::temp_directory_path() /
               ("yx-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    std::filesystem::remove_all(dataDir_);
    options.dataDir = dataDir_.string();
    options.virtualClock = true;
    options.now = "2026-12-07T09:30:00+08:00";
    options.timeZone = "Asia/Taipei";
  }

  void TearDown() override {
    if (driver_) driver_->stop();
    driver_.reset();
    resetGlobals();
    std::error_code ec;
    std::filesystem::remove_all(dataDir_, ec);
  }

  // Starts the app (the real application delegate unless one is given).
  void start(Driver::DelegateFactory factory = makeApplicationDelegate) {
    static bool registered = false;
    if (!registered) {
      registerAllFeatures();
      registered = true;
    }
    driver_ = std::make_unique<Driver>(options);
    auto err = driver_->start(factory);
    ASSERT_FALSE(err.has_value()) << *err;
  }

  // Before start(): stores the delivered-profile flag, as an earlier run would
  // have, so the first-run prompt does not show.
  void rememberProfileDelivered() {
    Settings::standard().open(dataDir());
    Settings::standard().setString("個人資料", "填寫過");
    Settings::standard().synchronize();
    Settings::standard().close();
  }

  // Runs one driver command and returns what it printed.
  std::string run(const std::string& command) { return driver_->execute(command); }
  std::string screen() { return driver_->dump(); }
  Driver& driver() { return *driver_; }
  // The simulator, once the usage reports already started have reached it
  // (they run on their own threads and nothing on screen waits for them).
  sim::CampusSim& sim() {
    Background::drainDetached(10);
    return *driver_->simulator();
  }
  std::string dataDir() const { return dataDir_.string(); }
  std::string documents() const { return Files::documentsDirectory(); }

  // Requests the simulator received for a path, oldest first.
  std::vector<nlohmann::json> requestsFor(const std::string& path) {
    std::vector<nlohmann::json> out;
    for (auto& r : sim().requests())
      if (r.value("path", "") == path) out.push_back(r);
    return out;
  }

private:
  std::filesystem::path dataDir_;
  std::unique_ptr<Driver> driver_;
  static inline int counter_ = 0;
};

}  // namespace yx::test
