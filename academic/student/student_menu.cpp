#include "academic/student/student_menu.h"

#include "academic/student/course_loader.h"
#include "academic/student/exam_scores.h"
#include "academic/student/exam_timetable.h"
#include "academic/student/student_common.h"
#include "academic/student/student_sign_in.h"
#include "core/screen_kit.h"
#include "markup/feed_loader.h"
#include "platform/files.h"
#include "platform/location.h"
#include "platform/settings.h"

namespace yx {

void imStudentViewController::viewDidLoad() {
  view().setBackgroundPattern("hl_p1.jpg");
  // The location service runs while the menu shows, so the usage records
  // the services write carry a recent position.
  Location::shared().requestFix([](Coordinate c) { setLastFix(c.latitude, c.longitude); });

  addHeaderBar(*this, "學生專區", 1, 2, [this](int tag) { btnEvent(tag); }, "hl_p1.jpg");

  auto logout = make<Button>(Rect{236, 52, 76, 32}, "登出");
  logout->setName("logoutBtn");
  logout->setTag(3);
  logout->setImage("stu_logout.png");
  logout->setTitleColor(Color::white());
  logout->setAction([this](Button& b) { btnEvent(b.tag()); });
  view().addSubview(logout);

  struct Service {
    int tag;
    const char* name;
    const char* title;
    const char* image;
  };
  static const Service services[] = {{0, "courseListBtn", "我的課表", "stu_course.png"},
                                     {1, "examListBtn", "考試小表", "stu_exam.png"},
                                     {2, "scoreBtn", "期中期末成績", "stu_score.png"},
                                     {3, "courseChangeBtn", "課程異動", "stu_change.png"}};
  for (const Service& s : services) {
    const double x = s.tag % 2 == 0 ? 40 : 180, y = s.tag < 2 ? 130 : 280;
    auto b = make<Button>(Rect{x, y, 100, 120}, s.title);
    b->setName(s.name);
    b->setTag(s.tag);
    b->setImage(s.image);
    b->setFontSize(16);
    b->setTitleColor(Color::white());
    b->setAction([this](Button& btn) { stuBtnEvent(btn.tag()); });
    view().addSubview(b);
  }
}

void imStudentViewController::stuBtnEvent(int tag) {
  auto* nav = navigationController();
  if (!nav) return;
  const bool signedIn = studentSignedIn();
  switch (tag) {
    case 0:
      userBehavior("我的課表");
      if (!signedIn) {
        nav->pushViewController(std::make_shared<inquiryListViewController>(), true);
        return;
      }
      userBehavior("我的課表");
      openStudentResult(*this, kCourseListMethod, std::make_shared<inquiryXMLParser>(), storedStudentNumber(),
                        storedStudentPassword());
      return;
    case 1:
      userBehavior("考試小表");
      if (!signedIn) {
        nav->pushViewController(std::make_shared<testListViewController>(), true);
        return;
      }
      userBehavior("考試小表");
      openStudentResult(*this, kExamListMethod, std::make_shared<testListInquiryViewController>(),
                        storedStudentNumber(), storedStudentPassword());
      return;
    case 2:
      if (!signedIn) {
        nav->pushViewController(std::make_shared<examScoreViewController>(), true);
        return;
      }
      userBehavior("期中期末成績");
      openStudentResult(*this, kScoreMethod, std::make_shared<examScoreXMLViewController>(), storedStudentNumber(),
                        storedStudentPassword());
      return;
    case 3:
      performSegueWithIdentifier(signedIn ? "subjectChangeList" : "subCagLogin");
      return;
    default:
      return;
  }
}

void imStudentViewController::btnEvent(int tag) {
  switch (tag) {
    case 1:
      goHome(*this, false);
      break;
    case 2:
      goBack(*this, false);
      break;
    case 3:
      studentLogout();
      break;
    default:
      break;
  }
}

void studentLogout() {
  auto& store = Settings::standard();
  // Only the two cache files this app writes, whatever else the keys hold.
  const std::pair<const char*, const char*> caches[] = {{"考試小表", "stu_exam_table"}, {"我的課表", "stu_ele_table"}};
  for (const auto& [key, name] : caches) {
    if (store.stringForKey(key).value_or("") != name) continue;
    const std::string path = FeedLoaderViewController::cachePath(name);
    if (Files::exists(path)) Files::removeItem(path);
  }
  for (const char* key : {"學號", "密碼", "stuSubjectNoAry"}) store.removeObjectForKey(key);
  store.synchronize();
  showAlert("", "成功登出", "確定");
}

}  // namespace yx
