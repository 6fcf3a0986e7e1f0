#pragma once
// Questions and answers about the campus SIP service (`QAViewController`)
// and the two help pages it opens: for students
// (`q_and_a_stu_tempViewController`) and for teachers and staff
// (`q_and_a_tea_tempViewControllerViewController`).

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/view_controller.h"

namespace yx::phone {

class QAViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  std::string className() const override { return "QAViewController"; }
  void viewDidLoad() override;
  // 2 back and 1 Home menu, with the usage exit report.
  void btnEvent(int tag);

  int tableViewNumberOfRowsInSection(TableView&, int) override { return static_cast<int>(questions_.size()); }
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  double tableViewHeightForRow(TableView&, IndexPath) override { return 56; }
  // Shows the answer of the row.
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

  // The six questions with their answers, in order.
  static const std::vector<std::pair<std::string, std::string>>& pairs();

private:
  std::vector<std::string> questions_, answers_;
  std::shared_ptr<TableView> table_;
};

// A help page: its text under the header. 1 back, 0 Home menu, both with the
// usage exit report.
class HelpPage : public ViewController {
public:
  void viewDidLoad() override;
  void btnEvent(int tag);

protected:
  virtual std::string title() const = 0;
  virtual std::string pattern() const = 0;
  virtual std::string text() const = 0;
};

class q_and_a_stu_tempViewController : public HelpPage {
public:
  std::string className() const override { return "q_and_a_stu_tempViewController"; }

protected:
  std::string title() const override { return "學生使用說明"; }
  std::string pattern() const override { return "hl_p1.jpg"; }
  std::string text() const override;
};

class q_and_a_tea_tempViewControllerViewController : public HelpPage {
public:
  std::string className() const override { return "q_and_a_tea_tempViewControllerViewController"; }

protected:
  std::string title() const override { return "教職員使用說明"; }
  std::string pattern() const override { return "hl_g1.jpg"; }
  std::string text() const override;
};

}  // namespace yx::phone
