#include "core/launch.h"

#include "platform/ui/view_controller.h"

namespace yx {

namespace {

// The start screen until the Home menu is in place.
class welcomeViewController : public ViewController {
public:
  std::string className() const override { return "welcomeViewController"; }
  void viewDidLoad() override {
    auto title = make<Label>(Rect{20, 200, 280, 40}, "雲岫學苑");
    title->setName("titleLabel");
    title->setFont(28, true);
    title->setAlignment(TextAlignment::Center);
    view().addSubview(title);
  }
};

class PlainAppDelegate : public ApplicationDelegate {
public:
  bool applicationDidFinishLaunching(Application& app) override {
    auto nav = std::make_shared<NavigationController>(std::make_shared<welcomeViewController>());
    nav->setNavigationBarHidden(true, false);
    app.setRootNavigation(nav);
    return true;
  }
};

}  // namespace

std::shared_ptr<ApplicationDelegate> makeApplicationDelegate() { return std::make_shared<PlainAppDelegate>(); }

}  // namespace yx
