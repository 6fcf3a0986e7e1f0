#pragma once
// Dialling a typed number (`schoolCallNumberCallViewController`).

#include <memory>
#include <string>

#include "phone/call_record.h"
#include "platform/ui/view_controller.h"

namespace yx::phone {

class schoolCallNumberCallViewController : public ViewController {
public:
  std::string className() const override { return "schoolCallNumberCallViewController"; }
  void viewDidLoad() override;
  // Calls the number as typed (an empty field calls an empty number).
  void callBtn();
  void resetBtn();
  // 3 dismisses the keyboard; 2 back and 1 Home menu, both with the usage exit report.
  void btnEvent(int tag);

private:
  CallRecord record_;
  std::shared_ptr<TextField> numberField_;
};

}  // namespace yx::phone
