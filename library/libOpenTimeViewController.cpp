#include "library/libOpenTimeViewController.h"

#include "core/screen_kit.h"
#include "library/library_kit.h"
#include "platform/ui/common_views.h"

namespace yx {

using namespace library;

namespace {
// Where the one line of a row without a period (or without weekdays) goes:
// the middle of the row.
const Rect kMiddle{11, 19, 195, 21};
const Rect kPeriodFrame{11, 6, 195, 21};
const Rect kWeekFrame{11, 33, 195, 21};
}  // namespace

libOpenCell::libOpenCell() : TableViewCell(Style::Default, "libOpenDetail") {
  setFrame(Rect{0, 0, kScreenWidth, 60});
  contentView().setFrame(Rect{0, 0, kScreenWidth, 60});
  periodLbl = addCellLabel(contentView(), kPeriodFrame, "periodLbl", 14, Color::rgb(51, 65, 76));
  weekLbl = addCellLabel(contentView(), kWeekFrame, "weekLbl", 14, Color::gray(0.4f));
  hourLbl = addCellLabel(contentView(), Rect{206, 19, 106, 21}, "hourLbl", 15, Color::black(), TextAlignment::Right,
                         Autoresizing::FlexibleLeftMargin);
}

const std::vector<BuildingGroup>& libOpenTimeViewController::groups() const {
  static const std::vector<BuildingGroup> none;
  auto it = openTimeDic_.find(titleStr_);
  return it == openTimeDic_.end() ? none : it->second;
}

void libOpenTimeViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addLibraryHeader(*this, titleStr_ + "開放時間", [this](int tag) { btnEvent(tag); });
  myTableview_ = addTable(view(), areaBelow(44), "myTableview", this, this);
}

int libOpenTimeViewController::numberOfSectionsInTableView(TableView&) { return static_cast<int>(groups().size()); }

int libOpenTimeViewController::tableViewNumberOfRowsInSection(TableView&, int section) {
  const auto& g = groups();
  if (section < 0 || section >= static_cast<int>(g.size())) return 0;
  return static_cast<int>(g[static_cast<size_t>(section)].hour.size());
}

std::string libOpenTimeViewController::tableViewTitleForHeaderInSection(TableView&, int section) {
  const auto& g = groups();
  if (section < 0 || section >= static_cast<int>(g.size())) return {};
  return g[static_cast<size_t>(section)].build;
}

std::shared_ptr<TableViewCell> libOpenTimeViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = std::dynamic_pointer_cast<libOpenCell>(table.dequeueReusableCellWithIdentifier("libOpenDetail"));
  if (!cell) cell = std::make_shared<libOpenCell>();
  const auto& g = groups();
  if (ip.section < 0 || ip.section >= static_cast<int>(g.size())) return cell;
  const BuildingGroup& group = g[static_cast<size_t>(ip.section)];
  auto r = static_cast<size_t>(ip.row);
  if (r >= group.hour.size()) return cell;
  const std::string& period = r < group.period.size() ? group.period[r] : std::string();
  const std::string& week = r < group.week.size() ? group.week[r] : std::string();
  cell->periodLbl->setText(period);
  cell->weekLbl->setText(week);
  cell->hourLbl->setText(group.hour[r]);
  cell->periodLbl->setFrame(kPeriodFrame);
  cell->weekLbl->setFrame(kWeekFrame);
  if (period.empty()) cell->weekLbl->setFrame(kMiddle);
  else if (week.empty()) cell->periodLbl->setFrame(kMiddle);
  return cell;
}

double libOpenTimeViewController::tableViewHeightForRow(TableView&, IndexPath) { return 60; }

void libOpenTimeViewController::btnEvent(int tag) {
  if (tag == 1) goHome(*this);
  else if (tag == 2) goBack(*this, false);
}

}  // namespace yx
