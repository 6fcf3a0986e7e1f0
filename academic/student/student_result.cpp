#include "academic/student/student_result.h"

namespace yx {

void StudentResultViewController::loadWillStart() { backdrop_.show(view(), 600); }

// However the load ended, what the screen shows stays in sight.
void StudentResultViewController::loadDidEnd() { backdrop_.remove(); }

void StudentResultViewController::probeFailed() {
  AlertView::create("錯誤", "", sharedAs<AlertViewDelegate>(), "確定")->show();
}

void StudentResultViewController::didRefuse(const std::string& text) {
  refusalText_ = text;
  auto alert = AlertView::create("訊息", text, sharedAs<AlertViewDelegate>(), "確定");
  refusalAlert_ = alert;
  alert->show();
}

void StudentResultViewController::failureAlertAnswered(AlertView& alert, int) {
  auto* nav = navigationController();
  if (!nav) return;
  if (&alert == refusalAlert_.lock().get() && refusalText_ == kWrongCredentials) {
    nav->pushViewController(makeSignInForm(), false);
    return;
  }
  returnFromResult(*this, false);
}

}  // namespace yx
