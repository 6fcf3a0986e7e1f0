#include "academic/student/course_loader.h"

#include "academic/student/course_list.h"
#include "academic/student/student_common.h"
#include "academic/student/student_sign_in.h"
#include "core/screen_kit.h"
#include "platform/settings.h"

namespace yx {

const std::vector<std::string>& inquiryXMLParser::fields() {
  static const std::vector<std::string> f = {"ch_cos_name", "time_plase", "teach_name", "seat_no"};
  return f;
}

const std::vector<std::string>& inquiryXMLParser::keys() {
  static const std::vector<std::string> k = {"課程名稱", "星期節次地點", "老師", "座號"};
  return k;
}

void inquiryXMLParser::viewDidLoad() {
  FeedLoaderViewController::viewDidLoad();
  // A way out while the answer is awaited, or when the transfer failed.
  addHeaderBar(*this, "我的課表", 1, 2, [this](int tag) { btnEvent(tag); }, "hl_p1.jpg");
}

void inquiryXMLParser::btnEvent(int tag) {
  if (tag == 1) {
    goHome(*this);
  } else if (tag == 2) {
    startUsageExitReport();
    returnToIndex(*this, 1, true);
  }
}

std::shared_ptr<ViewController> inquiryXMLParser::makeListScreen() {
  if (refused()) return nullptr;
  return std::make_shared<inquiryResultsViewController>();
}

const std::vector<std::string>& inquiryXMLParser::refusalElements() const {
  static const std::vector<std::string> e = {"Error_Msg"};
  return e;
}

void inquiryXMLParser::didRefuse(const std::string& text) {
  refusalText_ = text;
  AlertView::create("訊息", text, sharedAs<AlertViewDelegate>(), "確定")->show();
}

void inquiryXMLParser::didStoreRecord(const Value&) { Settings::standard().setString("我的課表", "stu_ele_table"); }

void inquiryXMLParser::failureAlertAnswered(AlertView&, int index) {
  auto* nav = navigationController();
  if (index != 0 || !nav) return;
  if (refusalText_ == kWrongCredentials) {
    nav->pushViewController(std::make_shared<inquiryListViewController>(), false);
    return;
  }
  returnToIndex(*this, 1, false);
}

}  // namespace yx
