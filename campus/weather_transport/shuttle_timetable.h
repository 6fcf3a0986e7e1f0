#pragma once
// The shuttle timetable: departures from the metro station and from the
// campus, side by side, for weekdays or weekends, scrolled to the current
// hour.

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/view_controller.h"

namespace yx {

// The fixed departure times ("HH:mm", ascending) of each day type and stop.
const std::vector<std::string>& weekdayMetroDepartures();
const std::vector<std::string>& weekdayCampusDepartures();
const std::vector<std::string>& weekendMetroDepartures();
const std::vector<std::string>& weekendCampusDepartures();

// Opened from the bus screen. Two tables told apart by tag: 1 "mrtTableview"
// (from 捷運溪城站), 2 "wynTableview" (from 雲岫大學). Buttons: 1 home
// (report), 2 back, 3 weekend "假日", 4 weekday "平日" (one of the two shows).
class busDetailTViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  std::string className() const override { return "busDetailTViewController"; }
  void viewDidLoad() override;
  // Fills both lists with the weekend set (true) or the weekday set (false).
  void busTimeAry(bool weekend);
  void btnEvent(int tag);
  int stopAndSection() const { return stopAndSection_; }
  const std::vector<std::string>& metroList() const { return BusAry_1to5_Mrt_; }
  const std::vector<std::string>& campusList() const { return BusAry_1to5_Wyn_; }

  int tableViewNumberOfRowsInSection(TableView& table, int section) override;
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  std::string tableViewTitleForHeaderInSection(TableView& table, int section) override;
  std::shared_ptr<View> tableViewViewForHeaderInSection(TableView& table, int section) override;
  double tableViewHeightForHeaderInSection(TableView&, int) override { return 20; }
  double tableViewHeightForRow(TableView& table, IndexPath ip) override;
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

private:
  const std::vector<std::string>& listOf(const TableView& table) const;
  std::vector<std::string> BusAry_1to5_Mrt_, BusAry_1to5_Wyn_;
  int stopAndSection_ = 0;
  // Whether the current hour's first departure was found (it may be row 0,
  // which stopAndSection cannot tell from "not found").
  bool hourFound_ = false;
  std::shared_ptr<TableView> mrtTableview_, wynTableview_;
  std::shared_ptr<Button> weekendBtn_, weekdayBtn_;
};

}  // namespace yx
