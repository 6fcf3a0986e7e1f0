#pragma once
// The Student sign-in forms of the course list, the exam timetable and the
// exam scores: the shared sign-in form (academic/sign_in_form.h) storing
// "學號" and "密碼", whose valid submit signs the service's web method and
// pushes its result screen without animation.

#include <functional>
#include <memory>
#include <string>

#include "academic/sign_in_form.h"

namespace yx {

class StudentSignInForm : public SignInFormViewController {
public:
  StudentSignInForm(std::string title, std::string method, int backgroundTag = -1);
  const std::string& method() const { return method_; }

protected:
  void submit(const std::string& number, const std::string& password) override;
  // The result screen a valid submit pushes.
  virtual std::shared_ptr<ViewController> makeResultScreen() = 0;

private:
  std::string method_;
};

// 我的課表: StuEleList2XML, then the course-list loader.
class inquiryListViewController : public StudentSignInForm {
public:
  inquiryListViewController();
  std::string className() const override { return "inquiryListViewController"; }

protected:
  std::shared_ptr<ViewController> makeResultScreen() override;
};

// 考試小表: StuExamList2XML, then the exam timetable.
class testListViewController : public StudentSignInForm {
public:
  testListViewController();
  std::string className() const override { return "testListViewController"; }

protected:
  std::shared_ptr<ViewController> makeResultScreen() override;
};

// 期中期末成績: StuScoQueryList2XML, then the scores. The number field
// starts with "id"; a valid submit first stores the number under "id" and
// records the usage "期中期末成績". The background has tag 3. Home and back
// send the usage exit report only while "功能名稱" is "期中期末成績".
class examScoreViewController : public StudentSignInForm {
public:
  examScoreViewController();
  std::string className() const override { return "examScoreViewController"; }
  void viewDidLoad() override;

protected:
  void willSubmit(const std::string& number, const std::string& password) override;
  bool reportsExit() const override;
  std::shared_ptr<ViewController> makeResultScreen() override;
};

// Whether leaving a scores screen sends the usage exit report.
bool scoresReportExit();

}  // namespace yx
