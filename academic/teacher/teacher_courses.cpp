#include "academic/teacher/teacher_courses.h"

#include "academic/course_changes.h"
#include "core/screen_kit.h"
#include "platform/dates.h"
#include "platform/files.h"
#include "platform/settings.h"
#include "platform/ui/common_views.h"

namespace yx {

namespace A = Autoresizing;

namespace {

constexpr const char* kLastUpdateKey = "teacherEleStuLastUpdateTime";
const Color kInk = Color::rgb(0x22, 0x2b, 0x33);
const Color kGray = Color::rgb(0x5f, 0x6b, 0x73);

std::string trimmed(const std::string& s) {
  const char* ws = " \t\r\n\v\f";
  size_t b = s.find_first_not_of(ws);
  if (b == std::string::npos) return {};
  return s.substr(b, s.find_last_not_of(ws) - b + 1);
}

std::string nowText() { return formatDate("yyyy-MM-dd HH:mm:ss", now()); }

// An entry of the last-update list that records no download.
bool neverDownloaded(const std::string& entry) { return entry.size() < 2; }

}  // namespace

bool storeRoster(const std::string& courseCode, long status, const std::string& body) {
  auto path = rosterPath(courseCode);
  if (!path || status < 200 || status > 299 || !looksLikePdf(body)) return false;
  return Files::writeFileAtomically(*path, body, 0600);
}

// ---------------------------------------------------------------- the lists

void TeacherCourseListBase::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, title(), 1, 2, [this](int tag) { btnEvent(tag); }, "hl_g1.jpg");

  countLbl_ = make<Label>(Rect{12, 50, 200, 28});
  countLbl_->setName("countLbl");
  countLbl_->setFont(15);
  countLbl_->setTextColor(kGray);
  view().addSubview(countLbl_);

  auto reload = make<Button>(Rect{216, 48, 92, 32}, "重新整理");
  reload->setName("reloadBtn");
  reload->setActionName("reloadBtn");
  reload->setBorder(1, 8, Color::rgb(0x35, 0x78, 0x82));
  reload->setTitleColor(Color::rgb(0x35, 0x78, 0x82));
  reload->setAction([this](Button&) { reloadBtn(); });
  reload->setAutoresizingMask(A::FlexibleLeftMargin);
  view().addSubview(reload);

  table_ = addTable(view(), areaBelow(84), "myTableView", this, this);
  table_->setRowHeight(rowHeight());

  indicator_ = addSpinner(view(), Rect{140, 264, 40, 40}, "activityIndicator");

  url_ = teacherURL(kTeacherCourseListMethod, handover_);
  indicator_->startAnimating();
  performAfterDelay(0.1, [this] { load(); });
}

void TeacherCourseListBase::load() {
  courses_.clear();
  TeacherCourseLoad r = loadTeacherCourseList(url_, handover_, timeoutSeconds());
  indicator_->stopAnimating();
  using O = TeacherCourseLoad::Outcome;
  switch (r.outcome) {
    case O::Shown:
    case O::FromCache:
      courses_ = std::move(r.courses);
      didLoadCourses();
      showCourses();
      break;
    case O::Refused:
      AlertView::create("錯誤", r.refusal, sharedAs<AlertViewDelegate>(), "確定")->show();
      break;
    case O::NoData:
      AlertView::create("錯誤", "沒有資料！", sharedAs<AlertViewDelegate>(), "確定")->show();
      break;
    case O::Malformed:
      break;
  }
}

void TeacherCourseListBase::showCourses() {
  countLbl_->setText(countText(courses_.size()));
  table_->reloadData();
}

void TeacherCourseListBase::reloadBtn() {
  courses_.clear();
  indicator_->setHidden(false);
  indicator_->startAnimating();
  performAfterDelay(0.1, [this] { load(); });
}

void TeacherCourseListBase::btnEvent(int tag) {
  if (tag == 1) {
    goHome(*this);
  } else if (tag == 2) {
    startUsageExitReport();
    auto* nav = navigationController();
    size_t index = teacherBackIndex(*this);
    if (nav && index < nav->depth()) nav->popToViewController(nav->viewControllers()[index].get(), true);
  }
}

int TeacherCourseListBase::tableViewNumberOfRowsInSection(TableView&, int) {
  return static_cast<int>(courses_.size());
}

void TeacherCourseListBase::alertViewClickedButtonAtIndex(AlertView&, int index) {
  if (index != 0) return;
  if (auto* nav = navigationController()) nav->popViewControllerAnimated(false);
}

std::shared_ptr<Label> TeacherCourseListBase::rowLabel(View& into, const char* name, Rect frame, double font,
                                                        Color color) {
  auto l = make<Label>(frame);
  l->setName(name);
  l->setFont(font);
  l->setTextColor(color);
  l->setAutoresizingMask(A::FlexibleWidth);
  into.addSubview(l);
  return l;
}

