#include "library/timeOutViewController.h"

#include "library/patron_activity.h"

namespace yx {

using namespace library;

timeOutCell::timeOutCell() : PatronCell("timeOut") {
  barcodeLbl = addDetail("barcodeLbl");
  dueDateLbl = addDate("dueDateLbl", Color::rgb(208, 2, 27), true);
}

std::string timeOutViewController::noticeText(unsigned long count) {
  return "目前共有 " + std::to_string(count) +
         " 筆逾期資料：每逾期1日，圖書每冊罰2元，非書資料每件罰10元。請盡速歸還，以免被停權。";
}

double timeOutViewController::addViewsAboveTable(double y) {
  statusTextview_ = make<TextView>(Rect{10, y, 300, 66});
  statusTextview_->setName("statusTextview");
  statusTextview_->setEditable(false);
  statusTextview_->setFontSize(14);
  statusTextview_->setAutoresizingMask(Autoresizing::FlexibleWidth);
  view().addSubview(statusTextview_);
  return 70;
}

bool timeOutViewController::parserData(const std::optional<std::string>& bytes) {
  if (!bytes) return false;
  auto doc = PatronActivity::parse(*bytes);
  if (!doc) return false;
  for (auto& c : doc->checkouts())
    if (c.status == "overdue") appendLoan(std::move(c));
  return true;
}

void timeOutViewController::showCounts() {
  PatronListViewController::showCounts();
  statusTextview_->setText(noticeText(titleAry_.size()));
}

std::shared_ptr<TableViewCell> timeOutViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = std::dynamic_pointer_cast<timeOutCell>(table.dequeueReusableCellWithIdentifier("timeOut"));
  if (!cell) cell = std::make_shared<timeOutCell>();
  auto r = static_cast<size_t>(ip.row);
  if (r >= titleAry_.size()) return cell;
  cell->titleLbl->setText(titleAry_[r]);
  cell->barcodeLbl->setText("條碼號: " + barcodeAry_[r]);
  cell->dueDateLbl->setText(dueDateAry_[r]);
  cell->imageView().setImageNamed(icons_.imageFor(formatAry_[r]));
  showCounts();
  return cell;
}

}  // namespace yx
