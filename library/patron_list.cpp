#include "library/patron_list.h"

#include "core/screen_kit.h"
#include "library/borrowReViewController.h"
#include "library/libArriveViewController.h"
#include "library/libWebViewController.h"
#include "library/patron_activity.h"
#include "library/timeOutViewController.h"
#include "platform/ui/common_views.h"

namespace yx {

using namespace library;

void handOverPatronData(const std::string& identifier, ViewController& destination) {
  if (identifier == "libBorrow") {
    if (auto* d = dynamic_cast<borrowReViewController*>(&destination)) d->setBorrowData(storedPatronData());
  } else if (identifier == "timeOut") {
    if (auto* d = dynamic_cast<timeOutViewController*>(&destination)) d->setLibData(storedPatronData());
  } else if (identifier == "libArrive") {
    if (auto* d = dynamic_cast<libArriveViewController*>(&destination)) d->setArriveData(storedPatronData());
  }
}

PatronCell::PatronCell(std::string reuseIdentifier) : TableViewCell(Style::Default, std::move(reuseIdentifier)) {
  setFrame(Rect{0, 0, kScreenWidth, 76});
  contentView().setFrame(Rect{0, 0, kScreenWidth, 76});
  imageView().setFrame(Rect{8, 14, 48, 48});
  titleLbl = addCellLabel(contentView(), Rect{64, 4, 248, 40}, "titleLbl", 15, Color::black(), TextAlignment::Left,
                          Autoresizing::FlexibleWidth);
  titleLbl->setNumberOfLines(2);
}

std::shared_ptr<Label> PatronCell::addDetail(const char* name, double width) {
  return addCellLabel(contentView(), Rect{64, 48, width, 22}, name, 13, Color::gray(0.4f));
}

std::shared_ptr<Label> PatronCell::addDate(const char* name, Color color, bool bold, double dateX) {
  auto l = addCellLabel(contentView(), Rect{dateX, 48, 312 - dateX, 22}, name, 13, color, TextAlignment::Right,
                        Autoresizing::FlexibleLeftMargin);
  l->setFont(13, bold);
  return l;
}

void PatronListViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addLibraryHeader(*this, headerTitle(), [this](int tag) { btnEvent(tag); });
  countLbl_ = addCountLabel(view());
  const double top = 76 + addViewsAboveTable(76);
  myTableview_ = addTable(view(), areaBelow(top), "myTableview", this, this);

  titleAry_.clear();
  if (!parserData(data_)) return;
  myTableview_->reloadData();
  if (titleAry_.empty()) {
    AlertView::create("", emptyMessage(), sharedAs<AlertViewDelegate>(), "確定")->show();
    return;
  }
  // What the first row display shows, before the first row is drawn.
  showCounts();
}

void PatronListViewController::showCounts() { countLbl_->setText(countText(titleAry_.size())); }

void PatronListViewController::appendLoan(Checkout&& c) {
  dueDateAry_.push_back(std::move(c.dueDate));
  titleAry_.push_back(std::move(c.title));
  statusAry_.push_back(std::move(c.status));
  barcodeAry_.push_back(std::move(c.barcode));
  formatAry_.push_back(std::move(c.format));
  bibIdAry_.push_back(std::move(c.bibId));
}

int PatronListViewController::tableViewNumberOfRowsInSection(TableView&, int) {
  return static_cast<int>(titleAry_.size());
}

double PatronListViewController::tableViewHeightForRow(TableView&, IndexPath) { return 76; }

void PatronListViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  table.deselectRow(ip, true);
  performSegueWithIdentifier("libWeb", &ip);
}

void PatronListViewController::prepareForSegue(const std::string& identifier, ViewController& destination,
                                               const void* sender) {
  if (identifier != "libWeb" || !sender) return;
  const auto* ip = static_cast<const IndexPath*>(sender);
  auto* web = dynamic_cast<libWebViewController*>(&destination);
  if (web && ip->row >= 0 && ip->row < static_cast<int>(bibIdAry_.size()))
    web->setBibId(bibIdAry_[static_cast<size_t>(ip->row)]);
}

void PatronListViewController::btnEvent(int tag) {
  if (tag == 1) {
    goHome(*this);
  } else if (tag == 2) {
    leavePatronList(*this);
  }
}

void PatronListViewController::alertViewClickedButtonAtIndex(AlertView&, int index) {
  if (index == 0) leavePatronList(*this);
}

}  // namespace yx
