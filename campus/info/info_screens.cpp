#include "campus/info/info_screens.h"

#include "campus/info/info_loaders.h"
#include "core/deployment.h"
#include "core/screen_kit.h"
#include "markup/feed_loader.h"
#include "platform/escape.h"
#include "platform/files.h"
#include "platform/ui/common_views.h"
#include "platform/ui/view.h"


namespace yx {

const std::vector<std::string>& newsCategories() {
  static const std::vector<std::string> k = {"全部", "藝文活動", "學術活動", "推廣教育", "社團活動", "其他活動", "行政事項"};
  return k;
}

const std::vector<std::string>& activityCategories() {
  static const std::vector<std::string> k = {"全部",   "研討會", "專題演講/講座", "研習活動", "工作坊",
                                             "藝文活動", "座談/說明會", "成果展",     "參訪觀摩", "其它"};
  return k;
}

void reportUsageExit() { startUsageExitReport(); }

std::optional<FeedRecords> readFeedCache(const std::string& itemElement, const std::vector<std::string>& fields) {
  return FeedRecords::readFile(FeedLoaderViewController::cachePath(itemElement), fields);
}

namespace {

std::string firstPart(const std::string& text) {
  auto br = text.find("<br>");
  return br == std::string::npos ? text : text.substr(0, br);
}

std::string withoutBreaks(std::string text) {
  replaceAll(text, "<br>", "");
  return text;
}

void popToFirst(ViewController& vc, bool animated) {
  auto* nav = vc.navigationController();
  if (!nav || nav->viewControllers().empty()) return;
  nav->popToViewController(nav->viewControllers().front().get(), animated);
}

}  // namespace

// -------------------------------------------------------------------- lists

bool InfoListViewController::readCache() {
  if (records_) return true;  // handed over by the loader
  auto cached = readFeedCache(cacheName(), fieldNames());
  records_ = std::make_shared<const FeedRecords>(cached ? std::move(*cached) : FeedRecords(fieldNames()));
  return cached.has_value();
}

void InfoListViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  hl_ = addHeaderBar(*this, headerTitle(), 1, 2, [this](int tag) { btnEvent(tag); });

  auto kindBtn = make<Button>(Rect{10, 49, 90, 30}, "類別選擇");
  kindBtn->setTag(3);
  kindBtn->setAction([this](Button& b) { btnEvent(b.tag()); });
  view().addSubview(kindBtn);
  countLbl_ = make<Label>(Rect{180, 49, 130, 30});
  countLbl_->setName("countLbl");
  countLbl_->setAutoresizingMask(Autoresizing::FlexibleLeftMargin);
  countLbl_->setAlignment(TextAlignment::Right);
  view().addSubview(countLbl_);

  myTableview_ = addTable(view(), areaBelow(84), "myTableview");

  alphaBtn_ = make<Button>(Rect{0, 0, 320, 568});
  alphaBtn_->setName("alphaBtn");
  alphaBtn_->setAutoresizingMask(Autoresizing::FlexibleSize);
  alphaBtn_->setTag(4);
  alphaBtn_->setBackgroundColor(Color::gray(0, 0.5f));
  alphaBtn_->setHidden(true);
  alphaBtn_->setAction([this](Button& b) { btnEvent(b.tag()); });
  view().addSubview(alphaBtn_);

  chooseTableview_ = addTable(view(), Rect{40, 100, 240, 360}, "chooseTableview", nullptr, nullptr,
                              Autoresizing::FlexibleTopMargin | Autoresizing::FlexibleHeight |
                                  Autoresizing::FlexibleBottomMargin);
  chooseTableview_->setTag(111);
  chooseTableview_->setHidden(true);
  chooseTableview_->setBorder(1, 10);  // a framed popup over the dimmed list

  kindAry_ = kinds();
  bool found = readCache();
  if (rowHeight() > 0) {
    myTableview_->setRowHeight(rowHeight());
    chooseTableview_->setRowHeight(rowHeight());
  }
  for (auto& t : {myTableview_, chooseTableview_}) {
    t->setDelegate(this);
    t->setDataSource(this);
  }
  countLbl_->setText(countText(records_->size()));
  if (!found) showAlert("提醒", "此類別目前無相關資訊。", "確定");
}

