#pragma once
// Live bus information: the bus-information service's mobile page for one
// route in a web view, with buttons for the three routes and the shuttle
// timetable.

#include <memory>
#include <string>

#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {

// The escaped address of a route's page ("紅" + number for the red lines).
std::string busPageURL(const std::string& routeName);

// Home menu 公車動態 (route 27 through busNO:). Buttons: 1 home, 2 back
// (both report), 3 紅27, 4 紅28, 6 756; "shuttleButton" opens the shuttle
// timetable.
class busInforViewController : public ViewController, public WebViewDelegate, public AlertViewDelegate {
public:
  std::string className() const override { return "busInforViewController"; }
  ~busInforViewController() override;
  bool receive(const std::string& operation, const std::string& value) override;
  // Loads the page of red-line route `number` (the web view loads it as soon
  // as the screen is shown).
  void busNO(const std::string& number);
  void viewDidLoad() override;
  void btnEvent(int tag);
  const std::string& url() const { return Url_; }

  void webViewDidStartLoad(WebView&) override;
  void webViewDidFinishLoad(WebView&) override;
  void webViewDidFailLoadWithError(WebView&, const std::string&) override;
  void alertViewClickedButtonAtIndex(AlertView&, int) override;

private:
  void load(const std::string& escapedURL);
  void hideCover();
  std::string Url_;
  std::shared_ptr<WebView> myWebView_;
  std::shared_ptr<View> cover_;
  std::shared_ptr<ActivityIndicator> myActivity_;
};

}  // namespace yx
