#pragma once
// The student's course-change screens (from the Student menu's 課程異動):
// the entry screen, the whole-semester and the temporary changes.

#include <string>

#include "academic/changes/change_screens.h"

namespace yx {

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
