#include "campus/weather_transport/shuttle_timetable.h"

#include <sstream>

#include "core/screen_kit.h"
#include "platform/dates.h"

namespace yx {

namespace {

std::vector<std::string> times(const char* list) {
  std::istringstream in(list);
  std::vector<std::string> out;
  for (std::string t; in >> t;) out.push_back(t);
  return out;
}

constexpr const char* kMetroName = "捷運溪城站";
constexpr const char* kCampusName = "雲岫大學";

}  // namespace

const std::vector<std::string>& weekdayMetroDepartures() {
  static const auto list = times(
      "06:00 06:10 06:20 06:30 06:40 06:50 07:00 07:06 07:12 07:18 07:24 07:30 07:36 07:42 07:48 07:54 08:00 08:06 "
      "08:12 08:18 08:24 08:30 08:36 08:42 08:48 08:54 09:00 09:06 09:12 09:18 09:30 09:42 09:54 10:06 10:18 10:30 "
      "10:40 10:50 11:00 11:10 11:20 11:30 11:40 11:50 12:00 12:10 12:20 12:30 12:40 12:50 13:00 13:10 13:20 13:30 "
      "13:40 13:50 14:00 14:10 14:20 14:30 14:40 14:50 15:00 15:10 15:20 15:30 15:40 15:48 15:54 16:00 16:06 16:12 "
      "16:18 16:24 16:30 16:36 16:42 16:48 16:54 17:00 17:06 17:12 17:18 17:24 17:30 17:36 17:42 17:48 17:54 18:00 "
      "18:06 18:12 18:18 18:24 18:30 18:36 18:42 18:48 18:54 19:00 19:06 19:12 19:18 19:24 19:32 19:40 19:50 20:00 "
      "20:10 20:20 20:30 20:40 20:50 21:00 21:10 21:20 21:30 21:40 21:50 22:00");
  return list;
}

const std::vector<std::string>& weekdayCampusDepartures() {
  static const auto list = times(
      "06:10 06:20 06:30 06:40 06:50 07:00 07:10 07:16 07:22 07:28 07:34 07:40 07:46 07:52 07:58 08:04 08:10 08:16 "
      "08:22 08:28 08:34 08:40 08:46 08:52 08:58 09:04 09:10 09:16 09:22 09:28 09:40 09:52 10:04 10:16 10:28 10:40 "
      "10:50 11:00 11:10 11:20 11:30 11:40 11:50 12:00 12:10 12:20 12:30 12:40 12:50 13:00 13:10 13:20 13:30 13:40 "
      "13:50 14:00 14:10 14:20 14:30 14:40 14:50 15:00 15:10 15:20 15:30 15:40 15:50 15:58 16:04 16:10 16:16 16:22 "
      "16:28 16:34 16:40 16:46 16:52 16:58 17:04 17:10 17:16 17:22 17:28 17:34 17:40 17:46 17:52 17:58 18:04 18:10 "
      "18:16 18:22 18:28 18:34 18:40 18:46 18:52 18:58 19:04 19:10 19:16 19:22 19:28 19:34 19:42 19:50 20:00 20:10 "
      "20:20 20:30 20:40 20:50 21:00 21:10 21:20 21:30 21:40 21:50 22:00 22:20");
  return list;
}

const std::vector<std::string>& weekendMetroDepartures() {
  static const auto list = times(
      "06:30 06:40 06:50 07:00 07:10 07:20 07:30 07:40 07:50 08:00 08:10 08:20 08:30 08:40 08:50 09:00 09:10 09:20 "
      "09:30 09:40 10:00 10:20 10:40 11:00 11:30 11:50 12:00 12:20 12:40 13:00 13:20 13:40 14:00 14:20 14:40 15:00 "
      "15:10 15:30 15:45 16:00 16:15 16:30 16:45 17:00 17:15 17:30 17:45 18:00 18:15 18:30 18:45 19:00 19:10 19:30 "
      "19:50 20:00 20:30 21:00 21:30 22:00");
  return list;
}

const std::vector<std::string>& weekendCampusDepartures() {
  static const auto list = times(
      "06:40 06:50 07:00 07:10 07:20 07:30 07:40 07:50 08:00 08:10 08:20 08:30 08:40 08:50 09:00 09:10 09:20 09:30 "
      "09:40 10:00 10:20 10:40 10:50 11:10 11:40 12:00 12:10 12:30 12:50 13:10 13:30 13:50 14:10 14:30 14:50 15:10 "
      "15:20 15:40 15:55 16:10 16:25 16:40 16:55 17:10 17:25 17:40 17:55 18:10 18:25 18:40 18:55 19:10 19:20 19:40 "
      "20:00 20:10 20:40 21:10 21:40 22:10");
  return list;
}

void busDetailTViewController::viewDidLoad() {
  addHeaderBar(*this, "接駁公車時刻表", 1, 2, [this](int tag) { btnEvent(tag); });
  weekendBtn_ = make<Button>(Rect{230, 49, 80, 30}, "假日");
  weekendBtn_->setTag(3);
  weekdayBtn_ = make<Button>(Rect{230, 49, 80, 30}, "平日");
  weekdayBtn_->setTag(4);
  weekdayBtn_->setHidden(true);
  for (auto& b : {weekendBtn_, weekdayBtn_}) {
    b->setFontSize(16);
    b->setBackgroundColor(Color::rgb(226, 236, 244));
    b->setAction([this](Button& sender) { btnEvent(sender.tag()); });
    view().addSubview(b);
  }
  auto caption = make<Label>(Rect{10, 49, 210, 30}, "發車時刻");
  caption->setFont(16);
  caption->setTextColor(Color::gray(0.3f));
  view().addSubview(caption);

  mrtTableview_ = make<TableView>(Rect{0, 84, 160, 484});
  mrtTableview_->setName("mrtTableview");
  mrtTableview_->setTag(1);
  mrtTableview_->setAutoresizingMask(Autoresizing::FlexibleHeight | Autoresizing::FlexibleRightMargin);
  wynTableview_ = make<TableView>(Rect{160, 84, 160, 484});
  wynTableview_->setName("wynTableview");
  wynTableview_->setTag(2);
  wynTableview_->setAutoresizingMask(Autoresizing::FlexibleHeight | Autoresizing::FlexibleLeftMargin);
  busTimeAry(false);
  stopAndSection_ = 0;
  for (auto& t : {mrtTableview_, wynTableview_}) {
    t->setDelegate(this);
    t->setDataSource(this);
    view().addSubview(t);
  }
}

void busDetailTViewController::busTimeAry(bool weekend) {
  BusAry_1to5_Mrt_ = weekend ? weekendMetroDepartures() : weekdayMetroDepartures();
  BusAry_1to5_Wyn_ = weekend ? weekendCampusDepartures() : weekdayCampusDepartures();
}

const std::vector<std::string>& busDetailTViewController::listOf(const TableView& table) const {
  return table.tag() == 1 ? BusAry_1to5_Mrt_ : BusAry_1to5_Wyn_;
}

int busDetailTViewController::tableViewNumberOfRowsInSection(TableView& table, int) {
  return static_cast<int>(listOf(table).size());
}

std::shared_ptr<TableViewCell> busDetailTViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = make<TableViewCell>(TableViewCell::Style::Default, "r28BusTime");
  cell->contentView().addSubview(make<ImageView>(Rect{10, 0, 40, 40}, "公車資訊"));
  const auto& list = listOf(table);
  auto label = make<Label>(Rect{60, 5, 90, 30},
                           ip.row >= 0 && static_cast<size_t>(ip.row) < list.size() ? list[static_cast<size_t>(ip.row)] : "");
  label->setName("myLbl");
  label->setFont(18);
  cell->contentView().addSubview(label);
  return cell;
}

