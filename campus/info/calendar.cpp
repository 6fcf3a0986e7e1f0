#include "campus/info/calendar.h"

#include "campus/info/guide_kit.h"
#include "core/screen_kit.h"
#include "platform/dates.h"
#include "platform/text.h"
#include "platform/text_measure.h"
#include "platform/ui/common_views.h"

namespace yx {

void readCalendarFeed(const DomDocument& doc, CalendarEntries& first, CalendarEntries& second) {
  auto c = readItemColumns(doc, "cal", {"semester", "weekno", "date", "week", "project"});
  const size_t n = c[0].size();
  for (CalendarEntries* e : {&first, &second}) {
    e->weeknoAry.reserve(e->weeknoAry.size() + n);
    e->dateAry.reserve(e->dateAry.size() + n);
    e->weekAry.reserve(e->weekAry.size() + n);
    e->projAry.reserve(e->projAry.size() + n);
  }
  for (size_t i = 0; i < n; ++i) {
    CalendarEntries& to = c[0][i] == "1" ? first : second;
    to.weeknoAry.push_back(std::move(c[1][i]));
    to.dateAry.push_back(std::move(c[2][i]));
    to.weekAry.push_back(std::move(c[3][i]));
    to.projAry.push_back(std::move(c[4][i]));
  }
}

double calendarRowHeight(const std::string& project) {
  double h = measureText(project, 17, false, 240, 500).height;
  return h < 20 ? 40 : h + 20;
}

std::string calendarMonthOf(const std::string& date) { return utf8Slice(date, 4, 2); }

namespace {

std::shared_ptr<TableViewCell> menuCell(const std::string& text) {
  auto cell = make<TableViewCell>(TableViewCell::Style::Default, "calendar");
  cell->contentView().addSubview(make<ImageView>(Rect{5, 2, 40, 40}, "行事曆"));
  auto label = make<Label>(Rect{52, 0, 238, 44}, text);
  label->setName("myLbl");
  label->setFont(18);
  cell->contentView().addSubview(label);
  cell->setShowsDisclosure(true);
  return cell;
}

const char* semesterName(int semester) { return semester == 0 ? "第一學期" : "第二學期"; }

}  // namespace

// ------------------------------------------------------------ semester menu

void calendarViewController::viewDidLoad() {
  addHeaderBar(*this, "行事曆", 1, 2, [this](int tag) { btnEvent(tag); });
  myTableview_ = addTable(view(), areaBelow(44), "myTableview", this, this);
}

std::shared_ptr<TableViewCell> calendarViewController::tableViewCellForRow(TableView&, IndexPath ip) {
  return menuCell(semesterName(ip.row));
}

void calendarViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  table.deselectRow(ip, true);
  auto list = std::make_shared<calendarDetailViewController>();
  list->setSemester(ip.row);
  if (auto* nav = navigationController()) nav->pushViewController(list, false);
}

void calendarViewController::btnEvent(int tag) {
  if (tag == 2) goBack(*this);
  else if (tag == 1) goHome(*this);
}

// ------------------------------------------------------------ calendar list

void calendarDetailViewController::viewDidLoad() {
  addHeaderBar(*this, semesterName(semester_), 1, 2, [this](int tag) { btnEvent(tag); });
  myTableview_ = addTable(view(), areaBelow(44, kCountBarTop), "myTableview");
  countLbl_ = addCountBar(*this);
  myActivity_ = addSpinner(view(), Rect{141.5, 265.5, 37, 37}, "myActivity");
  myActivity_->startAnimating();
  performAfterDelay(0.1, [this] { startParser(); });
  myTableview_->setDelegate(this);
  myTableview_->setDataSource(this);
}

void calendarDetailViewController::startParser() {
  auto url = serverURL("campus_data", "/data/xml/cal.xml");
  auto doc = url ? fetchDocument(*url) : nullptr;
  // Unreachable or unreadable: the list stays empty, the spinner turning.
  if (!doc) return;
  readCalendarFeed(*doc, first_, second_);
  month_ = formatDate("MM", now());
  myActivity_->stopAnimating();
  myTableview_->reloadData();
}

int calendarDetailViewController::numberOfSectionsInTableView(TableView&) {
  return static_cast<int>(shown().size());
}

std::shared_ptr<View> calendarDetailViewController::tableViewViewForHeaderInSection(TableView&, int section) {
  const CalendarEntries& e = shown();
  if (section < 0 || static_cast<size_t>(section) >= e.size()) return nullptr;
  const size_t s = static_cast<size_t>(section);
  auto header = make<View>(Rect{0, 0, 320, 20});
  auto day = make<Label>(Rect{0, 0, 320, 20}, e.dateAry[s] + " (" + e.weekAry[s] + ")");
  day->setName("dateLbl");
  day->setFont(16);
  day->setBackgroundColor(Color{0.6f, 0.4f, 0.2f, 1});
  header->addSubview(day);
  auto week = make<Label>(Rect{260, 0, 60, 20}, e.weeknoAry[s]);
  week->setName("weekLbl");
  week->setFont(16);
  week->setTextColor(Color::white());
  week->setAlignment(TextAlignment::Center);
  header->addSubview(week);
  return header;
}

double calendarDetailViewController::tableViewHeightForRow(TableView& table, IndexPath ip) {
  const CalendarEntries& e = shown();
  if (ip.section < 0 || static_cast<size_t>(ip.section) >= e.size()) return 40;
  const size_t s = static_cast<size_t>(ip.section);
  // The first section of the current month, in row order, once per screen;
  // the list stays at the top when that is the first section.
  if (!monthFound_ && !month_.empty() && calendarMonthOf(e.dateAry[s]) == month_) {
    monthFound_ = true;
    stopAndSection_ = ip.section;
    if (stopAndSection_ != 0) table.scrollToRow({ip.section, 0}, TableView::ScrollPosition::Middle, true);
  }
  return calendarRowHeight(e.projAry[s]);
}

std::shared_ptr<TableViewCell> calendarDetailViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  const CalendarEntries& e = shown();
  auto cell = make<TableViewCell>(TableViewCell::Style::Default, "calendar");
  if (ip.section >= 0 && static_cast<size_t>(ip.section) < e.size()) {
    double h = table.heightForRow(ip);
    auto label = make<Label>(Rect{30, 5, 260, std::max(30.0, h - 10)}, e.projAry[static_cast<size_t>(ip.section)]);
    label->setName("myLbl");
    label->setFont(18);
    label->setNumberOfLines(0);
    cell->contentView().addSubview(label);
  }
  countLbl_->setText(countText(e.size()));
  return cell;
}

void calendarDetailViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) { table.deselectRow(ip, true); }

void calendarDetailViewController::btnEvent(int tag) {
  if (tag == 2) goBack(*this, false);
  else if (tag == 1) goHome(*this);
}

}  // namespace yx
