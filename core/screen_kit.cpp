#include "core/screen_kit.h"

#include "core/deployment.h"
#include "core/usage_report.h"
#include "platform/application.h"
#include "platform/dates.h"
#include "platform/escape.h"
#include "platform/http.h"
#include "platform/location.h"
#include "platform/runloop.h"
#include "platform/settings.h"

#include <mutex>

namespace yx {

void startUsageExitReport() {
  // The record is read now, before the caller navigates: the Home menu
  // renames the feature in use as soon as it reappears.
  std::string url;
  try {
    url = upDate2DB::screenReportURL();
  } catch (const DeploymentError&) {
    return;
  }
  // Nothing waits for the answer: a slow server never holds the screen back.
  Background::runDetached([url] { (void)sendReport(url); });
}

void goBack(ViewController& from, bool report) {
  if (report) startUsageExitReport();
  if (auto* nav = from.navigationController()) nav->popViewControllerAnimated(true);
}

void goHome(ViewController& from, bool report) {
  if (report) startUsageExitReport();
  if (auto* nav = from.navigationController()) nav->popToRootViewControllerAnimated(false);
}

std::shared_ptr<AlertView> showNetworkAlert(std::weak_ptr<AlertViewDelegate> delegate, bool withFullStop) {
  auto alert = AlertView::create("網路警示", withFullStop ? "請確認網路連線狀態是否開啟。" : "請確認網路連線狀態是否開啟",
                                 std::move(delegate), "確定");
  alert->show();
  return alert;
}

corvaleAppDelegate* appDelegate() { return Application::shared().delegateAs<corvaleAppDelegate>(); }

bool networkReachable() {
  auto* d = appDelegate();
  return d && d->interetconncet;
}

std::shared_ptr<View> addHeaderBar(ViewController& vc, const std::string& title, int homeTag, int backTag,
                  std::function<void(int tag)> onTag, const std::string& pattern) {
  auto bar = std::make_shared<View>(Rect{0, 0, 320, 44});
  bar->setName("headerBar");
  bar->setBackgroundPattern(pattern);
  bar->setAutoresizingMask(Autoresizing::FlexibleWidth);
  auto label = std::make_shared<Label>(Rect{60, 7, 200, 30}, title);
  label->setName("titleLabel");
  label->setAutoresizingMask(Autoresizing::FlexibleWidth);
  label->setFont(20, true);
  label->setTextColor(Color::white());
  label->setAlignment(TextAlignment::Center);
  bar->addSubview(label);
  auto shared = std::make_shared<std::function<void(int)>>(std::move(onTag));
  auto addButton = [&](int tag, Rect frame, const char* name, const char* text, const char* image, unsigned mask) {
    if (tag < 0) return;
    auto b = std::make_shared<Button>(frame, text);
    b->setName(name);
    b->setAutoresizingMask(mask);
    b->setTag(tag);
    b->setImage(image);
    b->setTitleColor(Color::white());
    b->setAction([shared](Button& btn) {
      if (*shared) (*shared)(btn.tag());
    });
    bar->addSubview(b);
  };
  addButton(homeTag, Rect{5, 5, 50, 34}, "homeButton", "首頁", "btn_home.png", Autoresizing::None);
  addButton(backTag, Rect{265, 5, 50, 34}, "backButton", "返回", "btn_back.png", Autoresizing::FlexibleLeftMargin);
  vc.view().addSubview(bar);
  return bar;
}

std::optional<std::string> serverURL(std::string_view kind, std::string_view pathAndQuery) {
  try {
    return Deployment::current().url(kind, pathAndQuery);
  } catch (const DeploymentError&) {
    return std::nullopt;
  }
}

std::optional<std::string> fetchBody(const std::string& url) {
  HttpResult r = httpGet(url, 60);
  if (!r.ok || r.status >= 400) return std::nullopt;
  return std::move(r.body);
}

std::shared_ptr<DomDocument> fetchDocument(const std::string& url) {
  auto body = fetchBody(url);
  return body ? DomDocument::initWithData(*body) : nullptr;
}

std::string countText(std::size_t n, bool spaced) {
  const char* gap = spaced ? " " : "";
  return std::string("共") + gap + std::to_string(n) + gap + "筆";
}

namespace {
std::mutex locMu;
double nowX = 0, nowY = 0;  // longitude, latitude of the last fix
}  // namespace

void setLastFix(double latitude, double longitude) {
  std::lock_guard<std::mutex> lock(locMu);
  nowX = longitude;
  nowY = latitude;
}

std::pair<double, double> lastFix() {
  std::lock_guard<std::mutex> lock(locMu);
  return {nowY, nowX};
}

void userBehavior(const std::string& label) {
  auto [lat, lon] = lastFix();
  // Ask for a fresh fix; it refreshes the values for a later recording.
  Location::shared().requestFix([](Coordinate c) { setLastFix(c.latitude, c.longitude); });
  std::string x = fmtF(lon), y = fmtF(lat);
  std::string time = formatDate("yyyyMMddHHmmss", now());
  // The four values of the record reach the file together, in one write.
  Settings::standard().setObjects(
      {{"user_X", Value(x)}, {"user_Y", Value(y)}, {"功能名稱", Value(label)}, {"啓動時間", Value(time)}});
}

}  // namespace yx
