#pragma once
// The campus SIP account: asking the SIP registration server for it
// (`myPhoneViewController`, and page 2 of the setup guide), and showing and
// forgetting the stored account (`myPhoneAccountViewController`).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/view_controller.h"

namespace yx::phone {

// What the registration server's page says, from the "value" attributes of
// its input elements in page order.
struct SipAnswer {
  enum class Kind { Refused, Issued, Existing, Other } kind = Kind::Refused;
  std::string number, password;
  // Issued: "確認", number, password (three values at least). Existing: a
  // fourth value "忘記密碼", the password first, the number second. No
  // value at all: refused. Anything else, a short "確認" answer included: other.
  static SipAnswer fromValues(const std::vector<std::string>& values);
};

// The input values of a page ("//input", attribute "value", page order).
std::vector<std::string> inputValues(const std::string& page);

// Asks for the account with the campus account and password: POST
// "/sipreg/pickup.php" (form username, oldpass, each escaped as a component)
// and reads the answer. With an account, stores its number under
// "userPhoneNumber", shows it with the campus SIP domain and posts the same
// text as a local notification. Refused: "帳號或密碼錯誤". The spinner turns
// while the request blocks. Returns the account when there is one.
std::optional<SipAnswer> requestSipAccount(const std::string& account, const std::string& password,
                                           ActivityIndicator& spinner);

// The form both account screens show: account and password fields.
struct SipAccountForm {
  std::shared_ptr<TextField> accountField, passwordField;
  std::shared_ptr<ActivityIndicator> spinner;
};
// Adds the fields (at y) to the screen; the screen adds the spinner last, above everything.
SipAccountForm addSipAccountForm(ViewController& vc, double y);

class myPhoneViewController : public ViewController {
public:
  std::string className() const override { return "myPhoneViewController"; }
  void viewDidLoad() override;
  // The request; an account is stored under "userPhoneData" and shown on the
  // stored-account screen ("MyPhoneAccount").
  void submitBtn();
  void resetBtn();
  void teachBtn();
  // 3 dismisses the keyboard; 2 back and 1 Home menu with the usage exit report.
  void btnEvent(int tag);

private:
  SipAccountForm form_;
};

class myPhoneAccountViewController : public ViewController {
public:
  std::string className() const override { return "myPhoneAccountViewController"; }
  void viewDidLoad() override;
  // Forgets the account, says so and goes on to the request screen ("MyPhone").
  void logOut();
  void teachBtn();
  // 2 back and 1 Home menu with the usage exit report.
  void btnEvent(int tag);

private:
  std::shared_ptr<TextView> usernameTextView_, pwdTextView_;
};

}  // namespace yx::phone
