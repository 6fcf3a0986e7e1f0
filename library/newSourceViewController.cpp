#include "library/newSourceViewController.h"

#include "core/deployment.h"
#include "core/screen_kit.h"
#include "library/library_kit.h"
#include "library/news_feed.h"
#include "library/newSourceWebViewController.h"
#include "markup/text_util.h"
#include "platform/http.h"
#include "platform/ui/common_views.h"

namespace yx {

using namespace library;

newSourceCell::newSourceCell() : TableViewCell(Style::Default, "newSource") {
  setFrame(Rect{0, 0, kScreenWidth, 60});
  contentView().setFrame(Rect{0, 0, kScreenWidth, 60});
  dateLbl = addCellLabel(contentView(), Rect{8, 0, 52, 60}, "dateLbl", 14, Color::rgb(76, 140, 60),
                         TextAlignment::Center);
  dateLbl->setFont(14, true);
  titleLbl = addCellLabel(contentView(), Rect{64, 4, 236, 52}, "titleLbl", 15, Color::black(), TextAlignment::Left,
                          Autoresizing::FlexibleWidth);
  titleLbl->setNumberOfLines(2);
}

void newSourceViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addLibraryHeader(*this, "電子資源新訊", [this](int tag) { btnEvent(tag); });
  countLbl_ = addCountLabel(view());
  myTableview_ = addTable(view(), areaBelow(76), "myTableview", this, this);
  indicator_ = addSpinner(view(), Rect{141.5, 265, 37, 37}, "indicator");
  indicator_->startAnimating();
  performAfterDelay(0.1, [this] { startParser(); });
}

void newSourceViewController::startParser() {
  auto url = serverURL("library_web", "/xhr/announcements/rssfeed/59519819.rss");
  auto body = url ? fetchBody(*url) : std::nullopt;
  // No feed (an error page is none): an empty list, and the spinner keeps turning.
  if (!body) return;
  auto items = parseNewsFeed(*body);
  if (!items) return;
  for (auto& item : *items) {
    titleAry_.push_back(std::move(item.title));
    linkAry_.push_back(std::move(item.link));
    dateAry_.push_back(std::move(item.date));
  }
  indicator_->stopAnimating();
  myTableview_->reloadData();
  countLbl_->setText(countText(titleAry_.size()));
}

int newSourceViewController::tableViewNumberOfRowsInSection(TableView&, int) {
  return static_cast<int>(titleAry_.size());
}

std::shared_ptr<TableViewCell> newSourceViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = std::dynamic_pointer_cast<newSourceCell>(table.dequeueReusableCellWithIdentifier("newSource"));
  if (!cell) cell = std::make_shared<newSourceCell>();
  auto r = static_cast<size_t>(ip.row);
  if (r >= titleAry_.size()) return cell;
  cell->dateLbl->setText(dateAry_[r]);
  cell->titleLbl->setText(titleAry_[r]);
  cell->setShowsDisclosure(!linkAry_[r].empty());
  return cell;
}

double newSourceViewController::tableViewHeightForRow(TableView&, IndexPath) { return 60; }

void newSourceViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  table.deselectRow(ip, true);
  auto r = static_cast<size_t>(ip.row);
  if (r >= linkAry_.size()) return;
  // Only a web address opens a page; an item without one opens nothing.
  std::string link = markup::trimWhitespaceAndNewlines(linkAry_[r]);
  if (link.empty() || !isWebLink(link)) return;
  performSegueWithIdentifier("newWeb", &ip);
}

void newSourceViewController::prepareForSegue(const std::string& identifier, ViewController& destination,
                                              const void* sender) {
  if (identifier != "newWeb" || !sender) return;
  auto r = static_cast<size_t>(static_cast<const IndexPath*>(sender)->row);
  if (auto* web = dynamic_cast<newSourceWebViewController*>(&destination); web && r < linkAry_.size())
    web->setUrlStr(escapeLink(markup::trimWhitespaceAndNewlines(linkAry_[r])));
}

void newSourceViewController::btnEvent(int tag) {
  if (tag == 1) goHome(*this);
  else if (tag == 2) goBack(*this);
}

}  // namespace yx
