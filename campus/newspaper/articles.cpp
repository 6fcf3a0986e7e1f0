#include "campus/newspaper/articles.h"

#include <algorithm>
#include <cmath>

#include "campus/newspaper/news_lists.h"
#include "core/screen_kit.h"
#include "platform/image_loader.h"
#include "platform/settings.h"
#include "platform/text.h"
#include "platform/text_measure.h"

namespace yx {

namespace {
const Color kTextColour = Color::rgb(105, 101, 101);
constexpr double kBodyFont = 14;
constexpr double kBodyExtra = 300;  // the body is this much taller than its text
}  // namespace

double ArticleViewController::captionHeight(size_t length) {
  if (length > 100) return 150;
  if (length > 50) return 100;
  if (length >= 26) return 47;
  return 24;
}

void ArticleViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, "雲岫學報", 1, 3, [this](int tag) { btnEvent(tag); });
  timeLbl = make<Label>(Rect{10, headlineTop() - 26, 300, 24});
  timeLbl->setName("timeLbl");
  timeLbl->setFont(14, true);
  timeLbl->setTextColor(kTextColour);
  view().addSubview(timeLbl);
  beforeLoading();

  auto doc = fetchDocument(times::articleURL(newsNo));
  if (!doc) {
    onUnparsable();
    return;
  }
  for (const auto& item : times::itemsNamed(*doc, itemName())) {
    readItem(*item);
    imgPathAry.push_back(times::childText(*item, "圖片路徑"));
    imgExpAry.push_back(times::childText(*item, "圖片內文"));
  }
  timeLbl->setText(issueText());
  buildPage();
}

void ArticleViewController::readItem(const DomElement& item) {
  titleStr = times::childText(item, "標題");
  contentStr = times::childText(item, "內文");
}

void ArticleViewController::addScrollArea(double top) {
  scrollViewBar = make<ScrollView>(Rect{0, top, 320, 360});
  scrollViewBar->setName("scrollViewBar");
  scrollViewBar->setAutoresizingMask(Autoresizing::FlexibleSize);
  view().addSubview(scrollViewBar);
}

// The headline above the scroll area, then in the scroll area: the first
// picture and its caption, the body, the second and third pictures with
// theirs (as many as the article has items, at most three), the bottom bar.
void ArticleViewController::buildPage() {
  const auto [headlineHeight, scrollTop] = headlineLayout(utf16Length(titleStr));
  titleLbl = make<Label>(Rect{10, headlineTop(), 300, headlineHeight}, titleStr);
  titleLbl->setName("titleLbl");
  titleLbl->setBackgroundColor(Color::white());
  titleLbl->setFont(20);
  titleLbl->setTextColor(kTextColour);
  titleLbl->setNumberOfLines(headlineHeight > 21 ? 0 : 1);
  view().addSubview(titleLbl);
  addScrollArea(scrollTop);

  const size_t pictures = std::min<size_t>(3, imgPathAry.size());
  for (size_t i = 0; i < pictures; ++i) {
    auto b = make<Button>(Rect{20, 0, 280, i == 0 ? 200.0 : 180.0});
    b->setName("imgView_" + std::to_string(i + 1));
    b->setTag(static_cast<int>(i));
    b->setAction([this](Button& btn) { imageToBig(btn.tag()); });
    const std::string& path = imgPathAry[i];
    if (path.empty()) b->setImage("005_30.png");
    else loadImageInto(b, times::pictureURL(path), [](Button& v) { v.setImage("005_30.png"); });
    imgView_[i] = b;

    const std::string& caption = imgExpAry[i];
    auto l = make<Label>(Rect{20, 0, 280, captionHeight(utf16Length(caption))}, caption);
    l->setName("imgDesLbl_" + std::to_string(i + 1));
    l->setFont(12);
    l->setTextColor(i == 0 ? Color::rgb(153, 0, 0) : Color::rgb(165, 13, 29));
    l->setNumberOfLines(l->frame().height > 24 ? 0 : 1);
    imgDesLbl_[i] = l;
  }

  contentTextView = make<TextView>(Rect{10, 0, 300, 0}, contentStr);
  contentTextView->setName("contentTextView");
  contentTextView->setEditable(false);
  contentTextView->setFontSize(kBodyFont);
  contentTextView->setPinchHandler([this](View&, GestureState, double scale) { changeFontSize(scale); });

  // Views in the order they stack.
  if (imgView_[0]) scrollViewBar->addSubview(imgView_[0]);
  if (imgDesLbl_[0]) scrollViewBar->addSubview(imgDesLbl_[0]);
  scrollViewBar->addSubview(contentTextView);
  for (int i = 1; i < 3; ++i) {
    if (imgView_[i]) scrollViewBar->addSubview(imgView_[i]);
    if (imgDesLbl_[i]) scrollViewBar->addSubview(imgDesLbl_[i]);
  }
  bottomBar_ = times::addBottomBar(*scrollViewBar, 2, [this](int tag) { btnEvent(tag); }, 0, false);
  layOut(false);
}

