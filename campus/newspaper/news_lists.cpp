#include "campus/newspaper/news_lists.h"

#include <cstdlib>

#include "campus/newspaper/articles.h"
#include "campus/newspaper/times_kit.h"
#include "core/screen_kit.h"
#include "platform/image_loader.h"
#include "platform/settings.h"
#include "platform/ui/common_views.h"

namespace yx {

namespace {
constexpr const char* kSectionKey = "chiNewsType";
}  // namespace

// ------------------------------------------------------------------ shared

void NewsListViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, headerTitle(), 1, 2, [this](int tag) { btnEvent(tag); });
  addOwnViews();
  const double top = contentTop();
  timeLbl = make<Label>(Rect{10, top, 200, 22});
  timeLbl->setName("timeLbl");
  timeLbl->setFont(14, true);
  timeLbl->setTextColor(Color::rgb(105, 101, 101));
  view().addSubview(timeLbl);
  countLbl = make<Label>(Rect{210, top, 100, 22});
  countLbl->setName("countLbl");
  countLbl->setFont(13);
  countLbl->setAlignment(TextAlignment::Right);
  countLbl->setAutoresizingMask(Autoresizing::FlexibleLeftMargin);
  view().addSubview(countLbl);
  myTableview = addTable(view(), areaBelow(top + 24, 518), "myTableview", this, this);
  times::addBottomBar(view(), 3, [this](int tag) { btnEvent(tag); });
}

void NewsListViewController::emptyLists() {
  newsNumAry.clear();
  newsTitAry.clear();
  newsPicAry.clear();
  newsTimeStr.clear();
  newsDateStr.clear();
  reloadTable();
}

// The count follows the rows at once (cells made later set it again).
void NewsListViewController::reloadTable() {
  myTableview->reloadData();
  countLbl->setText(countText(newsTitAry.size(), /*spaced=*/false));
  countLbl->setHidden(isPlaceholderOnly());
}

bool NewsListViewController::isPlaceholderOnly() const {
  return newsTitAry.size() == 1 && !placeholderPicture().empty() && newsTitAry[0] == placeholderTitle();
}

void NewsListViewController::loadList(const std::string& url) {
  auto doc = fetchDocument(url);
  if (!doc) return;
  static const std::vector<std::string> kFields = {"編號", "期別", "發佈日期", "標題", "圖片路徑"};
  for (const auto& item : times::itemsNamed(*doc, itemName())) {
    auto f = times::childTexts(*item, kFields);
    newsTimeStr = std::move(f[1]);
    newsDateStr = std::move(f[2]);
    newsNumAry.push_back(std::move(f[0]));
    newsTitAry.push_back(std::move(f[3]));
    newsPicAry.push_back(f[4].empty() ? std::string() : times::thumbnailURL(f[4]));
  }
  if (newsTitAry.empty()) {
    newsNumAry.emplace_back();
    newsTitAry.push_back(placeholderTitle());
    newsPicAry.emplace_back();
  }
  reloadTable();
  timeLbl->setText(issueText());
}

int NewsListViewController::tableViewNumberOfRowsInSection(TableView&, int) {
  return static_cast<int>(newsTitAry.size());
}

std::shared_ptr<TableViewCell> NewsListViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = table.dequeueReusableCellWithIdentifier(cellIdentifier());
  if (!cell) {
    cell = make<TableViewCell>(TableViewCell::Style::Default, cellIdentifier());
    cell->setFrame(Rect{0, 0, 320, 70});
    auto picture = make<ImageView>(Rect{8, 5, 80, 60});
    picture->setName(pictureOutlet());
    cell->contentView().addSubview(picture);
    auto title = make<Label>(Rect{96, 5, 216, 60});
    title->setName(titleOutlet());
    title->setFont(15);
    title->setNumberOfLines(0);
    title->setTextColor(Color::rgb(105, 101, 101));
    cell->contentView().addSubview(title);
  }
  auto* picture = cell->contentView().findNamed<ImageView>(pictureOutlet());
  auto* title = cell->contentView().findNamed<Label>(titleOutlet());
  const auto row = static_cast<size_t>(ip.row);
  if (!picture || !title || row >= newsTitAry.size()) return cell;

  picture->clearImage();
  title->setText(newsTitAry[row]);
  if (!newsPicAry[row].empty()) {
    loadImageInto(std::static_pointer_cast<ImageView>(picture->shared_from_this()), newsPicAry[row],
                  [](ImageView& v) { v.setImageNamed("005_30.png"); });
  } else {
    picture->setImageNamed("005_30.png");
  }
  // The placeholder row has its own picture and hides the count; every
  // other row shows the count.
  const bool placeholder = !placeholderPicture().empty() && newsTitAry[row] == placeholderTitle();
  if (placeholder) picture->setImageNamed(placeholderPicture());
  countLbl->setHidden(placeholder);
  countLbl->setText(countText(newsTitAry.size(), /*spaced=*/false));
  return cell;
}

