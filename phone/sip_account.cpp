#include "phone/sip_account.h"

#include "core/deployment.h"
#include "core/screen_kit.h"
#include "markup/html_query.h"
#include "phone/phone_kit.h"
#include "platform/application.h"
#include "platform/escape.h"
#include "platform/http.h"
#include "platform/settings.h"

namespace yx::phone {

SipAnswer SipAnswer::fromValues(const std::vector<std::string>& v) {
  SipAnswer a;
  if (v.empty()) return a;
  if (v.size() >= 3 && v[0] == "確認") {
    a.kind = Kind::Issued;
    a.number = v[1];
    a.password = v[2];
  } else if (v.size() >= 4 && v[3] == "忘記密碼") {
    a.kind = Kind::Existing;
    a.number = v[1];
    a.password = v[0];
  } else {
    a.kind = Kind::Other;
  }
  return a;
}

std::vector<std::string> inputValues(const std::string& page) {
  std::vector<std::string> values;
  for (const auto& input : HtmlQuery::queryWithHTMLData(page).searchWithXPathQuery("//input"))
    if (auto value = input->objectForKey("value")) values.push_back(std::move(*value));
  return values;
}

std::optional<SipAnswer> requestSipAccount(const std::string& account, const std::string& password,
                                           ActivityIndicator& spinner) {
  spinner.startAnimating();
  std::vector<std::string> values;
  if (auto url = serverURL("sip_registration", "/sipreg/pickup.php")) {
    HttpResult r = httpPost(*url, "username=" + componentEscape(account) + "&oldpass=" + componentEscape(password), 60);
    if (r.ok) values = inputValues(r.body);
  }
  spinner.stopAnimating();
  SipAnswer answer = SipAnswer::fromValues(values);
  if (answer.kind == SipAnswer::Kind::Refused) {
    showAlert("", "帳號或密碼錯誤", "確定");
    return std::nullopt;
  }
  if (answer.kind == SipAnswer::Kind::Other) return std::nullopt;

  std::string text = answer.kind == SipAnswer::Kind::Issued ? "成功申請網路電話!!" : "以下是您的網路電話資訊!!";
  text += "\nUsername：" + answer.number + "\nPassword：" + answer.password +
          "\nServerAddress：" + Deployment::current().sipDomain;
  Settings::standard().setString("userPhoneNumber", answer.number);
  showAlert("", text, "確定");
  LocalNotification note;
  note.alertBody = text;
  note.soundName = "default";
  note.badgeNumber = -1;
  note.fireDate = std::chrono::duration<double>(now().time_since_epoch()).count();
  auto& app = Application::shared();
  app.scheduleLocalNotification(note);
  app.deliverDueNotifications();
  return answer;
}

SipAccountForm addSipAccountForm(ViewController& vc, double y) {
  SipAccountForm f;
  auto accountLbl = make<Label>(Rect{20, y, 80, 36}, "學校帳號");
  vc.view().addSubview(accountLbl);
  f.accountField = makeField(Rect{100, y, 200, 36}, "accountField", "學號或教職員帳號");
  vc.view().addSubview(f.accountField);
  auto passwordLbl = make<Label>(Rect{20, y + 46, 80, 36}, "密碼");
  vc.view().addSubview(passwordLbl);
  f.passwordField = makeField(Rect{100, y + 46, 200, 36}, "passwordField", "學校帳號的密碼", true);
  vc.view().addSubview(f.passwordField);
  return f;
}

// ------------------------------------------------------------- the request

void myPhoneViewController::viewDidLoad() {
  view().setBackgroundPattern("hl_r1.jpg");
  auto background = makeButton(Rect{0, 44, 320, 524}, "", "btnEvent", [this](Button& b) { btnEvent(b.tag()); });
  background->setTag(3);
  background->setAutoresizingMask(Autoresizing::FlexibleSize);
  view().addSubview(background);
  addHeaderBar(*this, "我的網路電話", 1, 2, [this](int tag) { btnEvent(tag); });

  auto intro = makeTextLabel(Rect{20, 54, 280, 60},
                             "以學校帳號與密碼申請校園網路電話帳號；已申請過的帳號會再次顯示。", 15);
  intro->setName("introLbl");
  view().addSubview(intro);
  form_ = addSipAccountForm(*this, 124);
  auto reset = makeButton(Rect{20, 226, 130, 40}, "清除", "resetBtn", [this](Button&) { resetBtn(); });
  reset->setName("resetBtn");
  reset->setBorder(1, 8, Color::rgb(0, 122, 255));
  view().addSubview(reset);
  auto submit = makeButton(Rect{170, 226, 130, 40}, "申請", "submitBtn", [this](Button&) { submitBtn(); });
  submit->setName("submitBtn");
  submit->setBackgroundColor(Color::rgb(52, 120, 200));
  submit->setTitleColor(Color::white());
  submit->setBorder(0, 8);
  view().addSubview(submit);
  auto teach = makeButton(Rect{60, 290, 200, 40}, "網路電話設定教學", "teachBtn", [this](Button&) { teachBtn(); });
  teach->setName("teachBtn");
  view().addSubview(teach);
  form_.spinner = addSpinner(view());
}

void myPhoneViewController::submitBtn() {
  auto account = requestSipAccount(form_.accountField->text(), form_.passwordField->text(), *form_.spinner);
  if (!account) return;
  auto& s = Settings::standard();
  s.setObject("userPhoneData",
              Value::dictionary({{"username", Value(account->number)}, {"password", Value(account->password)}}));
  s.synchronize();
  performSegueWithIdentifier("MyPhoneAccount");
}

void myPhoneViewController::resetBtn() {
  form_.accountField->setText("");
  form_.passwordField->setText("");
}

void myPhoneViewController::teachBtn() { performSegueWithIdentifier("teachView"); }

void myPhoneViewController::btnEvent(int tag) {
  switch (tag) {
    case 3:
      form_.accountField->resignFirstResponder();
      form_.passwordField->resignFirstResponder();
      break;
    case 2: goBack(*this); break;
    case 1: goHome(*this); break;
    default: break;
  }
}

// ------------------------------------------------------ the stored account

void myPhoneAccountViewController::viewDidLoad() {
  view().setBackgroundPattern("hl_r1.jpg");
  addHeaderBar(*this, "我的網路電話", 1, 2, [this](int tag) { btnEvent(tag); });
  auto stored = Settings::standard().objectForKey("userPhoneData");
  Value data = stored && stored->isDictionary() ? *stored : Value::dictionary();

  auto intro = makeTextLabel(Rect{20, 54, 280, 44}, "您的網路電話帳號（請填入網路電話軟體）：", 15);
  intro->setName("introLbl");
  view().addSubview(intro);
  auto addRow = [&](double y, const char* caption, const char* name, const std::string& text) {
    view().addSubview(make<Label>(Rect{20, y, 100, 36}, caption));
    auto t = make<TextView>(Rect{120, y, 180, 36}, text);
    t->setName(name);
    t->setEditable(false);
    t->setFontSize(17);
    t->setBorder(1, 5);
    view().addSubview(t);
    return t;
  };
  usernameTextView_ = addRow(108, "Username", "usernameTextView", data.stringFor("username"));
  pwdTextView_ = addRow(154, "Password", "pwdTextView", data.stringFor("password"));
  addRow(200, "Server", "serverTextView", Deployment::current().sipDomain);

  auto logout = makeButton(Rect{60, 260, 200, 40}, "登出並清除帳號", "logOut", [this](Button&) { logOut(); });
  logout->setName("logOut");
  logout->setBackgroundColor(Color::rgb(200, 60, 60));
  logout->setTitleColor(Color::white());
  logout->setBorder(0, 8);
  view().addSubview(logout);
  auto teach = makeButton(Rect{60, 316, 200, 40}, "網路電話設定教學", "teachBtn", [this](Button&) { teachBtn(); });
  teach->setName("teachBtn");
  view().addSubview(teach);
}

void myPhoneAccountViewController::logOut() {
  auto& s = Settings::standard();
  s.removeObjectForKey("userPhoneData");
  s.synchronize();
  s.removeObjectForKey("userPhoneNumber");
  usernameTextView_->setText(" ");
  pwdTextView_->setText(" ");
  showAlert("", "成功登出", "確定");
  performSegueWithIdentifier("MyPhone");
}

void myPhoneAccountViewController::teachBtn() { performSegueWithIdentifier("teachView"); }

void myPhoneAccountViewController::btnEvent(int tag) {
  if (tag == 2) goBack(*this);
  if (tag == 1) goHome(*this);
}

}  // namespace yx::phone
