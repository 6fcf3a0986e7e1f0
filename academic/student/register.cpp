#include "academic/student/student.h"

#include "academic/student/course_list.h"
#include "academic/student/course_loader.h"
#include "academic/student/exam_scores.h"
#include "academic/student/exam_timetable.h"
#include "academic/student/student_menu.h"
#include "academic/student/student_sign_in.h"
#include "core/home_menu.h"

namespace yx {

void registerStudentScreens() {
  Storyboards::registerInitial("student", [] { return std::make_shared<imStudentViewController>(); });
  Storyboards::registerScreen("imStudentViewController", [] { return std::make_shared<imStudentViewController>(); });
  Storyboards::registerScreen("inquiryListViewController", [] { return std::make_shared<inquiryListViewController>(); });
  Storyboards::registerScreen("testListViewController", [] { return std::make_shared<testListViewController>(); });
  Storyboards::registerScreen("examScoreViewController", [] { return std::make_shared<examScoreViewController>(); });
  Storyboards::registerScreen("inquiryXMLParser", [] { return std::make_shared<inquiryXMLParser>(); });
  Storyboards::registerScreen("inquiryResultsViewController",
                              [] { return std::make_shared<inquiryResultsViewController>(); });
  Storyboards::registerScreen("testListInquiryViewController",
                              [] { return std::make_shared<testListInquiryViewController>(); });
  Storyboards::registerScreen("examScoreXMLViewController",
                              [] { return std::make_shared<examScoreXMLViewController>(); });

  // Course changes are not built yet: both ways in say so. Their own
  // registration replaces these two.
  for (const char* segue : {"subCagLogin", "subjectChangeList"})
    Storyboards::registerSegue("imStudentViewController", segue,
                               [] { return std::make_shared<comingSoonViewController>("課程異動"); });
}

}  // namespace yx
