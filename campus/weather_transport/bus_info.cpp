#include "campus/weather_transport/bus_info.h"

#include "campus/weather_transport/shuttle_timetable.h"
#include "core/deployment.h"
#include "core/screen_kit.h"
#include "platform/escape.h"
#include "platform/ui/common_views.h"

namespace yx {

std::string busPageURL(const std::string& routeName) {
  try {
    return legacyEscape(Deployment::current().url("bus_info", "/MQS/businfo2.jsp?routename=" + routeName));
  } catch (const DeploymentError&) {
    return {};
  }
}

busInforViewController::~busInforViewController() {
  if (myWebView_) myWebView_->setDelegate(nullptr);
}

bool busInforViewController::receive(const std::string& operation, const std::string& value) {
  if (operation != "busNO:") return false;
  busNO(value);
  return true;
}

void busInforViewController::busNO(const std::string& number) { load(busPageURL("紅" + number)); }

void busInforViewController::load(const std::string& escapedURL) {
  Url_ = escapedURL;
  if (myWebView_ && !Url_.empty()) myWebView_->loadRequest(Url_);
}

void busInforViewController::viewDidLoad() {
  addHeaderBar(*this, "公車動態", 1, 2, [this](int tag) { btnEvent(tag); });
  // The three routes, and the shuttle timetable, under the header.
  struct Route {
    int tag;
    const char* title;
    double x;
  };
  for (const Route& r : {Route{3, "紅27", 6}, Route{4, "紅28", 74}, Route{6, "756", 142}}) {
    auto b = make<Button>(Rect{r.x, 49, 62, 34}, r.title);
    b->setTag(r.tag);
    b->setFontSize(16);
    b->setBackgroundColor(Color::rgb(226, 236, 244));
    b->setAction([this](Button& sender) { btnEvent(sender.tag()); });
    view().addSubview(b);
  }
  auto shuttle = make<Button>(Rect{210, 49, 104, 34}, "接駁公車時刻表");
  shuttle->setName("shuttleButton");
  shuttle->setFontSize(14);
  shuttle->setBackgroundColor(Color::rgb(226, 236, 244));
  shuttle->setAction([this](Button&) {
    if (auto* nav = navigationController()) nav->pushViewController(std::make_shared<busDetailTViewController>(), true);
  });
  view().addSubview(shuttle);

  myWebView_ = make<WebView>(Rect{0, 88, 320, 480});
  myWebView_->setName("myWebView");
  myWebView_->setScalesPageToFit(true);
  myWebView_->setAutoresizingMask(Autoresizing::FlexibleSize);
  myWebView_->setDelegate(this);
  view().addSubview(myWebView_);
  if (!Url_.empty()) myWebView_->loadRequest(Url_);
}

void busInforViewController::btnEvent(int tag) {
  switch (tag) {
    case 1: goHome(*this); break;
    case 2: goBack(*this); break;
    case 3: load(busPageURL("紅27")); break;
    case 4: load(busPageURL("紅28")); break;
    case 6: load(busPageURL("756")); break;
    default: break;  // 5 and the rest do nothing
  }
}

// While a page loads, a dark cover with a spinner lies over the page (the
// buttons above it stay usable).
void busInforViewController::webViewDidStartLoad(WebView& web) {
  if (!cover_) {
    cover_ = make<View>(web.frame());
    cover_->setName("cover");
    cover_->setBackgroundColor(Color::black());
    cover_->setAlpha(0.6f);
    cover_->setAutoresizingMask(Autoresizing::FlexibleSize);
    myActivity_ = addSpinner(*cover_, Rect{141, 187, 37, 37}, "myActivity",
                             Autoresizing::FlexibleTopMargin | Autoresizing::FlexibleBottomMargin);
    view().addSubview(cover_);
  }
  myActivity_->startAnimating();
  cover_->setHidden(false);
}

void busInforViewController::hideCover() {
  if (myActivity_) myActivity_->stopAnimating();
  if (cover_) {
    cover_->setHidden(true);
    cover_->removeFromSuperview();
    cover_.reset();
  }
  myActivity_.reset();
}

void busInforViewController::webViewDidFinishLoad(WebView&) { hideCover(); }

void busInforViewController::webViewDidFailLoadWithError(WebView&, const std::string&) {
  AlertView::create("錯誤", "", sharedAs<AlertViewDelegate>(), "確定")->show();
}

void busInforViewController::alertViewClickedButtonAtIndex(AlertView&, int) {
  hideCover();
  auto* nav = navigationController();
  if (nav && nav->topViewController() == this) nav->popViewControllerAnimated(true);
}

}  // namespace yx
