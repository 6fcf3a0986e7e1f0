#include "library/patron_list.h"

#include "core/screen_kit.h"
#include "library/borrowReViewController.h"
#include "library/libArriveViewController.h"
#include "library/libWebViewController.h"
#include "library/patron_activity.h"
#include "library/timeOutViewController.h"

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

void PatronListViewController::viewDidLoad() {
  using namespace Autoresizing;
  view().setBackgroundColor(Color::white());
  addLibraryHeader(*this, headerTitle(), [this](int tag) { btnEvent(tag); });

  countLbl_ = make<Label>(Rect{10, 48, 300, 24});
  countLbl_->setName("countLbl");
  countLbl_->setFont(14);
  countLbl_->setAlignment(TextAlignment::Right);
  countLbl_->setAutoresizingMask(FlexibleWidth);
  view().addSubview(countLbl_);

  double top = 76 + addViewsAboveTable(76);
  myTableview_ = make<TableView>(Rect{0, top, 320, kScreenHeight - top});
  myTableview_->setName("myTableview");
  myTableview_->setAutoresizingMask(FlexibleSize);
  view().addSubview(myTableview_);
  myTableview_->setDelegate(this);
  myTableview_->setDataSource(this);

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
