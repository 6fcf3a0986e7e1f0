#include "academic/student/student_sign_in.h"

#include "academic/student/course_loader.h"
#include "academic/student/exam_scores.h"
#include "academic/student/exam_timetable.h"
#include "academic/student/student_common.h"
#include "core/screen_kit.h"
#include "platform/settings.h"

namespace yx {

namespace {
SignInFormConfig studentForm(std::string title, int backgroundTag) {
  SignInFormConfig c;
  c.title = std::move(title);
  c.backgroundTag = backgroundTag;
  return c;
}
}  // namespace

StudentSignInForm::StudentSignInForm(std::string title, std::string method, int backgroundTag)
    : SignInFormViewController(studentForm(std::move(title), backgroundTag)), method_(std::move(method)) {}

void StudentSignInForm::submit(const std::string& number, const std::string& password) {
  openStudentResult(*this, method_, makeResultScreen(), number, password);
}

// ------------------------------------------------------------- the forms

inquiryListViewController::inquiryListViewController() : StudentSignInForm("我的課表", kCourseListMethod) {}
std::shared_ptr<ViewController> inquiryListViewController::makeResultScreen() {
  return std::make_shared<inquiryXMLParser>();
}

testListViewController::testListViewController() : StudentSignInForm("考試小表", kExamListMethod) {}
std::shared_ptr<ViewController> testListViewController::makeResultScreen() {
  return std::make_shared<testListInquiryViewController>();
}

examScoreViewController::examScoreViewController() : StudentSignInForm("期中期末成績", kScoreMethod, 3) {}

void examScoreViewController::viewDidLoad() {
  StudentSignInForm::viewDidLoad();
  idField().setText(Settings::standard().stringForKey("id").value_or(""));
}

void examScoreViewController::willSubmit(const std::string& number, const std::string&) {
  Settings::standard().setString("id", number);
  userBehavior("期中期末成績");
}

bool examScoreViewController::reportsExit() const { return scoresReportExit(); }

std::shared_ptr<ViewController> examScoreViewController::makeResultScreen() {
  return std::make_shared<examScoreXMLViewController>();
}

bool scoresReportExit() { return Settings::standard().stringForKey("功能名稱").value_or("") == "期中期末成績"; }

}  // namespace yx
