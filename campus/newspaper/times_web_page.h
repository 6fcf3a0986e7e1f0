#pragma once
// The newspaper's web site in a page view: its home page, or the page the
// photo screen asks for.

#include <memory>
#include <string>

#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {

class timesHomeWebViewController : public ViewController, public WebViewDelegate, public AlertViewDelegate {
public:
  ~timesHomeWebViewController() override;
  std::string className() const override { return "timesHomeWebViewController"; }
  void viewDidLoad() override;
  // 2 back; 1 to the Home menu, with the usage report unless this shows the home page.
  void btnEvent(int tag);

  void webViewDidFinishLoad(WebView& web) override;
  void webViewDidFailLoadWithError(WebView& web, const std::string& error) override;
  void alertViewClickedButtonAtIndex(AlertView& alert, int index) override;

  // The page to show (empty: the home page), set before loading.
  std::string getPicUrlStr;
  bool sendData = false;

private:
  std::shared_ptr<WebView> myWebview;
  std::shared_ptr<ActivityIndicator> myActivity;
};

}  // namespace yx
