#include "phone/phone.h"

#include "phone/call_log_explanation.h"
#include "phone/directory_categories.h"
#include "phone/directory_extensions.h"
#include "phone/feedback.h"
#include "phone/frequent_numbers.h"
#include "phone/number_pad.h"
#include "phone/questions.h"
#include "phone/setup_guide.h"
#include "phone/sip_account.h"
#include "phone/telephone_menu.h"
#include "phone/wifi_connect.h"

namespace yx {

namespace {
template <class T> Storyboards::Factory screen() {
  return [] { return std::make_shared<T>(); };
}
}  // namespace

void registerPhoneScreens() {
  using namespace phone;
  Storyboards::registerInitial("extension", screen<extension>());
  Storyboards::registerScreen("extension", screen<extension>());
  Storyboards::registerScreen("schoolCallViewController", screen<schoolCallViewController>());
  Storyboards::registerScreen("schoolCallNumberCallViewController", screen<schoolCallNumberCallViewController>());
  Storyboards::registerScreen("schoolCallOftenViewController", screen<schoolCallOftenViewController>());
  Storyboards::registerScreen("schoolCallRecordViewController", screen<schoolCallRecordViewController>());
  Storyboards::registerScreen("myPhoneViewController", screen<myPhoneViewController>());
  Storyboards::registerScreen("myPhoneAccountViewController", screen<myPhoneAccountViewController>());
  Storyboards::registerScreen("QAViewController", screen<QAViewController>());
  Storyboards::registerScreen("wifiConnectViewController", screen<wifiConnectViewController>());
  Storyboards::registerScreen("responceViewController", screen<responceViewController>());

  // The Telephone menu's transitions.
  Storyboards::registerSegue("extension", "teach1", screen<schoolCallTeachViewController>());
  Storyboards::registerSegue("extension", "Often", screen<schoolCallOftenViewController>());
  Storyboards::registerSegue("extension", "NumberCall", screen<schoolCallNumberCallViewController>());
  Storyboards::registerSegue("extension", "record", screen<schoolCallRecordViewController>());
  Storyboards::registerSegue("extension", "MyPhone", screen<myPhoneViewController>());
  Storyboards::registerSegue("extension", "MyPhoneAccount", screen<myPhoneAccountViewController>());
  Storyboards::registerSegue("extension", "QA", screen<QAViewController>());

  // The SIP account screens lead to each other and to the guide.
  Storyboards::registerSegue("myPhoneViewController", "MyPhoneAccount", screen<myPhoneAccountViewController>());
  Storyboards::registerSegue("myPhoneViewController", "teachView", screen<schoolCallTeachViewController>());
  Storyboards::registerSegue("myPhoneAccountViewController", "MyPhone", screen<myPhoneViewController>());
  Storyboards::registerSegue("myPhoneAccountViewController", "teachView", screen<schoolCallTeachViewController>());

  // The guide, page by page.
  Storyboards::registerSegue("schoolCallTeachViewController", "teach2", screen<schoolCallTeach2ViewController>());
  Storyboards::registerSegue("schoolCallTeach2ViewController", "teach3", screen<schoolCallTeach3ViewController>());
  Storyboards::registerSegue("schoolCallTeach3ViewController", "teach35", screen<schoolCallTeach3_5ViewController>());
  Storyboards::registerSegue("schoolCallTeach3_5ViewController", "teach4", screen<schoolCallTeach4ViewController>());
  Storyboards::registerSegue("schoolCallTeach4ViewController", "teach5", screen<schoolCallTeach5ViewController>());

  // Help pages of the questions screen.
  Storyboards::registerSegue("QAViewController", "qaStu", screen<q_and_a_stu_tempViewController>());
  Storyboards::registerSegue("QAViewController", "qaTea", screen<q_and_a_tea_tempViewControllerViewController>());
}

}  // namespace yx
