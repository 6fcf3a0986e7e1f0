#include "library/library_web.h"

#include "core/screen_kit.h"
#include "library/library_kit.h"
#include "platform/ui/common_views.h"

namespace yx {

using namespace library;

LibraryWebViewController::~LibraryWebViewController() {
  if (webView_) webView_->setDelegate(nullptr);
}

void LibraryWebViewController::viewDidLoad() {
  using namespace Autoresizing;
  view().setBackgroundColor(Color::white());
  addLibraryHeader(*this, headerTitle(), [this](int tag) { btnEvent(tag); });
  webView_ = make<WebView>(Rect{0, 44, 320, kScreenHeight - 44});
  webView_->setName("webView");
  webView_->setScalesPageToFit(true);
  webView_->setAutoresizingMask(FlexibleSize);
  webView_->setDelegate(this);
  view().addSubview(webView_);
  indicator_ = addSpinner(view(), Rect{141.5, 265, 37, 37}, "indicator");
  load(pageURL());
}

void LibraryWebViewController::load(const std::string& url) {
  if (url.empty()) return;
  indicator_->startAnimating();
  webView_->loadRequest(url);
}

void LibraryWebViewController::btnEvent(int tag) {
  if (tag == 1) goHome(*this);
  else if (tag == 2) goBack(*this, false);
}

void LibraryWebViewController::webViewDidStartLoad(WebView&) {}

void LibraryWebViewController::webViewDidFinishLoad(WebView&) { indicator_->stopAnimating(); }

// A page that cannot load leaves the blank view; the spinner stops so the
// screen does not claim to be still loading.
void LibraryWebViewController::webViewDidFailLoadWithError(WebView&, const std::string&) {
  indicator_->stopAnimating();
}

}  // namespace yx
