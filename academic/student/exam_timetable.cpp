#include "academic/student/exam_timetable.h"

#include <optional>

#include "academic/student/calendar_export.h"
#include "academic/student/student_sign_in.h"
#include "core/screen_kit.h"
#include "platform/files.h"
#include "platform/settings.h"
#include "platform/ui/common_views.h"

namespace yx {

namespace {

constexpr const char* kCacheName = "stu_exam_table";

constexpr const char* kClashTitle = "重要訊息——衝堂考：";
constexpr const char* kClashMessage =
    "考試座號前有*者表考試時間衝堂集中於Ｒ學生活動中心（期中、期末考）或H101（畢業考）考試；每科考試時間長度仍為90分鐘"
    "（或依各科規定），一科考完可續考亦可休息（休息不得超過30分鐘，休息時可溫書及簡單飲食），須於全部衝堂科目考畢（各科原節次"
    "考試60分鐘後)始可離場，考試科目之順序依考試小表所列先後為原則。若衝堂科目中有口試、上機、播放圖片等需在原教室考試，或進學"
    "班因衝堂而提前考，倘有特殊狀況者，請至課務組辦理延後入場申請。";
constexpr const char* kBarredTitle = "重要訊息——扣考：";
constexpr const char* kBarredMessage =
    "考試科目備註欄呈現「扣考」者，不得參加該科目之考試，該科目學期成績以零分計算(請另詳學則第38條扣考說明)。"
    "考試小表印出後才經任課教師通知教務處扣考者，另以校級電子信箱通知。";
constexpr const char* kUnderstood = "我知道了！";

std::string removeSlashes(std::string s) {
  std::erase(s, '/');
  return s;
}

}  // namespace

// -------------------------------------------------------------- display rule

std::string examPeriodTime(const std::string& period) {
  static const char* const times[] = {"8:20-9:50",   "10:20-11:50", "12:20-13:50", "14:20-15:50",
                                      "16:20-17:50", "18:20-19:50", "20:20-21:50"};
  if (period.size() == 1 && period[0] >= '1' && period[0] <= '7') return times[period[0] - '1'];
  return {};
}

ExamRow examRowFor(const Value& record) {
  ExamRow row;
  row.course = record.stringFor("科目名稱");
  row.remark = record.stringFor("備註");
  row.gradeSeat = "成績座號: " + record.stringFor("成績座號");
  row.special = characterCount(row.remark) >= 2;
  if (row.special) return row;
  const std::string& period = record.stringFor("節次");
  row.period = "第 " + period + " 節 " + examPeriodTime(period);
  // "2026/12/22/二" reads "2026/12/22 (二)": the last two characters are the
  // separator and the weekday. A date too short for that is shown as it is.
  const std::string& date = record.stringFor("考試日期");
  if (characterCount(date) < 2) {
    row.date = date;
  } else {
    size_t cut = offsetOfLastCharacters(date, 2);
    row.date = date.substr(0, cut) + " (" + removeSlashes(date.substr(cut)) + ")";
  }
  row.room = record.stringFor("教室代號");
  row.duration = record.stringFor("考試時間") + " 分鐘";
  row.examSeat = "考試座號: " + record.stringFor("考試座號");
  return row;
}

// --------------------------------------------------------------------- cell

testListCell::testListCell() : TableViewCell(Style::Default, "testList") {
  auto add = [this](const char* name, Rect frame, double size = 15) {
    auto l = make<Label>(frame);
    l->setName(name);
    l->setFont(size);
    contentView().addSubview(l);
    return l;
  };
  // Date and period, room, duration and exam seat, then grade seat and remark.
  dateLbl = add("dateLbl", Rect{12, 6, 150, 22});
  sessLbl = add("sessLbl", Rect{162, 6, 150, 22});
  placeLbl = add("placeLbl", Rect{12, 34, 90, 22});
  timeLbl = add("timeLbl", Rect{102, 34, 80, 22});
  testNoLbl = add("testNoLbl", Rect{182, 34, 130, 22});
  seatNoLbl = add("seatNoLbl", Rect{12, 62, 150, 22});
  typeLbl = add("typeLbl", Rect{162, 62, 150, 22});
  typeLbl->setTextColor(Color::rgb(200, 0, 0));
  typeLbl->setFont(15, true);
  // Kept empty by this screen.
  nameLbl = add("nameLbl", Rect{12, 0, 0, 0});
  reqLbl = add("reqLbl", Rect{12, 0, 0, 0});
  crLbl = add("crLbl", Rect{12, 0, 0, 0});
  for (auto* l : {&dateLbl, &sessLbl, &placeLbl, &timeLbl, &testNoLbl, &seatNoLbl, &typeLbl})
    (*l)->setAutoresizingMask(Autoresizing::FlexibleRightMargin);
}

void testListCell::show(const ExamRow& row) {
  sessLbl->setText(row.period);
  typeLbl->setText(row.remark);
  dateLbl->setText(row.date);
  placeLbl->setText(row.room);
  timeLbl->setText(row.duration);
  testNoLbl->setText(row.examSeat);
  seatNoLbl->setText(row.gradeSeat);
  // A special exam's row is 60 points: its grade seat and remark move up.
  const double y = row.special ? 20 : 62;
  seatNoLbl->setFrame(Rect{12, y, 150, 22});
  typeLbl->setFrame(Rect{162, y, 150, 22});
}

// ------------------------------------------------------------------- screen

const std::vector<std::string>& testListInquiryViewController::fields() {
  static const std::vector<std::string> f = {"ch_name", "cos_name", "req_ele_type", "cr",   "seat_no", "exam_date",
                                             "sess",    "exam_tm",  "room",         "exam_no", "exam_type"};
  return f;
}

const std::vector<std::string>& testListInquiryViewController::keys() {
  static const std::vector<std::string> k = {"姓名",   "科目名稱", "必選",     "學分",     "成績座號", "考試日期",
                                             "節次", "考試時間", "教室代號", "考試座號", "備註"};
  return k;
}

void testListInquiryViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  auto bar = addHeaderBar(*this, "考試小表", 1, 2, [this](int tag) { btnEvent(tag); }, "hl_p1.jpg");
  titleLabel_ = std::static_pointer_cast<Label>(bar->viewNamed("titleLabel")->shared_from_this());

