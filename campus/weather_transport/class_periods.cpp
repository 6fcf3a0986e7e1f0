#include "campus/weather_transport/class_periods.h"

#include "core/screen_kit.h"
#include "platform/escape.h"
#include "platform/ui/common_views.h"

namespace yx {

const std::vector<std::string>& timeListsViewController::timeListAry() {
  static const std::vector<std::string> list = {
      "08:10~09:00", "09:10~10:00", "10:10~11:00", "11:10~12:00", "12:10~13:00", "13:10~14:00", "14:10~15:00",
      "15:10~16:00", "16:10~17:00", "17:10~18:00", "18:10~19:00", "19:10~20:00", "20:10~21:00", "21:10~22:00"};
  return list;
}

void timeListsViewController::viewDidLoad() {
  addHeaderBar(*this, "節次對照表", 0, 1, [this](int tag) { btnEvent(tag); });
  myTableview_ = addTable(view(), areaBelow(44), "myTableview", this, this);
}

int timeListsViewController::tableViewNumberOfRowsInSection(TableView&, int) {
  return static_cast<int>(timeListAry().size());
}

std::shared_ptr<TableViewCell> timeListsViewController::tableViewCellForRow(TableView&, IndexPath ip) {
  auto cell = make<TableViewCell>(TableViewCell::Style::Default, "timeList");
  cell->contentView().addSubview(make<ImageView>(Rect{10, 2, 40, 40}, "節次對照表"));
  auto period = make<Label>(Rect{60, 7, 100, 30}, "  第 " + fmtD(ip.row + 1) + " 節");
  period->setName("myLbl");
  period->setFont(17);
  cell->contentView().addSubview(period);
  const auto& list = timeListAry();
  auto span = make<Label>(Rect{170, 7, 140, 30},
                          ip.row >= 0 && static_cast<size_t>(ip.row) < list.size() ? list[static_cast<size_t>(ip.row)] : "");
  span->setName("timeLbl");
  span->setFont(18);
  cell->contentView().addSubview(span);
  return cell;
}

void timeListsViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) { table.deselectRow(ip, true); }

void timeListsViewController::btnEvent(int tag) {
  if (tag == 1) goBack(*this);
  else if (tag == 0) goHome(*this);
}

}  // namespace yx
