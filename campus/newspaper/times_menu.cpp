#include "campus/newspaper/times_menu.h"

#include "campus/newspaper/times_kit.h"
#include "core/screen_kit.h"

namespace yx {

const wynTimesViewController::Entry wynTimesViewController::kEntries[5] = {
    {"最新一期", "chiNews", "wyn_latest.png"},
    {"WYN Times", "engTimes", "wyn_english.png"},
    {"活動看板", "timesActs", "wyn_events.png"},
    {"演講看板", "timesSpeechs", "wyn_speeches.png"},
    {"近期圖輯", "timesImageDB", "wyn_photos.png"},
};

void wynTimesViewController::viewDidLoad() {
  view().setBackgroundPattern("hl_r1.jpg");
  addHeaderBar(*this, "雲岫學報", 1, 2, [this](int tag) { btnEvent(tag); });
  // Two columns of picture buttons, titled with their entries.
  for (int tag = 0; tag < 5; ++tag) {
    const Entry& e = kEntries[tag];
    double x = tag % 2 == 0 ? 40 : 180, y = 70 + (tag / 2) * 140;
    if (tag == 4) x = 110;
    auto b = make<Button>(Rect{x, y, 100, 120}, e.label);
    b->setTag(tag);
    b->setImage(e.icon);
    b->setFontSize(15);
    b->setActionName("funBtn");
    b->setAction([this](Button& btn) { funBtn(btn.tag()); });
    view().addSubview(b);
  }
  times::addBottomBar(view(), 3, [this](int tag) { btnEvent(tag); });
}

void wynTimesViewController::funBtn(int tag) {
  if (tag < 0 || tag > 4) return;
  userBehavior(kEntries[tag].label);
  performSegueWithIdentifier(kEntries[tag].segue);
}

void wynTimesViewController::btnEvent(int tag) {
  if (tag == 1) goHome(*this, false);
  else if (tag == 2 || tag == 3) goBack(*this, false);
}

}  // namespace yx
