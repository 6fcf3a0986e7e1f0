#include "platform/application.h"

#include <algorithm>

#include "platform/files.h"
#include "platform/plist_value.h"

namespace yx {

namespace {
double secondsNow() {
  return std::chrono::duration<double>(now().time_since_epoch()).count();
}

Value toValue(const LocalNotification& n) {
  Value info = Value::dictionary();
  for (auto& [k, v] : n.userInfo) info.set(k, v);
  return Value::dictionary({{"alertBody", n.alertBody},
                            {"alertAction", n.alertAction},
                            {"soundName", n.soundName},
                            {"badgeNumber", n.badgeNumber},
                            {"fireDate", n.fireDate},
                            {"userInfo", info}});
}

LocalNotification fromValue(const Value& v) {
  LocalNotification n;
  n.alertBody = v.stringFor("alertBody");
  n.alertAction = v.stringFor("alertAction");
  n.soundName = v.stringFor("soundName");
  n.badgeNumber = static_cast<int>(v.get("badgeNumber").asInteger());
  n.fireDate = v.get("fireDate").asReal();
  for (auto& [k, val] : v.get("userInfo").asDictionary())
    if (val.isString()) n.userInfo[k] = val.asString();
  return n;
}
}  // namespace

Application& Application::shared() {
  static Application* app = new Application();
  return *app;
}

void Application::setRootNavigation(std::shared_ptr<NavigationController> nav) {
  nav_ = std::move(nav);
  if (rootListener_) rootListener_();
  uiChanged(nullptr);
}

void Application::setDataDirectory(std::string dir) {
  dataDir_ = std::move(dir);
  loadScheduled();
}

bool Application::openURL(const std::string& url) {
  {
    std::lock_guard<std::mutex> lock(mu_);
    opened_.push_back(url);
  }
  if (urlHandler_) return urlHandler_(url);
  return true;
}

std::vector<std::string> Application::openedURLs() const {
  std::lock_guard<std::mutex> lock(mu_);
  return opened_;
}

void Application::presentLocalNotificationNow(LocalNotification n) {
  if (n.fireDate == 0) n.fireDate = secondsNow();
  if (gate_ && !gate_(n)) {
    addScheduled({std::move(n)});
    retryNotBefore_ = secondsNow() + 60;
    saveScheduled();
    return;
  }
  {
    std::lock_guard<std::mutex> lock(mu_);
    delivered_.push_back(n);
  }
  if (presenter_) presenter_(n);
  if (delegate_ && !background_) delegate_->applicationDidReceiveLocalNotification(*this, n);
}

void Application::addScheduled(std::vector<LocalNotification> list) {
  std::lock_guard<std::mutex> lock(mu_);
  for (auto& n : list) scheduled_.push_back(std::move(n));
  std::stable_sort(scheduled_.begin(), scheduled_.end(),
                   [](const LocalNotification& a, const LocalNotification& b) { return a.fireDate < b.fireDate; });
}

void Application::scheduleLocalNotification(LocalNotification n) { scheduleLocalNotifications({std::move(n)}); }

void Application::scheduleLocalNotifications(std::vector<LocalNotification> list) {
  if (list.empty()) return;
  addScheduled(std::move(list));
  saveScheduled();
  armDeliveryTimer();
}

std::vector<LocalNotification> Application::scheduledLocalNotifications() const {
  std::lock_guard<std::mutex> lock(mu_);
  return scheduled_;
}

void Application::cancelAllLocalNotifications() {
  {
    std::lock_guard<std::mutex> lock(mu_);
    scheduled_.clear();
  }
  saveScheduled();
  armDeliveryTimer();
}

std::vector<LocalNotification> Application::deliveredNotifications() const {
  std::lock_guard<std::mutex> lock(mu_);
  return delivered_;
}

void Application::deliverDueNotifications() {
  std::vector<LocalNotification> due;
  {
    std::lock_guard<std::mutex> lock(mu_);
    double t = secondsNow();
    auto it = std::stable_partition(scheduled_.begin(), scheduled_.end(),
                                    [&](const LocalNotification& n) { return n.fireDate <= t; });
    due.assign(scheduled_.begin(), it);
    scheduled_.erase(scheduled_.begin(), it);
  }
  if (!due.empty()) {
    saveScheduled();
    for (auto& n : due) presentLocalNotificationNow(n);
  }
  armDeliveryTimer();
}

void Application::setDeliversWhenDue(bool on) {
  deliversWhenDue_ = on;
  armDeliveryTimer();
}

void Application::armDeliveryTimer() {
  auto& loop = RunLoop::main();
  if (!loop.isMainThread()) {
    loop.post([this] { armDeliveryTimer(); });
    return;
  }
  if (deliveryTimer_) loop.cancel(deliveryTimer_);
  deliveryTimer_ = 0;
  double first = 0;
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (!deliversWhenDue_ || scheduled_.empty()) return;
    first = scheduled_.front().fireDate;
  }
  double at = std::max(first, retryNotBefore_);
  deliveryTimer_ = loop.schedule(std::max(0.0, at - secondsNow()), [this] {
    deliveryTimer_ = 0;
    deliverDueNotifications();
  });
}

void Application::saveScheduled() const {
  if (dataDir_.empty()) return;
  Value arr = Value::array();
  {
    std::lock_guard<std::mutex> lock(mu_);
    for (auto& n : scheduled_) arr.append(toValue(n));
  }
  // Owner-only: a notification's text may carry a password (a new SIP account).
  Files::writePlistFile(Files::join(dataDir_, "notifications.plist"), arr, 0600);
}

void Application::loadScheduled() {
  if (dataDir_.empty()) return;
  auto arr = Files::readArrayFile(Files::join(dataDir_, "notifications.plist"));
  {
    std::lock_guard<std::mutex> lock(mu_);
    scheduled_.clear();
    if (arr)
      for (auto& v : arr->asArray())
        if (v.isDictionary()) scheduled_.push_back(fromValue(v));
  }
  armDeliveryTimer();
}

bool Application::launch() {
  background_ = false;
  return delegate_ ? delegate_->applicationDidFinishLaunching(*this) : true;
}

void Application::enterBackground() {
  if (background_) return;
  if (delegate_) delegate_->applicationWillResignActive(*this);
  background_ = true;
  if (delegate_) delegate_->applicationDidEnterBackground(*this);
}

void Application::enterForeground() {
  if (!background_) return;
  if (delegate_) delegate_->applicationWillEnterForeground(*this);
  background_ = false;
  if (delegate_) delegate_->applicationDidBecomeActive(*this);
}

void Application::performBackgroundFetch(std::function<void(FetchResult)> done) {
  if (!done) done = [](FetchResult) {};
  if (!delegate_) {
    done(FetchResult::NoData);
    return;
  }
  delegate_->applicationPerformFetch(*this, std::move(done));
}

void Application::reset() {
  if (deliveryTimer_ && RunLoop::main().isMainThread()) RunLoop::main().cancel(deliveryTimer_);
  deliveryTimer_ = 0;
  gate_ = nullptr;
  deliversWhenDue_ = true;
  retryNotBefore_ = 0;
  std::lock_guard<std::mutex> lock(mu_);
  delegate_.reset();
  nav_.reset();
  opened_.clear();
  scheduled_.clear();
  delivered_.clear();
  badge_ = 0;
  fetchInterval_ = -1;
  background_ = false;
}

}  // namespace yx
