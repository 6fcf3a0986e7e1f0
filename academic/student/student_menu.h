#pragma once
// The Student menu (學生專區, the "student" storyboard's first screen): the
// four student services and logout.
//
// Service buttons by tag, named because their tags repeat those of the
// navigation buttons: 0 `courseListBtn` 我的課表, 1 `examListBtn` 考試小表,
// 2 `scoreBtn` 期中期末成績, 3 `courseChangeBtn` 課程異動. A signed-in
// student goes straight to the result screen with the stored number and
// password; otherwise to the service's sign-in form.
// Navigation buttons: 1 `homeButton`, 2 `backButton`, 3 `logoutBtn`.

#include <string>

#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {

class imStudentViewController : public ViewController {
public:
  std::string className() const override { return "imStudentViewController"; }
  void viewDidLoad() override;

  // Service buttons by tag.
  void stuBtnEvent(int tag);
  // Navigation and logout by tag.
  void btnEvent(int tag);
};

// Student logout: deletes the cached exam timetable and course list, forgets
// the stored number, password and course serial numbers, and says "成功登出"
// (also when nobody was signed in).
void studentLogout();

}  // namespace yx
