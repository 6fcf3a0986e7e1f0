#pragma once
// The academic calendar: the semester menu and one semester's entries, one
// section each, scrolled to the current month.

#include <memory>
#include <string>
#include <vector>

#include "markup/dom.h"
#include "platform/ui/view_controller.h"

namespace yx {

// One semester's entries as parallel arrays (index = section).
struct CalendarEntries {
  std::vector<std::string> weeknoAry, dateAry, weekAry, projAry;
  size_t size() const { return projAry.size(); }
};

// Every "cal" element directly under the root, in document order: to `first`
// when its "semester" is exactly "1", to `second` otherwise.
void readCalendarFeed(const DomDocument& doc, CalendarEntries& first, CalendarEntries& second);

// A row's height for its event text: the text measured in a 17-point font
// within 240 points (at most 500 high), plus 20; 40 when that measures under 20.
double calendarRowHeight(const std::string& project);

// The month an entry falls in: characters 5 and 6 of its date (yyyyMMdd);
// "" for a date shorter than six characters.
std::string calendarMonthOf(const std::string& date);

// The semester menu (Home menu 行事曆). Buttons: 1 home, 2 back (both report).
class calendarViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  std::string className() const override { return "calendarViewController"; }
  void viewDidLoad() override;
  void btnEvent(int tag);
  int tableViewNumberOfRowsInSection(TableView&, int) override { return 2; }
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

private:
  std::shared_ptr<TableView> myTableview_;
};

// One semester (0 first, 1 second), fetched 0.1 s after the screen loads.
// Buttons: 1 home (report), 2 back.
class calendarDetailViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  std::string className() const override { return "calendarDetailViewController"; }
  void setSemester(int semester) { semester_ = semester; }
  int semester() const { return semester_; }
  void viewDidLoad() override;
  void startParser();
  void btnEvent(int tag);

  const CalendarEntries& shown() const { return semester_ == 0 ? first_ : second_; }
  const CalendarEntries& firstSemester() const { return first_; }
  const CalendarEntries& secondSemester() const { return second_; }
  int stopAndSection() const { return stopAndSection_; }

  int numberOfSectionsInTableView(TableView&) override;
  int tableViewNumberOfRowsInSection(TableView&, int) override { return 1; }
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  double tableViewHeightForRow(TableView& table, IndexPath ip) override;
  std::shared_ptr<View> tableViewViewForHeaderInSection(TableView& table, int section) override;
  double tableViewHeightForHeaderInSection(TableView&, int) override { return 20; }
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

private:
  int semester_ = 0;
  CalendarEntries first_, second_;
  int stopAndSection_ = 0;
  // Whether the month's first section was found (it may be section 0, which
  // stopAndSection cannot tell from "not found").
  bool monthFound_ = false;
  std::string month_;
  std::shared_ptr<TableView> myTableview_;
  std::shared_ptr<Label> countLbl_;
  std::shared_ptr<ActivityIndicator> myActivity_;
};

}  // namespace yx