int InfoListViewController::tableViewNumberOfRowsInSection(TableView& table, int) {
  if (table.tag() == 111) return static_cast<int>(kindAry_.size());
  return records_ ? static_cast<int>(records_->size()) : 0;
}

std::shared_ptr<TableViewCell> InfoListViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = table.dequeueReusableCellWithIdentifier(cellIdentifier());
  if (!cell) {
    cell = make<TableViewCell>(TableViewCell::Style::Default, cellIdentifier());
    auto logo = make<ImageView>(Rect{5, 0, 40, 40}, logoImage());
    logo->setName("logo");
    cell->contentView().addSubview(logo);
    auto lbl = make<Label>(Rect{50, 5, 270, 30});
    lbl->setName("myLbl");
    lbl->setBackgroundColor(Color::clear());
    lbl->setTextColor(Color::black());
    if (rowHeight() > 0) {
      // Two lines of a long title fit the 30-point label of a 40-point row.
      lbl->setNumberOfLines(0);
      lbl->setFont(12);
    }
    cell->contentView().addSubview(lbl);
  }
  auto* logo = cell->contentView().findNamed<ImageView>("logo");
  auto* lbl = cell->contentView().findNamed<Label>("myLbl");
  if (table.tag() == 111) {
    cell->setShowsDisclosure(false);
    cell->setShowsCheckmark(ip.row == category_);
    cell->textLabel().setFont(16);
    cell->textLabel().setText(ip.row < static_cast<int>(kindAry_.size()) ? kindAry_[ip.row] : "");
    if (logo) logo->setHidden(true);
    if (lbl) lbl->setText("");
  } else {
    cell->setShowsDisclosure(true);
    cell->setShowsCheckmark(false);
    cell->textLabel().setText("");
    if (logo) logo->setHidden(false);
    if (lbl) lbl->setText(rowText(ip.row));
  }
  return cell;
}

double InfoListViewController::tableViewHeightForRow(TableView&, IndexPath) { return rowHeight(); }

void InfoListViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  auto* nav = navigationController();
  if (table.tag() == 111) {
    Files::removeItem(FeedLoaderViewController::cachePath(cacheName()));
    auto loader = makeLoader(ip.row);
    if (nav) nav->pushViewController(loader, false);
    return;
  }
  table.deselectRow(ip, true);
  if (nav) nav->pushViewController(makeDetail(ip.row), true);
}

void InfoListViewController::btnEvent(int tag) {
  switch (tag) {
    case 1:
      reportUsageExit();
      if (auto* nav = navigationController()) nav->popToRootViewControllerAnimated(false);
      break;
    case 2:
      reportUsageExit();
      popToFirst(*this, true);
      break;
    case 3:
      chooseTableview_->setHidden(false);
      alphaBtn_->setHidden(false);
      break;
    case 4:
      chooseTableview_->setHidden(true);
      alphaBtn_->setHidden(true);
      break;
    default:
      break;
  }
}

const std::vector<std::string>& newsListViewController::fieldNames() const { return newsXMLParser::fields(); }

std::string newsListViewController::rowText(int row) {
  if (row < 0 || !records_) return {};
  return firstPart(records_->text(static_cast<size_t>(row), "公告"));
}

std::shared_ptr<ViewController> newsListViewController::makeDetail(int row) {
  auto d = std::make_shared<newsDetailsViewController>();
  d->setTableCell(row);
  if (records_) d->setRecord(records_->record(static_cast<size_t>(row)));
  return d;
}

std::shared_ptr<ViewController> newsListViewController::makeLoader(int category) {
  auto loader = std::make_shared<newsXMLParser>();
  loader->setCategory(category);
  loader->progressBar(newsFeedURL(category));
  return loader;
}

