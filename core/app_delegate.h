#pragma once
// The application delegate: builds the window's navigation stack with the
// Home menu at its root, keeps the reachability monitor and the few values
// every screen shares, and sends the usage report when the app goes to the
// background.

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/notify.h"

namespace yx {

class Reachability;

class corvaleAppDelegate : public ApplicationDelegate {
public:
  corvaleAppDelegate();
  ~corvaleAppDelegate() override;

  bool applicationDidFinishLaunching(Application& app) override;
  void applicationDidEnterBackground(Application& app) override;

  // Sets the shared values from the monitor's status; true when reachable.
  bool updateInterfaceWithReachability(Reachability& r);
  void reachabilityChanged(const Notification& n);

  // The Profile form's answers while being entered (key -> text).
  std::map<std::string, std::string> personDic;
  // "wifi", "3G" or "NO"; empty until the first evaluation.
  std::string internetStr;
  // True when the network is reachable by any means.
  bool interetconncet = false;
  std::shared_ptr<Reachability> hostReach;
  // The background refresh's working lists.
  std::vector<std::string> stuChangeList, teacherChangeList;

private:
  NotificationCenter::ObserverId observer_ = 0;
};

// The device's IPv4 address text found at the last Home menu load ("error"
// when none; "" before the first lookup). Safe from any thread.
std::string currentIPAddress();
void setCurrentIPAddress(const std::string& ip);

}  // namespace yx
