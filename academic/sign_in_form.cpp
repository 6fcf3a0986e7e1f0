#include "academic/sign_in_form.h"

#include "core/screen_kit.h"
#include "platform/runloop.h"
#include "platform/settings.h"

namespace yx {

namespace {
constexpr double kKeyboardShift = 70;
}

// Hears the two fields: editing moves the view up, return dismisses the keyboard.
class SignInFormViewController::FieldDelegate : public TextFieldDelegate {
public:
  explicit FieldDelegate(SignInFormViewController* form) : form_(form) {}
  bool textFieldShouldBeginEditing(TextField&) override {
    form_->shiftForKeyboard(true);
    return true;
  }
  bool textFieldShouldReturn(TextField& field) override {
    field.resignFirstResponder();
    return true;
  }
  void textFieldDidEndEditing(TextField&) override { form_->editingEnded(); }

private:
  SignInFormViewController* form_;
};

SignInFormViewController::SignInFormViewController(SignInFormConfig config) : config_(std::move(config)) {}

SignInFormViewController::~SignInFormViewController() {
  // The fields may outlive the form in a front-end's hands; they must not
  // call back into it.
  if (idField_) idField_->setDelegate(nullptr);
  if (passwordField_) passwordField_->setDelegate(nullptr);
}

void SignInFormViewController::viewDidLoad() {
  view().setBackgroundPattern(config_.backgroundPattern);

  // The background: a tap anywhere else ends editing.
  auto background = make<Button>(Rect{0, 0, kScreenWidth, kScreenHeight});
  background->setName("backgroundTap");
  if (config_.backgroundTag >= 0) background->setTag(config_.backgroundTag);
  background->setAutoresizingMask(Autoresizing::FlexibleSize);
  background->setAction([this](Button&) { view().endEditing(); });
  view().addSubview(background);

  addHeaderBar(*this, config_.title, 1, 2, [this](int tag) { btnEvent(tag); }, config_.headerPattern);

  fieldDelegate_ = std::make_shared<FieldDelegate>(this);
  auto addRow = [&](double y, const std::string& caption, const char* name, const std::string& placeholder) {
    auto label = make<Label>(Rect{24, y, 64, 34}, caption);
    label->setFont(17, true);
    label->setName(std::string(name) + "Caption");
    view().addSubview(label);
    auto field = make<TextField>(Rect{92, y, 204, 34});
    field->setName(name);
    field->setPlaceholder(placeholder);
    field->setBorder(1, 6);
    field->setBackgroundColor(Color::white());
    field->setDelegate(fieldDelegate_.get());
    view().addSubview(field);
    return field;
  };
  idField_ = addRow(130, config_.numberCaption, "idField", config_.numberPlaceholder);
  passwordField_ = addRow(180, config_.passwordCaption, "passwordField", config_.passwordPlaceholder);
  passwordField_->setSecureTextEntry(true);

  auto addButton = [&](double x, const char* name, const char* title, void (SignInFormViewController::*fn)()) {
    auto b = make<Button>(Rect{x, 240, 100, 40}, title);
    b->setName(name);
    b->setActionName(name);
    b->setFontSize(17);
    b->setTitleColor(Color::white());
    b->setBackgroundColor(Color::rgb(122, 84, 140));
    b->setBorder(0, 8);
    b->setAction([this, fn](Button&) { (this->*fn)(); });
    view().addSubview(b);
  };
  addButton(50, "inquiryBtn", "查詢", &SignInFormViewController::inquiryBtn);
  addButton(170, "resetBtn", "清除", &SignInFormViewController::resetBtn);
}

void SignInFormViewController::viewDidAppear(bool) {
  if (!config_.checksNetworkOnAppear || networkReachable()) return;
  networkAlert_ = showNetworkAlert(sharedAs<AlertViewDelegate>());
}

// ------------------------------------------------------------------ actions

void SignInFormViewController::inquiryBtn() {
  idField_->resignFirstResponder();
  passwordField_->resignFirstResponder();
  const std::string number = idField_->text(), password = passwordField_->text();
  std::string problem;
  if (number.empty()) problem = config_.missingNumber;
  else if (password.empty()) problem = config_.missingPassword;
  if (!problem.empty()) {
    auto alert = AlertView::create(config_.warningTitle, problem, sharedAs<AlertViewDelegate>(), config_.warningButton);
    warning_ = alert;
    alert->show();
    return;
  }
  willSubmit(number, password);
  auto& store = Settings::standard();
  if (!config_.numberKey.empty()) store.setString(config_.numberKey, number);
  if (!config_.passwordKey.empty()) store.setString(config_.passwordKey, password);
  submit(number, password);
  idField_->setText("");
  passwordField_->setText("");
}

void SignInFormViewController::resetBtn() {
  idField_->setText("");
  passwordField_->setText("");
}

void SignInFormViewController::btnEvent(int tag) {
  if (tag == 1) {
    goHome(*this, reportsExit());
  } else if (tag == 2) {
    if (reportsExit()) startUsageExitReport();
    goBackFromForm();
  }
}

void SignInFormViewController::goBackFromForm() {
  auto* nav = navigationController();
  if (!nav) return;
  const auto& stack = nav->viewControllers();
  if (stack.size() > 2) nav->popToViewController(stack[1].get(), true);
  else nav->popViewControllerAnimated(true);
}

void SignInFormViewController::alertViewClickedButtonAtIndex(AlertView& alert, int) {
  if (&alert == warning_.lock().get()) {
    if (config_.warningClearsPassword) passwordField_->setText("");
  } else if (&alert == networkAlert_.lock().get()) {
    networkAlertDismissed();
  }
}

// ----------------------------------------------------------------- keyboard

void SignInFormViewController::shiftForKeyboard(bool up) {
  if (up == shifted_ || !isViewLoaded()) return;
  shifted_ = up;
  Rect f = view().frame();
  const double d = up ? kKeyboardShift : -kKeyboardShift;
  view().setFrame(Rect{f.x, f.y - d, f.width, f.height + d});
}

// Editing moves from one field to the other by ending first, so the view
// moves back only when, once this turn is over, neither field is edited.
void SignInFormViewController::editingEnded() {
  std::weak_ptr<SignInFormViewController> weak = sharedAs<SignInFormViewController>();
  RunLoop::main().post([weak] {
    auto self = weak.lock();
    if (self && !self->idField_->isFirstResponder() && !self->passwordField_->isFirstResponder())
      self->shiftForKeyboard(false);
  });
}

}  // namespace yx
