#include "library/news_feed.h"

#include <array>

#include "markup/dom.h"
#include "platform/escape.h"

namespace yx::library {

namespace {

std::string child(const DomElement& item, const std::string& name) {
  auto found = item.elementsForName(name);
  if (!found || found->empty()) return {};
  return (*found)[0]->stringValue().value_or("");
}

// The UTF-8 characters of a text, each as its own string.
std::vector<std::string_view> characters(std::string_view s) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < s.size()) {
    size_t j = i + 1;
    while (j < s.size() && (static_cast<unsigned char>(s[j]) & 0xC0) == 0x80) ++j;
    out.push_back(s.substr(i, j - i));
    i = j;
  }
  return out;
}

bool isHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

}  // namespace

std::optional<std::vector<NewsItem>> parseNewsFeed(std::string_view bytes) {
  auto doc = DomDocument::initWithData(bytes);
  if (!doc) return std::nullopt;
  std::vector<NewsItem> out;
  auto items = doc->nodesForXPath("//rss/channel/item");
  if (!items) return out;
  for (const auto& node : *items) {
    auto item = node->asElement();
    if (!item) continue;
    out.push_back({child(*item, "title"), child(*item, "link"), changeDate(child(*item, "pubDate"))});
  }
  return out;
}

std::string changeDate(const std::string& pubDate) {
  auto chars = characters(pubDate);
  if (chars.size() < 11) return pubDate;
  auto join = [&](size_t from, size_t to) {  // 1-based, inclusive
    std::string s;
    for (size_t i = from; i <= to; ++i) s += chars[i - 1];
    return s;
  };
  std::string day = join(6, 7), month = join(9, 11);
  static const std::array<const char*, 12> names = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (size_t i = 0; i < names.size(); ++i)
    if (month == names[i]) {
      month = std::to_string(i + 1);
      break;
    }
  return month + "/" + day;
}

std::string escapeLink(std::string_view link) {
  std::string out;
  out.reserve(link.size());
  size_t i = 0;
  while (i < link.size()) {
    if (link[i] == '%' && i + 2 < link.size() && isHex(link[i + 1]) && isHex(link[i + 2])) {
      out.append(link.substr(i, 3));
      i += 3;
      continue;
    }
    size_t j = i;
    while (j < link.size() && link[j] != '%') ++j;
    if (j == i) {  // a "%" that starts no escape
      out += "%25";
      ++i;
      continue;
    }
    out += legacyEscape(link.substr(i, j - i));
    i = j;
  }
  return out;
}

bool isWebLink(std::string_view link) {
  auto lower = [](std::string_view s) {
    std::string out(s);
    for (char& c : out)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
  };
  std::string l = lower(link.substr(0, 8));
  return l.rfind("http://", 0) == 0 || l.rfind("https://", 0) == 0;
}

}  // namespace yx::library
