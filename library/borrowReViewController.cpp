#include "library/borrowReViewController.h"

#include "library/patron_activity.h"

namespace yx {

using namespace library;

namespace {
const Color kNormal = Color::rgb(51, 65, 76);
const Color kOrange = Color::rgb(230, 126, 0);
const Color kRed = Color::rgb(208, 2, 27);
}  // namespace

borrowReCell::borrowReCell() : TableViewCell(Style::Default, "borrowRe") {
  using namespace Autoresizing;
  setFrame(Rect{0, 0, kScreenWidth, 76});
  contentView().setFrame(Rect{0, 0, kScreenWidth, 76});
  imageView().setFrame(Rect{8, 14, 48, 48});
  auto add = [&](Rect frame, const char* name, double size, Color color, TextAlignment align) {
    auto l = make<Label>(frame);
    l->setName(name);
    l->setFont(size);
    l->setTextColor(color);
    l->setAlignment(align);
    contentView().addSubview(l);
    return l;
  };
  titleLbl = add(Rect{64, 4, 248, 40}, "titleLbl", 15, Color::black(), TextAlignment::Left);
  titleLbl->setNumberOfLines(2);
  titleLbl->setAutoresizingMask(FlexibleWidth);
  barcodeLbl = add(Rect{64, 48, 140, 22}, "barcodeLbl", 13, Color::gray(0.4f), TextAlignment::Left);
  dueDateLbl = add(Rect{196, 48, 116, 22}, "dueDateLbl", 13, kNormal, TextAlignment::Right);
  dueDateLblOrange = add(Rect{196, 48, 116, 22}, "dueDateLblOrange", 13, kOrange, TextAlignment::Right);
  dueDateLblRed = add(Rect{196, 48, 116, 22}, "dueDateLblRed", 13, kRed, TextAlignment::Right);
  for (auto* l : {dueDateLbl.get(), dueDateLblOrange.get(), dueDateLblRed.get()})
    l->setAutoresizingMask(FlexibleLeftMargin);
  dueDateLblRed->setFont(13, true);
}

bool borrowReViewController::parserData(const std::optional<std::string>& bytes) {
  today_ = todayAt(now());
  if (!bytes) return false;
  auto doc = PatronActivity::parse(*bytes);
  if (!doc) return false;
  auto loans = doc->checkouts();
  for (auto* list : {&dueDateAry_, &titleAry_, &statusAry_, &barcodeAry_, &formatAry_, &bibIdAry_})
    list->reserve(loans.size());
  for (auto& c : loans) {
    dueDateAry_.push_back(std::move(c.dueDate));
    titleAry_.push_back(std::move(c.title));
    statusAry_.push_back(std::move(c.status));
    barcodeAry_.push_back(std::move(c.barcode));
    formatAry_.push_back(std::move(c.format));
    bibIdAry_.push_back(std::move(c.bibId));
  }
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