// ------------------------------------------------------------ 我的授課表

std::shared_ptr<TableViewCell> teacherEleListViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = table.dequeueReusableCellWithIdentifier("cellID");
  if (!cell) {
    cell = make<TableViewCell>(TableViewCell::Style::Default, "cellID");
    cell->setSelectable(false);
    View& c = cell->contentView();
    rowLabel(c, "subjectNameLbl", Rect{12, 8, 296, 24}, 17, kInk)->setFont(17, true);
    rowLabel(c, "timesLbl", Rect{12, 34, 296, 20}, 14, kGray);
    rowLabel(c, "howManyStuLbl", Rect{12, 56, 296, 18}, 13, kGray);
  }
  const TeacherCourse* course =
      ip.row >= 0 && ip.row < static_cast<int>(courses_.size()) ? &courses_[static_cast<size_t>(ip.row)] : nullptr;
  View& c = cell->contentView();
  c.findNamed<Label>("subjectNameLbl")->setText(course ? course->name : "");
  c.findNamed<Label>("timesLbl")->setText(course ? course->times : "");
  c.findNamed<Label>("howManyStuLbl")->setText(course ? "學生人數 : " + course->students + " 人" : "");
  return cell;
}

// ------------------------------------------------------------- 修課學生

teacherEleStuViewController::~teacherEleStuViewController() {
  for (auto& t : updates_)
    if (t) t->cancel();
}

void teacherEleStuViewController::viewWillAppear(bool) {
  if (table_) table_->reloadData();
}

void teacherEleStuViewController::didLoadCourses() {
  for (auto& c : courses_) c.code = trimmed(c.code);
  lastUpdate_ = storedStringList(kLastUpdateKey).value_or(std::vector<std::string>{});
  if (lastUpdate_.size() != courses_.size()) lastUpdate_.assign(courses_.size(), " ");
  storeLastUpdate();
}

void teacherEleStuViewController::storeLastUpdate() {
  Settings::standard().setObject(kLastUpdateKey, Value::stringArray(lastUpdate_));
}

void teacherEleStuViewController::reloadBtn() {
  Settings::standard().removeObjectForKey(kLastUpdateKey);
  deleteRosterFiles();
  rostersDeleted_ = true;
  TeacherCourseListBase::reloadBtn();
}

std::shared_ptr<TableViewCell> teacherEleStuViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = table.dequeueReusableCellWithIdentifier("cellID");
  if (!cell) {
    cell = make<TableViewCell>(TableViewCell::Style::Default, "cellID");
    View& c = cell->contentView();
    rowLabel(c, "subjectNameLbl", Rect{12, 6, 206, 24}, 17, kInk)->setFont(17, true);
    rowLabel(c, "timesLbl", Rect{12, 32, 206, 20}, 13, kGray);
    rowLabel(c, "howManyStuLbl", Rect{12, 52, 206, 18}, 13, kGray);
    rowLabel(c, "lastUpdateLbl", Rect{12, 70, 296, 18}, 12, Color::rgb(0x35, 0x78, 0x82));
    auto update = make<Button>(Rect{225, 30, 65, 30}, "更新");
    update->setName("reloadCellPDFData");
    update->setActionName("reloadCellPDFData");
    update->setBackgroundColor(Color::white());
    update->setBackgroundImage("update.png");
    update->setFontSize(14);
    update->setTitleColor(Color::rgb(0x35, 0x78, 0x82));
    update->setAutoresizingMask(A::FlexibleLeftMargin);
    update->setAction([this](Button& b) { reloadCellPDFData(b.tag()); });
    c.addSubview(update);
  }
  const size_t row = static_cast<size_t>(ip.row < 0 ? 0 : ip.row);
  const TeacherCourse* course = row < courses_.size() ? &courses_[row] : nullptr;
  View& c = cell->contentView();
  c.findNamed<Label>("subjectNameLbl")->setText(course ? course->name : "");
  c.findNamed<Label>("timesLbl")->setText(course ? course->times : "");
  c.findNamed<Label>("howManyStuLbl")->setText(course ? "學生人數 : " + course->students + " 人" : "");
  auto* last = c.findNamed<Label>("lastUpdateLbl");
  auto* update = c.findNamed<Button>("reloadCellPDFData");
  update->setTag(ip.row);
  const std::string entry = row < lastUpdate_.size() ? lastUpdate_[row] : " ";
  if (rostersDeleted_) {
    // Right after the reload action the first rows say so, their buttons
    // not yet usable, until the fifth row (or the last of fewer) is drawn.
    last->setText("尚未下載");
    update->setHidden(false);
    update->setEnabled(false);
    update->setTitle("");
    size_t lastOfFirst = std::min<size_t>(4, courses_.empty() ? 0 : courses_.size() - 1);
    if (row >= lastOfFirst) rostersDeleted_ = false;
  } else if (neverDownloaded(entry)) {
    last->setText("尚未下載");
    update->setHidden(true);
  } else {
    last->setText("上次更新 : " + entry);
    update->setHidden(false);
    update->setEnabled(true);
    update->setTitle("更新");
  }
  return cell;
}

void teacherEleStuViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  table.deselectRow(ip, true);
  const size_t row = static_cast<size_t>(ip.row);
  if (row >= courses_.size()) return;
  if (row < lastUpdate_.size() && neverDownloaded(lastUpdate_[row])) {
    lastUpdate_[row] = nowText();
    storeLastUpdate();
  }
  openCode_ = courses_[row].code;
  performSegueWithIdentifier("showPDFDocument");
}

void teacherEleStuViewController::prepareForSegue(const std::string&, ViewController& destination, const void*) {
  if (auto* viewer = dynamic_cast<teacherEleStuShowPDFViewController*>(&destination)) {
    viewer->setSubjectNo(openCode_);
    viewer->setHandover(handover_);
  }
}

void teacherEleStuViewController::reloadCellPDFData(int row) {
  if (row < 0 || static_cast<size_t>(row) >= courses_.size()) return;
  const TeacherCourse course = courses_[static_cast<size_t>(row)];
  performAfterDelay(0.1, [this] { load(); });
  indicator_->setHidden(false);
  indicator_->startAnimating();

  auto body = std::make_shared<std::string>();
  auto status = std::make_shared<long>(0);
  std::weak_ptr<teacherEleStuViewController> weak = sharedAs<teacherEleStuViewController>();
  HttpCallbacks cb;
  cb.onResponse = [status](long s) { *status = s; };
  cb.onData = [body](const std::string& chunk) { body->append(chunk); };
  cb.onFailure = [](const std::string&) {};  // a failed update changes nothing
  cb.onFinish = [weak, body, status, course, row] {
    auto self = weak.lock();
    if (!self || !storeRoster(course.code, *status, *body)) return;
    if (static_cast<size_t>(row) < self->lastUpdate_.size()) self->lastUpdate_[static_cast<size_t>(row)] = nowText();
    self->storeLastUpdate();
    self->table_->reloadData();
    if (self->alertShowing_) return;
    auto a = AlertView::create("", course.name + "\n更新成功", self, "確定");
    self->updateAlert_ = a;
    self->alertShowing_ = true;
    a->show();
  };
  updates_.push_back(httpGetAsync(teacherURL(kTeacherRosterMethod, handover_, course.code), 60, std::move(cb)));
}

void teacherEleStuViewController::alertViewClickedButtonAtIndex(AlertView& alert, int index) {
  if (&alert == updateAlert_.lock().get()) {
    indicator_->stopAnimating();
    alertShowing_ = false;
    return;
  }
  TeacherCourseListBase::alertViewClickedButtonAtIndex(alert, index);
}

// --------------------------------------------------------------- the roster

void teacherEleStuShowPDFViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, "修課學生名單", 1, 2, [this](int tag) { btnEvent(tag); }, "hl_g1.jpg");
  web_ = make<WebView>(Rect{0, 50, 320, 568 - 120});
  web_->setName("pdfView");
  web_->setScalesPageToFit(true);
  web_->setDelegate(this);
  web_->setAutoresizingMask(A::FlexibleSize);
  view().addSubview(web_);
  indicator_ = addSpinner(view(), Rect{140, 254, 40, 40}, "activityIndicator");
  indicator_->startAnimating();
  performAfterDelay(0.1, [this] { show(); });
}

void teacherEleStuShowPDFViewController::show() {
  auto path = rosterPath(subjectNo_);
  if (path && !Files::exists(*path)) {
    HttpResult r = httpGet(teacherURL(kTeacherRosterMethod, handover_, subjectNo_), 60);
    if (r.ok) storeRoster(subjectNo_, r.status, r.body);
  }
  if (!path || !Files::exists(*path)) {
    // Nothing to show: an empty page; the next opening tries again.
    indicator_->stopAnimating();
    return;
  }
  web_->loadRequest(Files::fileURL(*path));
}

void teacherEleStuShowPDFViewController::webViewDidFinishLoad(WebView&) { indicator_->stopAnimating(); }

void teacherEleStuShowPDFViewController::webViewDidFailLoadWithError(WebView&, const std::string&) {
  indicator_->stopAnimating();
}

void teacherEleStuShowPDFViewController::btnEvent(int tag) {
  if (tag == 1) goHome(*this);
  else if (tag == 2) goBack(*this, false);
}

}  // namespace yx
