#include "campus/newspaper/photo_database.h"

#include "campus/newspaper/times_kit.h"
#include "campus/newspaper/times_web_page.h"
#include "core/screen_kit.h"
#include "platform/image_loader.h"
#include "platform/ui/common_views.h"

namespace yx {

// -------------------------------------------------------------- issue list

void imageDBViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, "近期圖輯", 1, 2, [this](int tag) { btnEvent(tag); });
  myTableview = addTable(view(), areaBelow(44, 518), "myTableview", this, this);
  times::addBottomBar(view(), 3, [this](int tag) { btnEvent(tag); });
  loadData();
}

void imageDBViewController::loadData() {
  auto doc = fetchDocument(times::photoIssuesURL());
  if (!doc) return;
  for (const auto& entry : times::itemsNamed(*doc, "pic_db")) {
    timeAry.push_back(times::childText(*entry, "期別"));
    dateAry.push_back(times::childText(*entry, "發佈日期"));
  }
  myTableview->reloadData();
}

std::shared_ptr<TableViewCell> imageDBViewController::tableViewCellForRow(TableView&, IndexPath ip) {
  auto cell = make<TableViewCell>(TableViewCell::Style::Default, "imageDBCell");
  cell->setShowsDisclosure(true);
  const auto row = static_cast<size_t>(ip.row);
  if (row < timeAry.size()) cell->textLabel().setText("雲岫時報" + timeAry[row] + "期 [" + dateAry[row] + "]");
  cell->textLabel().setFont(16);
  return cell;
}

void imageDBViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  table.deselectRow(ip, true);
  chosenRow_ = ip.row;
  performSegueWithIdentifier("imageDBthumb");
}

void imageDBViewController::prepareForSegue(const std::string& identifier, ViewController& destination, const void*) {
  auto* grid = dynamic_cast<imageDBthumbViewController*>(&destination);
  if (identifier != "imageDBthumb" || !grid || chosenRow_ < 0 || static_cast<size_t>(chosenRow_) >= timeAry.size())
    return;
  grid->timeStr = timeAry[static_cast<size_t>(chosenRow_)];
}

void imageDBViewController::btnEvent(int tag) {
  if (tag == 3) goBack(*this, false);
  else if (tag == 2) goBack(*this);
  else if (tag == 1) goHome(*this);
}

// -------------------------------------------------------------------- grid

CustomCellBackground::CustomCellBackground(Rect frame) : View(frame) {
  setName("CustomCellBackground");
  setBackgroundColor(Color{0.529f, 0.808f, 0.922f, 1});
  setBorder(5, 5, Color::black());
}

imageDBthumbCell::imageDBthumbCell() : TableViewCell(Style::Default, "imageCellID") {
  setFrame(Rect{0, 0, 100, 120});
  contentView().setFrame(Rect{0, 0, 100, 120});
  textLabel().setHidden(true);
  imageView().setHidden(true);
  image_ = make<ImageView>(Rect{8, 8, 84, 84});
  image_->setName("myImageview");
  contentView().addSubview(image_);
  label_ = make<Label>(Rect{2, 96, 96, 20});
  label_->setName("myLbl");
  label_->setFont(12);
  label_->setAlignment(TextAlignment::Center);
  contentView().addSubview(label_);
  setSelectedBackgroundView(make<CustomCellBackground>(Rect{0, 0, 100, 120}));
}

void imageDBthumbViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, "近期圖輯", 1, 2, [this](int tag) { btnEvent(tag); });
  myCollectionview = make<CollectionView>(Rect{5, 49, 310, 469});
  myCollectionview->setName("myCollectionview");
  myCollectionview->setItemSize(Size{100, 120});
  myCollectionview->setAutoresizingMask(Autoresizing::FlexibleSize);
  view().addSubview(myCollectionview);
  myActivity = addSpinner(view(), Rect{141.5, 265.5, 37, 37}, "myActivity");
  myActivity->startAnimating();
  times::addBottomBar(view(), 3, [this](int tag) { btnEvent(tag); });
  // The grid fills a moment after the screen shows, so the spinner is seen turning.
  performAfterDelay(0.1, [this] { loadData(timeStr); });
  myCollectionview->setDataSource(this);
}

void imageDBthumbViewController::loadData(const std::string& issue) {
  // A feed that cannot be read leaves the grid empty and the spinner turning.
  auto doc = fetchDocument(times::photoIssueURL(issue));
  if (!doc) return;
  for (const auto& entry : times::itemsNamed(*doc, "pic_db")) {
    titleAry.push_back(times::childText(*entry, "圖片標題"));
    pathAry.push_back(times::childText(*entry, "圖片路徑"));
    authAry.push_back(times::childText(*entry, "攝影者"));
  }
  myActivity->stopAnimating();
  myCollectionview->reloadData();
}

