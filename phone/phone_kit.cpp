#include "phone/phone_kit.h"

#include <cstdio>

#include "core/screen_kit.h"
#include "markup/dom.h"
#include "markup/feed_loader.h"
#include "platform/dates.h"
#include "platform/runloop.h"
#include "platform/ui/common_views.h"

namespace yx::phone {

std::optional<FeedRows> readDirectoryFeed(std::string_view body, const std::vector<std::string>& fields) {
  auto doc = DomDocument::initWithData(body);
  if (!doc) return std::nullopt;
  FeedRows rows;
  auto root = doc->rootElement();
  if (!root) return rows;
  auto entries = root->elementsForName("dp");
  if (!entries) return rows;
  rows.reserve(entries->size());
  for (const DomNodePtr& node : *entries) {
    auto* entry = static_cast<DomElement*>(node.get());
    std::vector<std::string> values;
    values.reserve(fields.size());
    for (const std::string& field : fields) {
      std::string value;
      if (auto children = entry->elementsForName(field); children && !children->empty())
        value = children->front()->stringValue().value_or("");
      values.push_back(std::move(value));
    }
    rows.push_back(std::move(values));
  }
  return rows;
}

std::optional<FeedRows> loadDirectoryFeed(const std::string& path, const std::vector<std::string>& fields) {
  auto url = serverURL("campus_data", path);
  std::optional<std::string> body = url ? fetchBody(*url) : std::nullopt;
  return body ? readDirectoryFeed(*body, fields) : std::nullopt;
}

std::vector<std::string> splitText(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
    parts.push_back(text.substr(start, at - start));
  parts.push_back(text.substr(start));
  return parts;
}

int leadingInt(std::string_view text) {
  // atoi also skips vertical tabs and form feeds before the number.
  size_t i = 0;
  while (i < text.size() && (text[i] == '\v' || text[i] == '\f')) ++i;
  return FeedLoaderViewController::intValue(text.substr(i));
}

std::string sipURL(const std::string& number) {
  static const std::string_view kUserChars = "-_.!~*'()&=+$,;?/";
  static const char* const kHex = "0123456789ABCDEF";
  std::string url = "sip:";
  for (unsigned char c : number) {
    bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                kUserChars.find(static_cast<char>(c)) != std::string_view::npos;
    if (keep) {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 15];
    }
  }
  return url;
}

std::string callTimeNow() { return formatDate("yyyy/MM/dd HH:mm", now()); }

std::shared_ptr<Button> makeButton(Rect frame, const std::string& title, const std::string& actionName,
                                   std::function<void(Button&)> action) {
  auto b = make<Button>(frame, title);
  b->setActionName(actionName);
  b->setAction(std::move(action));
  return b;
}

std::shared_ptr<TextField> makeField(Rect frame, const std::string& name, const std::string& placeholder,
                                     bool secure) {
  auto f = make<TextField>(frame);
  f->setName(name);
  f->setPlaceholder(placeholder);
  f->setSecureTextEntry(secure);
  f->setBorder(1, 5);
  return f;
}

std::shared_ptr<ActivityIndicator> addSpinner(View& parent) {
  return yx::addSpinner(parent, Rect{141.5, 265.5, 37, 37}, "activityIndicator",
                       Autoresizing::FlexibleTopMargin | Autoresizing::FlexibleBottomMargin);
}

std::shared_ptr<Label> makeTextLabel(Rect frame, const std::string& text, double fontSize) {
  auto l = make<Label>(frame, text);
  l->setNumberOfLines(0);
  l->setFont(fontSize);
  return l;
}

}  // namespace yx::phone
