#pragma once
// The feedback form ("我有話說", `responceViewController`): one short text
// sent to the campus data server with the user's anonymous identifier.

#include <memory>
#include <string>

#include "platform/ui/view_controller.h"

namespace yx::phone {

class responceViewController : public ViewController {
public:
  std::string className() const override { return "responceViewController"; }
  void viewDidLoad() override;
  // Sends the text. Thanks the user and goes back only when the server took
  // it (any answer below status 400); otherwise says so and keeps the text.
  void sendToDB();
  void clear();
  // Puts the keyboard away.
  void alphaBtn();
  // Back one screen / to the Home menu, with the usage exit report.
  void goPrevious();
  void goHomePage();

  // The typing rule: no change from character 50 on; Return puts the
  // keyboard away instead of breaking the line.
  bool shouldChangeText(size_t location, const std::string& replacement);

private:
  void lift(double by);
  std::shared_ptr<TextView> myTextView_;
};

}  // namespace yx::phone
