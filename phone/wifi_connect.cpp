#include "phone/wifi_connect.h"

#include "core/app_delegate.h"
#include "core/screen_kit.h"
#include "phone/phone_kit.h"
#include "phone/wifi_check.h"
#include "platform/settings.h"
#include "platform/ui/common_views.h"

namespace yx::phone {

namespace {
constexpr const char* kLabel = "雲岫Wi-Fi";
}

void wifiConnectViewController::viewDidLoad() {
  view().setBackgroundPattern("hl_r1.jpg");
  addHeaderBar(*this, kLabel, 1, 2, [this](int tag) { btnEvent(tag); }, "hl_g1.jpg");

  auto intro = makeTextLabel(Rect{20, 54, 280, 64},
                             "在校園無線網路範圍內，以學校帳號登入後即可上網。系統會依所在校區自動選擇登入頁面。", 15);
  intro->setName("introLbl");
  view().addSubview(intro);
  auto& s = Settings::standard();
  view().addSubview(make<Label>(Rect{20, 128, 80, 36}, "帳號"));
  accountField_ = makeField(Rect{100, 128, 200, 36}, "accountField", "學校帳號");
  accountField_->setText(s.stringForKey("wifiUser").value_or(""));
  view().addSubview(accountField_);
  view().addSubview(make<Label>(Rect{20, 174, 80, 36}, "密碼"));
  passwordField_ = makeField(Rect{100, 174, 200, 36}, "passwordField", "密碼", true);
  passwordField_->setText(s.stringForKey("wifiPass").value_or(""));
  view().addSubview(passwordField_);

  auto connect = makeButton(Rect{20, 230, 280, 44}, "登入", "btnEvent", [this](Button& b) { btnEvent(b.tag()); });
  connect->setTag(3);
  connect->setBackgroundColor(Color::rgb(60, 150, 90));
  connect->setTitleColor(Color::white());
  connect->setBorder(0, 8);
  view().addSubview(connect);
  auto logout = makeButton(Rect{20, 290, 280, 44}, "登出校園無線網路", "logoutWynWiFi", [this](Button&) { logoutWynWiFi(); });
  logout->setName("logoutWynWiFi");
  logout->setBorder(1, 8, Color::rgb(60, 150, 90));
  logout->setTitleColor(Color::rgb(60, 150, 90));
  view().addSubview(logout);

  // Shown while a sign-in is under way.
  progressView_ = make<View>(Rect{85, 240, 150, 100});
  progressView_->setName("progressView");
  progressView_->setBackgroundColor(Color::gray(0, 0.7f));
  progressView_->setBorder(0, 10);
  progressView_->setAutoresizingMask(Autoresizing::FlexibleTopMargin | Autoresizing::FlexibleBottomMargin);
  progressView_->setHidden(true);
  spinner_ = addSpinner(*progressView_, Rect{56.5, 20, 37, 37}, "activityIndicator", Autoresizing::None);
  spinner_->setHidden(true);
  auto wait = make<Label>(Rect{0, 64, 150, 24}, "登入中…");
  wait->setTextColor(Color::white());
  wait->setAlignment(TextAlignment::Center);
  progressView_->addSubview(wait);
  view().addSubview(progressView_);
}

void wifiConnectViewController::btnEvent(int tag) {
  accountField_->resignFirstResponder();
  passwordField_->resignFirstResponder();
  if (tag < 1 || tag > 3) return;
  if (Settings::standard().stringForKey("功能名稱") == kLabel) startUsageExitReport();
  switch (tag) {
    case 3:
      if (!accountField_->text().empty() && !passwordField_->text().empty()) {
        progressView_->setHidden(false);
        spinner_->setHidden(false);
        spinner_->startAnimating();
        userBehavior(kLabel);
        performAfterDelay(0.1, [this] { wifiConnect(); });
      } else {
        AlertView::create("", "請輸入正確資料。", sharedAs<AlertViewDelegate>(), "確定")->show();
      }
      break;
    case 2: goBack(*this, false); break;
    case 1: goHome(*this, false); break;
  }
}

// Off campus (no Wi-Fi address, or an address of no campus) nothing is sent.
void wifiConnectViewController::wifiConnect() {
  wifiCheck check;
  bool accepted = false;
  if (auto site = check.wifiStrLength(currentIPAddress()))
    accepted = check.postRequstWifi(accountField_->text(), passwordField_->text(), "submit", *site);
  spinner_->stopAnimating();
  progressView_->setHidden(true);
  spinner_->setHidden(true);
  if (accepted) {
    showMessage("連線成功", 2.0);
    performAfterDelay(2.5, [this] { ifSuccessGoBack(); });
  } else {
    showMessage("登錄失敗", 2.0);
  }
}

void wifiConnectViewController::showMessage(const std::string& message, double dismissAfter) {
  auto alert = AlertView::create("", message, sharedAs<AlertViewDelegate>(), "");
  alert->show();
  performAfterDelay(dismissAfter, [this, alert] { dimissAlert(alert); });
}

void wifiConnectViewController::dimissAlert(const std::shared_ptr<AlertView>& alert) {
  if (alert && alert->isVisible()) alert->dismissWithClickedButtonIndex(alert->cancelButtonIndex(), true);
}

void wifiConnectViewController::ifSuccessGoBack() {
  // Only while this screen is in front: the user may have left it already.
  auto* nav = navigationController();
  if (!nav || nav->topViewController() != this) return;
  startUsageExitReport();
  nav->popViewControllerAnimated(false);
}

void wifiConnectViewController::logoutWynWiFi() { wifiCheck().logout(); }

void wifiConnectViewController::alertViewClickedButtonAtIndex(AlertView&, int index) {
  if (index != 0) return;
  if (auto* nav = navigationController()) nav->popViewControllerAnimated(false);
}

}  // namespace yx::phone
