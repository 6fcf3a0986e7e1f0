#include "campus/info/today_news.h"

#include "campus/info/guide_kit.h"
#include "core/screen_kit.h"
#include "platform/ui/common_views.h"

namespace yx {

std::string todayKindTitle(int kind) {
  static const char* const titles[] = {"本日消息", "首發消息", "本日活動", "首發活動"};
  return kind >= 1 && kind <= 4 ? titles[kind - 1] : "";
}

std::string todayActivityTime(std::string text) {
  for (char& c : text)
    if (c == 'T') c = ' ';
  const std::string tail = ":00+08:00";
  for (size_t at = text.find(tail); at != std::string::npos; at = text.find(tail, at)) text.erase(at, tail.size());
  return text;
}

TodayReadResult readTodayFeed(std::string_view body, bool activities, TodayItems& into) {
  auto doc = DomDocument::initWithData(body);
  if (!doc) return TodayReadResult::Unreadable;
  auto append = [](std::vector<std::string>& to, std::vector<std::string>& from, bool time = false) {
    to.reserve(to.size() + from.size());
    for (auto& s : from) to.push_back(time ? todayActivityTime(std::move(s)) : std::move(s));
  };
  if (!activities) {
    auto c = readItemColumns(*doc, "today", {"公告", "類別", "活動結束日期", "活動開始日期", "編號"});
    if (c[0].empty()) return TodayReadResult::NoItems;
    append(into.nameAry, c[0]);
    append(into.typeAry, c[1]);
    append(into.endTimeAry, c[2]);
    append(into.startTimeAry, c[3]);
    append(into.noAry, c[4]);
    return TodayReadResult::Read;
  }
  auto c = readItemColumns(*doc, "today",
                           {"課程名稱", "開課類別", "上課起始時間", "上課結束時間", "連結編號", "開始報名時間",
                            "結束報名時間", "開課對象", "上課地點"});
  if (c[0].empty()) return TodayReadResult::NoItems;
  append(into.nameAry, c[0]);
  append(into.typeAry, c[1]);
  append(into.startTimeAry, c[2], true);
  append(into.endTimeAry, c[3], true);
  append(into.noAry, c[4]);
  append(into.regStartTimeAry, c[5], true);
  append(into.regEndTimeAry, c[6], true);
  append(into.peopleAry, c[7]);
  append(into.placeAry, c[8]);
  return TodayReadResult::Read;
}

namespace {

// A row with the 40-point logo at the left and an 18-point text beside it.
std::shared_ptr<TableViewCell> logoCell(const std::string& logo, const std::string& text, bool wraps) {
  auto cell = make<TableViewCell>(TableViewCell::Style::Default, "schoolCall");
  cell->contentView().addSubview(make<ImageView>(Rect{5, 0, 40, 40}, logo));
  auto label = make<Label>(Rect{52, 0, 238, 40}, text);
  label->setName("myLbl");
  label->setFont(18);
  if (wraps) label->setNumberOfLines(0);
  cell->contentView().addSubview(label);
  cell->setShowsDisclosure(true);
  return cell;
}

std::string at(const std::vector<std::string>& column, size_t row) {
  return row < column.size() ? column[row] : std::string();
}

}  // namespace

// ---------------------------------------------------------------- kind menu

void todayNewsViewController::viewDidLoad() {
  addHeaderBar(*this, "本日訊息", 1, 2, [this](int tag) { btnEvent(tag); });
  myTableview_ = addTable(view(), areaBelow(44), "myTableview", this, this);
  myTableview_->setRowHeight(40);
}

std::shared_ptr<TableViewCell> todayNewsViewController::tableViewCellForRow(TableView&, IndexPath ip) {
  return logoCell("本日訊息", todayKindTitle(ip.row + 1), true);
}

void todayNewsViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  table.deselectRow(ip, true);
  auto list = std::make_shared<todayNewsDetailViewController>();
  list->setWhichNews(ip.row + 1);
  if (auto* nav = navigationController()) nav->pushViewController(list, false);
}

void todayNewsViewController::btnEvent(int tag) {
  if (tag == 2) goBack(*this);
  else if (tag == 1) goHome(*this);
}

// ---------------------------------------------------------------- item list

