#pragma once
// The computer-lab seat list.

#include <memory>
#include <string>

#include "platform/plist_value.h"
#include "platform/ui/view_controller.h"

namespace yx {

// One row per lab: "<lab>\t剩餘 <n> 位", or "<lab>\t現在未開放或未連線" when
// the lab reports no seats. The section header shows the update time of the
// record filled last, to the minute. Buttons by tag: 1 home, 2 back to the
// first screen, 3 refresh.
class computerViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  std::string className() const override { return "computerViewController"; }
  void viewDidLoad() override;
  void btnEvent(int tag);

  // The row text of one lab record.
  static std::string seatText(const Value& record);
  // "最後更新：" + time with the last three characters removed.
  static std::string headerText(const std::string& updateTime);

  int tableViewNumberOfRowsInSection(TableView&, int) override;
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView&, IndexPath ip) override;
  std::string tableViewTitleForHeaderInSection(TableView&, int) override;
  double tableViewHeightForHeaderInSection(TableView&, int) override { return 30; }
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

private:
  Value::Array getLabsAry_;
  Value getLabsDic_ = Value::dictionary();
  std::shared_ptr<TableView> myTableview_;
};

}  // namespace yx
