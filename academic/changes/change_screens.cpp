#include "academic/changes/change_screens.h"

#include "core/screen_kit.h"
#include "platform/dates.h"
#include "platform/settings.h"
#include "platform/ui/common_views.h"

namespace yx {

namespace A = Autoresizing;

const ChangeScreensConfig& ChangeScreensConfig::student() {
  static const ChangeScreensConfig c = [] {
    ChangeScreensConfig s;
    s.kind = &ChangeUserKind::student();
    s.pattern = "hl_p1.jpg";
    s.temporaryUsage = "暫時-學生";
    s.semesterUsage = "整學期-學生";
    s.semesterSegue = "Semester";
    s.semesterCell = "semesterCell";
    s.temporaryCell = "temporaryCell";
    s.noSemesterTitle = "訊息";
    s.noSemesterMessage = "沒有整學期異動之課程！";
    s.noTemporaryTitle = "訊息";
    s.noTemporaryMessage = "沒有暫時異動之課程！";
    s.semesterHomeTag = 1;
    s.semesterBackTag = 2;
    s.identityCaption = "學號";
    return s;
  }();
  return c;
}

const ChangeScreensConfig& ChangeScreensConfig::teacher() {
  static const ChangeScreensConfig c = [] {
    ChangeScreensConfig t;
    t.kind = &ChangeUserKind::teacher();
    t.pattern = "hl_g1.jpg";
    t.temporaryUsage = "暫時-老師";
    t.semesterUsage = "整學期-老師";
    t.semesterSegue = "semester";
    t.semesterCell = "teacherSemesterCell";
    t.temporaryCell = "temporaryCell";
    t.noSemesterTitle = "";
    t.noSemesterMessage = "尚未有整學期的課程異動。";
    t.noTemporaryTitle = "";
    t.noTemporaryMessage = "尚未有暫時的課程異動。";
    t.semesterHomeTag = 0;
    t.semesterBackTag = 1;
    t.identityCaption = "教師代號";
    return t;
  }();
  return c;
}

void popToIndex(ViewController& from, size_t index) {
  auto* nav = from.navigationController();
  if (!nav) return;
  const auto& stack = nav->viewControllers();
  if (index < stack.size() && stack[index].get() != nav->topViewController())
    nav->popToViewController(stack[index].get(), true);
}

namespace {

std::shared_ptr<Label> cellLabel(View& into, const char* name, Rect frame, double font, Color color,
                                 int lines = 1, bool bold = false) {
  auto l = make<Label>(frame);
  l->setName(name);
  l->setFont(font, bold);
  l->setTextColor(color);
  l->setNumberOfLines(lines);
  l->setAutoresizingMask(A::FlexibleWidth);
  into.addSubview(l);
  return l;
}

std::shared_ptr<TableView> changeTable(ViewController& vc, Rect frame) {
  auto table = addTable(vc.view(), frame, "myTableView");
  table->setRowHeight(ChangeCell::kHeight);
  return table;
}


}  // namespace

// --------------------------------------------------------------------- cells

ChangeCell::ChangeCell(const std::string& reuseIdentifier) : TableViewCell(Style::Default, reuseIdentifier) {
  setSelectable(false);
  View& c = contentView();
  const Color gray = Color::rgb(0x5f, 0x6b, 0x73), ink = Color::rgb(0x22, 0x2b, 0x33);
  departmentLbl_ = cellLabel(c, "departmentLbl", Rect{12, 6, 296, 18}, 12, gray, 0);
  subjectNameLbl_ = cellLabel(c, "subjectNameLbl", Rect{12, 26, 200, 24}, 17, ink, 1, true);
  teacherNameLbl_ = cellLabel(c, "teacherNameLbl", Rect{212, 26, 96, 24}, 14, gray);
  teacherNameLbl_->setAlignment(TextAlignment::Right);
  teacherNameLbl_->setAutoresizingMask(A::FlexibleLeftMargin);
  auto caption = [&](const char* text, double y, Color color) {
    auto l = make<Label>(Rect{12, y, 34, 20}, text);
    l->setFont(12, true);
    l->setTextColor(color);
    c.addSubview(l);
  };
  caption("原定", 54, gray);
  beforeDataLbl_ = cellLabel(c, "beforeDataLbl", Rect{48, 54, 260, 20}, 14, ink);
  caption("異動", 76, Color::rgb(0xc0, 0x39, 0x2b));
  afterDataLbl_ = cellLabel(c, "afterDataLbl", Rect{48, 76, 260, 38}, 14, Color::rgb(0xc0, 0x39, 0x2b), 0);
}

void ChangeCell::show(const std::string& department, const std::string& subject, const std::string& teacher,
                      const std::string& before, const std::string& after) {
  departmentLbl_->setText(department);
  subjectNameLbl_->setText(subject);
  teacherNameLbl_->setText(teacher);
  beforeDataLbl_->setText(before);
  afterDataLbl_->setText(after);
}

namespace {
std::shared_ptr<ChangeCell> changeCell(TableView& table, const std::string& reuse) {
  auto cell = std::dynamic_pointer_cast<ChangeCell>(table.dequeueReusableCellWithIdentifier(reuse));
  if (cell) return cell;
  if (reuse == "semesterCell") return std::make_shared<semesterCell>();
  if (reuse == "teacherSemesterCell") return std::make_shared<teacherSemesterCell>();
  return std::make_shared<temporaryCell>();
}
}  // namespace

// --------------------------------------------------------------------- entry

void ChangeEntryViewController::viewDidLoad() {
  view().setBackgroundPattern(config_.pattern);
  addHeaderBar(*this, "課程異動", 0, 1, [this](int tag) { btnEvent(tag); }, config_.pattern);

  auto intro = make<Label>(Rect{20, 60, 280, 44}, "課程調動、停課與補課的消息，會在課前提醒您。");
  intro->setName("introLbl");
  intro->setNumberOfLines(0);
  intro->setFont(14);
  intro->setAlignment(TextAlignment::Center);
  intro->setAutoresizingMask(A::FlexibleWidth);
  view().addSubview(intro);

  struct Entry {
    int tag;
    const char* title;
    double y;
  };
  for (Entry e : {Entry{2, "暫時異動", 124}, Entry{3, "整學期異動", 204}, Entry{4, "通知功能開關", 284}}) {
    auto b = make<Button>(Rect{40, e.y, 240, 60}, e.title);
    b->setTag(e.tag);
    b->setFontSize(19);
    b->setTitleColor(Color::rgb(0x22, 0x2b, 0x33));
    b->setBackgroundColor(Color::rgb(255, 255, 255, 0.92f));
    b->setBorder(1, 12, Color::rgb(0x9c, 0xa8, 0xb0));
    b->setAction([this](Button& btn) { btnEvent(btn.tag()); });
    b->setAutoresizingMask(A::FlexibleLeftMargin | A::FlexibleRightMargin);
    view().addSubview(b);
  }
  newMark_ = make<ImageView>(Rect{248, 116, 44, 24}, "new.png");
  newMark_->setName("newMark");
  newMark_->setHidden(true);
  newMark_->setAutoresizingMask(A::FlexibleLeftMargin | A::FlexibleRightMargin);
  view().addSubview(newMark_);

  userLbl_ = make<Label>(Rect{20, 520, 280, 30});
  userLbl_->setName("userLbl");
  userLbl_->setFont(13);
  userLbl_->setAlignment(TextAlignment::Center);
  userLbl_->setTextColor(Color::rgb(0x5f, 0x6b, 0x73));
  userLbl_->setAutoresizingMask(A::FlexibleWidth | A::FlexibleTopMargin);
  view().addSubview(userLbl_);
}

bool ChangeEntryViewController::newMarkShown() const { return newMark_ && !newMark_->hidden(); }

void ChangeEntryViewController::showMarkFromFlag() {
  if (Settings::standard().stringForKey(kTemporaryOpenedFlag).value_or("") == "NO") newMark_->setHidden(false);
}

std::optional<std::vector<std::string>> ChangeEntryViewController::courseNumbers() const {
  return storedCourseNumbers(*config_.kind);
}

void ChangeEntryViewController::startRecords(const std::string& identity) {
  userLbl_->setText(identity.empty() ? "" : config_.identityCaption + "：" + identity);
  records_ = ChangeRecords::load(*config_.kind, identity);
  resetAtSemesterStart(*records_);
  performAfterDelay(0.1, [this] { refreshFromFeed(); });
}

void ChangeEntryViewController::refreshFromFeed() {
  if (!records_ || records_->identity().empty()) return;  // no number to keep the records under
  auto feed = fetchCourseChangeFeed(kTemporaryChangesPath, kTemporaryItem, 60);
  if (!feed) return;
  auto courses = courseNumbers().value_or(std::vector<std::string>{});
  ChangeNoticeSink sink;
  if (announceNewChanges(*feed, courses, *records_, sink) > 0) {
    newMark_->setHidden(false);
    Settings::standard().setString(kTemporaryOpenedFlag, "NO");
  }
}

void ChangeEntryViewController::btnEvent(int tag) {
  switch (tag) {
    case 0:
      goHome(*this, false);
      break;
    case 1:
      popToIndex(*this, backIndex());
      break;
    case 2:
      userBehavior(config_.temporaryUsage);
      performSegueWithIdentifier("temporary");
      newMark_->setHidden(true);
      Settings::standard().setString(kTemporaryOpenedFlag, "YES");
      break;
    case 3:
      userBehavior(config_.semesterUsage);
      performSegueWithIdentifier(config_.semesterSegue);
      break;
    case 4:
      userBehavior("通知功能開關");
      performSegueWithIdentifier("Q&A");
      break;
    default:
      break;
  }
}

// ------------------------------------------------------------------ semester

void SemesterChangesViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, "整學期異動", config_.semesterHomeTag, config_.semesterBackTag,
               [this](int tag) { btnEvent(tag); }, config_.pattern);
  table_ = changeTable(*this, Rect{0, 44, 320, 524});
  table_->setDataSource(this);
  table_->setDelegate(this);
  performAfterDelay(0.1, [this] { load(); });
}

