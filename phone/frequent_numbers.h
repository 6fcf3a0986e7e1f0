#pragma once
// The frequent-numbers screen (`schoolCallOftenViewController`): the last
// three calls and every called number ranked by its count, each with a
// button that calls it again; and clearing the Call record.

#include <memory>
#include <string>
#include <vector>

#include "phone/call_record.h"
#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx::phone {

class schoolCallOftenCell : public TableViewCell {
public:
  schoolCallOftenCell();
  Label& titleLbl() { return *titleLbl_; }
  Label& timeLbl() { return *timeLbl_; }

private:
  std::shared_ptr<Label> titleLbl_, timeLbl_;
};

class schoolCallOftenViewController : public ViewController,
                                      public TableViewDataSource,
                                      public TableViewDelegate,
                                      public AlertViewDelegate {
public:
  std::string className() const override { return "schoolCallOftenViewController"; }
  void viewDidLoad() override;
  // Ranks the numbers by their counts, highest first, and shows them.
  void startSort();
  // Calls the number on the button again.
  void teleClick(Button& button);
  // 3 asks to clear the record; 2 back and 1 Home menu with the usage exit report.
  void btnEvent(int tag);
  // "確定" (0) on the clearing question clears; "取消" (1) changes nothing.
  void alertViewClickedButtonAtIndex(AlertView& alert, int index) override;

  int numberOfSectionsInTableView(TableView&) override { return 2; }
  int tableViewNumberOfRowsInSection(TableView&, int section) override;
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  std::string tableViewTitleForHeaderInSection(TableView&, int section) override;
  double tableViewHeightForRow(TableView&, IndexPath) override { return 52; }
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

  // The button frame for a number of that many characters: 50 points wide
  // at x 270 below 5 characters, else 10 points a character, right-aligned.
  static Rect buttonFrame(size_t characters);

private:
  struct Recent {
    std::string number, time;
  };
  CallRecord record_;
  std::vector<Recent> recent_;           // newest first, at most three
  std::vector<std::string> sortedKeys_;  // the ranking
  std::string btnImage_;
  std::shared_ptr<TableView> table_;
};

}  // namespace yx::phone
