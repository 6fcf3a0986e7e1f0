#pragma once
// The campus newspaper's menu: the latest issue, the English edition, the
// event and speech boards and the photo database.

#include "platform/ui/view_controller.h"

namespace yx {

class wynTimesViewController : public ViewController {
public:
  std::string className() const override { return "wynTimesViewController"; }
  void viewDidLoad() override;
  // Menu buttons 0-4: records the entry's usage label, then its segue.
  void funBtn(int tag);
  // Header and bottom bar: 1 to the Home menu, 2 and 3 back (no report).
  void btnEvent(int tag);

  struct Entry {
    const char* label;
    const char* segue;
    const char* icon;
  };
  static const Entry kEntries[5];
};

}  // namespace yx
