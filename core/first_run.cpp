#include "core/first_run.h"

#include <fstream>
#include <sstream>

#include "core/profile_form.h"
#include "core/screen_kit.h"
#include "platform/resources.h"
#include "platform/ui/alert.h"

namespace yx {

std::string termsOfUseText() {
  std::ifstream in(resourcePath("terms/terms_of_use.txt"), std::ios::binary);
  std::ostringstream text;
  if (in) text << in.rdbuf();
  std::string s = text.str();
  if (s.empty()) s = "使用條款暫時無法顯示，請稍後再試。";
  return s;
}

void agreeProvisionViewController::viewDidLoad() {
  view().setBackgroundPattern("hl_r1.jpg");
  addHeaderBar(*this, "使用條款", -1, 1, [this](int) {
    if (navigationController()) navigationController()->popViewControllerAnimated(true);
  });
  auto text = make<TextView>(Rect{10, 54, 300, 380}, termsOfUseText());
  text->setName("provisionText");
  text->setEditable(false);
  text->setBorder(1, 5);
  text->setContentOffset(Point{0, 0});
  view().addSubview(text);

  auto box = make<Button>(Rect{20, 450, 30, 30});
  box->setName("checkBox");
  box->setActionName("checkBox");
  box->setImage("checkbox1.png");
  box->setAction([this](Button&) { checkBox(); });
  view().addSubview(box);
  auto boxLabel = make<Label>(Rect{56, 450, 250, 30}, "我已閱讀並同意使用條款");
  boxLabel->setName("checkLabel");
  view().addSubview(boxLabel);

  auto agree = make<Button>(Rect{110, 500, 100, 40}, "同意");
  agree->setName("agreeButton");
  agree->setActionName("agreeButton");
  agree->setAction([this](Button&) { agreeButton(); });
  view().addSubview(agree);
  checked_ = false;
}

void agreeProvisionViewController::checkBox() {
  checked_ = !checked_;
  if (auto* box = view().findNamed<Button>("checkBox")) box->setImage(checked_ ? "checkbox2.png" : "checkbox1.png");
}

void agreeProvisionViewController::agreeButton() {
  if (!checked_) {
    showAlert("", "必須同意使用條款，才能使用雲岫學苑！", "確定");
    return;
  }
  if (navigationController()) navigationController()->pushViewController(std::make_shared<userDataViewController>(), false);
}

void aboutMeViewController::viewDidLoad() {
  view().setBackgroundPattern("hl_r1.jpg");
  addHeaderBar(*this, "關於我們", 0, 1, [this](int tag) { btnEvent(tag); });
  struct Line {
    const char* name;
    const char* text;
  };
  const Line lines[] = {
      {"appLabel", "雲岫學苑"},
      {"versionLabel", "版本 1.0"},
      {"introLabel", "雲岫學苑是雲岫大學的校園資訊服務，讓師生隨時掌握校園消息、課務、圖書館、交通與天氣。"},
      {"unitLabel", "製作單位：雲岫大學電算中心"},
      {"contactLabel", "聯絡我們：請使用首頁的「我有話說」留下意見。"},
  };
  double y = 70;
  for (const Line& l : lines) {
    auto label = make<Label>(Rect{20, y, 280, 60}, l.text);
    label->setName(l.name);
    label->setNumberOfLines(0);
    view().addSubview(label);
    y += 70;
  }
}

void aboutMeViewController::btnEvent(int tag) {
  if (tag == 1) goBack(*this);
  else if (tag == 0) goHome(*this);
}

void registerCoreScreens() {
  Storyboards::registerInitial("agreeProvision", [] { return std::make_shared<agreeProvisionViewController>(); });
  Storyboards::registerScreen("aboutMeViewController", [] { return std::make_shared<aboutMeViewController>(); });
}

}  // namespace yx
