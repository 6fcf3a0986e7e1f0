#pragma once
// The computer-lab seat list.

#include <memory>
#include <string>

#include "markup/feed_loader.h"
#include "platform/plist_value.h"
#include "platform/ui/view_controller.h"

namespace yx {

// One row per lab: "<lab>\t剩餘 <n> 位", or "<lab>\t現在未開放或未連線" when
// the lab reports no seats. The section header shows the update time of the
// record filled last, to the minute. Buttons by tag: 1 home, 2 back to the
// first screen, 3 refresh. The records are the ones its loader hands over,
// else the cache file read once when the screen loads.
class computerViewController : public ViewController,
                               public TableViewDataSource,
                               public TableViewDelegate,
                               public FeedRecordsReceiver {
public:
  std::string className() const override { return "computerViewController"; }
  void viewDidLoad() override;
  void btnEvent(int tag);
  void setFeedRecords(std::shared_ptr<const FeedRecords> records) override { getLabsAry_ = std::move(records); }

  // The row text of one lab record: seats are read as a C int conversion
  // (clamped to the int range) and their difference is clamped the same way.
  static std::string seatText(const Value& record);
  // "最後更新：" + time with the last three characters removed.
  static std::string headerText(const std::string& updateTime);

  int tableViewNumberOfRowsInSection(TableView&, int) override;
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView&, IndexPath ip) override;
  std::string tableViewTitleForHeaderInSection(TableView&, int) override;
  double tableViewHeightForHeaderInSection(TableView&, int) override { return 30; }
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

private:
  std::shared_ptr<const FeedRecords> getLabsAry_;
  Value getLabsDic_ = Value::dictionary();
  std::shared_ptr<TableView> myTableview_;
};

}  // namespace yx
