#pragma once
// The call-log explanation (`schoolCallRecordViewController`): says that the
// call log lives in the softphone, then opens it; its switch asks not to
// show the explanation again.

#include <memory>
#include <string>

#include "platform/ui/view_controller.h"

namespace yx::phone {

class schoolCallRecordViewController : public ViewController {
public:
  std::string className() const override { return "schoolCallRecordViewController"; }
  void viewDidLoad() override;
  // Remembers "已看過" under "通話記錄畫面" when the switch is on, then opens
  // the softphone ("sip:" with no number) in every case.
  void submitBtn();
  // 1 back (animated), 0 Home menu; both send the usage exit report.
  void btnEvent(int tag);

private:
  std::shared_ptr<Switch> switchBar_;
};

}  // namespace yx::phone