const std::vector<std::string>& inforActsViewController::fieldNames() const { return xmlParser::fields(); }

std::string inforActsViewController::rowText(int row) {
  if (row < 0 || !records_) return {};
  return records_->text(static_cast<size_t>(row), "課程名稱");
}

std::shared_ptr<ViewController> inforActsViewController::makeDetail(int row) {
  auto d = std::make_shared<inforActsDetailsViewController>();
  d->setTableCell(row);
  if (records_) d->setRecord(records_->record(static_cast<size_t>(row)));
  return d;
}

std::shared_ptr<ViewController> inforActsViewController::makeLoader(int category) {
  auto loader = std::make_shared<xmlParser>();
  loader->setCategory(category);
  loader->progressBar(activityFeedURL(category));
  return loader;
}

// ------------------------------------------------------------------ details

void InfoDetailsViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, headerTitle(), 1, 2, [this](int tag) { btnEvent(tag); });
  if (!record_.isDictionary()) {
    auto cached = readFeedCache(cacheName(), fieldNames());
    record_ = cached && tableCell_ >= 0 ? cached->record(static_cast<size_t>(tableCell_)) : Value::dictionary();
  }
  myTextview_ = make<TextView>(Rect{10, 50, 300, 440}, detailText());
  myTextview_->setName("myTextview");
  myTextview_->setAutoresizingMask(Autoresizing::FlexibleSize);
  myTextview_->setEditable(false);
  view().addSubview(myTextview_);
  auto more = make<Button>(Rect{110, 500, 100, 40}, "詳細內容");
  more->setTag(3);
  more->setAutoresizingMask(Autoresizing::StickToBottom);
  more->setAction([this](Button& b) { btnEvent(b.tag()); });
  view().addSubview(more);
}

void InfoDetailsViewController::btnEvent(int tag) {
  auto* nav = navigationController();
  if (!nav) return;
  switch (tag) {
    case 3: nav->pushViewController(makeWebPage(), false); break;
    case 2: nav->popViewControllerAnimated(true); break;
    case 1:
      reportUsageExit();
      nav->popToRootViewControllerAnimated(false);
      break;
    default: break;
  }
}

const std::vector<std::string>& newsDetailsViewController::fieldNames() const { return newsXMLParser::fields(); }
const std::vector<std::string>& inforActsDetailsViewController::fieldNames() const { return xmlParser::fields(); }

std::string newsDetailsViewController::textFor(const Value& r) {
  return "公告：\n" + withoutBreaks(r.stringFor("公告")) + "\n\n類別：" + r.stringFor("類別") + "\n\n活動開始日期：" +
         r.stringFor("活動開始日期") + "\n\n活動結束日期：" + r.stringFor("活動結束日期");
}

std::shared_ptr<ViewController> newsDetailsViewController::makeWebPage() const {
  auto web = std::make_shared<newsWebViewController>();
  web->setNewsId(FeedLoaderViewController::intValue(record_.stringFor("編號")));
  return web;
}

std::string inforActsDetailsViewController::textFor(const Value& r) {
  return "課程名稱：\n" + r.stringFor("課程名稱") + "\n\n開課對象：" + r.stringFor("開課對象") + "\n\n開課類別：" +
         r.stringFor("開課類別") + "\n\n上課地點：" + r.stringFor("上課地點") + "\n\n活動時間：\n" +
         r.stringFor("上課起始時間") + "~" + r.stringFor("上課結束時間") + "\n\n報名時間：\n" +
         r.stringFor("開始報名時間") + "~" + r.stringFor("結束報名時間");
}

std::shared_ptr<ViewController> inforActsDetailsViewController::makeWebPage() const {
  auto web = std::make_shared<inforActWebViewController>();
  web->setActId(record_.stringFor("連結編號"));
  return web;
}

// ---------------------------------------------------------------- web pages

InfoWebViewController::~InfoWebViewController() {
  if (web_) web_->setDelegate(nullptr);
}