void NewsListViewController::prepareArticle(ViewController& destination, const std::string& type) const {
  auto* article = dynamic_cast<ArticleViewController*>(&destination);
  if (!article || chosenRow_ < 0 || static_cast<size_t>(chosenRow_) >= newsNumAry.size()) return;
  article->newsNo = newsNumAry[static_cast<size_t>(chosenRow_)];
  article->newsNum = newsTimeStr;
  article->newsDate = newsDateStr;
  if (auto* chinese = dynamic_cast<chiNewsDetailViewController*>(article)) chinese->newsType = type;
}

// ----------------------------------------------------------------- Chinese

const char* const chiNewsViewController::kSectionNames[5] = {"要聞", "校園", "學術", "藝文", "專題"};

void chiNewsViewController::addOwnViews() {
  for (int i = 0; i < 5; ++i) {
    auto b = make<Button>(Rect{5.0 + 62 * i, 49, 58, 30}, kSectionNames[i]);
    b->setName("typeBtn_" + std::to_string(i + 1));
    b->setTag(i + 1);
    b->setTitleColor(Color::white());
    b->setBackgroundImage("003_02.png");
    b->setAction([this](Button& btn) { typeBtnEvent(btn.tag()); });
    view().addSubview(b);
    typeBtn_[i] = b;
  }
}

void chiNewsViewController::viewDidLoad() {
  NewsListViewController::viewDidLoad();
  loadNewsData(1);
}

void chiNewsViewController::viewWillAppear(bool) {
  auto stored = Settings::standard().stringForKey(kSectionKey);
  if (!stored) return;
  emptyLists();
  loadNewsData(std::atoi(stored->c_str()));
}

void chiNewsViewController::loadNewsData(int section) {
  typeNum = section;
  for (int i = 0; i < 5; ++i) typeBtn_[i]->setBackgroundImage(i + 1 == section ? "003_01.png" : "003_02.png");
  loadList(times::chineseListURL(section));
}

void chiNewsViewController::typeBtnEvent(int tag) {
  Settings::standard().setString(kSectionKey, std::to_string(tag));
  emptyLists();
  loadNewsData(std::atoi(Settings::standard().stringForKey(kSectionKey).value_or("0").c_str()));
}

void chiNewsViewController::btnEvent(int tag) {
  if (tag == 3) {
    goBack(*this, false);
    return;
  }
  if (tag != 1 && tag != 2) return;
  startUsageExitReport();
  Settings::standard().removeObjectForKey(kSectionKey);
  Settings::standard().synchronize();
  if (tag == 2) goBack(*this, false);
  else goHome(*this, false);
}

void chiNewsViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  // A row opens its article when it has an id of its own; the placeholder
  // row has none and opens nothing.
  const auto row = static_cast<size_t>(ip.row);
  if (row >= newsNumAry.size() || newsNumAry[row].empty()) return;
  table.deselectRow(ip, true);
  chosenRow_ = ip.row;
  performSegueWithIdentifier("chiNewsDetail");
}

void chiNewsViewController::prepareForSegue(const std::string& identifier, ViewController& destination,
                                            const void*) {
  if (identifier == "chiNewsDetail") prepareArticle(destination, std::to_string(typeNum));
}

// ----------------------------------------------------------------- English

void engNewsViewController::viewDidLoad() {
  NewsListViewController::viewDidLoad();
  loadEngNewsData();
}

void engNewsViewController::loadEngNewsData() { loadList(times::englishListURL()); }

void engNewsViewController::btnEvent(int tag) {
  if (tag == 3) goBack(*this, false);
  else if (tag == 2) goBack(*this);
  else if (tag == 1) goHome(*this);
}

void engNewsViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  table.deselectRow(ip, true);
  chosenRow_ = ip.row;
  performSegueWithIdentifier("engNewsDetail");
}

void engNewsViewController::prepareForSegue(const std::string& identifier, ViewController& destination,
                                            const void*) {
  if (identifier == "engNewsDetail") prepareArticle(destination, {});
}

}  // namespace yx
