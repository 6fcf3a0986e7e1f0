#pragma once
// The exam timetable (考試小表): the signed StuExamList2XML answer, read
// event by event into exam records, kept in Documents/DownloadXml/
// stu_exam_table.plist and shown one section per exam. The cached timetable
// shows as soon as the screen loads, under the progress alert.
//
// Buttons by tag: 3 a new sign-in form for another query, 2 back to the
// Student menu (or to the form of a second query), 1 home; 2 and 1 send the
// usage exit report.

#include <memory>
#include <string>
#include <vector>

#include "academic/student/student_result.h"

namespace yx {

// One exam as the timetable shows it.
struct ExamRow {
  std::string course, remark, period, date, room, duration, examSeat, gradeSeat;
  bool special = false;  // a remark of two or more characters: only the grade seat
};

// The display rule for one cached exam record.
ExamRow examRowFor(const Value& record);
// "8:20-9:50" for period "1" ... "20:20-21:50" for "7"; "" otherwise.
std::string examPeriodTime(const std::string& period);

// The row cell (reuse identifier "testList").
class testListCell : public TableViewCell {
public:
  testListCell();
  void show(const ExamRow& row);
  std::shared_ptr<Label> nameLbl, reqLbl, crLbl, sessLbl, typeLbl, dateLbl, placeLbl, timeLbl, testNoLbl, seatNoLbl;
};

class testListInquiryViewController : public StudentResultViewController,
                                      public TableViewDataSource,
                                      public TableViewDelegate {
public:
  std::string className() const override { return "testListInquiryViewController"; }
  static const std::vector<std::string>& fields();  // element names
  static const std::vector<std::string>& keys();    // record keys, same order

  void viewDidLoad() override;
  void btnEvent(int tag);
  // Reads the cache file and shows it.
  void rebuildDisplay();
  const std::vector<ExamRow>& rows() const { return rows_; }

  int numberOfSectionsInTableView(TableView&) override;
  int tableViewNumberOfRowsInSection(TableView&, int) override { return 1; }
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  double tableViewHeightForRow(TableView&, IndexPath ip) override;
  std::shared_ptr<View> tableViewViewForHeaderInSection(TableView&, int section) override;
  double tableViewHeightForHeaderInSection(TableView&, int) override { return 25; }
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

protected:
  std::string itemElement() const override { return "stu_exam_table"; }
  const std::vector<std::string>& fieldNames() const override { return fields(); }
  const std::vector<std::string>& recordKeys() const override { return keys(); }
  std::shared_ptr<ViewController> makeSignInForm() override;

  void documentWillParse() override;
  const std::vector<std::string>& refusalElements() const override;
  bool shouldStoreRecord(const Value& record) override;
  void didStoreRecord(const Value& record) override;
  void documentDidEnd() override;

private:
  std::vector<ExamRow> rows_;
  std::shared_ptr<TableView> tableView_;
  std::shared_ptr<Label> titleLabel_;
  bool clashShown_ = false, barredShown_ = false;
};

}  // namespace yx
