#include "phone/feedback.h"

#include "core/screen_kit.h"
#include "core/usage_report.h"
#include "phone/phone_kit.h"
#include "platform/escape.h"
#include "platform/http.h"
#include "platform/settings.h"

namespace yx::phone {

namespace {
constexpr size_t kLimit = 50;
// How far the form moves up while the keyboard is out.
constexpr double kLift = 115;
}  // namespace

void responceViewController::viewDidLoad() {
  view().setBackgroundPattern("hl_r1.jpg");
  auto background = makeButton(Rect{0, 44, 320, 524}, "", "alphaBtn", [this](Button&) { alphaBtn(); });
  background->setName("alphaBtn");
  background->setAutoresizingMask(Autoresizing::FlexibleSize);
  view().addSubview(background);
  auto header = addHeaderBar(*this, "我有話說", 1, 2, [this](int tag) {
    if (tag == 1) goHomePage();
    else goPrevious();
  });
  if (auto* home = header->findNamed<Button>("homeButton")) home->setActionName("goHomePage");
  if (auto* back = header->findNamed<Button>("backButton")) back->setActionName("goPrevious");

  auto intro = makeTextLabel(Rect{20, 64, 280, 100},
                             "對雲岫學苑有任何問題或建議嗎？請寫下來告訴我們（50 字以內），我們會盡快改進。", 16);
  intro->setName("introLbl");
  view().addSubview(intro);

  myTextView_ = make<TextView>(Rect{20, 180, 280, 150});
  myTextView_->setName("myTextView");
  myTextView_->setFontSize(16);
  myTextView_->setBackgroundColor(Color::white());
  myTextView_->setBorder(1, 8, Color::black());
  myTextView_->setShouldChangeText(
      [this](TextView&, size_t location, size_t, const std::string& replacement) {
        return shouldChangeText(location, replacement);
      });
  myTextView_->setDidBeginEditing([this](TextView&) { lift(kLift); });
  myTextView_->setDidEndEditing([this](TextView&) { lift(-kLift); });
  view().addSubview(myTextView_);

  auto clearBtn = makeButton(Rect{20, 346, 130, 44}, "清除", "clear", [this](Button&) { clear(); });
  clearBtn->setName("clear");
  clearBtn->setBorder(1, 8, Color::rgb(0, 122, 255));
  view().addSubview(clearBtn);
  auto send = makeButton(Rect{170, 346, 130, 44}, "送出", "sendToDB", [this](Button&) { sendToDB(); });
  send->setName("sendToDB");
  send->setBackgroundColor(Color::rgb(52, 120, 200));
  send->setTitleColor(Color::white());
  send->setBorder(0, 8);
  view().addSubview(send);

  showAlert("", "有任何問題/建議都可以透過'我有話說'反應給我們，謝謝。", "確定");
}

// The whole form moves up (and grows by as much) so the text stays above the
// keyboard; the views keep their places within it.
void responceViewController::lift(double by) {
  View& root = view();
  bool follow = root.autoresizesSubviews();
  root.setAutoresizesSubviews(false);
  Rect f = root.frame();
  f.y -= by;
  f.height += by;
  root.setFrame(f);
  root.setAutoresizesSubviews(follow);
}

bool responceViewController::shouldChangeText(size_t location, const std::string& replacement) {
  if (location >= kLimit) return false;
  if (replacement == "\n") {
    myTextView_->resignFirstResponder();
    return false;
  }
  return true;
}

void responceViewController::sendToDB() {
  const std::string text = myTextView_->text();
  if (text.empty()) {
    showAlert("失敗", "請輸入文字。", "確定");
    return;
  }
  auto url = serverURL("campus_data", "/Data/review1.aspx?pk=" +
                                          queryValue(Settings::standard().stringForKey("user_id")) +
                                          "&c=" + componentEscape(text));
  bool delivered = false;
  if (url) {
    HttpResult r = httpGet(*url, 60);
    delivered = r.ok && r.status < 400;
  }
  if (!delivered) {
    showAlert("失敗", "傳送失敗，請稍後再試。", "確定");
    return;
  }
  showAlert("成功", "謝謝您！", "確定");
  goPrevious();
}

void responceViewController::clear() { myTextView_->setText(""); }

void responceViewController::alphaBtn() { myTextView_->resignFirstResponder(); }

void responceViewController::goPrevious() {
  myTextView_->resignFirstResponder();
  goBack(*this);
}

void responceViewController::goHomePage() {
  myTextView_->resignFirstResponder();
  goHome(*this);
}

}  // namespace yx::phone
