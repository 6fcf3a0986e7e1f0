#pragma once
// The building list: the codes and English names of the campus buildings with
// their Chinese names, from the deployment's "placeList.plist".

#include <memory>
#include <string>
#include <vector>

#include "platform/plist_value.h"
#include "platform/ui/view_controller.h"

namespace yx {

// The building list resource: a dictionary (key → Chinese name). An empty
// dictionary when the file is missing, unreadable or not a dictionary.
Value readPlaceList();

// One building: the 40-point logo, the key in "engNameLbl" and its name in
// "chineseNameLbl".
class houseListCell : public TableViewCell {
public:
  houseListCell();
  Label& engNameLbl() { return *engNameLbl_; }
  Label& chineseNameLbl() { return *chineseNameLbl_; }

private:
  std::shared_ptr<Label> engNameLbl_, chineseNameLbl_;
};

// Home menu 建築物對照. Buttons: 0 home, 1 back (both note the end time,
// then report).
class houseListsViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  std::string className() const override { return "houseListsViewController"; }
  void viewDidLoad() override;
  void btnEvent(int tag);
  // Notes the end time "yyyy/MM/dd HH:mm:ss.SSS" under "結束時間" in the
  // in-memory usage record and appends the record's values to the in-memory
  // usage list (neither is stored or sent).
  void userExit();

  const std::vector<std::string>& houseListAry() const { return houseListAry_; }
  // The in-memory usage record and list of this run.
  static Value& usageRecord();
  static std::vector<std::vector<std::string>>& usageList();

  int tableViewNumberOfRowsInSection(TableView&, int) override;
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  double tableViewHeightForRow(TableView&, IndexPath) override { return 44; }
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;
  // Rows report themselves as editable.
  bool canEditRow(IndexPath) const { return true; }

private:
  Value pathDic_;
  std::vector<std::string> houseListAry_;
  std::shared_ptr<TableView> myTableview_;
};

}  // namespace yx
