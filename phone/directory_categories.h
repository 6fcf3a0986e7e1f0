#pragma once
// The campus telephone directory's first two levels: the two categories
// (`schoolCallViewController`) and the units of a category
// (`schoolCallDetail1ViewController`, from "/data/xml/dp-all<n>.xml").

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/view_controller.h"

namespace yx::phone {

// One section of two rows: "行政單位" (category 1) and "學術單位" (2).
class schoolCallViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  std::string className() const override { return "schoolCallViewController"; }
  void viewDidLoad() override;
  // 2 back, 1 Home menu; both send the usage exit report.
  void btnEvent(int tag);

  int tableViewNumberOfRowsInSection(TableView&, int) override { return 2; }
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

  static const std::vector<std::string>& categories();

private:
  std::shared_ptr<TableView> table_;
};

// The units of one category, fetched 0.1 s after the screen loads.
class schoolCallDetail1ViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  std::string className() const override { return "schoolCallDetail1ViewController"; }
  int typeNum = 1;
  std::string titleText;

  void viewDidLoad() override;
  void startParser();
  // 2 back (no report), 1 Home menu with the usage exit report.
  void btnEvent(int tag);

  int tableViewNumberOfRowsInSection(TableView&, int) override { return static_cast<int>(names_.size()); }
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

private:
  std::vector<std::string> names_, numbers_;
  std::shared_ptr<TableView> table_;
  std::shared_ptr<ActivityIndicator> spinner_;
};

// A directory row as both list levels draw it: the directory picture, the
// text (system font 18, as many lines as it needs) and a disclosure mark.
std::shared_ptr<TableViewCell> directoryCell(const std::string& reuseIdentifier, const std::string& text);
// The list of a directory screen ("myTableView", 40-point rows) from `top`
// to the bottom of the screen, added to the screen's view.
std::shared_ptr<TableView> directoryTable(ViewController& vc, double top, TableViewDataSource* source,
                                          TableViewDelegate* delegate);

}  // namespace yx::phone
