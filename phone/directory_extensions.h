#pragma once
// The extensions of one unit (`schoolCallDetail2ViewController`, from
// "/data/xml/dp-<unit>.xml"): a row per line with a button per extension
// that calls it through the softphone, direct lines and notes shown only,
// and the switchboard button.

#include <memory>
#include <string>
#include <vector>

#include "phone/call_record.h"
#include "platform/ui/view_controller.h"

namespace yx::phone {

// A row of the extensions list: the line's name, and the buttons the screen
// adds to its content view.
class schoolCallCell : public TableViewCell {
public:
  schoolCallCell();
  Label& nameLbl() { return *nameLbl_; }
  Label& teleLbl() { return *teleLbl_; }

private:
  std::shared_ptr<Label> nameLbl_, teleLbl_;
};

class schoolCallDetail2ViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  std::string className() const override { return "schoolCallDetail2ViewController"; }
  int cellRow = 0;        // the unit number
  std::string titleText;  // the unit name
  std::shared_ptr<Button> teleBtn;  // the last button built

  void viewDidLoad() override;
  void startParser();
  // Calls the extension on the button (its tag is the row, its title the extension).
  void teleClick(Button& button);
  // 2 back (no report), 1 Home menu with the usage exit report, 3 switchboard.
  void btnEvent(int tag);

  int tableViewNumberOfRowsInSection(TableView&, int) override { return static_cast<int>(nameAry_.size()); }
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  std::shared_ptr<View> tableViewViewForHeaderInSection(TableView&, int section) override;
  double tableViewHeightForHeaderInSection(TableView&, int) override { return 20; }
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

  const std::vector<std::string>& nameAry() const { return nameAry_; }
  const std::vector<std::string>& teleAry() const { return teleAry_; }

private:
  std::vector<std::string> nameAry_, teleAry_;
  CallRecord record_;
  std::shared_ptr<TableView> table_;
  std::shared_ptr<ActivityIndicator> spinner_;
};

}  // namespace yx::phone
