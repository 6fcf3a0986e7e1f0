#include "academic/changes/student_changes.h"

#include "academic/signing.h"
#include "markup/dom.h"
#include "platform/http.h"
#include "platform/settings.h"
#include "platform/ui/common_views.h"

namespace yx {

namespace {
SignInFormConfig changeFormConfig() {
  SignInFormConfig c;
  c.title = "課程異動";
  c.warningButton = "重新輸入";
  c.warningClearsPassword = true;
  // Stored only once the service has answered without refusal.
  c.numberKey = "";
  c.passwordKey = "";
  c.checksNetworkOnAppear = true;
  return c;
}
}  // namespace

subjectChangeViewController::subjectChangeViewController() : SignInFormViewController(changeFormConfig()) {}

void subjectChangeViewController::viewDidLoad() {
  SignInFormViewController::viewDidLoad();
  indicator_ = addSpinner(view(), Rect{140, 400, 40, 40}, "activityIndicator",
                          Autoresizing::FlexibleLeftMargin | Autoresizing::FlexibleRightMargin);
}

void subjectChangeViewController::submit(const std::string& number, const std::string& password) {
  indicator_->startAnimating();
  std::string url;
  try {
    url = studentMethodURL("StuEleCosEleSeqList2XML", number, password);
  } catch (const std::exception&) {
  }
  HttpResult r = url.empty() ? HttpResult{} : httpGet(url, 60);
  auto doc = r.ok && r.status >= 200 && r.status <= 299 ? DomDocument::initWithData(r.body) : nullptr;
  if (!doc) {  // no usable answer: nothing is stored
    indicator_->stopAnimating();
    return;
  }
  std::vector<std::string> serials;
  auto tables = doc->nodesForXPath("//NewDataSet/stu_ele_table");
  for (auto& node : tables.value_or(DomNodeList{})) {
    auto e = node->asElement();
    if (!e) continue;
    auto refusal = e->elementsForName("Error_Msg");
    if (refusal && !refusal->empty()) {
      auto a = AlertView::create("錯誤", (*refusal)[0]->stringValue().value_or(""), sharedAs<AlertViewDelegate>(),
                                 "重新輸入");
      refusal_ = a;
      a->show();
      // The form empties its fields after a submit; the typed number stays.
      RunLoop::main().post([weak = std::weak_ptr<subjectChangeViewController>(
                                sharedAs<subjectChangeViewController>()),
                            number] {
        if (auto self = weak.lock()) self->idField().setText(number);
      });
      return;
    }
    auto seq = e->elementsForName("cos_ele_seq");
    serials.push_back(seq && !seq->empty() ? (*seq)[0]->stringValue().value_or("") : "");
  }
  Settings::standard().setObjects({{"學號", Value(number)},
                                   {"密碼", Value(password)},
                                   {"stuSubjectNoAry", Value::stringArray(serials)}});
  indicator_->stopAnimating();
  performSegueWithIdentifier("subjectChangeList");
}

void subjectChangeViewController::alertViewClickedButtonAtIndex(AlertView& alert, int index) {
  if (&alert == refusal_.lock().get()) {
    passwordField().setText("");
    indicator_->stopAnimating();
    return;
  }
  SignInFormViewController::alertViewClickedButtonAtIndex(alert, index);
}

void subjectChangeListViewController::viewDidLoad() {
  ChangeEntryViewController::viewDidLoad();
  startRecords(storedIdentity(*config_.kind).value_or(""));
  showMarkFromFlag();
}

size_t subjectChangeListViewController::backIndex() const {
  auto* nav = navigationController();
  return nav && nav->depth() >= 6 ? 4 : 1;
}

void registerStudentChangeScreens() {
  const std::string entry = "subjectChangeListViewController";
  Storyboards::registerSegue("imStudentViewController", "subCagLogin",
                             [] { return std::make_shared<subjectChangeViewController>(); });
  Storyboards::registerSegue("subjectChangeViewController", "subjectChangeList",
                             [] { return std::make_shared<subjectChangeListViewController>(); });
  Storyboards::registerSegue("imStudentViewController", "subjectChangeList",
                             [] { return std::make_shared<subjectChangeListViewController>(); });
  Storyboards::registerSegue(entry, "temporary", [] { return std::make_shared<subjectChageTemporaryViewController>(); });
  Storyboards::registerSegue(entry, "Semester", [] { return std::make_shared<subjectChageSemesterViewController>(); });
  Storyboards::registerSegue(entry, "Q&A", [] { return std::make_shared<changeNoticeQAViewController>(); });
}

}  // namespace yx
