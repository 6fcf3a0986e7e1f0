#include "library/borrowReViewController.h"

#include "library/patron_activity.h"

namespace yx {

using namespace library;

borrowReCell::borrowReCell() : PatronCell("borrowRe") {
  barcodeLbl = addDetail("barcodeLbl");
  dueDateLbl = addDate("dueDateLbl", Color::rgb(51, 65, 76), false);
  dueDateLblOrange = addDate("dueDateLblOrange", Color::rgb(230, 126, 0), false);
  dueDateLblRed = addDate("dueDateLblRed", Color::rgb(208, 2, 27), true);
}

bool borrowReViewController::parserData(const std::optional<std::string>& bytes) {
  // Today once for the whole list, not once per row.
  today_ = todayAt(now());
  if (!bytes) return false;
  auto doc = PatronActivity::parse(*bytes);
  if (!doc) return false;
  auto loans = doc->checkouts();
  for (auto* list : {&dueDateAry_, &titleAry_, &statusAry_, &barcodeAry_, &formatAry_, &bibIdAry_})
    list->reserve(loans.size());
  for (auto& c : loans) appendLoan(std::move(c));
  return true;
}

std::string borrowReViewController::compareDate(const std::string& dueDate) const {
  return bandWord(dueBand(dueDate, today_));
}

std::shared_ptr<TableViewCell> borrowReViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = std::dynamic_pointer_cast<borrowReCell>(table.dequeueReusableCellWithIdentifier("borrowRe"));
  if (!cell) cell = std::make_shared<borrowReCell>();
  auto r = static_cast<size_t>(ip.row);
  if (r >= titleAry_.size()) return cell;
  cell->titleLbl->setText(titleAry_[r]);
  cell->barcodeLbl->setText("條碼號: " + barcodeAry_[r]);
  DueBand band = dueBand(dueDateAry_[r], today_);
  cell->dueDateLblRed->setText(band == DueBand::Overdue ? dueDateAry_[r] : "");
  cell->dueDateLblOrange->setText(band == DueBand::DueSoon ? dueDateAry_[r] : "");
  cell->dueDateLbl->setText(band == DueBand::NotDue ? dueDateAry_[r] : "");
  cell->imageView().setImageNamed(icons_.imageFor(formatAry_[r]));
  showCounts();
  return cell;
}

}  // namespace yx
