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

// ------------------------------------------------------ background refresh

namespace {

// The refresh's notices go through the delegate's own operations.
class DelegateNoticeSink : public ChangeNoticeSink {
public:
  DelegateNoticeSink(corvaleAppDelegate& d, ChangeNoticeSink& pending) : d_(d), pending_(pending) {}
  std::vector<TimePoint> datesOf(const CourseChange& c) override {
    d_.dateTimeAry.clear();
    d_.transformTemp_beforeDataStrFromNSStringToNSDate(c.before);
    d_.transformTemp_afterDataStrFromNSStringToNSDate(c.after);
    return d_.dateTimeAry;
  }
  void notice(const std::string& text, TimePoint date, int index) override { d_.notice(text, date, index); }
  void flush() override { pending_.flush(); }

private:
  corvaleAppDelegate& d_;
  ChangeNoticeSink& pending_;
};

}  // namespace

void corvaleAppDelegate::applicationPerformFetch(Application&, std::function<void(FetchResult)> done) {
  // One feed serves both users; it is fetched when the first of them needs it.
  std::optional<std::vector<CourseChange>> feed;
  bool fetched = false;
  DelegateNoticeSink sink(*this, pending_);
  for (const ChangeUserKind* kind : {&ChangeUserKind::student(), &ChangeUserKind::teacher()}) {
    const bool student = kind == &ChangeUserKind::student();
    auto courses = storedCourseNumbers(*kind);
    if (!courses) continue;
    // Per-user keys need the user's number; without one nothing is recorded.
    auto identity = storedIdentity(*kind);
    if (!identity) continue;
    dateTimeAry.clear();
    (student ? stu_temp_studentSubjectNoAry : temp_teacherSubjectNoAry) = *courses;
    ChangeRecords records = ChangeRecords::load(*kind, *identity);
    if (!fetched) {
      feed = fetchCourseChangeFeed(kTemporaryChangesPath, kTemporaryItem, 60);
      fetched = true;
    }
    if (!feed) break;  // unreachable or malformed: nothing more this time
    announceNewChanges(*feed, *courses, records, sink);
    (student ? stu_temp_allShowedSubjectAry : tea_temp_allShowedSubjectNoAry) = records.seen();
    temp_departmentAry = records.departments;
    temp_subjectNameAry = records.subjects;
    temp_teacherNameAry = records.teachers;
    temp_beforeDataAry = records.befores;
    temp_afterDataAry = records.afters;
  }
  if (done) done(FetchResult::NewData);
}

void corvaleAppDelegate::notice(const std::string& text, TimePoint date, int index) {
  pending_.notice(text, date, index);
}

void corvaleAppDelegate::transformTemp_beforeDataStrFromNSStringToNSDate(const std::string& text) {
  if (auto d = formerMeetingDate(text, currentChangeYear())) dateTimeAry.push_back(*d);
}

void corvaleAppDelegate::transformTemp_afterDataStrFromNSStringToNSDate(const std::string& text) {
  for (TimePoint d : changedMeetingDates(text, currentChangeYear())) dateTimeAry.push_back(d);
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
