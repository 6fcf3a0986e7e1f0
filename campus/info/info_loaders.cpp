#include "campus/info/info_loaders.h"

#include "campus/info/info_screens.h"
#include "campus/info/lab_screens.h"
#include "core/deployment.h"

namespace yx {

std::string newsFeedURL(long category) {
  return Deployment::current().url("campus_data", "/Data/xml/news-" + std::to_string(category) + ".xml");
}
std::string activityFeedURL(long category) {
  return Deployment::current().url("campus_data", "/Data/xml/act-" + std::to_string(category) + ".xml");
}
std::string labsFeedURL() { return Deployment::current().url("campus_data", "/Data/xml/labs.xml"); }

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
  if (from.empty()) return;
  std::string out;
  size_t pos = 0;
  for (size_t hit; (hit = text.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
    out.append(text, pos, hit - pos);
    out += to;
  }
  if (pos == 0) return;
  out.append(text, pos, std::string::npos);
  text = std::move(out);
}

// ------------------------------------------------------------------- news

const std::vector<std::string>& newsXMLParser::fields() {
  static const std::vector<std::string> f = {"編號", "公告", "類別", "活動開始日期", "活動結束日期"};
  return f;
}

void newsXMLParser::treatText(const std::string& field, std::string& text) const {
  if (field != "公告") return;
  replaceAll(text, "鳴泉:", "");
  replaceAll(text, "小字:", "");
}

std::shared_ptr<ViewController> newsXMLParser::makeListScreen() {
  auto list = std::make_shared<newsListViewController>();
  list->setCategory(category_);
  return list;
}

// ------------------------------------------------------------- activities

const std::vector<std::string>& xmlParser::fields() {
  static const std::vector<std::string> f = {"課程名稱", "開課類別",     "上課地點",     "上課起始時間", "上課結束時間",
                                             "開始報名時間", "結束報名時間", "開課對象", "連結編號"};
  return f;
}

std::string xmlParser::modeFor(const std::string& url) {
  std::string path = Deployment::current().pathOf(url);
  path = path.substr(0, path.find_first_of("?#"));
  for (const char* mode : {"prefer", "act", "bus"})
    if (path.find(mode) != std::string::npos) return mode;
  return {};
}

void xmlParser::treatText(const std::string& field, std::string& text) const {
  if (mode_ != "act") return;
  if (field != "上課起始時間" && field != "上課結束時間" && field != "開始報名時間" && field != "結束報名時間") return;
  replaceAll(text, "T", " ");
  replaceAll(text, ":00+08:00", "");
}

std::shared_ptr<ViewController> xmlParser::makeListScreen() {
  if (mode_ != "act") return nullptr;
  auto list = std::make_shared<inforActsViewController>();
  list->setCategory(category_);
  return list;
}

// -------------------------------------------------------------- lab seats

const std::vector<std::string>& computerSeatXMLParser::fields() {
  static const std::vector<std::string> f = {"實習室編號", "使用機號", "使用機位數", "每間機位數", "開放訊息", "更新時間"};
  return f;
}

void computerSeatXMLParser::treatText(const std::string& field, std::string& text) const {
  if (field != "更新時間") return;
  replaceAll(text, "T", " ");
  replaceAll(text, "+08:00", "");
}

std::shared_ptr<ViewController> computerSeatXMLParser::makeListScreen() {
  return std::make_shared<computerViewController>();
}

}  // namespace yx
