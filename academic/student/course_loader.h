#pragma once
// The course-list loader (我的課表): reads the signed StuEleList2XML answer
// event by event into course records, keeps them in Documents/DownloadXml/
// stu_ele_table.plist and pushes the course list at the end of an answer
// that was not refused.
//
// Its alerts lead back the same way: after the refusal "學號或密碼錯誤" to a
// fresh sign-in form, after any other alert to the Student menu. Header
// buttons: 1 home, 2 back to the Student menu.

#include <memory>
#include <string>
#include <vector>

#include "markup/feed_loader.h"

namespace yx {

class inquiryXMLParser : public FeedLoaderViewController {
public:
  std::string className() const override { return "inquiryXMLParser"; }
  static const std::vector<std::string>& fields();  // element names
  static const std::vector<std::string>& keys();    // record keys, same order

  void viewDidLoad() override;
  void btnEvent(int tag);

protected:
  std::string itemElement() const override { return "stu_ele_table"; }
  const std::vector<std::string>& fieldNames() const override { return fields(); }
  const std::vector<std::string>& recordKeys() const override { return keys(); }
  std::shared_ptr<ViewController> makeListScreen() override;

  const std::vector<std::string>& refusalElements() const override;
  void didRefuse(const std::string& text) override;
  void didStoreRecord(const Value& record) override;
  void failureAlertAnswered(AlertView& alert, int index) override;

private:
  std::string refusalText_;
};

}  // namespace yx
