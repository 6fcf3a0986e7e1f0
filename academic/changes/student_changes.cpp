#include "academic/changes/student_changes.h"

namespace yx {

void subjectChangeListViewController::viewDidLoad() {
  ChangeEntryViewController::viewDidLoad();
  startRecords(storedIdentity(*config_.kind).value_or(""));
  showMarkFromFlag();
}

size_t subjectChangeListViewController::backIndex() const {
  auto* nav = navigationController();
  return nav && nav->depth() >= 6 ? 4 : 1;
}

void registerStudentChangeScreens() {
  const std::string entry = "subjectChangeListViewController";
  Storyboards::registerSegue("imStudentViewController", "subjectChangeList",
                             [] { return std::make_shared<subjectChangeListViewController>(); });
  Storyboards::registerSegue(entry, "temporary", [] { return std::make_shared<subjectChageTemporaryViewController>(); });
  Storyboards::registerSegue(entry, "Semester", [] { return std::make_shared<subjectChageSemesterViewController>(); });
  Storyboards::registerSegue(entry, "Q&A", [] { return std::make_shared<changeNoticeQAViewController>(); });
}

}  // namespace yx
