// Screens on a canvas taller than the design (the driver's --canvas 320x692,
// the size the window gives a 390x844 window): the driver prints the same
// screens, their tables, grids, scroll and text views stretch to the bottom,
// bottom bars keep their distance to it, and nothing lies outside the canvas.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/home_menu.h"
#include "platform/application.h"
#include "platform/ui/view.h"
#include "platform/ui/view_controller.h"
#include "tests/support/app_fixture.h"

namespace yx::test {
namespace {

struct Placed {
  Rect frame;      // in the root view's coordinates
  unsigned mask;
  bool hidden;
};

// Every view of the top screen by its path of indexes, placed in the root's coordinates.
void place(View& v, double ox, double oy, const std::string& path, bool hidden, std::map<std::string, Placed>& out) {
  Rect f = v.frame();
  Rect abs{ox + f.x, oy + f.y, f.width, f.height};
  hidden = hidden || v.hidden();
  out[path] = Placed{abs, v.autoresizingMask(), hidden};
  double cx = abs.x, cy = abs.y;
  if (v.kind() == ViewKind::ScrollView || v.kind() == ViewKind::TableView || v.kind() == ViewKind::CollectionView)
    return;  // their content scrolls: its place is the content's, not the screen's
  int i = 0;
  for (auto& s : v.subviews()) place(*s, cx, cy, path + "/" + std::to_string(i++), hidden, out);
}

class CanvasTest : public AppFixture {
protected:
  std::map<std::string, Placed> layout() {
    std::map<std::string, Placed> out;
    auto* top = Application::shared().navigation()->topViewController();
    place(top->view(), 0, 0, "", false, out);
    return out;
  }

  // Checks the screen on top at the design size and at 320 x 692.
  void checkScreen(const std::string& what, const std::string& screenClass) {
    SCOPED_TRACE(what);
    ASSERT_NE(screen().find("screen: " + screenClass + " "), std::string::npos) << screen();
    setCanvasSize(Size{320, 568});
    std::string small = screen();
    auto before = layout();
    setCanvasSize(Size{320, 692});
    EXPECT_EQ(screen(), small) << "the driver prints the same screen";
    auto after = layout();
    ASSERT_EQ(before.size(), after.size());
    double lowestStretch = 0, lowestBefore = 0;
    bool stretches = false;
    for (auto& [path, p] : after) {
      const Placed& old = before[path];
      if (path.empty()) {
        EXPECT_EQ(p.frame, (Rect{0, 0, 320, 692}));
        continue;
      }
      if (p.hidden) continue;
      const double bottom = p.frame.y + p.frame.height, oldBottom = old.frame.y + old.frame.height;
      EXPECT_LE(bottom, 692.001) << path << " lies below the canvas";
      EXPECT_GE(p.frame.x, -0.001) << path;
      EXPECT_LE(p.frame.x + p.frame.width, 320.001) << path;
      if (p.mask & Autoresizing::FlexibleHeight) {
        stretches = true;
        lowestStretch = std::max(lowestStretch, bottom);
        lowestBefore = std::max(lowestBefore, oldBottom);
      }
      // Bottom bars keep their distance to the bottom.
      if (p.mask == Autoresizing::StickToBottom && path.find('/', 1) == std::string::npos)
        EXPECT_DOUBLE_EQ(692 - bottom, 568 - oldBottom) << path;
    }
    // The lists and pages take all the new height: only bottom bars lie under them.
    if (stretches) EXPECT_DOUBLE_EQ(692 - lowestStretch, 568 - lowestBefore) << "an unused band under the lists";
    const bool fixedForm = what == "about" || what == "placeholder" || what.rfind("profile", 0) == 0;
    EXPECT_TRUE(stretches || fixedForm) << "a screen whose lists do not stretch";
  }

  void SetUp() override {
    AppFixture::SetUp();
    options.canvasWidth = 320;
    options.canvasHeight = 692;
  }
};

TEST_F(CanvasTest, EveryScreenStretchesToATallerCanvas) {
  start();
  run("wait 0.2");
  checkScreen("home menu with the first-run alert", "corvaleViewController");
  run("alert 0");
  checkScreen("terms", "agreeProvisionViewController");
  run("tap checkBox");
  run("tap agreeButton");
  checkScreen("profile", "userDataViewController");
  run("focus sexField");
  ASSERT_NE(screen().find("picker 0"), std::string::npos) << screen();
  checkScreen("profile with a picker", "userDataViewController");

  Application::shared().navigation()->popToRootViewControllerAnimated(false);
  run("tap 4");
  // The loading backdrop covers the whole canvas while the feed loads.
  EXPECT_EQ(run("frame parserBG"), "frame parserBG: 0 0 320 692\n");
  run("wait 2");
  checkScreen("news list", "newsListViewController");
  run("tap 3");
  checkScreen("news list with the category chooser", "newsListViewController");
  run("tap 4");
  run("row 0 0");
  checkScreen("news detail", "newsDetailsViewController");
  run("tap 3");
  run("wait 1");
  checkScreen("news page", "newsWebViewController");
  run("tap 100");
  run("tap 6");
  run("wait 2");
  checkScreen("activities", "inforActsViewController");
  run("row 0 0");
  run("tap 3");
  run("wait 1");
  checkScreen("activity page", "inforActWebViewController");
  run("tap 100");
  run("tap 1");
  run("wait 2");
  checkScreen("lab seats", "computerViewController");
  run("tap 1");
  run("tap 12");
  checkScreen("about", "aboutMeViewController");
  run("tap 0");
  Application::shared().navigation()->pushViewController(std::make_shared<comingSoonViewController>("測試"), false);
  checkScreen("placeholder", "comingSoonViewController");
}

}  // namespace
}  // namespace yx::test