std::shared_ptr<TableViewCell> imageDBthumbViewController::collectionViewCellForItem(CollectionView&, IndexPath ip) {
  auto cell = make<imageDBthumbCell>();
  const auto item = static_cast<size_t>(ip.row);
  if (item >= pathAry.size()) return cell;
  cell->myImageview().clearImage();
  cell->myLbl().setText(titleAry[item]);
  // A thumbnail that fails leaves its place empty.
  loadImageInto(cell->imagePtr(), times::thumbnailURL(pathAry[item]));
  return cell;
}

void imageDBthumbViewController::collectionViewDidSelectItem(CollectionView&, IndexPath ip) {
  chosenItem_ = ip.row;
  performSegueWithIdentifier("imageDetail");
}

void imageDBthumbViewController::prepareForSegue(const std::string& identifier, ViewController& destination,
                                                 const void*) {
  auto* photo = dynamic_cast<imageDBdetailViewController*>(&destination);
  const auto item = static_cast<size_t>(chosenItem_);
  if (identifier != "imageDetail" || !photo || chosenItem_ < 0 || item >= pathAry.size()) return;
  photo->imageNo = pathAry[item];
  photo->imageTitle = titleAry[item];
  photo->imageProv = authAry[item];
}

void imageDBthumbViewController::btnEvent(int tag) {
  if (tag == 2 || tag == 3) goBack(*this, false);
  else if (tag == 1) goHome(*this);
}

// ------------------------------------------------------------------- photo

void imageDBdetailViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, "近期圖輯", 1, 2, [this](int tag) { btnEvent(tag); });
  titleLbl = make<Label>(Rect{10, 50, 300, 26}, imageTitle);
  titleLbl->setName("titleLbl");
  titleLbl->setFont(17, true);
  titleLbl->setTextColor(Color::rgb(105, 101, 101));
  view().addSubview(titleLbl);

  myScrollview = make<ScrollView>(Rect{5, 80, 310, 270});
  myScrollview->setName("myScrollview");
  myScrollview->setAutoresizingMask(Autoresizing::FlexibleHeight);
  imgView = make<ImageView>(Rect{5, 5, 300, 260});
  imgView->setName("imgView");
  imgView->setUserInteractionEnabled(false);
  myScrollview->addSubview(imgView);
  myScrollview->setContentSize(Size{300, 260});
  myScrollview->setZoomLimits(1, 3);
  myScrollview->setZoomScale(1);
  myScrollview->setZoomingView(imgView);
  // A zoom that ends is nudged by 0.01 and set back, so the photo settles.
  myScrollview->setDidEndZooming([](ScrollView& s, double scale) {
    s.setZoomScale(scale + 0.01);
    s.setZoomScale(scale);
  });
  view().addSubview(myScrollview);
  // A photo that fails leaves its place empty.
  loadImageInto(imgView, times::pictureURL(imageNo));

  provLbl = make<Label>(Rect{10, 356, 300, 22}, "攝影/提供: " + imageProv);
  provLbl->setName("provLbl");
  provLbl->setFont(14);
  provLbl->setTextColor(Color::rgb(105, 101, 101));
  provLbl->setAutoresizingMask(Autoresizing::FlexibleTopMargin);
  view().addSubview(provLbl);
  const char* titles[] = {"雲岫學報網站", "申請照片"};
  for (int i = 0; i < 2; ++i) {
    auto b = make<Button>(Rect{20.0 + 150 * i, 392, 130, 40}, titles[i]);
    b->setTag(3 + i);
    b->setBorder(1, 6, Color::rgb(140, 47, 42));
    b->setTitleColor(Color::rgb(140, 47, 42));
    b->setAutoresizingMask(Autoresizing::FlexibleTopMargin);
    b->setAction([this](Button& btn) { btnEvent(btn.tag()); });
    view().addSubview(b);
  }
}

void imageDBdetailViewController::btnEvent(int tag) {
  switch (tag) {
    case 1: goHome(*this); break;
    case 2: goBack(*this, false); break;
    case 3:
      urlStr = times::homePageURL();
      performSegueWithIdentifier("getPicURL");
      break;
    case 4:
      urlStr = times::askPictureURL();
      performSegueWithIdentifier("getPicURL");
      break;
    default: break;
  }
}

void imageDBdetailViewController::prepareForSegue(const std::string& identifier, ViewController& destination,
                                                  const void*) {
  if (auto* page = dynamic_cast<timesHomeWebViewController*>(&destination); page && identifier == "getPicURL")
    page->getPicUrlStr = urlStr;
}

}  // namespace yx
