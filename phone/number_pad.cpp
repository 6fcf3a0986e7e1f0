#include "phone/number_pad.h"

#include "core/screen_kit.h"
#include "phone/phone_kit.h"

namespace yx::phone {

void schoolCallNumberCallViewController::viewDidLoad() {
  view().setBackgroundPattern("hl_r1.jpg");
  // Touching the background puts the keyboard away.
  auto background = makeButton(Rect{0, 44, 320, 524}, "", "btnEvent", [this](Button& b) { btnEvent(b.tag()); });
  background->setTag(3);
  background->setAutoresizingMask(Autoresizing::FlexibleSize);
  view().addSubview(background);
  addHeaderBar(*this, "號碼直撥", 1, 2, [this](int tag) { btnEvent(tag); });

  auto hint = makeTextLabel(Rect{20, 70, 280, 44}, "輸入校內分機或電話號碼，透過網路電話撥出。", 15);
  hint->setName("hintLbl");
  view().addSubview(hint);
  numberField_ = makeField(Rect{20, 124, 280, 44}, "numberField", "分機或電話號碼");
  numberField_->setNumericKeyboard(true);
  numberField_->setFontSize(24);
  view().addSubview(numberField_);
  auto reset = makeButton(Rect{20, 184, 130, 44}, "清除", "resetBtn", [this](Button&) { resetBtn(); });
  reset->setName("resetBtn");
  reset->setBorder(1, 8, Color::rgb(0, 122, 255));
  view().addSubview(reset);
  auto call = makeButton(Rect{170, 184, 130, 44}, "撥號", "callBtn", [this](Button&) { callBtn(); });
  call->setName("callBtn");
  call->setBackgroundColor(Color::rgb(52, 168, 83));
  call->setTitleColor(Color::white());
  call->setBorder(0, 8);
  view().addSubview(call);

  record_ = CallRecord::loadForCalling();
}

void schoolCallNumberCallViewController::callBtn() { record_.callTyped(numberField_->text()); }

void schoolCallNumberCallViewController::resetBtn() { numberField_->setText(""); }

void schoolCallNumberCallViewController::btnEvent(int tag) {
  switch (tag) {
    case 3: numberField_->resignFirstResponder(); break;
    case 2: goBack(*this); break;
    case 1: goHome(*this); break;
    default: break;
  }
}

}  // namespace yx::phone
