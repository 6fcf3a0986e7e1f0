#include "phone/call_log_explanation.h"

#include "core/screen_kit.h"
#include "phone/phone_kit.h"
#include "platform/application.h"
#include "platform/settings.h"

namespace yx::phone {

void schoolCallRecordViewController::viewDidLoad() {
  view().setBackgroundPattern("hl_r1.jpg");
  addHeaderBar(*this, "通話記錄", 0, 1, [this](int tag) { btnEvent(tag); });
  auto text = makeTextLabel(Rect{20, 64, 280, 200},
                            "通話記錄保存在網路電話軟體中。\n\n按下「前往通話記錄」後，會開啟網路電話軟體，"
                            "請在軟體下方點選「最近通話」，即可查看撥出與接聽的記錄，也可以直接回撥。",
                            16);
  text->setName("explanationLbl");
  view().addSubview(text);
  auto note = make<Label>(Rect{20, 284, 200, 31}, "下次不再顯示此說明");
  note->setName("switchLbl");
  view().addSubview(note);
  switchBar_ = make<Switch>(Rect{240, 284, 51, 31});
  switchBar_->setName("switchBar");
  view().addSubview(switchBar_);
  auto submit = makeButton(Rect{60, 340, 200, 44}, "前往通話記錄", "submitBtn", [this](Button&) { submitBtn(); });
  submit->setName("submitBtn");
  submit->setBackgroundColor(Color::rgb(52, 120, 200));
  submit->setTitleColor(Color::white());
  submit->setBorder(0, 8);
  view().addSubview(submit);
}

void schoolCallRecordViewController::submitBtn() {
  if (switchBar_->isOn()) Settings::standard().setString("通話記錄畫面", "已看過");
  Application::shared().openURL(sipURL(""));
}

void schoolCallRecordViewController::btnEvent(int tag) {
  if (tag == 1) goBack(*this);
  if (tag == 0) goHome(*this);
}

}  // namespace yx::phone
