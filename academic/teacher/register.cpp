#include "academic/teacher/teacher.h"

#include "academic/teacher/teacher_changes.h"
#include "academic/teacher/teacher_courses.h"
#include "academic/teacher/teacher_menu.h"

namespace yx {

void registerTeacherScreens() {
  Storyboards::registerInitial("teacher", [] { return std::make_shared<imTeacherViewController>(); });
  Storyboards::registerScreen("imTeacherViewController", [] { return std::make_shared<imTeacherViewController>(); });
  Storyboards::registerSegue("imTeacherViewController", "imTeacherLogin",
                             [] { return std::make_shared<imTeacherLoginViewController>(); });
  // The three services, from the menu and from the sign-in form.
  for (const char* from : {"imTeacherViewController", "imTeacherLoginViewController"}) {
    Storyboards::registerSegue(from, "teacherEleList", [] { return std::make_shared<teacherEleListViewController>(); });
    Storyboards::registerSegue(from, "teacherEleStu", [] { return std::make_shared<teacherEleStuViewController>(); });
    Storyboards::registerSegue(from, "teacherSubCag", [] { return std::make_shared<teaSubChagListViewController>(); });
  }
  Storyboards::registerSegue("teacherEleStuViewController", "showPDFDocument",
                             [] { return std::make_shared<teacherEleStuShowPDFViewController>(); });
  const std::string changes = "teaSubChagListViewController";
  Storyboards::registerSegue(changes, "temporary", [] { return std::make_shared<teaSubjCagTemViewController>(); });
  Storyboards::registerSegue(changes, "semester", [] { return std::make_shared<teaSubjCagSemViewController>(); });
  Storyboards::registerSegue(changes, "Q&A", [] { return std::make_shared<changeNoticeQAViewController>(); });
}

}  // namespace yx
