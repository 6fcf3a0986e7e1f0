#pragma once
// The course list (我的課表): the courses the loader left in Documents/
// DownloadXml/stu_ele_table.plist, one row each: the course name in red,
// weekday with clock times, the room, and the seat number with the teacher.
// The file is read when the screen loads and again only when it changed.
//
// Buttons by tag: 3 a new sign-in form for another query, 2 back to the
// Student menu (or to the form of a second query), 1 home; 2 and 1 send the
// usage exit report.

#include <sys/types.h>

#include <memory>
#include <string>

#include "platform/plist_value.h"
#include "platform/ui/view_controller.h"

namespace yx {

// Clock times of the course periods "01" to "14": period n runs from
// (7+n):10 to (8+n):00. Nothing for any other text.
std::string coursePeriodStart(const std::string& period);
std::string coursePeriodEnd(const std::string& period);

// What a row shows for a course record.
struct CourseRow {
  std::string name, time, room, teacher;
};
// "四/03-04/E301" gives the time "星期四 10:10~12:00" and the room "E301";
// a value of fewer than two parts gives no time and no room.
CourseRow courseRowFor(const Value& record);

// The row cell (reuse identifier "inquiryResultCell").
class inquiryResultCell : public TableViewCell {
public:
  inquiryResultCell();
  void show(const CourseRow& row);
  std::shared_ptr<Label> nameLbl, weekLbl, timeLbl, placeLbl, teaLbl;
};

class inquiryResultsViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  std::string className() const override { return "inquiryResultsViewController"; }
  void viewDidLoad() override;
  void btnEvent(int tag);

  int tableViewNumberOfRowsInSection(TableView&, int) override;
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  double tableViewHeightForRow(TableView&, IndexPath) override { return 60; }
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

  // Number of times the cache file was read (benchmarks, tests).
  unsigned long cacheReads() const { return reads_; }

private:
  // Reads the cache file when it is not the one read last.
  void refreshCache();

  struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long mtimeNs = 0;
    bool operator==(const FileStamp&) const = default;
  };
  static FileStamp stampOf(const std::string& path);

  Value::Array records_;
  size_t rowsAtLoad_ = 0;
  FileStamp stamp_;
  unsigned long reads_ = 0;
  std::shared_ptr<TableView> tableView_;
  std::shared_ptr<Label> countLbl_;
  std::shared_ptr<Button> againBtn_;
};

}  // namespace yx
