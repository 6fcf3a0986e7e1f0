#pragma once
// The patron login: library barcode (ID) and password. A login without an
// error stores both and moves on to the function the Library menu was
// asked for (`whichStr`).

#include <memory>
#include <string>

#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {

class libLoginViewController : public ViewController, public TextFieldDelegate, public AlertViewDelegate {
public:
  std::string className() const override { return "libLoginViewController"; }
  void viewDidLoad() override;

  // "借閱紀錄", "逾期紀錄" or "預約到館": where a successful login leads.
  void setWhichStr(std::string s) { whichStr_ = std::move(s); }
  const std::string& whichStr() const { return whichStr_; }

  // The login button: dismisses the keyboard, submits 0.1 s later.
  void inquiryBtn();
  // Submits when both fields hold text.
  void startQuiry();
  // Sends the request with this barcode and password and acts on the answer.
  void quiryLibData(const std::string& barcode, const std::string& password);
  void resetBtn();
  // 1 home, 2 back, 3 dismiss the keyboard.
  void btnEvent(int tag);

  // Return in either field submits the two fields at once.
  bool textFieldShouldReturn(TextField& field) override;
  void alertViewClickedButtonAtIndex(AlertView& alert, int index) override;
  void prepareForSegue(const std::string& identifier, ViewController& destination, const void* sender) override;

private:
  std::shared_ptr<TextField> libIDField_, libPWField_;
  std::shared_ptr<ActivityIndicator> indicator_;
  std::string whichStr_;
};

}  // namespace yx
