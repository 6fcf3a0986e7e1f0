#pragma once
// The Telephone menu (`extension`, the first screen of the storyboard
// "extension"): six function buttons tagged 0-5, and the setup guide shown
// once, 0.1 s after the menu loads, until its first page has been seen.

#include <string>

#include "platform/ui/view_controller.h"

namespace yx::phone {

class extension : public ViewController {
public:
  std::string className() const override { return "extension"; }
  void viewDidLoad() override;
  // The six function buttons, by tag: 0 directory, 1 frequent numbers,
  // 2 number pad, 3 the softphone's call log, 4 the SIP account, 5 questions.
  void schoolCall(int tag);
  // Header buttons: 2 back (animated), 1 Home menu (not animated); no report.
  void btnEvent(int tag);
  // Opens the setup guide.
  void teachView();

  // The usage label and caption of each function button, by tag.
  static const char* label(int tag);
};

}  // namespace yx::phone