// Stacks the scroll area's views from the top: directly one below the other,
// or (after a pinch) the second and third pictures and captions each 20
// points below the view above them. The body is its text's height plus 300.
void ArticleViewController::layOut(bool spaced) {
  if (!scrollViewBar) return;
  double y = 0;
  auto place = [&](View* v, double gap) {
    if (!v) return;
    Rect f = v->frame();
    f.y = y + gap;
    v->setFrame(f);
    y = f.y + f.height;
  };
  place(imgView_[0].get(), 0);
  place(imgDesLbl_[0].get(), 0);
  if (contentTextView) {
    Size text = measureText(contentTextView->text(), contentTextView->fontSize(), false, 300);
    Rect f = contentTextView->frame();
    f.height = std::ceil(text.height) + kBodyExtra;
    contentTextView->setFrame(f);
    place(contentTextView.get(), 0);
  }
  for (int i = 1; i < 3; ++i) {
    place(imgView_[i].get(), spaced ? 20 : 0);
    place(imgDesLbl_[i].get(), spaced ? 20 : 0);
  }
  if (bottomBar_.bar) {
    bottomBar_.moveTo(y);
    y += 50;
  }
  xOffset = y;
  scrollViewBar->setContentSize(Size{320, xOffset});
}

void ArticleViewController::changeFontSize(double scale) {
  if (!contentTextView || !std::isfinite(scale) || scale <= 0) return;
  contentTextView->setFontSize(std::clamp(scale * fontScale(), kMinFont, kMaxFont));
  layOut(true);
}

void ArticleViewController::imageToBig(int tag) {
  if (tag < 0 || static_cast<size_t>(tag) >= imgPathAry.size() || tag > 2) return;
  closeImage();
  background = make<View>(Rect{0, 0, 320, 568});
  background->setName("background");
  background->setBackgroundColor(Color::gray(0.3f, 0.7f));
  background->setAutoresizingMask(Autoresizing::FlexibleSize);
  bigScrollView = make<ScrollView>(Rect{0, 0, 320, 568});
  bigScrollView->setName("bigScrollView");
  bigScrollView->setAutoresizingMask(Autoresizing::FlexibleSize);
  bigScrollView->setZoomLimits(1, 3);
  bigScrollView->setZoomScale(1);
  bigScrollView->setContentSize(Size{320, 568});
  // A zoom that ends is nudged by 0.01 and set back, so the picture settles.
  bigScrollView->setDidEndZooming([](ScrollView& s, double scale) {
    s.setZoomScale(scale + 0.01);
    s.setZoomScale(scale);
  });
  tapImageView = make<Button>(Rect{0, 50, 320, 468});
  tapImageView->setName("tapImageView");
  tapImageView->setActionName("closeImage");
  tapImageView->setAutoresizingMask(Autoresizing::FlexibleSize);
  tapImageView->setAction([this](Button&) { closeImage(); });
  bigScrollView->addSubview(tapImageView);
  bigScrollView->setZoomingView(tapImageView);
  background->addSubview(bigScrollView);
  // Laid out for the design size, then stretched to the screen.
  background->setFrame(Rect{0, 0, view().frame().width, view().frame().height});
  view().addSubview(background);

  const std::string& path = imgPathAry[static_cast<size_t>(tag)];
  if (path.empty()) tapImageView->setImage("005_30.png");
  else loadImageInto(tapImageView, times::pictureURL(path), [](Button& b) { b.setImage("005_30.png"); });
}

void ArticleViewController::closeImage() {
  if (background) background->removeFromSuperview();
  background.reset();
  bigScrollView.reset();
  tapImageView.reset();
}

void ArticleViewController::btnEvent(int tag) {
  if (tag == 2 || tag == 3) goBack(*this, false);
  else if (tag == 1) goHome(*this);
}

// ----------------------------------------------------------------- Chinese

void chiNewsDetailViewController::beforeLoading() {
  const int section = std::atoi(newsType.c_str());
  for (int i = 0; i < 5; ++i) {
    auto b = make<Button>(Rect{5.0 + 62 * i, 48, 58, 30}, chiNewsViewController::kSectionNames[i]);
    b->setName("typeBtn_" + std::to_string(i + 1));
    b->setTag(i + 1);
    b->setTitleColor(Color::white());
    b->setBackgroundImage(i + 1 == section ? "003_01.png" : "003_02.png");
    b->setAction([this](Button& btn) { typeBtnEvent(btn.tag()); });
    view().addSubview(b);
    typeBtn_[i] = b;
  }
}

void chiNewsDetailViewController::readItem(const DomElement& item) {
  ArticleViewController::readItem(item);
  noStr = times::childText(item, "編號");
  typeStr = times::childText(item, "版別");
  numStr = times::childText(item, "期別");
  dateStr = times::childText(item, "發佈日期");
}

std::pair<double, double> chiNewsDetailViewController::headlineLayout(size_t length) const {
  if (length < 15) return {21, 140};
  if (length <= 30) return {60, 175};
  return {80, 195};
}

void chiNewsDetailViewController::typeBtnEvent(int tag) {
  Settings::standard().setString("chiNewsType", std::to_string(tag));
  if (auto* nav = navigationController()) nav->popViewControllerAnimated(false);
}

// ----------------------------------------------------------------- English

void engNewsDetailViewController::beforeLoading() { timeLbl->setText(issueText()); }

std::pair<double, double> engNewsDetailViewController::headlineLayout(size_t length) const {
  if (length < 16) return {21, 140};
  if (length <= 30) return {60, 130};
  return {80, 150};
}

void engNewsDetailViewController::onUnparsable() {
  addScrollArea(headlineLayout(0).second);
  bottomBar_ = times::addBottomBar(*scrollViewBar, 2, [this](int tag) { btnEvent(tag); }, 0, false);
  layOut(false);
}

}  // namespace yx
