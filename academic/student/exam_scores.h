#pragma once
// The exam scores (期中期末成績): the signed StuScoQueryList2XML answer,
// read event by event into score records kept in memory only, one row per
// course; the exam kind ("考試別") titles the screen. A score whose integer
// value is below 60 is red, any other blue.
//
// Buttons by tag: 2 back to the Student menu (or to the form of a second
// query), 1 home; both send the usage exit report only while "功能名稱" is
// "期中期末成績".

#include <memory>
#include <string>
#include <vector>

#include "academic/student/student_result.h"

namespace yx {

// The title of an exam kind: "M" 期中成績, "F" 期末成績, "G" 畢業考成績;
// "" for any other text.
std::string scoreTitleFor(const std::string& examKind);
// The score colour: red below 60 (a text without a leading number counts
// as 0), else blue.
Color scoreColor(const std::string& score);

// The row cell (reuse identifier "scoreCell").
class examScoreCell : public TableViewCell {
public:
  examScoreCell();
  std::shared_ptr<Label> nameLbl, sbjnoLbl, scoreLbl;
};

class examScoreXMLViewController : public StudentResultViewController,
                                   public TableViewDataSource,
                                   public TableViewDelegate {
public:
  std::string className() const override { return "examScoreXMLViewController"; }
  static const std::vector<std::string>& fields();

  void viewDidLoad() override;
  void btnEvent(int tag);

  int tableViewNumberOfRowsInSection(TableView&, int) override;
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  double tableViewHeightForRow(TableView&, IndexPath) override { return 55; }
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

protected:
  std::string itemElement() const override { return "stu_scoquery_table"; }
  const std::vector<std::string>& fieldNames() const override { return fields(); }
  bool keepsCacheFile() const override { return false; }
  std::shared_ptr<ViewController> makeSignInForm() override;

  const std::vector<std::string>& refusalElements() const override;
  void didReadText(const std::string& element, const std::string& text) override;
  void documentDidEnd() override;

private:
  std::shared_ptr<TableView> tableView_;
  std::shared_ptr<Label> titleLabel_;
  Value::Array shown_;
};

}  // namespace yx
