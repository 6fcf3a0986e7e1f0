#pragma once
// E-resource news: the library web site's RSS feed, newest items as the
// site lists them; a row opens the item's page.

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/view_controller.h"

namespace yx {

class newSourceCell : public TableViewCell {
public:
  newSourceCell();
  std::shared_ptr<Label> dateLbl, titleLbl;
};

class newSourceViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  std::string className() const override { return "newSourceViewController"; }
  void viewDidLoad() override;
  // Fetches and reads the feed (blocking), then shows the rows.
  void startParser();
  // 1 home, 2 back; both send the usage exit report.
  void btnEvent(int tag);
  void prepareForSegue(const std::string& identifier, ViewController& destination, const void* sender) override;

  int tableViewNumberOfRowsInSection(TableView& table, int section) override;
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  double tableViewHeightForRow(TableView& table, IndexPath ip) override;
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

  const std::vector<std::string>& linkAry() const { return linkAry_; }

private:
  std::vector<std::string> titleAry_, linkAry_, dateAry_;
  std::shared_ptr<TableView> myTableview_;
  std::shared_ptr<Label> countLbl_;
  std::shared_ptr<ActivityIndicator> indicator_;
};

}  // namespace yx
