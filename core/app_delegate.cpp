#include "core/app_delegate.h"

#include "core/deployment.h"
#include "core/first_run.h"
#include "core/home_menu.h"
#include "core/reachability.h"
#include "core/usage_report.h"
#include "platform/network_state.h"
#include "platform/settings.h"

namespace yx {

namespace {
std::mutex ipMu;
std::string ipText;
}  // namespace

std::string currentIPAddress() {
  std::lock_guard<std::mutex> lock(ipMu);
  return ipText;
}

void setCurrentIPAddress(const std::string& ip) {
  std::lock_guard<std::mutex> lock(ipMu);
  ipText = ip;
}

corvaleAppDelegate::corvaleAppDelegate() = default;

corvaleAppDelegate::~corvaleAppDelegate() {
  if (observer_) NotificationCenter::defaultCenter().removeObserver(observer_);
  if (hostReach) hostReach->stopNotifier();
}

bool corvaleAppDelegate::applicationDidFinishLaunching(Application& app) {
  registerCoreScreens();
  auto nav = std::make_shared<NavigationController>(std::make_shared<corvaleViewController>());
  nav->setNavigationBarHidden(true, false);
  app.setRootNavigation(nav);

  observer_ = NotificationCenter::defaultCenter().addObserver(
      kNetworkReachabilityChangedNotification, [this](const Notification& n) { reachabilityChanged(n); }, this);

  // The deployment's own host: its reachability host, else the campus data
  // server's; with neither, any route will do. Never a host outside it.
  const Deployment& deployment = Deployment::current();
  std::string host = deployment.reachabilityHost;
  if (host.empty())
    if (auto it = deployment.baseUrls.find("campus_data"); it != deployment.baseUrls.end())
      host = Deployment::hostOf(it->second);
  hostReach = host.empty() ? Reachability::reachabilityForInternetConnection()
                           : Reachability::reachabilityWithHostName(host);
  if (!hostReach) return false;
  hostReach->startNotifier();
  // Hear the kernel's view of the network change while the app runs.
  NetworkState::shared().startMonitoring();
  return updateInterfaceWithReachability(*hostReach);
}

void corvaleAppDelegate::applicationDidEnterBackground(Application&) {
  auto& s = Settings::standard();
  s.removeObjectForKey("chiNewsType");
  s.synchronize();
  upDate2DB().userExit();
}

void corvaleAppDelegate::reachabilityChanged(const Notification& n) {
  if (auto* weak = std::any_cast<std::weak_ptr<Reachability>>(&n.object))
    if (auto r = weak->lock()) updateInterfaceWithReachability(*r);
}

bool corvaleAppDelegate::updateInterfaceWithReachability(Reachability& r) {
  switch (r.currentReachabilityStatus()) {
    case NotReachable:
      internetStr = "NO";
      interetconncet = false;
      return false;
    case ReachableViaWiFi:
      internetStr = "wifi";
      interetconncet = true;
      return true;
    case ReachableViaWWAN:
      internetStr = "3G";
      interetconncet = true;
      return true;
  }
  return false;
}

}  // namespace yx
