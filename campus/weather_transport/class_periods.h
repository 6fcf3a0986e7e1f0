#pragma once
// The class periods: the 14 teaching periods of the day with their times.

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/view_controller.h"

namespace yx {

// Home menu 節次對照表. Buttons: 0 home, 1 back (both report).
class timeListsViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  std::string className() const override { return "timeListsViewController"; }
  // Period n's time span at index n − 1.
  static const std::vector<std::string>& timeListAry();
  void viewDidLoad() override;
  void btnEvent(int tag);

  int tableViewNumberOfRowsInSection(TableView&, int) override;
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

private:
  std::shared_ptr<TableView> myTableview_;
};

}  // namespace yx
