#pragma once
// The terms-of-use screen of the first-run gate, and the about screen.

#include <string>

#include "platform/ui/view_controller.h"

namespace yx {

class agreeProvisionViewController : public ViewController {
public:
  std::string className() const override { return "agreeProvisionViewController"; }
  void viewDidLoad() override;
  // Toggles the acceptance box.
  void checkBox();
  // Goes on to the Profile form when the box is checked; otherwise says it must be.
  void agreeButton();
  bool checked() const { return checked_; }

private:
  bool checked_ = false;
};

class aboutMeViewController : public ViewController {
public:
  std::string className() const override { return "aboutMeViewController"; }
  void viewDidLoad() override;
  // Tag 1 back, tag 0 home (each after starting the usage report).
  void btnEvent(int tag);
};

// The terms of use shown to a new user (read from the bundled text file).
std::string termsOfUseText();

// Registers the "agreeProvision" storyboard and the about screen.
void registerCoreScreens();

}  // namespace yx
