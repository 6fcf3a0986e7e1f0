#include "phone/telephone_menu.h"

#include "core/screen_kit.h"
#include "phone/directory_categories.h"
#include "phone/phone_kit.h"
#include "platform/application.h"
#include "platform/settings.h"

namespace yx::phone {

namespace {
constexpr const char* kLabels[] = {"分機查詢撥號", "常用分機", "號碼直撥", "通話記錄", "我的網路電話", "QA"};
}

const char* extension::label(int tag) { return tag >= 0 && tag < 6 ? kLabels[tag] : ""; }

void extension::viewDidLoad() {
  view().setBackgroundPattern("hl_r1.jpg");
  addHeaderBar(*this, "校園電話", 1, 2, [this](int tag) { btnEvent(tag); }, "hl_b1.jpg");

  // Two columns, three rows of icon buttons with their names underneath,
  // kept in the middle of a taller screen.
  auto grid = make<View>(Rect{0, 64, 320, 450});
  grid->setName("functions");
  grid->setAutoresizingMask(Autoresizing::FlexibleTopMargin | Autoresizing::FlexibleBottomMargin);
  for (int tag = 0; tag < 6; ++tag) {
    double x = 40 + (tag % 2) * 150, y = 10 + (tag / 2) * 145;
    auto b = makeButton(Rect{x, y, 90, 120}, kLabels[tag], "schoolCall", [this](Button& btn) { schoolCall(btn.tag()); });
    b->setTag(tag);
    b->setImage("extension_" + std::to_string(tag) + ".png");
    b->setTitleColor(Color::rgb(30, 60, 110));
    grid->addSubview(b);
  }
  view().addSubview(grid);

  if (!Settings::standard().stringForKey("教學畫面")) performAfterDelay(0.1, [this] { teachView(); });
}

// Only while the menu is in front: someone quicker than the delay has moved on.
void extension::teachView() {
  auto* nav = navigationController();
  if (nav && nav->topViewController() == this) performSegueWithIdentifier("teach1");
}

void extension::schoolCall(int tag) {
  if (tag < 0 || tag > 5) return;
  userBehavior(kLabels[tag]);
  switch (tag) {
    case 0:
      if (auto* nav = navigationController()) nav->pushViewController(std::make_shared<schoolCallViewController>(), false);
      break;
    case 1: performSegueWithIdentifier("Often"); break;
    case 2: performSegueWithIdentifier("NumberCall"); break;
    case 3:
      // Once the explanation was dismissed for good, go straight to the softphone's own log.
      if (Settings::standard().stringForKey("通話記錄畫面")) Application::shared().openURL(sipURL(""));
      else performSegueWithIdentifier("record");
      break;
    case 4:
      performSegueWithIdentifier(Settings::standard().objectForKey("userPhoneData") ? "MyPhoneAccount" : "MyPhone");
      break;
    case 5: performSegueWithIdentifier("QA"); break;
  }
}

void extension::btnEvent(int tag) {
  if (tag == 2) goBack(*this, false);
  if (tag == 1) goHome(*this, false);
}

}  // namespace yx::phone
