#include "library/newSourceViewController.h"

#include "core/deployment.h"
#include "core/screen_kit.h"
#include "library/library_kit.h"
#include "library/news_feed.h"
#include "library/newSourceWebViewController.h"
#include "markup/text_util.h"
#include "platform/http.h"

namespace yx {

using namespace library;

newSourceCell::newSourceCell() : TableViewCell(Style::Default, "newSource") {
  setFrame(Rect{0, 0, kScreenWidth, 60});
  contentView().setFrame(Rect{0, 0, kScreenWidth, 60});
  dateLbl = make<Label>(Rect{8, 0, 52, 60});
  dateLbl->setName("dateLbl");
  dateLbl->setFont(14, true);
  dateLbl->setTextColor(Color::rgb(76, 140, 60));
  dateLbl->setAlignment(TextAlignment::Center);
  titleLbl = make<Label>(Rect{64, 4, 236, 52});
  titleLbl->setName("titleLbl");
  titleLbl->setFont(15);
  titleLbl->setNumberOfLines(2);
  titleLbl->setAutoresizingMask(Autoresizing::FlexibleWidth);
  contentView().addSubview(dateLbl);
  contentView().addSubview(titleLbl);
}

void newSourceViewController::viewDidLoad() {
  using namespace Autoresizing;
  view().setBackgroundColor(Color::white());
  addLibraryHeader(*this, "電子資源新訊", [this](int tag) { btnEvent(tag); });
  countLbl_ = make<Label>(Rect{10, 48, 300, 24});
  countLbl_->setName("countLbl");
  countLbl_->setFont(14);
  countLbl_->setAlignment(TextAlignment::Right);
  countLbl_->setAutoresizingMask(FlexibleWidth);
  view().addSubview(countLbl_);
  myTableview_ = make<TableView>(Rect{0, 76, 320, kScreenHeight - 76});
  myTableview_->setName("myTableview");
  myTableview_->setAutoresizingMask(FlexibleSize);
  view().addSubview(myTableview_);
  indicator_ = make<ActivityIndicator>(Rect{141.5, 265, 37, 37});
  indicator_->setName("indicator");
  indicator_->setLarge(true);
  indicator_->setAutoresizingMask(FlexibleLeftMargin | FlexibleRightMargin | FlexibleTopMargin |
                                  FlexibleBottomMargin);
  view().addSubview(indicator_);
  indicator_->startAnimating();
  performAfterDelay(0.1, [this] { startParser(); });
  myTableview_->setDelegate(this);
  myTableview_->setDataSource(this);
}

void newSourceViewController::startParser() {
  HttpResult r;
  try {
    r = httpGet(Deployment::current().url("library_web", "/xhr/announcements/rssfeed/59519819.rss"), 60);
  } catch (const DeploymentError&) {
    r.ok = false;
  }
  // No feed: an empty list, and the spinner keeps turning.
  if (!r.ok) return;
  auto items = parseNewsFeed(r.body);
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