void todayNewsDetailViewController::viewDidLoad() {
  auto bar = addHeaderBar(*this, todayKindTitle(whichNews_), 1, 2, [this](int tag) { btnEvent(tag); });
  titleLabel_ = bar->findNamed<Label>("titleLabel");
  myTableview_ = addTable(view(), areaBelow(44, kCountBarTop), "myTableview", this, this);
  countLbl_ = addCountBar(*this);
  myActivity_ = addSpinner(view(), Rect{141.5, 265.5, 37, 37}, "myActivity");
  myActivity_->startAnimating();
  performAfterDelay(0.1, [this] { loadData(); });
}

void todayNewsDetailViewController::loadData() {
  auto url = serverURL("campus_data", "/data/xml/today-" + std::to_string(whichNews_) + ".xml");
  auto body = url ? fetchBody(*url) : std::nullopt;
  // No server, a failed transfer, an error page or a body that is no
  // document: the list stays empty and the spinner keeps turning.
  if (!body) return;
  switch (readTodayFeed(*body, todayKindIsActivity(whichNews_), items_)) {
    case TodayReadResult::Unreadable: return;
    case TodayReadResult::NoItems:
      AlertView::create("", "今天沒有" + (titleLabel_ ? titleLabel_->text() : "") + "唷！", sharedAs<AlertViewDelegate>(),
                        "確定")
          ->show();
      return;
    case TodayReadResult::Read:
      myActivity_->stopAnimating();
      myTableview_->reloadData();
      return;
  }
}

void todayNewsDetailViewController::alertViewClickedButtonAtIndex(AlertView&, int) {
  auto* nav = navigationController();
  if (nav && nav->topViewController() == this) nav->popViewControllerAnimated(true);
}

int todayNewsDetailViewController::tableViewNumberOfRowsInSection(TableView&, int) {
  return static_cast<int>(items_.nameAry.size());
}

std::shared_ptr<TableViewCell> todayNewsDetailViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = logoCell("今日訊息", at(items_.nameAry, static_cast<size_t>(ip.row)), false);
  countLbl_->setText(countText(static_cast<size_t>(tableViewNumberOfRowsInSection(table, 0))));
  return cell;
}

void todayNewsDetailViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  table.deselectRow(ip, true);
  const size_t row = static_cast<size_t>(ip.row);
  auto text = std::make_shared<todayNewsDetailDataViewController>();
  text->setTitleStr(whichNews_);
  text->setNameStr(at(items_.nameAry, row));
  text->setTypeStr(at(items_.typeAry, row));
  text->setStartTimeStr(at(items_.startTimeAry, row));
  text->setEndTimeStr(at(items_.endTimeAry, row));
  if (todayKindIsActivity(whichNews_)) {
    text->setRegStartTimeStr(at(items_.regStartTimeAry, row));
    text->setRegEndTimeStr(at(items_.regEndTimeAry, row));
    text->setPeopleStr(at(items_.peopleAry, row));
    text->setPlaceStr(at(items_.placeAry, row));
  }
  if (auto* nav = navigationController()) nav->pushViewController(text, false);
}

void todayNewsDetailViewController::btnEvent(int tag) {
  if (tag == 2) goBack(*this, false);
  else if (tag == 1) goHome(*this);
}

// ---------------------------------------------------------------- item text

std::string todayNewsDetailDataViewController::text() const {
  if (todayKindIsActivity(titleStr_))
    return "課程名稱：\n" + nameStr_ + "\n\n開課對象：" + peopleStr_ + "\n\n開課類別：" + typeStr_ + "\n\n上課地點：" +
           placeStr_ + "\n\n活動時間：\n" + startTimeStr_ + "~" + endTimeStr_ + "\n\n報名時間：\n" +
           regStartTimeStr_ + "~" + regEndTimeStr_;
  return "公告：\n" + nameStr_ + "\n\n類別：" + typeStr_ + "\n\n活動開始日期：" + startTimeStr_ +
         "\n\n活動結束日期：" + endTimeStr_;
}

void todayNewsDetailDataViewController::viewDidLoad() {
  addHeaderBar(*this, todayKindTitle(titleStr_), 1, 2, [this](int tag) { btnEvent(tag); });
  auto textView = make<TextView>(Rect{10, 54, 300, 504}, text());
  textView->setName("myTextView");
  textView->setEditable(false);
  textView->setFontSize(17);
  textView->setAutoresizingMask(Autoresizing::FlexibleSize);
  view().addSubview(textView);
}

void todayNewsDetailDataViewController::btnEvent(int tag) {
  if (tag == 2) goBack(*this, false);
  else if (tag == 1) goHome(*this);
}

}  // namespace yx
