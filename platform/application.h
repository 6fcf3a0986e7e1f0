#pragma once
// The application object: its delegate, the window's navigation stack, URLs
// handed to other applications, local notifications and the background,
// foreground and background-fetch events.

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/runloop.h"
#include "platform/ui/view_controller.h"

namespace yx {

class Application;

enum class FetchResult { NewData, NoData, Failed };

class ApplicationDelegate {
public:
  virtual ~ApplicationDelegate() = default;
  virtual bool applicationDidFinishLaunching(Application&) { return true; }
  virtual void applicationWillResignActive(Application&) {}
  virtual void applicationDidEnterBackground(Application&) {}
  virtual void applicationWillEnterForeground(Application&) {}
  virtual void applicationDidBecomeActive(Application&) {}
  virtual void applicationWillTerminate(Application&) {}
  virtual void applicationPerformFetch(Application&, std::function<void(FetchResult)> done) {
    done(FetchResult::NoData);
  }
  virtual void applicationDidReceiveLocalNotification(Application&, const struct LocalNotification&) {}
};

struct LocalNotification {
  std::string alertBody;
  std::string alertAction;
  std::string soundName;
  int badgeNumber = 0;
  // Seconds since the epoch; 0 means "now".
  double fireDate = 0;
  std::map<std::string, std::string> userInfo;
};

class Application {
public:
  static Application& shared();

  void setDelegate(std::shared_ptr<ApplicationDelegate> d) { delegate_ = std::move(d); }
  ApplicationDelegate* delegate() const { return delegate_.get(); }
  template <class T> T* delegateAs() const { return dynamic_cast<T*>(delegate_.get()); }

  // The window's root navigation stack.
  void setRootNavigation(std::shared_ptr<NavigationController> nav);
  NavigationController* navigation() const { return nav_.get(); }
  // Called whenever the root navigation is replaced (front-ends re-attach).
  void setRootListener(std::function<void()> fn) { rootListener_ = std::move(fn); }

  // Folder for what the application keeps on disk (scheduled notifications).
  void setDataDirectory(std::string dir);
  const std::string& dataDirectory() const { return dataDir_; }

  // Hands a URL to another application. Every URL is recorded; a desktop
  // handler (when installed) receives http, https, sip and tel URLs.
  bool openURL(const std::string& url);
  std::vector<std::string> openedURLs() const;
  void setUrlHandler(std::function<bool(const std::string&)> fn) { urlHandler_ = std::move(fn); }

  // Local notifications.
  void presentLocalNotificationNow(LocalNotification n);
  void scheduleLocalNotification(LocalNotification n);
  // Several at once, saved to disk in one write.
  void scheduleLocalNotifications(std::vector<LocalNotification> list);
  std::vector<LocalNotification> scheduledLocalNotifications() const;
  void cancelAllLocalNotifications();
  // Delivered (presented) notifications, oldest first.
  std::vector<LocalNotification> deliveredNotifications() const;
  // Presents the scheduled notifications whose fire date has come.
  void deliverDueNotifications();
  // When on (the default), a main-loop timer presents scheduled
  // notifications as they fall due (the window, the text driver's `wait`).
  void setDeliversWhenDue(bool on);
  // Decides whether a notification being presented reached the person (the
  // headless refresh hands them to the desktop). One it refuses is not
  // delivered: it stays scheduled, and is saved, for a later attempt.
  void setNotificationGate(std::function<bool(const LocalNotification&)> gate) { gate_ = std::move(gate); }
  // Desktop hook for presented notifications.
  void setNotificationPresenter(std::function<void(const LocalNotification&)> fn) {
    presenter_ = std::move(fn);
  }
  int applicationIconBadgeNumber() const { return badge_; }
  void setApplicationIconBadgeNumber(int n) { badge_ = n; }
  void setMinimumBackgroundFetchInterval(double seconds) { fetchInterval_ = seconds; }
  double minimumBackgroundFetchInterval() const { return fetchInterval_; }

  // Lifecycle events, as the platform sends them.
  bool launch();
  void enterBackground();
  void enterForeground();
  // Runs a background fetch; the result is reported when the delegate calls back.
  void performBackgroundFetch(std::function<void(FetchResult)> done = {});
  bool inBackground() const { return background_; }

  // Forgets everything (tests between cases).
  void reset();

private:
  Application() = default;
  void saveScheduled() const;
  void loadScheduled();
  void armDeliveryTimer();
  // Adds to the scheduled list, kept in fire-date order.
  void addScheduled(std::vector<LocalNotification> list);

  std::shared_ptr<ApplicationDelegate> delegate_;
  std::shared_ptr<NavigationController> nav_;
  std::function<void()> rootListener_;
  std::string dataDir_;
  mutable std::mutex mu_;
  std::vector<std::string> opened_;
  std::function<bool(const std::string&)> urlHandler_;
  std::vector<LocalNotification> scheduled_, delivered_;
  std::function<void(const LocalNotification&)> presenter_;
  std::function<bool(const LocalNotification&)> gate_;
  bool deliversWhenDue_ = true;
  TimerId deliveryTimer_ = 0;
  double retryNotBefore_ = 0;  // after a refusal, no new attempt before this (seconds)
  int badge_ = 0;
  double fetchInterval_ = -1;
  bool background_ = false;
};

}  // namespace yx
