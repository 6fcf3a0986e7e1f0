#include "campus/newspaper/times_kit.h"

#include "core/deployment.h"
#include "platform/escape.h"

namespace yx::times {

namespace {
const char* const kTimes = "/Data/xml/Times/";

std::string campus(const std::string& path) { return Deployment::current().url("campus_data", path); }
std::string newspaper(const std::string& path) { return Deployment::current().url("newspaper_web", path); }
}  // namespace

std::string chineseListURL(int section) { return campus(kTimes + ("new-cht" + std::to_string(section) + ".xml")); }
std::string englishListURL() { return campus(std::string(kTimes) + "new-eng.xml"); }
std::string articleURL(const std::string& id) { return campus(kTimes + ("new-" + componentEscape(id) + ".xml")); }
std::string eventsURL() { return campus(std::string(kTimes) + "event.xml"); }
std::string speechesURL() { return campus(std::string(kTimes) + "speech.xml"); }
std::string photoIssuesURL() { return campus(std::string(kTimes) + "pic_db.xml"); }
std::string photoIssueURL(const std::string& issue) {
  return campus(kTimes + ("pic_db-" + componentEscape(issue) + ".xml"));
}

std::string thumbnailURL(const std::string& path) {
  return newspaper("/ashx/getILPic150.ashx?im=" + queryValueEscape(path));
}
std::string pictureURL(const std::string& path) { return newspaper("/ashx/getILPic.ashx?im=" + queryValueEscape(path)); }
std::string homePageURL() { return newspaper("/"); }
std::string askPictureURL() { return newspaper("/gallery/AskPic.aspx"); }

std::vector<DomElementPtr> itemsNamed(const DomDocument& doc, const std::string& name) {
  std::vector<DomElementPtr> out;
  auto root = doc.rootElement();
  if (!root) return out;
  auto items = root->elementsForName(name);
  if (!items) return out;
  out.reserve(items->size());
  for (auto& n : *items)
    if (auto e = n->asElement()) out.push_back(std::move(e));
  return out;
}

std::string childText(const DomElement& item, const std::string& name) {
  auto found = item.elementsForName(name);
  if (!found || found->empty()) return {};
  return found->front()->stringValue().value_or("");
}

std::vector<std::string> childTexts(const DomElement& item, const std::vector<std::string>& names) {
  std::vector<std::string> texts(names.size());
  std::vector<bool> found(names.size(), false);
  auto children = item.children();
  if (!children) return texts;
  for (const auto& child : *children) {
    if (child->kind() != DomKind::Element) continue;
    auto name = child->name();
    if (!name) continue;
    for (size_t i = 0; i < names.size(); ++i)
      if (!found[i] && names[i] == *name) {
        found[i] = true;
        texts[i] = child->stringValue().value_or("");
      }
  }
  return texts;
}

void BottomBar::moveTo(double y) {
  bar->setFrame(Rect{0, y, 320, 50});
  back->setFrame(Rect{270, y, 50, 50});
}

BottomBar addBottomBar(View& parent, int tag, std::function<void(int)> onTag, double y, bool stickToBottom) {
  BottomBar b;
  b.bar = make<ImageView>(Rect{0, y, 320, 50}, "001_03.png");
  b.bar->setName("bottomBar");
  b.back = make<Button>(Rect{270, y, 50, 50});
  b.back->setTag(tag);
  b.back->setImage("上一頁.png");
  b.back->setAction([onTag = std::move(onTag)](Button& btn) {
    if (onTag) onTag(btn.tag());
  });
  if (stickToBottom) {
    b.bar->setAutoresizingMask(Autoresizing::FlexibleTopMargin | Autoresizing::FlexibleWidth);
    b.back->setAutoresizingMask(Autoresizing::FlexibleTopMargin | Autoresizing::FlexibleLeftMargin);
  }
  parent.addSubview(b.bar);
  parent.addSubview(b.back);
  return b;
}

}  // namespace yx::times
