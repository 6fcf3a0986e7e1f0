#include "campus/newspaper/times_web_page.h"

#include "campus/newspaper/times_kit.h"
#include "core/screen_kit.h"
#include "platform/ui/common_views.h"

namespace yx {

timesHomeWebViewController::~timesHomeWebViewController() {
  if (myWebview) myWebview->setDelegate(nullptr);
}

void timesHomeWebViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, "雲岫學報", 1, 2, [this](int tag) { btnEvent(tag); });
  myWebview = make<WebView>(Rect{0, 44, 320, 524});
  myWebview->setName("myWebview");
  myWebview->setScalesPageToFit(true);
  myWebview->setAutoresizingMask(Autoresizing::FlexibleSize);
  view().addSubview(myWebview);
  myActivity = addSpinner(view(), Rect{141.5, 265.5, 37, 37}, "myActivity");
  myActivity->startAnimating();

  myWebview->setDelegate(this);
  const std::string home = times::homePageURL();
  if (getPicUrlStr.empty()) getPicUrlStr = home;
  if (getPicUrlStr == home) sendData = true;
  myWebview->loadRequest(getPicUrlStr);
}

void timesHomeWebViewController::webViewDidFinishLoad(WebView&) { myActivity->stopAnimating(); }

void timesHomeWebViewController::webViewDidFailLoadWithError(WebView&, const std::string&) {
  myActivity->stopAnimating();
  AlertView::create("", "error", sharedAs<AlertViewDelegate>(), "ok")->show();
}

void timesHomeWebViewController::alertViewClickedButtonAtIndex(AlertView&, int) {
  auto* nav = navigationController();
  if (nav && nav->topViewController() == this) nav->popViewControllerAnimated(true);
}

void timesHomeWebViewController::btnEvent(int tag) {
  if (tag == 2) goBack(*this, false);
  else if (tag == 1) goHome(*this, !sendData);
}

}  // namespace yx
