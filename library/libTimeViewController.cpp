#include "library/libTimeViewController.h"

#include "core/deployment.h"
#include "core/screen_kit.h"
#include "library/libOpenTimeViewController.h"
#include "library/libTimeDetailViewController.h"
#include "library/library_kit.h"
#include "platform/http.h"
#include "platform/ui/common_views.h"

namespace yx {

using namespace library;

void libTimeViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addLibraryHeader(*this, "開放時間", [this](int tag) { btnEvent(tag); });
  myTableview_ = addTable(view(), areaBelow(44), "myTableview", this, this);
  startParser();
}

void libTimeViewController::startParser() {
  // An error page is no document of hours: it reads as none.
  auto url = serverURL("library_info", "/vesplint/open.xml");
  auto body = url ? fetchBody(*url) : std::nullopt;
  hours_ = body ? OpeningHours::parse(*body) : OpeningHours{};
  titlAry_ = hours_.menuRows();
  detailAry_.assign(4, "");
  myTableview_->reloadData();
}

int libTimeViewController::tableViewNumberOfRowsInSection(TableView&, int) {
  return static_cast<int>(titlAry_.size());
}

std::shared_ptr<TableViewCell> libTimeViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = table.dequeueReusableCellWithIdentifier("libTime");
  if (!cell) cell = make<TableViewCell>(TableViewCell::Style::Value1, "libTime");
  auto r = static_cast<size_t>(ip.row);
  cell->textLabel().setText(r < titlAry_.size() ? titlAry_[r] : "");
  cell->detailTextLabel().setText(r < detailAry_.size() ? detailAry_[r] : "");
  cell->setShowsDisclosure(true);
  return cell;
}

void libTimeViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  table.deselectRow(ip, true);
  auto r = static_cast<size_t>(ip.row);
  if (r >= titlAry_.size()) return;
  if (titlAry_[r] == "休館日") {
    performSegueWithIdentifier("libTimeDetail");
    return;
  }
  std::string term = termForRow(titlAry_[r]);
  if (term.empty() || !hours_.open.count(term)) return;  // a term the document does not have
  term_ = term;
  performSegueWithIdentifier("libOpenTimeDetail");
}

void libTimeViewController::prepareForSegue(const std::string& identifier, ViewController& destination,
                                            const void*) {
  if (identifier == "libTimeDetail") {
    if (auto* d = dynamic_cast<libTimeDetailViewController*>(&destination))
      d->setContentDic(hours_.closeDates, hours_.closeNames);
  } else if (identifier == "libOpenTimeDetail") {
    if (auto* d = dynamic_cast<libOpenTimeViewController*>(&destination)) {
      d->setTitleStr(term_);
      d->setOpenTimeDic(hours_.open);
    }
  }
}

void libTimeViewController::btnEvent(int tag) {
  if (tag == 1) goHome(*this);
  else if (tag == 2) goBack(*this);
}

}  // namespace yx
