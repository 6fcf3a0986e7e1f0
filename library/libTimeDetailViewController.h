#pragma once
// The library's closed days of the year, scrolled to the present month when
// the list first appears.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/view_controller.h"

namespace yx {

class libTimeDetailViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  std::string className() const override { return "libTimeDetailViewController"; }
  // The dates ("Data") and the closures' names ("Name"), parallel.
  void setContentDic(std::vector<std::string> dates, std::vector<std::string> names);

  void viewDidLoad() override;
  void viewDidAppear(bool animated) override;
  // 1 home (with the usage exit report), 2 back.
  void btnEvent(int tag);

  int tableViewNumberOfRowsInSection(TableView& table, int section) override;
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  double tableViewHeightForRow(TableView& table, IndexPath ip) override;
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

  // The row to scroll to the top for a month ("MM"): the first date whose
  // month (its 5th and 6th characters, "12" of "115/12/25") is this month
  // decides, or, when the previous month comes first, the row before it.
  // Nothing when no date is in either month or the row is the first one.
  static std::optional<int> presentRow(const std::vector<std::string>& dates, const std::string& month);

private:
  std::vector<std::string> dates_, names_;
  std::shared_ptr<TableView> myTableview_;
  std::shared_ptr<Label> countLbl_;
  bool scrolled_ = false;
};

}  // namespace yx