std::string busDetailTViewController::tableViewTitleForHeaderInSection(TableView& table, int) {
  return table.tag() == 1 ? kMetroName : kCampusName;
}

std::shared_ptr<View> busDetailTViewController::tableViewViewForHeaderInSection(TableView& table, int) {
  auto header = make<View>(Rect{0, 0, 160, 20});
  header->setBackgroundColor(table.tag() == 1 ? Color::rgb(200, 100, 100) : Color::rgb(100, 200, 100));
  auto name = make<Label>(Rect{25, 0, 110, 20}, table.tag() == 1 ? kMetroName : kCampusName);
  name->setFont(16, true);
  name->setTextColor(Color::white());
  name->setAlignment(TextAlignment::Center);
  header->addSubview(name);
  return header;
}

double busDetailTViewController::tableViewHeightForRow(TableView&, IndexPath ip) {
  // The first departure of the current hour (by row of the metro-station
  // list) comes into view once per screen: at the top of the metro-station
  // list, the same row in the middle of the campus list.
  if (!hourFound_ && ip.row >= 0 && static_cast<size_t>(ip.row) < BusAry_1to5_Mrt_.size() &&
      BusAry_1to5_Mrt_[static_cast<size_t>(ip.row)].compare(0, 2, formatDate("HH", now())) == 0) {
    hourFound_ = true;
    stopAndSection_ = ip.row;
    mrtTableview_->scrollToRow({0, ip.row}, TableView::ScrollPosition::Top, true);
    if (static_cast<size_t>(ip.row) < BusAry_1to5_Wyn_.size())
      wynTableview_->scrollToRow({0, ip.row}, TableView::ScrollPosition::Middle, true);
  }
  return 40;
}

void busDetailTViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  // The chosen departure's middle 70 points below the top.
  double centre = table.headerHeight(0);
  for (int r = 0; r < ip.row; ++r) centre += table.heightForRow({0, r});
  centre += table.heightForRow(ip) / 2;
  table.setContentOffset(Point{0, std::max(0.0, centre - 70)}, true);
  table.reloadData();
}

void busDetailTViewController::btnEvent(int tag) {
  switch (tag) {
    case 1: goHome(*this); break;
    case 2: goBack(*this, false); break;
    case 3:
    case 4:
      busTimeAry(tag == 3);
      mrtTableview_->reloadData();
      wynTableview_->reloadData();
      weekendBtn_->setHidden(tag == 3);
      weekdayBtn_->setHidden(tag == 4);
      break;
    default: break;
  }
}

}  // namespace yx
