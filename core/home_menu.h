#pragma once
// The Home menu: the grid of campus services at the root of the navigation
// stack, and the first-run gate that asks a new user for the profile.

#include <memory>
#include <string>

#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {

class corvaleAppDelegate;

class corvaleViewController : public ViewController, public AlertViewDelegate {
public:
  std::string className() const override { return "corvaleViewController"; }
  void viewDidLoad() override;
  void viewDidAppear(bool animated) override;

  // Opens the entry of the button's tag.
  void btnEvent(int tag);
  // Records the Usage record for the entry being opened.
  void userBehavior(const std::string& label);
  // Shows the first-run prompt.
  void insertData();
  void alertViewClickedButtonAtIndex(AlertView& alert, int index) override;

  struct Entry {
    int tag;
    const char* name;   // the button's caption
    bool network;       // refused with the network alert when offline
    const char* label;  // usage label, or nullptr
    const char* screen; // class name or storyboard name
    bool storyboard;
    const char* operation;  // value hand-over ("progressBar:" ...), or nullptr
    const char* value;      // path on the campus data server, route number or page
  };
  // The 21 entries (tags 15 and 18 are blank spaces in the grid).
  static const std::vector<Entry>& entries();

private:
  // Body of the IP-address thread: looks the address up and keeps it.
  static void myThreadMainMethod();
  corvaleAppDelegate* Delegate = nullptr;
};

// Stands in for a feature that is not built yet: says so, with back and home.
class comingSoonViewController : public ViewController {
public:
  explicit comingSoonViewController(std::string feature) : feature_(std::move(feature)) {}
  std::string className() const override { return "comingSoonViewController"; }
  void viewDidLoad() override;

private:
  std::string feature_;
};

}  // namespace yx
