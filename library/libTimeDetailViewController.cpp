#include "library/libTimeDetailViewController.h"

#include "core/screen_kit.h"
#include "library/library_kit.h"
#include "platform/dates.h"
#include "platform/ui/common_views.h"

#include <cstdio>
#include <cstdlib>

namespace yx {

using namespace library;

void libTimeDetailViewController::setContentDic(std::vector<std::string> dates, std::vector<std::string> names) {
  dates_ = std::move(dates);
  names_ = std::move(names);
  names_.resize(dates_.size());
}

void libTimeDetailViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addLibraryHeader(*this, "休館日", [this](int tag) { btnEvent(tag); });
  countLbl_ = addCountLabel(view());
  countLbl_->setText(countText(dates_.size()));
  myTableview_ = addTable(view(), areaBelow(76), "myTableview", this, this);
}

void libTimeDetailViewController::viewDidAppear(bool) {
  // Once, when the list first shows with its rows loaded.
  if (scrolled_) return;
  scrolled_ = true;
  if (auto row = presentRow(dates_, formatDate("MM", now())))
    myTableview_->scrollToRow(IndexPath{0, *row}, TableView::ScrollPosition::Top, true);
}

std::optional<int> libTimeDetailViewController::presentRow(const std::vector<std::string>& dates,
                                                           const std::string& month) {
  int current = std::atoi(month.c_str());
  if (current < 1 || current > 12) return std::nullopt;
  char previous[3];
  std::snprintf(previous, sizeof previous, "%02d", current == 1 ? 12 : current - 1);
  for (size_t r = 0; r < dates.size(); ++r) {
    // Characters 5 and 6 (counted from 1); a shorter date has no month.
    const std::string& d = dates[r];
    std::vector<size_t> starts;
    for (size_t i = 0; i < d.size() && starts.size() <= 6; ++i)
      if ((static_cast<unsigned char>(d[i]) & 0xC0) != 0x80) starts.push_back(i);
    if (starts.size() < 6) continue;
    size_t end = starts.size() > 6 ? starts[6] : d.size();
    std::string m = d.substr(starts[4], end - starts[4]);
    int target;
    if (m == month) target = static_cast<int>(r);
    else if (m == previous) target = static_cast<int>(r) - 1;
    else continue;
    if (target >= 1) return target;
    return std::nullopt;
  }
  return std::nullopt;
}

int libTimeDetailViewController::tableViewNumberOfRowsInSection(TableView&, int) {
  return static_cast<int>(dates_.size());
}

std::shared_ptr<TableViewCell> libTimeDetailViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = table.dequeueReusableCellWithIdentifier("libTimeDetail");
  if (!cell) cell = make<TableViewCell>(TableViewCell::Style::Subtitle, "libTimeDetail");
  auto r = static_cast<size_t>(ip.row);
  cell->textLabel().setText(r < dates_.size() ? dates_[r] : "");
  cell->detailTextLabel().setText(r < names_.size() ? names_[r] : "");
  return cell;
}

double libTimeDetailViewController::tableViewHeightForRow(TableView&, IndexPath) { return 50; }

void libTimeDetailViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) { table.deselectRow(ip, true); }

void libTimeDetailViewController::btnEvent(int tag) {
  if (tag == 1) goHome(*this);
  else if (tag == 2) goBack(*this, false);
}

}  // namespace yx
