#include "library/libViewController.h"

#include "core/screen_kit.h"
#include "library/libLoginViewController.h"
#include "library/library_kit.h"
#include "library/patron_activity.h"
#include "library/patron_list.h"
#include "platform/settings.h"
#include "platform/ui/common_views.h"

namespace yx {

using namespace library;

const std::vector<std::string>& libViewController::usageLabels() {
  static const std::vector<std::string> labels = {"開放時間", "逾期紀錄", "預約到館", "借閱紀錄", "電子資源新訊"};
  return labels;
}

namespace {
const char* const kIcons[] = {"lib_time.png", "lib_overdue.png", "lib_arrive.png", "lib_borrow.png", "lib_news.png"};
}

// ------------------------------------------------------------------ layout

void libViewController::viewDidLoad() {
  using namespace Autoresizing;
  view().setBackgroundColor(Color::rgb(244, 248, 240));
  addLibraryHeader(*this, "圖書館", [this](int tag) { btnEvent(tag); });

  // Three icons in the first row, two in the second, each with its title underneath.
  const Rect frames[] = {{20, 70, 80, 100}, {120, 70, 80, 100}, {220, 70, 80, 100}, {70, 200, 80, 100},
                         {170, 200, 80, 100}};
  for (int tag = 0; tag < 5; ++tag) {
    auto b = make<Button>(frames[tag], usageLabels()[static_cast<size_t>(tag)]);
    b->setTag(tag);
    b->setImage(kIcons[tag]);
    b->setActionName("funBtn");
    b->setAutoresizingMask(FlexibleLeftMargin | FlexibleRightMargin);
    b->setAction([this](Button& btn) { funBtn(btn.tag()); });
    view().addSubview(b);
  }
  auto badge = [&](Rect frame, const char* name) {
    auto l = make<Label>(frame);
    l->setName(name);
    l->setFont(15, true);
    l->setTextColor(Color::rgb(208, 2, 27));
    l->setAlignment(TextAlignment::Right);
    l->setAutoresizingMask(FlexibleLeftMargin | FlexibleRightMargin);
    view().addSubview(l);
    return l;
  };
  timeCntLbl_ = badge(Rect{150, 62, 56, 22}, "timeCntLbl");
  arriveCntLbl_ = badge(Rect{250, 62, 56, 22}, "arriveCntLbl");

  auto logoutBtn = make<Button>(Rect{120, 440, 80, 72}, "登出");
  logoutBtn->setName("logoutBtn");
  logoutBtn->setTag(3);
  logoutBtn->setImage("lib_logout.png");
  logoutBtn->setActionName("btnEvent");
  logoutBtn->setAutoresizingMask(FlexibleTopMargin | FlexibleLeftMargin | FlexibleRightMargin);
  logoutBtn->setAction([this](Button& b) { btnEvent(b.tag()); });
  view().addSubview(logoutBtn);

  indicator_ = addSpinner(view(), Rect{141.5, 330, 37, 37}, "indicator");

  // A stored password means a patron is logged in: refresh the account.
  readCredentials();
  if (!libPW_.empty()) {
    indicator_->startAnimating();
    performAfterDelay(0.1, [this] { loadData(); });
  }
}

void libViewController::viewWillAppear(bool) {
  // Counts follow a login made from a sub-screen.
  readCredentials();
  parserData(storedPatronData());
}

void libViewController::readCredentials() {
  libID_ = storedID();
  libID9_ = barcodeFor(libID_);
  libPW_ = storedPassword();
}

// ---------------------------------------------------------------- functions

void libViewController::funBtn(int tag) {
  if (tag < 0 || tag > 4) return;
  const std::string& label = usageLabels()[static_cast<size_t>(tag)];
  userBehavior(label);
  if (tag == 0) {
    performSegueWithIdentifier("libTime");
    return;
  }
  if (tag == 4) {
    performSegueWithIdentifier("newSource");
    return;
  }
  if (libPW_.empty()) {
    which_ = label;
    performSegueWithIdentifier("libLogin");
    return;
  }
  performSegueWithIdentifier(tag == 1 ? "timeOut" : tag == 2 ? "libArrive" : "libBorrow");
}

void libViewController::prepareForSegue(const std::string& identifier, ViewController& destination, const void*) {
  if (identifier == "libLogin") {
    if (auto* login = dynamic_cast<libLoginViewController*>(&destination)) login->setWhichStr(which_);
    return;
  }
  handOverPatronData(identifier, destination);
}

void libViewController::btnEvent(int tag) {
  switch (tag) {
    case 1: goHome(*this, false); break;
    case 2: goBack(*this, false); break;
    case 3: logout(); break;
    default: break;
  }
}

void libViewController::logout() {
  auto& settings = Settings::standard();
  if (!libPW_.empty()) {
    settings.removeObjectForKey(kLibPW);
    settings.synchronize();
    libPW_.clear();
  }
  showAlert("", "成功登出", "確定");
  settings.removeObjectForKey(kLibData);
  settings.synchronize();
  timeCntLbl_->setText("");
  arriveCntLbl_->setText("");
}

// ------------------------------------------------------------------- counts

void libViewController::loadData() {
  (void)requestPatronActivity(libID9_, libPW_);
  auto stored = storedPatronData();
  // A password the catalogue now refuses is forgotten, as logout would,
  // and the patron is told why; the ID stays for the next login.
  if (stored) {
    if (auto doc = PatronActivity::parse(*stored)) {
      if (auto error = doc->errorText()) {
        Settings::standard().removeObjectForKey(kLibPW);
        Settings::standard().synchronize();
        libPW_.clear();
        showAlert("錯誤", *error, "確定");
      }
    }
  }
  parserData(stored);
  indicator_->stopAnimating();
}

void libViewController::parserData(const std::optional<std::string>& bytes) {
  timeCntAry_.clear();
  arriveCntAry_.clear();
  if (!bytes) return;
  auto doc = PatronActivity::parse(*bytes);
  if (!doc) return;
  for (const auto& c : doc->checkouts())
    if (c.status == "overdue") timeCntAry_.push_back(c.status);
  for (const auto& r : doc->requests()) arriveCntAry_.push_back(r.title);
  if (!timeCntAry_.empty()) timeCntLbl_->setText("(" + std::to_string(timeCntAry_.size()) + ")");
  if (!arriveCntAry_.empty()) arriveCntLbl_->setText("(" + std::to_string(arriveCntAry_.size()) + ")");
}

}  // namespace yx