void SemesterChangesViewController::load() {
  auto feed = fetchCourseChangeFeed(kSemesterChangesPath, kSemesterItem, 60);
  if (!feed) return;  // no rows and no alert
  changes_ = changesForCourses(*feed, storedCourseNumbers(*config_.kind).value_or(std::vector<std::string>{}));
  table_->reloadData();
  // The list measures every row as it reloads (which finds this month's section).
  for (int s = 0; s < static_cast<int>(changes_.size()); ++s) table_->heightForRow({s, 0});
  if (changes_.empty())
    AlertView::create(config_.noSemesterTitle, config_.noSemesterMessage, sharedAs<AlertViewDelegate>(), "確定")
        ->show();
}

void SemesterChangesViewController::btnEvent(int tag) {
  if (tag == config_.semesterHomeTag) goHome(*this);
  else if (tag == config_.semesterBackTag) goBack(*this);
}

int SemesterChangesViewController::numberOfSectionsInTableView(TableView&) {
  return static_cast<int>(changes_.size());
}

int SemesterChangesViewController::tableViewNumberOfRowsInSection(TableView&, int) { return 1; }

std::shared_ptr<TableViewCell> SemesterChangesViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = changeCell(table, config_.semesterCell);
  if (ip.section >= 0 && ip.section < static_cast<int>(changes_.size())) {
    const CourseChange& c = changes_[static_cast<size_t>(ip.section)];
    cell->show(c.department, c.subject, c.teacher, c.before, c.after);
  }
  return cell;
}

