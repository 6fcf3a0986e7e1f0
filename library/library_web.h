#pragma once
// The library's web page screens: the library header (home 1, back 2), a web
// view filling the rest and a spinner while the page loads. Home sends the
// usage exit report; back does not.

#include <memory>
#include <string>

#include "platform/ui/view_controller.h"

namespace yx {

class LibraryWebViewController : public ViewController, public WebViewDelegate {
public:
  ~LibraryWebViewController() override;
  void viewDidLoad() override;
  void btnEvent(int tag);

  void webViewDidStartLoad(WebView& web) override;
  void webViewDidFinishLoad(WebView& web) override;
  void webViewDidFailLoadWithError(WebView& web, const std::string& error) override;

protected:
  virtual std::string headerTitle() const = 0;
  // The address the page view loads when the screen loads.
  virtual std::string pageURL() const = 0;
  void load(const std::string& url);

  std::shared_ptr<WebView> webView_;
  std::shared_ptr<ActivityIndicator> indicator_;
};

}  // namespace yx