  auto again = make<Button>(Rect{220, 48, 92, 30}, "重新查詢");
  again->setTag(3);
  again->setAction([this](Button& b) { btnEvent(b.tag()); });
  view().addSubview(again);
  // Into the person's calendar, from the cached records (a barred exam's
  // row shows no date or room, its record still has them).
  view().addSubview(makeExportCalendarButton(Rect{124, 48, 92, 30}, [] {
    auto cached = Files::readArrayFile(cachePath(kCacheName));
    exportToCalendar(examCalendarEntries(cached ? cached->asArray() : Value::Array{}), "exams.ics");
  }));

  tableView_ = addTable(view(), areaBelow(82), "tableView", this, this);

  // What an earlier answer left, at once, before any network answer.
  rebuildDisplay();
}

void testListInquiryViewController::rebuildDisplay() {
  // An answer with records has just been written to the cache file whole:
  // the display is built from those records rather than read back.
  std::optional<Value> cached;
  if (records().empty()) cached = Files::readArrayFile(cachePath(kCacheName));
  const Value::Array none;
  const Value::Array& shown = !records().empty() ? records() : cached ? cached->asArray() : none;
  backdrop_.remove();
  rows_.clear();
  rows_.reserve(shown.size());
  for (const Value& r : shown) rows_.push_back(examRowFor(r));
  if (titleLabel_) titleLabel_->setText(shown.empty() ? "考試小表" : "考試小表(" + shown.front().stringFor("姓名") + ")");
  if (tableView_) tableView_->reloadData();
}

void testListInquiryViewController::btnEvent(int tag) {
  resultButton(*this, tag, [] { return std::make_shared<testListViewController>(); });
}

// -------------------------------------------------------------------- table

int testListInquiryViewController::numberOfSectionsInTableView(TableView&) { return static_cast<int>(rows_.size()); }

std::shared_ptr<TableViewCell> testListInquiryViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = std::dynamic_pointer_cast<testListCell>(table.dequeueReusableCellWithIdentifier("testList"));
  if (!cell) cell = std::make_shared<testListCell>();
  if (ip.section >= 0 && ip.section < static_cast<int>(rows_.size())) cell->show(rows_[ip.section]);
  return cell;
}

double testListInquiryViewController::tableViewHeightForRow(TableView&, IndexPath ip) {
  if (ip.section < 0 || ip.section >= static_cast<int>(rows_.size())) return 90;
  return rows_[ip.section].special ? 60 : 90;
}

std::shared_ptr<View> testListInquiryViewController::tableViewViewForHeaderInSection(TableView&, int section) {
  // A brown band across the table holding the course name.
  auto header = make<View>(Rect{0, 0, kScreenWidth, 25});
  header->setAutoresizingMask(Autoresizing::FlexibleWidth);
  auto band = make<Label>(Rect{0, 0, kScreenWidth, 25});
  band->setName("sectionLbl");
  band->setAutoresizingMask(Autoresizing::FlexibleWidth);
  band->setFont(18, true);
  band->setTextColor(Color::white());
  band->setBackgroundColor(Color::rgb(128, 72, 32));
  if (section >= 0 && section < static_cast<int>(rows_.size())) band->setText("\t" + rows_[section].course);
  header->addSubview(band);
  return header;
}

void testListInquiryViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  table.deselectRow(ip, true);
}

// ------------------------------------------------------------------ loading

std::shared_ptr<ViewController> testListInquiryViewController::makeSignInForm() {
  return std::make_shared<testListViewController>();
}

void testListInquiryViewController::documentWillParse() {
  auto& store = Settings::standard();
  store.removeObjectForKey("姓名");
  store.synchronize();
}

const std::vector<std::string>& testListInquiryViewController::refusalElements() const {
  static const std::vector<std::string> e = {"Error_Msg"};
  return e;
}

bool testListInquiryViewController::shouldStoreRecord(const Value& record) {
  if (!clashShown_ && record.stringFor("考試座號").find('*') != std::string::npos) {
    clashShown_ = true;
    showAlert(kClashTitle, kClashMessage, kUnderstood);
  }
  if (!barredShown_ && record.stringFor("備註").find("扣考") != std::string::npos) {
    barredShown_ = true;
    showAlert(kBarredTitle, kBarredMessage, kUnderstood);
  }
  return true;
}

void testListInquiryViewController::didStoreRecord(const Value&) {
  Settings::standard().setString("考試小表", kCacheName);
}

void testListInquiryViewController::documentDidEnd() { rebuildDisplay(); }

}  // namespace yx
