#include "library/timeOutViewController.h"

#include "library/patron_activity.h"

namespace yx {

using namespace library;

timeOutCell::timeOutCell() : TableViewCell(Style::Default, "timeOut") {
  using namespace Autoresizing;
  setFrame(Rect{0, 0, kScreenWidth, 76});
  contentView().setFrame(Rect{0, 0, kScreenWidth, 76});
  imageView().setFrame(Rect{8, 14, 48, 48});
  titleLbl = make<Label>(Rect{64, 4, 248, 40});
  titleLbl->setName("titleLbl");
  titleLbl->setFont(15);
  titleLbl->setNumberOfLines(2);
  titleLbl->setAutoresizingMask(FlexibleWidth);
  barcodeLbl = make<Label>(Rect{64, 48, 140, 22});
  barcodeLbl->setName("barcodeLbl");
  barcodeLbl->setFont(13);
  barcodeLbl->setTextColor(Color::gray(0.4f));
  dueDateLbl = make<Label>(Rect{196, 48, 116, 22});
  dueDateLbl->setName("dueDateLbl");
  dueDateLbl->setFont(13, true);
  dueDateLbl->setTextColor(Color::rgb(208, 2, 27));
  dueDateLbl->setAlignment(TextAlignment::Right);
  dueDateLbl->setAutoresizingMask(FlexibleLeftMargin);
  for (auto& l : {titleLbl, barcodeLbl, dueDateLbl}) contentView().addSubview(l);
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
  for (auto& c : doc->checkouts()) {
    if (c.status != "overdue") continue;
    dueDateAry_.push_back(std::move(c.dueDate));
    titleAry_.push_back(std::move(c.title));
    statusAry_.push_back(std::move(c.status));
    barcodeAry_.push_back(std::move(c.barcode));
    formatAry_.push_back(std::move(c.format));
    bibIdAry_.push_back(std::move(c.bibId));
  }
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
