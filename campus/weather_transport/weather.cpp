#include "campus/weather_transport/weather.h"

#include "core/screen_kit.h"
#include "markup/text_util.h"
#include "platform/image.h"
#include "platform/settings.h"

namespace yx {

std::string siteRootOf(std::string_view url) {
  auto scheme = url.find("://");
  if (scheme == std::string_view::npos || scheme == 0) return {};
  auto end = url.find_first_of("/?#", scheme + 3);
  std::string_view root = url.substr(0, end);
  return root.size() > scheme + 3 ? std::string(root) : std::string();
}

namespace {

// The page split at every occurrence of a marker, as the pieces between them.
std::vector<std::string_view> split(std::string_view text, std::string_view marker) {
  std::vector<std::string_view> pieces;
  size_t from = 0;
  for (size_t at = text.find(marker); at != std::string_view::npos; at = text.find(marker, from)) {
    pieces.push_back(text.substr(from, at - from));
    from = at + marker.size();
  }
  pieces.push_back(text.substr(from));
  return pieces;
}

std::optional<std::string_view> piece(std::string_view text, std::string_view marker, size_t index) {
  auto pieces = split(text, marker);
  if (index >= pieces.size()) return std::nullopt;
  return pieces[index];
}

}  // namespace

std::optional<std::vector<std::string>> scrapeWeather(std::string_view page, std::string_view siteRoot) {
  if (!markup::isValidUtf8(page)) return std::nullopt;
  auto img = piece(page, "<img src='", 1);
  if (!img) return std::nullopt;
  auto icon = split(*img, "' alt='");
  if (icon.size() < 2) return std::nullopt;
  auto alt = split(icon[1], "' width=");
  if (alt.size() < 2) return std::nullopt;
  auto degree = piece(alt[1], "<span class='degree blue'>", 1);
  if (!degree) return std::nullopt;
  auto temperature = split(*degree, "<sup>");
  if (temperature.size() < 2) return std::nullopt;
  auto humidity = piece(temperature[1], "<span class='humidity'></span>", 1);
  if (!humidity) return std::nullopt;
  auto pieces = split(*humidity, "</span>");
  if (pieces.size() < 3) return std::nullopt;
  std::string_view third = pieces[0];
  if (!third.empty() && third.front() == ' ') third.remove_prefix(1);
  return std::vector<std::string>{std::string(siteRoot) + std::string(icon[0]), std::string(alt[0]),
                                  std::string(temperature[0]) + " ℃", std::string(third), std::string(pieces[2])};
}

// ------------------------------------------------------------------- loader

weatherXML::~weatherXML() {
  if (transfer_) transfer_->cancel();
}

bool weatherXML::receive(const std::string& operation, const std::string& value) {
  if (operation != "parseURL:") return false;
  parseURL(value);
  return true;
}

void weatherXML::parseURL(const std::string& url) {
  url_ = url;
  // Any answer passes the probe (the page is not ASCII); only a failed
  // transfer or an error status means the page cannot be had.
  HttpResult probe = httpGet(url);
  if (!probe.ok || probe.status >= 400) {
    showNetworkAlert(sharedAs<AlertViewDelegate>(), false);
    return;
  }
  if (transfer_) transfer_->cancel();
  receivedData_.clear();
  std::weak_ptr<weatherXML> weak = sharedAs<weatherXML>();
  HttpCallbacks cb;
  cb.onData = [weak](const std::string& chunk) {
    if (auto self = weak.lock()) self->receivedData_ += chunk;
  };
  // A failed transfer does nothing: the loader stays until the user leaves it.
  cb.onFailure = [](const std::string&) {};
  cb.onFinish = [weak] {
    if (auto self = weak.lock()) self->parseXMLFileAtURL(self->receivedData_);
  };
  transfer_ = httpGetAsync(url, 60, std::move(cb));
}

void weatherXML::viewDidLoad() {
  const Rect bounds = view().frame();
  auto background = make<ImageView>(Rect{0, 0, bounds.width, bounds.height}, "parserBG_");
  background->setName("parserBG");
  background->setAutoresizingMask(Autoresizing::FlexibleSize);
  background->setFillsFrame(true);
  view().addSubview(background);
  addHeaderBar(*this, "溪城天氣", 0, 1, [this](int tag) { btnEvent(tag); });
}

void weatherXML::btnEvent(int tag) {
  if (transfer_) transfer_->cancel();
  if (tag == 1) goBack(*this);
  else if (tag == 0) goHome(*this);
}

void weatherXML::alertViewClickedButtonAtIndex(AlertView&, int index) {
  auto* nav = navigationController();
  if (index == 0 && nav && nav->topViewController() == this) nav->popViewControllerAnimated(false);
}

void weatherXML::parseXMLFileAtURL(const std::string& data) {
  auto record = scrapeWeather(data, siteRootOf(url_));
  // A page that is not UTF-8 or lacks a marker: nothing stored, no screen.
  if (!record) return;
  Settings::standard().setObject("天氣資訊", Value::stringArray(*record));
  auto* nav = navigationController();
  if (nav && nav->topViewController() == this)
    nav->pushViewController(std::make_shared<dayWeatherViewController>(), false);
}

// ------------------------------------------------------------ weather screen

void dayWeatherViewController::viewDidLoad() {
  view().setBackgroundColor(Color::rgb(236, 244, 250));
  addHeaderBar(*this, "溪城天氣", 0, 1, [this](int tag) { btnEvent(tag); });

  // The record as stored; entries that are missing or not text show nothing.
  std::vector<std::string> record(5);
  auto stored = Settings::standard().objectForKey("天氣資訊");
  if (stored && stored->isArray())
    for (size_t i = 0; i < record.size() && i < stored->size(); ++i)
      if ((*stored)[i].isString()) record[i] = (*stored)[i].asString();

  auto icon = make<ImageView>(Rect{110, 64, 100, 100});
  icon->setName("iconImgview");
  view().addSubview(icon);
  if (!record[0].empty()) {
    HttpResult r = httpGet(record[0]);
    if (r.ok && r.status < 400 && Image::isImage(r.body))
      icon->setImageData(std::make_shared<const std::string>(std::move(r.body)), record[0]);
  }

  struct Line {
    const char* name;
    double y, size;
    bool bold;
  };
  const Line lines[] = {{"label1", 176, 26, true}, {"label2", 220, 40, true}, {"label3", 284, 20, false},
                        {"label4", 318, 20, false}};
  for (size_t i = 0; i < 4; ++i) {
    auto label = make<Label>(Rect{20, lines[i].y, 280, lines[i].size + 14}, record[i + 1]);
    label->setName(lines[i].name);
    label->setFont(lines[i].size, lines[i].bold);
    label->setAlignment(TextAlignment::Center);
    label->setTextColor(Color::rgb(30, 60, 90));
    view().addSubview(label);
  }
}

void dayWeatherViewController::btnEvent(int tag) {
  auto* nav = navigationController();
  if (!nav) return;
  if (tag == 1) {
    // Back to the first screen, past the loader.
    startUsageExitReport();
    if (!nav->viewControllers().empty()) nav->popToViewController(nav->viewControllers().front().get(), true);
  } else if (tag == 0) {
    goHome(*this);
  }
}

}  // namespace yx