double SemesterChangesViewController::tableViewHeightForRow(TableView& table, IndexPath ip) {
  // The first section of this month (other than the first) is brought into
  // view once, at the bottom.
  if (currentMonthSection_ == 0 && ip.section > 0 && ip.section < static_cast<int>(changes_.size())) {
    const std::string& after = changes_[static_cast<size_t>(ip.section)].after;
    if (after.substr(0, after.find('/')) == formatDate("M", now())) {
      currentMonthSection_ = ip.section;
      table.scrollToRow({ip.section, 0}, TableView::ScrollPosition::Bottom, true);
    }
  }
  return ChangeCell::kHeight;
}

void SemesterChangesViewController::alertViewClickedButtonAtIndex(AlertView&, int) { goBack(*this); }

// ----------------------------------------------------------------- temporary

std::string TemporaryChangesViewController::listKey(const std::string& suffix) const { return identity_ + suffix; }

void TemporaryChangesViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, "暫時異動", 0, 1, [this](int tag) { btnEvent(tag); }, config_.pattern);
  identity_ = storedIdentity(*config_.kind).value_or("");
  table_ = changeTable(*this, Rect{0, 44, 320, 468});
  table_->setDataSource(this);
  table_->setDelegate(this);

  auto footer = make<View>(Rect{0, 512, 320, 56});
  footer->setName("footerBar");
  footer->setBackgroundColor(Color::rgb(0xf2, 0xf4, 0xf5));
  footer->setAutoresizingMask(A::FlexibleWidth | A::FlexibleTopMargin);
  auto clear = make<Button>(Rect{90, 10, 140, 36}, "清除記錄");
  clear->setTag(2);
  clear->setTitleColor(Color::rgb(0xc0, 0x39, 0x2b));
  clear->setBorder(1, 8, Color::rgb(0xc0, 0x39, 0x2b));
  clear->setAction([this](Button& b) { btnEvent(b.tag()); });
  clear->setAutoresizingMask(A::FlexibleLeftMargin | A::FlexibleRightMargin);
  footer->addSubview(clear);
  view().addSubview(footer);

  performAfterDelay(0.1, [this] {
    if (identity_.empty() || !Settings::standard().objectForKey(listKey(config_.kind->departmentSuffix))) {
      auto a = AlertView::create(config_.noTemporaryTitle, config_.noTemporaryMessage, sharedAs<AlertViewDelegate>(),
                                 "確定");
      empty_ = a;
      a->show();
    }
  });
}

