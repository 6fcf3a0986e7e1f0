#include "phone/frequent_numbers.h"

#include "core/screen_kit.h"
#include "phone/phone_kit.h"
#include "platform/text.h"
#include "platform/ui/common_views.h"

namespace yx::phone {

schoolCallOftenCell::schoolCallOftenCell() : TableViewCell(Style::Default, "schoolCallOften") {
  titleLbl_ = make<Label>(Rect{10, 4, 190, 22});
  titleLbl_->setName("titleLbl");
  titleLbl_->setFont(16, true);
  contentView().addSubview(titleLbl_);
  timeLbl_ = make<Label>(Rect{10, 27, 190, 22});
  timeLbl_->setName("timeLbl");
  timeLbl_->setTextColor(Color::gray(0.35f));
  contentView().addSubview(timeLbl_);
}

Rect schoolCallOftenViewController::buttonFrame(size_t characters) {
  if (characters < 5) return Rect{270, 2, 50, 30};
  const double l = static_cast<double>(characters);
  return Rect{310 - 10 * l, 2, 10 * l + 10, 30};
}

void schoolCallOftenViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, "常用分機", 1, 2, [this](int tag) { btnEvent(tag); });
  auto bar = make<View>(Rect{0, 44, 320, 40});
  bar->setName("toolBar");
  bar->setBackgroundPattern("hl_b1.jpg");
  bar->setAutoresizingMask(Autoresizing::FlexibleWidth);
  auto note = make<Label>(Rect{10, 5, 200, 30}, "點選號碼即可再次撥打");
  note->setFont(14);
  note->setTextColor(Color::white());
  bar->addSubview(note);
  auto clear = makeButton(Rect{220, 5, 90, 30}, "清除記錄", "btnEvent", [this](Button& b) { btnEvent(b.tag()); });
  clear->setTag(3);
  clear->setTitleColor(Color::white());
  clear->setBorder(1, 6, Color::white());
  bar->addSubview(clear);
  view().addSubview(bar);

  record_ = CallRecord::loadAsStored();
  // The last three calls, newest first; a list shorter than the other reads "" where it ends.
  const size_t phones = record_.phoneCount(), times = record_.timeCount();
  for (size_t r = 0; r < std::min<size_t>(phones, 3); ++r)
    recent_.push_back({record_.phoneAt(phones - 1 - r), r < times ? record_.timeAt(times - 1 - r) : std::string()});
  btnImage_ = "分機號碼背景.png";

  table_ = addTable(view(), areaBelow(84), "myTableView", this, this);
  performAfterDelay(0.1, [this] { startSort(); });
}

void schoolCallOftenViewController::startSort() {
  sortedKeys_ = record_.ranking();
  table_->reloadData();
}

int schoolCallOftenViewController::tableViewNumberOfRowsInSection(TableView&, int section) {
  return static_cast<int>(section == 0 ? recent_.size() : sortedKeys_.size());
}

std::string schoolCallOftenViewController::tableViewTitleForHeaderInSection(TableView&, int section) {
  return section == 0 ? "最近三次" : "撥打排行";
}

std::shared_ptr<TableViewCell> schoolCallOftenViewController::tableViewCellForRow(TableView&, IndexPath ip) {
  auto cell = make<schoolCallOftenCell>();
  const auto row = static_cast<size_t>(ip.row);
  std::string number;
  if (ip.section == 0) {
    number = recent_[row].number;
    cell->timeLbl().setFont(16);
    cell->timeLbl().setText(recent_[row].time);
  } else {
    number = sortedKeys_[row];
    cell->timeLbl().setText("撥打次數 : " + record_.countTextFor(number));
  }
  cell->titleLbl().setText(record_.nameFor(number).value_or(""));
  auto b = makeButton(buttonFrame(utf8Length(number)), number, "teleClick", [this](Button& x) { teleClick(x); });
  b->setTitleColor(Color::white());
  b->setBackgroundImage(btnImage_);
  cell->contentView().addSubview(b);
  return cell;
}

void schoolCallOftenViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) { table.deselectRow(ip, true); }

void schoolCallOftenViewController::teleClick(Button& button) { record_.redial(button.title()); }

void schoolCallOftenViewController::btnEvent(int tag) {
  switch (tag) {
    case 3:
      AlertView::create("", "確定要清除記錄嗎？", sharedAs<AlertViewDelegate>(), "確定", {"取消"})->show();
      break;
    case 2: goBack(*this); break;
    case 1: goHome(*this); break;
    default: break;
  }
}

void schoolCallOftenViewController::alertViewClickedButtonAtIndex(AlertView&, int index) {
  if (index != 0) return;
  record_.clearStored();
  sortedKeys_.clear();
  recent_.clear();
  table_->reloadData();
  showAlert("", "清除成功！", "確定");
}

}  // namespace yx::phone
