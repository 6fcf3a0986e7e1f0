#pragma once
// The weather: a loader that fetches the town forecast page and cuts the
// weather record out of it, and the screen that shows the record.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/http.h"
#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {

// The scheme and host (with its port) of a URL: "http://h:8080/a/b" →
// "http://h:8080". "" when the text is no absolute URL.
std::string siteRootOf(std::string_view url);

// Cuts the five entries of the weather record out of a page (UTF-8 text):
// the icon address (siteRoot + the first picture's path), the description,
// the temperature followed by " ℃", the humidity text without one leading
// blank, and the third piece after the humidity marker. Nothing when the
// page is not UTF-8 or a marker is missing.
std::optional<std::vector<std::string>> scrapeWeather(std::string_view page, std::string_view siteRoot);

// Home menu 溪城天氣: given the page address through parseURL:. Buttons:
// 0 home, 1 back (both report), so the loader can always be left.
class weatherXML : public ViewController, public AlertViewDelegate {
public:
  std::string className() const override { return "weatherXML"; }
  ~weatherXML() override;
  bool receive(const std::string& operation, const std::string& value) override;
  // Probes the page with a blocking GET (a failed transfer or an error status
  // gives the network alert), then fetches it again asynchronously.
  void parseURL(const std::string& url);
  void viewDidLoad() override;
  void btnEvent(int tag);
  void alertViewClickedButtonAtIndex(AlertView&, int index) override;
  // The received page: scrape, store, show.
  void parseXMLFileAtURL(const std::string& data);

private:
  std::string url_, receivedData_;
  std::shared_ptr<HttpTransfer> transfer_;
};

// Shows the stored record "天氣資訊". Buttons: 0 home, 1 back to the Home
// menu (both report).
class dayWeatherViewController : public ViewController {
public:
  std::string className() const override { return "dayWeatherViewController"; }
  void viewDidLoad() override;
  void btnEvent(int tag);
};

}  // namespace yx
