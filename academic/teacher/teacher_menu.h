#pragma once
// The Teacher menu (教師專區, the "teacher" storyboard's first screen) and
// the teacher sign-in form.
//
// Menu: service buttons tags 0 我的授課表, 1 修課學生, 2 課程異動 (`tap 2
// 課程異動` tells the last from the header's back button, also tag 2); the
// logout button `logout` (登出); header home 1, back 2. A signed-in teacher
// goes straight to the service with freshly signed values; otherwise to the
// sign-in form, told which button led there (`whichBtn`).
//
// Sign-in form: fields `idField` and `pwField`, buttons `inquiryBtn` and
// `resetBtn`. The query goes to the chosen service with the typed number and
// the encoded password, empty fields included; the service screen signs the
// teacher in after its first good answer.

#include <memory>
#include <string>

#include "academic/sign_in_form.h"
#include "academic/teacher/teacher_common.h"
#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {

class imTeacherViewController : public ViewController, public AlertViewDelegate {
public:
  std::string className() const override { return "imTeacherViewController"; }
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;

  // Service buttons by tag.
  void funBtn(int tag);
  // Header buttons by tag.
  void btnEvent(int tag);
  // The logout action.
  void logout();

  void prepareForSegue(const std::string& identifier, ViewController& destination, const void* sender) override;
  void alertViewClickedButtonAtIndex(AlertView& alert, int index) override;

private:
  void showSignedIn();
  int whichBtn_ = 0;
  TeacherHandover handover_;
  std::shared_ptr<ActivityIndicator> indicator_;
  std::shared_ptr<Label> statusLbl_;
  std::weak_ptr<AlertView> loggedOut_;
};

class imTeacherLoginViewController : public SignInFormViewController {
public:
  imTeacherLoginViewController();
  std::string className() const override { return "imTeacherLoginViewController"; }
  void viewDidLoad() override;
  void viewWillDisappear(bool animated) override;

  // The menu button (0, 1 or 2) that led here.
  void setWhichBtn(int which) { whichBtn_ = which; }
  int whichBtn() const { return whichBtn_; }

  void prepareForSegue(const std::string& identifier, ViewController& destination, const void* sender) override;
  void btnEvent(int tag) override;

protected:
  void submit(const std::string& number, const std::string& password) override;
  bool reportsExit() const override { return false; }
  void goBackFromForm() override;
  void networkAlertDismissed() override;

private:
  int whichBtn_ = 0;
  TeacherHandover handover_;
  std::shared_ptr<ActivityIndicator> indicator_;
};

// The service segue for a menu button: "teacherEleList", "teacherEleStu",
// "teacherSubCag".
const char* teacherServiceSegue(int which);

}  // namespace yx
