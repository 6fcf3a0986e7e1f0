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

#include "academic/course_changes.h"
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

  // The background refresh: reads the campus feed of temporary course
  // changes once and announces, for the signed-in student and the signed-in
  // teacher, each change of their courses not announced before. Always ends
  // with the new-data result, whatever happened.
  void applicationPerformFetch(Application& app, std::function<void(FetchResult)> done) override;
  // The notifications for one date of the change being announced: at once
  // for index 0, then reminders 68 hours and 1 hour before the date.
  void notice(const std::string& text, TimePoint date, int index);
  // Derive the dates of a former / changed meeting text into dateTimeAry.
  void transformTemp_beforeDataStrFromNSStringToNSDate(const std::string& text);
  void transformTemp_afterDataStrFromNSStringToNSDate(const std::string& text);

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
  // The background refresh's working state (rebuilt on each run): the
  // users' course numbers, their announced keys, the announced changes'
  // texts of the user kind last refreshed, and the dates of the change
  // being announced.
  std::vector<std::string> stu_temp_studentSubjectNoAry, temp_teacherSubjectNoAry;
  std::vector<std::string> stu_temp_allShowedSubjectAry, tea_temp_allShowedSubjectNoAry;
  std::vector<std::string> temp_departmentAry, temp_subjectNameAry, temp_teacherNameAry, temp_beforeDataAry,
      temp_afterDataAry;
  std::vector<TimePoint> dateTimeAry;

private:
  NotificationCenter::ObserverId observer_ = 0;
  ChangeNoticeSink pending_;  // the notifications of the change being announced
};

// The device's IPv4 address text found at the last Home menu load ("error"
// when none; "" before the first lookup). Safe from any thread.
std::string currentIPAddress();
void setCurrentIPAddress(const std::string& ip);

}  // namespace yx
