#pragma once
// The sign-in form the academic services share: a number field
// (`idField`), a secure password field (`passwordField`), the query button
// (`inquiryBtn`) and the reset button (`resetBtn`) under the standard header
// bar (home tag 1, back tag 2).
//
// The query button dismisses the keyboard, then checks the fields in order
// (an empty number, then an empty password, each refused with the form's
// warning alert), stores the typed values under the form's keys and hands
// them to submit(); both fields are emptied afterwards. While a field is
// edited the whole view moves up by 70 points and grows by 70 points, so
// the keyboard does not hide the fields; it moves back when editing ends.
// A tap on the background dismisses the keyboard.
//
// A concrete form gives its texts and keys (SignInFormConfig), what a valid
// submit does, and its way back.

#include <memory>
#include <string>

#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {

struct SignInFormConfig {
  std::string title;                      // the header bar's title
  std::string headerPattern = "hl_p1.jpg";
  std::string backgroundPattern = "hl_p1.jpg";
  std::string numberCaption = "學號", passwordCaption = "密碼";
  std::string numberPlaceholder = "請輸入學號", passwordPlaceholder = "請輸入密碼";
  // The warning alert. An empty text skips that check.
  std::string warningTitle = "警告";
  std::string missingNumber = "請輸入學號。";
  std::string missingPassword = "請輸入密碼。";
  std::string warningButton = "確定";
  bool warningClearsPassword = false;     // pressing the warning's button empties the password
  // Where a valid submit stores the typed number and password ("" stores nothing).
  std::string numberKey = "學號", passwordKey = "密碼";
  // The background's tag (dismisses the keyboard); negative: untagged.
  int backgroundTag = -1;
  // Asks the reachability service each time the form comes on screen and
  // shows the network alert without a connection.
  bool checksNetworkOnAppear = false;
};

class SignInFormViewController : public ViewController, public AlertViewDelegate {
public:
  explicit SignInFormViewController(SignInFormConfig config);
  ~SignInFormViewController() override;

  void viewDidLoad() override;
  void viewDidAppear(bool animated) override;

  // The query action: check, store, submit, empty both fields.
  void inquiryBtn();
  // The reset action: empties both fields.
  void resetBtn();
  // Header buttons by tag: 1 home, 2 back.
  virtual void btnEvent(int tag);

  TextField& idField() { return *idField_; }
  TextField& passwordField() { return *passwordField_; }
  const SignInFormConfig& config() const { return config_; }
  // True while the view is moved up for the keyboard.
  bool shiftedForKeyboard() const { return shifted_; }

  void alertViewClickedButtonAtIndex(AlertView& alert, int index) override;

protected:
  // After the checks, before the typed values are stored.
  virtual void willSubmit(const std::string& /*number*/, const std::string& /*password*/) {}
  // A valid submit, after the typed values were stored.
  virtual void submit(const std::string& number, const std::string& password) = 0;
  // Whether home and back send the usage exit report.
  virtual bool reportsExit() const { return true; }
  // Back: to the second screen of the stack (the service menu), animated.
  virtual void goBackFromForm();
  // The network alert of checksNetworkOnAppear was dismissed.
  virtual void networkAlertDismissed() {}

private:
  class FieldDelegate;
  void shiftForKeyboard(bool up);
  void editingEnded();

  SignInFormConfig config_;
  std::shared_ptr<TextField> idField_, passwordField_;
  std::shared_ptr<FieldDelegate> fieldDelegate_;
  std::weak_ptr<AlertView> warning_, networkAlert_;
  bool shifted_ = false;
};

}  // namespace yx
