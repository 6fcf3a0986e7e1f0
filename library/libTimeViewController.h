#pragma once
// Opening hours: reads the Opening-hours document once when the screen
// loads and offers the closed days and the opening hours of each period.

#include <memory>
#include <string>
#include <vector>

#include "library/opening_hours.h"
#include "platform/ui/view_controller.h"

namespace yx {

class libTimeViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  std::string className() const override { return "libTimeViewController"; }
  void viewDidLoad() override;
  // Fetches and reads the Opening-hours document (blocking), then the rows.
  void startParser();
  // 1 home, 2 back; both send the usage exit report.
  void btnEvent(int tag);
  void prepareForSegue(const std::string& identifier, ViewController& destination, const void* sender) override;

  int tableViewNumberOfRowsInSection(TableView& table, int section) override;
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

  const std::vector<std::string>& titlAry() const { return titlAry_; }
  const library::OpeningHours& hours() const { return hours_; }

private:
  library::OpeningHours hours_;
  std::vector<std::string> titlAry_, detailAry_;
  std::string term_;  // the term of the row chosen last
  std::shared_ptr<TableView> myTableview_;
};

}  // namespace yx