void InfoWebViewController::viewDidLoad() {
  const Color band = Color::rgb(162, 214, 253);
  view().setFrame(Rect{0, 0, 320, 460});
  view().setBackgroundColor(Color::white());

  auto header = make<Label>(Rect{0, 0, 320, 50}, headerText());
  header->setName("headerLabel");
  header->setAutoresizingMask(Autoresizing::FlexibleWidth);
  header->setFont(25, headerBold());
  header->setTextColor(Color::white());
  header->setAlignment(TextAlignment::Center);
  header->setBackgroundColor(band);
  view().addSubview(header);

  auto footer = make<View>(Rect{0, 410, 320, 50});
  footer->setName("footer");
  footer->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleTopMargin);
  footer->setBackgroundColor(band);
  view().addSubview(footer);

  auto home = make<Button>(Rect{265, 5, 50, 40});
  home->setImage("回首頁1");
  home->setTag(100);
  home->setAutoresizingMask(Autoresizing::FlexibleLeftMargin);
  home->setAction([this](Button& b) { BtnGo(b.tag()); });
  view().addSubview(home);

  auto back = make<Button>(Rect{265, 415, 50, 40});
  back->setImage("上一頁");
  back->setTag(101);
  back->setAutoresizingMask(Autoresizing::FlexibleLeftMargin | Autoresizing::FlexibleTopMargin);
  back->setAction([this](Button& b) { BtnGo(b.tag()); });
  view().addSubview(back);

  web_ = make<WebView>(Rect{0, 50, 320, 360});
  web_->setName("pageView");
  web_->setAutoresizingMask(Autoresizing::FlexibleSize);
  web_->setScalesPageToFit(true);
  web_->setBackgroundColor(Color::white());
  web_->setDelegate(this);
  view().addSubview(web_);
  web_->loadRequest(pageURL());
}

void InfoWebViewController::BtnGo(int tag) {
  auto* nav = navigationController();
  if (!nav) return;
  if (tag == 101) nav->popViewControllerAnimated(true);
  if (tag == 100) nav->popToRootViewControllerAnimated(false);
}

void InfoWebViewController::webViewDidStartLoad(WebView&) {
  if (!overlay_) {
    const Rect bounds = view().frame();
    overlay_ = make<View>(Rect{0, 0, bounds.width, bounds.height});
    overlay_->setName("loadingOverlay");
    overlay_->setAutoresizingMask(Autoresizing::FlexibleSize);
    overlay_->setBackgroundColor(Color::black());
    overlay_->setAlpha(0.6f);
    view().addSubview(overlay_);
  }
  const Rect area = overlay_->frame();
  spinner_ = addSpinner(*overlay_, Rect{(area.width - 37) / 2, (area.height - 37) / 2, 37, 37}, "spinner");
  spinner_->startAnimating();
  overlay_->setHidden(false);
}

void InfoWebViewController::removeOverlay() {
  if (spinner_) spinner_->stopAnimating();
  if (overlay_) {
    overlay_->setHidden(true);
    overlay_->removeFromSuperview();
    overlay_.reset();
  }
  spinner_.reset();
}

void InfoWebViewController::webViewDidFinishLoad(WebView&) { removeOverlay(); }

void InfoWebViewController::webViewDidFailLoadWithError(WebView&, const std::string&) {
  AlertView::create("錯誤", "", sharedAs<AlertViewDelegate>(), "確定")->show();
}

void InfoWebViewController::alertViewClickedButtonAtIndex(AlertView&, int) {
  removeOverlay();
  auto* nav = navigationController();
  if (nav && nav->topViewController() == this) nav->popViewControllerAnimated(false);
}

std::string newsWebViewController::pageURL() const {
  return legacyEscape(Deployment::current().url("news_pages", "/TodayNews/newsdtl.aspx?id=" + std::to_string(newsId_)));
}

// The link id comes from the feed: it is escaped as one query value so that
// no character in it can end the value or add fields.
std::string inforActWebViewController::pageURL() const {
  return Deployment::current().url("course_enrolment", "/course.aspx?cid=" + componentEscape(actId_));
}

}  // namespace yx
