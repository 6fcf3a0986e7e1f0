#pragma once
// What the exam timetable and the scores share as result screens on the
// Feed loader: the picture behind the progress alert while they load, the
// "錯誤" alert when the probe gets no answer, the service's refusal shown as
// "訊息", and where their alerts lead: after "學號或密碼錯誤" to a fresh
// sign-in form, after any other to the Student menu (or to the form of a
// second query).

#include <memory>
#include <string>

#include "academic/student/student_common.h"
#include "markup/feed_loader.h"

namespace yx {

class StudentResultViewController : public FeedLoaderViewController {
protected:
  // The sign-in form a wrong number or password leads to.
  virtual std::shared_ptr<ViewController> makeSignInForm() = 0;

  void loadWillStart() override;
  void loadDidEnd() override;
  void probeFailed() override;
  // A download that fails after a good probe is silent here: the result
  // screen keeps its cached display and its own buttons in sight.
  void transferFailed() override {}
  void didRefuse(const std::string& text) override;
  void failureAlertAnswered(AlertView& alert, int index) override;
  std::shared_ptr<ViewController> makeListScreen() override { return nullptr; }

  LoadingBackdrop backdrop_;

private:
  std::weak_ptr<AlertView> refusalAlert_;
  std::string refusalText_;
};

}  // namespace yx
