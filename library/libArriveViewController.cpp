#include "library/libArriveViewController.h"

#include "library/patron_activity.h"

namespace yx {

using namespace library;

libArriveCell::libArriveCell() : PatronCell("libArrive") {
  // Pickup places are longer than barcodes; hold dates are plain dates.
  pickupLbl = addDetail("pickupLbl", 168);
  dueDateLbl = addDate("dueDateLbl", Color::rgb(51, 65, 76), false, 234);
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
