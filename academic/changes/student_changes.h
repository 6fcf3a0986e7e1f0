#pragma once
// The student's course-change screens (from the Student menu's 課程異動):
// the entry screen, the whole-semester and the temporary changes.

#include <string>

#include "academic/changes/change_screens.h"
#include "academic/sign_in_form.h"

namespace yx {

// The course-change sign-in form: the student's course serial numbers
// (StuEleCosEleSeqList2XML) are fetched with the typed number and password;
// only an answer without refusal stores the number, the password and the
// numbers, then the entry screen follows. Its alerts' button is "重新輸入",
// which empties the password field.
class subjectChangeViewController : public SignInFormViewController {
public:
  subjectChangeViewController();
  std::string className() const override { return "subjectChangeViewController"; }
  void viewDidLoad() override;
  void alertViewClickedButtonAtIndex(AlertView& alert, int index) override;

protected:
  void submit(const std::string& number, const std::string& password) override;
  bool reportsExit() const override { return false; }

private:
  std::shared_ptr<ActivityIndicator> indicator_;
  std::weak_ptr<AlertView> refusal_;
};

class subjectChangeListViewController : public ChangeEntryViewController {
public:
  subjectChangeListViewController() : ChangeEntryViewController(ChangeScreensConfig::student()) {}
  std::string className() const override { return "subjectChangeListViewController"; }
  void viewDidLoad() override;

protected:
  // Back: the Student menu, or index 4 once the stack holds 6 screens or more.
  size_t backIndex() const override;
};

class subjectChageSemesterViewController : public SemesterChangesViewController {
public:
  subjectChageSemesterViewController() : SemesterChangesViewController(ChangeScreensConfig::student()) {}
  std::string className() const override { return "subjectChageSemesterViewController"; }
};

class subjectChageTemporaryViewController : public TemporaryChangesViewController {
public:
  subjectChageTemporaryViewController() : TemporaryChangesViewController(ChangeScreensConfig::student()) {}
  std::string className() const override { return "subjectChageTemporaryViewController"; }
};

// Registers the course-change screens and their segues (student and the
// shared Q&A).
void registerStudentChangeScreens();

}  // namespace yx
