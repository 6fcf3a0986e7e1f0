#pragma once
// The teacher's course changes (課程異動): the entry screen asks the
// Academic web service for the teacher's course serial numbers as it loads,
// signs the teacher in with them, then announces the new temporary changes
// of those courses; the whole-semester and temporary screens follow.

#include <optional>
#include <string>
#include <vector>

#include "academic/changes/change_screens.h"
#include "academic/teacher/teacher_common.h"

namespace yx {

class teaSubChagListViewController : public ChangeEntryViewController,
                                     public TeacherServiceScreen,
                                     public AlertViewDelegate {
public:
  teaSubChagListViewController() : ChangeEntryViewController(ChangeScreensConfig::teacher()) {}
  std::string className() const override { return "teaSubChagListViewController"; }
  void viewDidLoad() override;
  void alertViewClickedButtonAtIndex(AlertView&, int index) override;
  const std::string& listURL() const { return url_; }

protected:
  size_t backIndex() const override { return teacherBackIndex(*this); }
  std::optional<std::vector<std::string>> courseNumbers() const override { return courses_; }

private:
  std::string url_;
  std::vector<std::string> courses_;
};

class teaSubjCagSemViewController : public SemesterChangesViewController {
public:
  teaSubjCagSemViewController() : SemesterChangesViewController(ChangeScreensConfig::teacher()) {}
  std::string className() const override { return "teaSubjCagSemViewController"; }
};

class teaSubjCagTemViewController : public TemporaryChangesViewController {
public:
  teaSubjCagTemViewController() : TemporaryChangesViewController(ChangeScreensConfig::teacher()) {}
  std::string className() const override { return "teaSubjCagTemViewController"; }
};

}  // namespace yx
