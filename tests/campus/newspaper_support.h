#pragma once
// Shared set-up for the campus newspaper's screen tests: the app on the
// simulator with the profile delivered, overlay feeds and pictures, and
// access to the screen on top.

#include <string>
#include <vector>

#include "platform/application.h"
#include "platform/image_loader.h"
#include "platform/ui/view_controller.h"
#include "sim/sample_data.h"
#include "tests/campus/feeds_support.h"

namespace yx::test {

class NewspaperFixture : public FeedsFixture {
protected:
  static constexpr const char* kTimes = "/Data/xml/Times/";

  // Home menu → 雲岫學報, then the menu entry (-1: stay on the menu).
  std::string openNewspaper(int entry = -1) {
    startReady();
    std::string s = run("tap 20");
    return entry < 0 ? s : run("tap " + std::to_string(entry) + " " + kEntryTitles[entry]);
  }

  // A feed under /Data/xml/Times/ built from items of (child, text) pairs.
  using Item = std::vector<std::pair<std::string, std::string>>;
  void serveTimes(const std::string& file, const std::string& itemName, const std::vector<Item>& items,
                  const std::string& extra = {}) {
    std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<NewDataSet>\n" + extra;
    for (const auto& item : items) {
      xml += "<" + itemName + ">";
      for (const auto& [k, v] : item) xml += "<" + k + ">" + xmlText(v) + "</" + k + ">";
      xml += "</" + itemName + ">\n";
    }
    serveFeed(kTimes + file, xml + "</NewDataSet>\n");
  }
  static std::string xmlText(const std::string& v) {
    std::string out;
    for (char c : v) out += c == '&' ? "&amp;" : c == '<' ? "&lt;" : c == '>' ? "&gt;" : std::string(1, c);
    return out;
  }
  // A picture of the newspaper web server, under the name its keyed answer has.
  void servePicture(const std::string& handler, const std::string& path, const std::string& bytes) {
    serve("newspaper_web", "/ashx/" + handler + "@im=" + sim::keyedValue(path), bytes);
  }

  // "path?query" of every request for paths starting with `prefix`, in order.
  std::vector<std::string> wire(const std::string& prefix) {
    std::vector<std::string> out;
    for (auto& r : sim().requests()) {
      std::string path = r.value("path", "");
      if (path.rfind(prefix, 0) != 0) continue;
      std::string q = r.value("raw_query", "");
      out.push_back(q.empty() ? path : path + "?" + q);
    }
    return out;
  }

  static inline const char* const kEntryTitles[5] = {"最新一期", "WYN Times", "活動看板", "演講看板", "近期圖輯"};
};

}  // namespace yx::test
