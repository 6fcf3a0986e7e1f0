#include "academic/teacher/teacher_menu.h"

#include "academic/signing.h"
#include "core/screen_kit.h"
#include "platform/settings.h"
#include "platform/ui/common_views.h"

namespace yx {

namespace A = Autoresizing;

const char* teacherServiceSegue(int which) {
  switch (which) {
    case 0: return "teacherEleList";
    case 1: return "teacherEleStu";
    default: return "teacherSubCag";
  }
}

namespace {
const char* kUsageNames[] = {"我的授課表", "修課學生", "課程異動"};

// Hands the signed values to a service screen.
void handOver(ViewController& destination, const TeacherHandover& h) {
  if (auto* service = dynamic_cast<TeacherServiceScreen*>(&destination)) service->setHandover(h);
}
}  // namespace

// ---------------------------------------------------------------------- menu

void imTeacherViewController::viewDidLoad() {
  view().setBackgroundPattern("hl_g1.jpg");
  addHeaderBar(*this, "教師專區", 1, 2, [this](int tag) { btnEvent(tag); }, "hl_g1.jpg");

  struct Service {
    int tag;
    const char* title;
    const char* image;
    double x, y;
  };
  static const Service services[] = {{0, "我的授課表", "tea_list.png", 40, 110},
                                     {1, "修課學生", "tea_students.png", 180, 110},
                                     {2, "課程異動", "tea_change.png", 40, 270}};
  for (const Service& s : services) {
    auto b = make<Button>(Rect{s.x, s.y, 100, 120}, s.title);
    b->setTag(s.tag);
    b->setImage(s.image);
    b->setFontSize(16);
    b->setTitleColor(Color::white());
    b->setAction([this](Button& btn) { funBtn(btn.tag()); });
    b->setAutoresizingMask(A::FlexibleLeftMargin | A::FlexibleRightMargin);
    view().addSubview(b);
  }
  auto out = make<Button>(Rect{180, 270, 100, 120}, "登出");
  out->setName("logout");
  out->setActionName("logout");
  out->setImage("tea_logout.png");
  out->setFontSize(16);
  out->setTitleColor(Color::white());
  out->setAction([this](Button&) { logout(); });
  out->setAutoresizingMask(A::FlexibleLeftMargin | A::FlexibleRightMargin);
  view().addSubview(out);

  statusLbl_ = make<Label>(Rect{20, 420, 280, 30});
  statusLbl_->setName("statusLbl");
  statusLbl_->setAlignment(TextAlignment::Center);
  statusLbl_->setFont(14);
  statusLbl_->setTextColor(Color::rgb(0x35, 0x4a, 0x52));
  statusLbl_->setAutoresizingMask(A::FlexibleWidth);
  view().addSubview(statusLbl_);

  indicator_ = addSpinner(view(), Rect{140, 470, 40, 40}, "activityIndicator");
}

void imTeacherViewController::showSignedIn() {
  auto id = Settings::standard().stringForKey("teacherID").value_or("");
  statusLbl_->setText(id.empty() ? "尚未登入" : "教師代號 " + id + " 已登入");
}

void imTeacherViewController::viewWillAppear(bool) { showSignedIn(); }

void imTeacherViewController::viewWillDisappear(bool) { indicator_->stopAnimating(); }

void imTeacherViewController::funBtn(int tag) {
  if (tag < 0 || tag > 2) return;
  if (!teacherSignedIn()) {
    whichBtn_ = tag;
    performSegueWithIdentifier("imTeacherLogin");
    return;
  }
  if (tag < 2) userBehavior(kUsageNames[tag]);
  auto& s = Settings::standard();
  handover_ = teacherHandover(s.stringForKey("teacherID").value_or(""), s.stringForKey("teacherPW").value_or(""));
  if (tag == 2) indicator_->startAnimating();
  performSegueWithIdentifier(teacherServiceSegue(tag));
}

void imTeacherViewController::prepareForSegue(const std::string& identifier, ViewController& destination,
                                              const void*) {
  if (identifier == "imTeacherLogin") {
    if (auto* form = dynamic_cast<imTeacherLoginViewController*>(&destination)) form->setWhichBtn(whichBtn_);
    return;
  }
  handOver(destination, handover_);
}

void imTeacherViewController::btnEvent(int tag) {
  if (tag == 1) goHome(*this, false);
  else if (tag == 2) goBack(*this, false);
}

void imTeacherViewController::logout() {
  auto& s = Settings::standard();
  if (!teacherSignedIn()) {
    showAlert("", "未登入", "確定");
    return;
  }
  for (const char* key : {"teacherID", "teacherPW", "teacherSubjectNoAry"}) s.removeObjectForKey(key);
  s.synchronize();
  showSignedIn();
  auto a = AlertView::create("", "成功登出", sharedAs<AlertViewDelegate>(), "確定");
  loggedOut_ = a;
  a->show();
}

void imTeacherViewController::alertViewClickedButtonAtIndex(AlertView& alert, int) {
  if (&alert != loggedOut_.lock().get()) return;
  Settings::standard().removeObjectForKey("teacherEleStuLastUpdateTime");
  deleteRosterFiles();
}

// ------------------------------------------------------------------ sign-in

namespace {
SignInFormConfig teacherFormConfig() {
  SignInFormConfig c;
  c.title = "教師登入";
  c.headerPattern = "hl_g1.jpg";
  c.backgroundPattern = "hl_g1.jpg";
  c.numberCaption = "代號";
  c.numberPlaceholder = "請輸入教師代號";
  // Empty fields go as they are: the service answers for them.
  c.missingNumber = "";
  c.missingPassword = "";
  c.numberKey = "";
  c.passwordKey = "";
  c.checksNetworkOnAppear = true;
  return c;
}
}  // namespace

imTeacherLoginViewController::imTeacherLoginViewController() : SignInFormViewController(teacherFormConfig()) {}

void imTeacherLoginViewController::viewDidLoad() {
  SignInFormViewController::viewDidLoad();
  passwordField().setName("pwField");
  indicator_ = addSpinner(view(), Rect{140, 400, 40, 40}, "activityIndicator");
}

void imTeacherLoginViewController::viewWillDisappear(bool) { indicator_->stopAnimating(); }

void imTeacherLoginViewController::submit(const std::string& number, const std::string& password) {
  indicator_->startAnimating();
  handover_ = teacherHandover(number, encodePwMethod(password));
  int which = whichBtn_ < 0 || whichBtn_ > 2 ? 2 : whichBtn_;
  userBehavior(kUsageNames[which]);
  performSegueWithIdentifier(teacherServiceSegue(which));
}

void imTeacherLoginViewController::prepareForSegue(const std::string&, ViewController& destination, const void*) {
  handOver(destination, handover_);
}

void imTeacherLoginViewController::btnEvent(int tag) {
  if (tag == 1) goHome(*this, false);
  else if (tag == 2) goBackFromForm();
}

void imTeacherLoginViewController::goBackFromForm() { goBack(*this, false); }

void imTeacherLoginViewController::networkAlertDismissed() {
  if (auto* nav = navigationController()) nav->popViewControllerAnimated(false);
}

}  // namespace yx
