#include "academic/student/course_list.h"

#include <sys/stat.h>

#include "academic/student/calendar_export.h"
#include "academic/student/student_common.h"
#include "academic/student/student_sign_in.h"
#include "core/screen_kit.h"
#include "markup/feed_loader.h"
#include "platform/files.h"
#include "platform/ui/common_views.h"

namespace yx {

namespace {

constexpr const char* kCacheName = "stu_ele_table";

// 1 to 14 for "01" to "14", else 0.
int periodNumber(const std::string& period) {
  if (period.size() != 2 || period[0] < '0' || period[0] > '1' || period[1] < '0' || period[1] > '9') return 0;
  int n = (period[0] - '0') * 10 + (period[1] - '0');
  return n >= 1 && n <= 14 ? n : 0;
}

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t hit; (hit = text.find(separator, start)) != std::string::npos; start = hit + 1)
    parts.push_back(text.substr(start, hit - start));
  parts.push_back(text.substr(start));
  return parts;
}

}  // namespace

std::string coursePeriodStart(const std::string& period) {
  int n = periodNumber(period);
  return n ? std::to_string(7 + n) + ":10" : std::string();
}

std::string coursePeriodEnd(const std::string& period) {
  int n = periodNumber(period);
  return n ? std::to_string(8 + n) + ":00" : std::string();
}

CourseRow courseRowFor(const Value& record) {
  CourseRow row;
  row.name = record.stringFor("課程名稱");
  row.teacher = "(座號：" + record.stringFor("座號") + ")\t" + record.stringFor("老師");
  auto parts = split(record.stringFor("星期節次地點"), '/');
  if (parts.size() < 2) return row;
  auto dash = parts[1].find('-');
  std::string first = parts[1].substr(0, dash);
  std::string last = dash == std::string::npos ? first : parts[1].substr(dash + 1);
  row.time = "星期" + parts[0] + " " + coursePeriodStart(first) + "~" + coursePeriodEnd(last);
  if (parts.size() >= 3) row.room = parts[2];
  return row;
}

// --------------------------------------------------------------------- cell

inquiryResultCell::inquiryResultCell() : TableViewCell(Style::Default, "inquiryResultCell") {
  textLabel().setFont(18, true);
  auto add = [this](const char* name, Rect frame, double size) {
    auto l = make<Label>(frame);
    l->setName(name);
    l->setFont(size);
    contentView().addSubview(l);
    return l;
  };
  // Three lines: the course, its time and room, the seat and teacher.
  nameLbl = add("nameLbl", Rect{12, 3, 296, 21}, 16);
  nameLbl->setTextColor(Color::rgb(255, 0, 0));
  weekLbl = add("weekLbl", Rect{12, 23, 0, 18}, 13);
  timeLbl = add("timeLbl", Rect{12, 23, 150, 18}, 13);
  placeLbl = add("placeLbl", Rect{166, 23, 142, 18}, 13);
  teaLbl = add("teaLbl", Rect{12, 40, 296, 18}, 12);
  teaLbl->setTextColor(Color::gray(0.3f));
  for (auto& l : {nameLbl, placeLbl, teaLbl}) l->setAutoresizingMask(Autoresizing::FlexibleWidth);
}

void inquiryResultCell::show(const CourseRow& row) {
  nameLbl->setText(row.name);
  nameLbl->setTextColor(Color::rgb(255, 0, 0));
  weekLbl->setText("");
  timeLbl->setText(row.time);
  timeLbl->setTextColor(Color::black());
  placeLbl->setText(row.room);
  placeLbl->setTextColor(Color::black());
  teaLbl->setText(row.teacher);
}

// ------------------------------------------------------------------- screen

void inquiryResultsViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, "我的課表", 1, 2, [this](int tag) { btnEvent(tag); }, "hl_p1.jpg");

  countLbl_ = make<Label>(Rect{12, 48, 110, 30});
  countLbl_->setName("countLbl");
  view().addSubview(countLbl_);
  againBtn_ = make<Button>(Rect{220, 48, 92, 30}, "重新查詢");
  againBtn_->setTag(3);
  againBtn_->setHidden(true);
  againBtn_->setAction([this](Button& b) { btnEvent(b.tag()); });
  view().addSubview(againBtn_);
  // Into the person's calendar, from the cached records as they are now.
  view().addSubview(makeExportCalendarButton(Rect{124, 48, 92, 30}, [this] {
    refreshCache();
    exportToCalendar(courseCalendarEntries(records_, now()), "courses.ics");
  }));

  tableView_ = addTable(view(), areaBelow(82), "tableView", this, this);
  tableView_->setRowHeight(60);

  refreshCache();
  rowsAtLoad_ = records_.size();
  againBtn_->setHidden(false);
  countLbl_->setText(countText(rowsAtLoad_));
  tableView_->reloadData();
}

inquiryResultsViewController::FileStamp inquiryResultsViewController::stampOf(const std::string& path) {
  FileStamp s;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return s;
  s.exists = true;
  s.device = st.st_dev;
  s.inode = st.st_ino;
  s.size = st.st_size;
  s.mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec;
  return s;
}

void inquiryResultsViewController::refreshCache() {
  const std::string path = FeedLoaderViewController::cachePath(kCacheName);
  FileStamp now = stampOf(path);
  if (reads_ > 0 && now == stamp_) return;
  stamp_ = now;
  ++reads_;
  auto cached = Files::readArrayFile(path);
  records_ = cached ? cached->asArray() : Value::Array{};
}

void inquiryResultsViewController::btnEvent(int tag) {
  resultButton(*this, tag, [] { return std::make_shared<inquiryListViewController>(); });
}

int inquiryResultsViewController::tableViewNumberOfRowsInSection(TableView&, int) {
  return static_cast<int>(rowsAtLoad_);
}

std::shared_ptr<TableViewCell> inquiryResultsViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = std::dynamic_pointer_cast<inquiryResultCell>(table.dequeueReusableCellWithIdentifier("inquiryResultCell"));
  if (!cell) cell = std::make_shared<inquiryResultCell>();
  // Each row shows the file as it is now (it may have been replaced since
  // the list loaded); a row beyond its end shows nothing.
  refreshCache();
  const auto row = static_cast<size_t>(ip.row);
  cell->show(row < records_.size() ? courseRowFor(records_[row]) : CourseRow{});
  return cell;
}

void inquiryResultsViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  table.deselectRow(ip, true);
}

}  // namespace yx
