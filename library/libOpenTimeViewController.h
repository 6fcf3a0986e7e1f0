#pragma once
// The opening hours of one period ("學期中", "寒假", "暑假"): a section per
// building, a row per opening-hours entry.

#include <memory>
#include <string>

#include "library/opening_hours.h"
#include "platform/ui/view_controller.h"

namespace yx {

class libOpenCell : public TableViewCell {
public:
  libOpenCell();
  std::shared_ptr<Label> periodLbl, weekLbl, hourLbl;
};

class libOpenTimeViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  std::string className() const override { return "libOpenTimeViewController"; }
  void setTitleStr(std::string term) { titleStr_ = std::move(term); }
  void setOpenTimeDic(library::OpenHoursByTerm hours) { openTimeDic_ = std::move(hours); }

  void viewDidLoad() override;
  // 1 home (with the usage exit report), 2 back.
  void btnEvent(int tag);

  int numberOfSectionsInTableView(TableView& table) override;
  int tableViewNumberOfRowsInSection(TableView& table, int section) override;
  std::string tableViewTitleForHeaderInSection(TableView& table, int section) override;
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  double tableViewHeightForRow(TableView& table, IndexPath ip) override;

private:
  const std::vector<library::BuildingGroup>& groups() const;
  std::string titleStr_;
  library::OpenHoursByTerm openTimeDic_;
  std::shared_ptr<TableView> myTableview_;
};

}  // namespace yx
