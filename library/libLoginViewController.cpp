#include "library/libLoginViewController.h"

#include "core/screen_kit.h"
#include "library/library_kit.h"
#include "library/patron_activity.h"
#include "library/patron_list.h"
#include "platform/settings.h"
#include "platform/ui/common_views.h"

namespace yx {

using namespace library;

void libLoginViewController::viewDidLoad() {
  using namespace Autoresizing;
  view().setBackgroundColor(Color::rgb(244, 248, 240));

  // A tap anywhere outside the fields puts the keyboard away.
  auto background = make<Button>(Rect{0, 0, kScreenWidth, kScreenHeight});
  background->setTag(3);
  background->setActionName("btnEvent");
  background->setAutoresizingMask(FlexibleSize);
  background->setAction([this](Button& b) { btnEvent(b.tag()); });
  view().addSubview(background);

  addLibraryHeader(*this, "讀者登入", [this](int tag) { btnEvent(tag); });

  auto intro = make<Label>(Rect{20, 60, 280, 40}, "請輸入圖書館讀者證號與密碼");
  intro->setName("introLbl");
  intro->setFont(15);
  intro->setAlignment(TextAlignment::Center);
  intro->setAutoresizingMask(FlexibleWidth);
  view().addSubview(intro);

  auto caption = [&](Rect frame, const char* text) {
    auto l = make<Label>(frame, text);
    l->setFont(16);
    view().addSubview(l);
  };
  auto field = [&](Rect frame, const char* name, const char* placeholder) {
    auto f = make<TextField>(frame);
    f->setName(name);
    f->setPlaceholder(placeholder);
    f->setFontSize(16);
    f->setBorder(1, 5);
    f->setBackgroundColor(Color::white());
    f->setAutoresizingMask(FlexibleWidth);
    f->setDelegate(this);
    view().addSubview(f);
    return f;
  };
  caption(Rect{20, 112, 80, 36}, "讀者證號");
  libIDField_ = field(Rect{100, 112, 200, 36}, "libIDField", "讀者證號");
  caption(Rect{20, 160, 80, 36}, "密碼");
  libPWField_ = field(Rect{100, 160, 200, 36}, "libPWField", "密碼");
  libPWField_->setSecureTextEntry(true);

  auto button = [&](Rect frame, const char* title, const char* name, std::function<void()> fn) {
    auto b = make<Button>(frame, title);
    b->setName(name);
    b->setActionName(name);
    b->setFontSize(17);
    b->setTitleColor(Color::white());
    b->setBackgroundColor(Color::rgb(76, 140, 60));
    b->setBorder(0, 6);
    b->setAutoresizingMask(FlexibleLeftMargin | FlexibleRightMargin);
    b->setAction([fn = std::move(fn)](Button&) { fn(); });
    view().addSubview(b);
  };
  button(Rect{50, 220, 100, 40}, "查詢", "inquiryBtn", [this] { inquiryBtn(); });
  button(Rect{170, 220, 100, 40}, "清除", "resetBtn", [this] { resetBtn(); });

  indicator_ = addSpinner(view(), Rect{141.5, 290, 37, 37}, "indicator", FlexibleLeftMargin | FlexibleRightMargin);
}

void libLoginViewController::inquiryBtn() {
  libIDField_->resignFirstResponder();
  libPWField_->resignFirstResponder();
  performAfterDelay(0.1, [this] { startQuiry(); });
}

void libLoginViewController::startQuiry() {
  if (libIDField_->text().empty() || libPWField_->text().empty()) return;
  indicator_->startAnimating();
  quiryLibData(barcodeFor(libIDField_->text()), libPWField_->text());
}

bool libLoginViewController::textFieldShouldReturn(TextField& field) {
  field.resignFirstResponder();
  indicator_->startAnimating();
  // Both paths send the barcode the catalogue knows the patron by.
  quiryLibData(barcodeFor(libIDField_->text()), libPWField_->text());
  return false;
}

void libLoginViewController::quiryLibData(const std::string& barcode, const std::string& password) {
  auto body = requestPatronActivity(barcode, password);
  // No answer, or not the catalogue's: nothing is said, the spinner keeps turning.
  if (!body) return;
  auto doc = PatronActivity::parse(*body);
  if (!doc) return;
  if (auto error = doc->errorText()) {
    AlertView::create("錯誤", *error, sharedAs<AlertViewDelegate>(), "確定")->show();
    return;
  }
  auto& settings = Settings::standard();
  settings.setString(kLibID, libIDField_->text());
  settings.setString(kLibPW, libPWField_->text());
  if (whichStr_ == "借閱紀錄") performSegueWithIdentifier("libBorrow");
  else if (whichStr_ == "逾期紀錄") performSegueWithIdentifier("timeOut");
  else if (whichStr_ == "預約到館") performSegueWithIdentifier("libArrive");
}

void libLoginViewController::alertViewClickedButtonAtIndex(AlertView&, int index) {
  if (index != 0) return;
  libPWField_->setText("");
  indicator_->stopAnimating();
}

void libLoginViewController::resetBtn() {
  libIDField_->setText("");
  libPWField_->setText("");
}

void libLoginViewController::btnEvent(int tag) {
  switch (tag) {
    case 3:
      libIDField_->resignFirstResponder();
      libPWField_->resignFirstResponder();
      break;
    case 2: goBack(*this, false); break;
    case 1: goHome(*this, false); break;
    default: break;
  }
}

void libLoginViewController::prepareForSegue(const std::string& identifier, ViewController& destination,
                                             const void*) {
  handOverPatronData(identifier, destination);
}

}  // namespace yx