void TemporaryChangesViewController::btnEvent(int tag) {
  switch (tag) {
    case 0:
      goHome(*this);
      break;
    case 1:
      goBack(*this);
      break;
    case 2: {
      auto a = AlertView::create("", "確定要清除記錄嗎？", sharedAs<AlertViewDelegate>(), "確定刪除", {"取消刪除"});
      confirm_ = a;
      a->show();
      break;
    }
    default:
      break;
  }
}

int TemporaryChangesViewController::tableViewNumberOfRowsInSection(TableView&, int) {
  if (identity_.empty()) return 0;
  return static_cast<int>(storedStringList(listKey(config_.kind->departmentSuffix)).value_or(std::vector<std::string>{}).size());
}

std::shared_ptr<TableViewCell> TemporaryChangesViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = changeCell(table, config_.temporaryCell);
  // Read anew for each row; a shorter or odd list gives empty texts.
  auto entry = [&](const std::string& suffix) {
    auto list = storedStringList(listKey(suffix)).value_or(std::vector<std::string>{});
    return entryAt(list, static_cast<size_t>(ip.row));
  };
  const ChangeUserKind& k = *config_.kind;
  cell->show(entry(k.departmentSuffix), entry(k.subjectSuffix), entry(k.teacherSuffix), entry(k.beforeSuffix),
             entry(k.afterSuffix));
  return cell;
}

double TemporaryChangesViewController::tableViewHeightForRow(TableView&, IndexPath) { return ChangeCell::kHeight; }

void TemporaryChangesViewController::alertViewClickedButtonAtIndex(AlertView& alert, int index) {
  if (&alert == empty_.lock().get()) {
    goBack(*this);
    return;
  }
  if (&alert != confirm_.lock().get() || index != 0) return;
  // The seen-set stays: cleared changes are not announced again.
  if (!identity_.empty()) {
    ChangeRecords records(*config_.kind, identity_);
    records.clearLists();
  }
  Settings::standard().synchronize();
  table_->reloadData();
  auto& app = Application::shared();
  if (!app.scheduledLocalNotifications().empty()) app.cancelAllLocalNotifications();
  goBack(*this);
}

// ----------------------------------------------------------------------- Q&A

std::string changeNoticeQAViewController::text() {
  return "【什麼是課程異動通知？】\n"
         "老師請假調課、停課或補課時，學校會公布「暫時異動」；整學期的上課時間或教室調整則是「整學期異動」。"
         "登入後，雲岫學苑會比對您的課程，只通知與您有關的異動。\n\n"
         "【什麼時候會收到通知？】\n"
         "發現新的暫時異動時會立刻通知一次，並在原定上課日與異動日的前三天（68 小時）及前一小時各提醒一次。"
         "同一筆異動只通知一次；每年 8 月 1 日與 2 月 1 日新學期開始時，會重新檢查所有異動。\n\n"
         "【清除記錄】\n"
         "在「暫時異動」按「清除記錄」會刪除已記錄的異動，並取消所有尚未送出的提醒；已通知過的異動不會再通知。\n\n"
         "【關閉視窗也想收到通知？】\n"
         "視窗開著（包括縮小時）每 15 分鐘會檢查一次。若要在沒開視窗時也收到通知，請在終端機執行：\n"
         "yunxiu-cli --install-refresh-timer\n"
         "之後系統每 30 分鐘會在背景檢查一次，並把通知送到桌面。不再需要時執行：\n"
         "yunxiu-cli --remove-refresh-timer";
}

void changeNoticeQAViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, "通知功能說明", 1, 2, [this](int tag) {
    if (tag == 1) goHome(*this, false);
    else goBack(*this, false);
  });
  auto tv = make<TextView>(Rect{10, 50, 300, 508}, text());
  tv->setName("qaText");
  tv->setEditable(false);
  tv->setFontSize(15);
  tv->setAutoresizingMask(A::FlexibleSize);
  view().addSubview(tv);
}

}  // namespace yx
