#include "library/libArriveViewController.h"

#include "library/patron_activity.h"

namespace yx {

using namespace library;

libArriveCell::libArriveCell() : TableViewCell(Style::Default, "libArrive") {
  using namespace Autoresizing;
  setFrame(Rect{0, 0, kScreenWidth, 76});
  contentView().setFrame(Rect{0, 0, kScreenWidth, 76});
  imageView().setFrame(Rect{8, 14, 48, 48});
  titleLbl = make<Label>(Rect{64, 4, 248, 40});
  titleLbl->setName("titleLbl");
  titleLbl->setFont(15);
  titleLbl->setNumberOfLines(2);
  titleLbl->setAutoresizingMask(FlexibleWidth);
  pickupLbl = make<Label>(Rect{64, 48, 150, 22});
  pickupLbl->setName("pickupLbl");
  pickupLbl->setFont(13);
  pickupLbl->setTextColor(Color::gray(0.4f));
  dueDateLbl = make<Label>(Rect{206, 48, 106, 22});
  dueDateLbl->setName("dueDateLbl");
  dueDateLbl->setFont(13);
  dueDateLbl->setTextColor(Color::rgb(51, 65, 76));
  dueDateLbl->setAlignment(TextAlignment::Right);
  dueDateLbl->setAutoresizingMask(FlexibleLeftMargin);
  for (auto& l : {titleLbl, pickupLbl, dueDateLbl}) contentView().addSubview(l);
}

bool libArriveViewController::parserData(const std::optional<std::string>& bytes) {
  if (!bytes) return false;
  auto doc = PatronActivity::parse(*bytes);
  if (!doc) return false;
  for (auto& r : doc->requests()) {
    dueDateAry_.push_back(std::move(r.dueDate));
    titleAry_.push_back(std::move(r.title));
    pickupAry_.push_back(std::move(r.pickupLocation));
    formatAry_.push_back(std::move(r.format));
    bibIdAry_.push_back(std::move(r.bibId));
  }
  return true;
}

std::shared_ptr<TableViewCell> libArriveViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = std::dynamic_pointer_cast<libArriveCell>(table.dequeueReusableCellWithIdentifier("libArrive"));
  if (!cell) cell = std::make_shared<libArriveCell>();
  auto r = static_cast<size_t>(ip.row);
  if (r >= titleAry_.size()) return cell;
  cell->titleLbl->setText(titleAry_[r]);
  cell->pickupLbl->setText("取書地點: " + pickupAry_[r]);
  cell->dueDateLbl->setText(dueDateAry_[r]);
  cell->imageView().setImageNamed(icons_.imageFor(formatAry_[r]));
  showCounts();
  return cell;
}

}  // namespace yx
