#include "academic/teacher/teacher_changes.h"

#include "markup/dom.h"
#include "platform/http.h"
#include "platform/settings.h"

namespace yx {

namespace {

// The course serial numbers, or the refusal ("Error_Msg", else "錯誤訊息")
// that ends the list. Nothing when the answer is not a document.
struct SerialAnswer {
  std::vector<std::string> serials;
  std::optional<std::string> refusal;
};

std::optional<SerialAnswer> parseSerials(const std::string& bytes) {
  auto doc = DomDocument::initWithData(bytes);
  if (!doc) return std::nullopt;
  SerialAnswer a;
  auto nodes = doc->nodesForXPath("//NewDataSet/Teach_Ele_List");
  if (!nodes) return a;
  auto first = [](const DomElementPtr& e, const char* name) -> std::optional<std::string> {
    auto list = e->elementsForName(name);
    if (!list || list->empty()) return std::nullopt;
    return (*list)[0]->stringValue().value_or("");
  };
  for (auto& node : *nodes) {
    auto e = node->asElement();
    if (!e) continue;
    for (const char* name : {"Error_Msg", "錯誤訊息"})
      if (auto text = first(e, name)) {
        a.refusal = *text;
        return a;
      }
    a.serials.push_back(first(e, "cos_ele_seq").value_or(""));
  }
  return a;
}

}  // namespace

void teaSubChagListViewController::viewDidLoad() {
  ChangeEntryViewController::viewDidLoad();
  url_ = teacherURL(kTeacherCourseSerialMethod, handover_);
  showMarkFromFlag();
  HttpResult r = url_.empty() ? HttpResult{} : httpGet(url_, 60);
  // No answer, an error page or a malformed one: nothing changes.
  if (!r.ok || r.status < 200 || r.status > 299) return;
  auto answer = parseSerials(r.body);
  if (!answer) return;
  if (answer->refusal) {
    AlertView::create("錯誤", *answer->refusal, sharedAs<AlertViewDelegate>(), "確定")->show();
    return;
  }
  courses_ = std::move(answer->serials);
  auto& s = Settings::standard();
  s.setObjects({{"teacherID", Value(handover_.idStr)},
                {"teacherPW", Value(handover_.pwStr)},
                {"teacherSubjectNoAry", Value::stringArray(courses_)}});
  startRecords(handover_.idStr);
}

void teaSubChagListViewController::alertViewClickedButtonAtIndex(AlertView&, int) {
  if (auto* nav = navigationController()) nav->popViewControllerAnimated(true);
}

}  // namespace yx
