#pragma once
// Signing in to the campus Wi-Fi (`wifiConnectViewController`): the account
// and password of the last accepted sign-in, the portal of the campus the
// device is on, and the short messages that say how it went.

#include <memory>
#include <string>

#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx::phone {

class wifiConnectViewController : public ViewController, public AlertViewDelegate {
public:
  std::string className() const override { return "wifiConnectViewController"; }
  void viewDidLoad() override;
  // 3 connect, 2 back (animated), 1 Home menu (not animated). Each first puts
  // the keyboard away and, while this screen is the feature in use, sends the
  // usage exit report.
  void btnEvent(int tag);
  // The sign-in, 0.1 s after connect was pressed.
  void wifiConnect();
  void logoutWynWiFi();
  // Dismisses an alert as its cancel button would, without pressing it.
  void dimissAlert(const std::shared_ptr<AlertView>& alert);
  // Back one screen without animation, with the usage exit report.
  void ifSuccessGoBack();
  // A pressed "確定" (button 0) goes back one screen without animation.
  void alertViewClickedButtonAtIndex(AlertView& alert, int index) override;

private:
  void showMessage(const std::string& message, double dismissAfter);
  std::shared_ptr<TextField> accountField_, passwordField_;
  std::shared_ptr<View> progressView_;
  std::shared_ptr<ActivityIndicator> spinner_;
};

}  // namespace yx::phone
