#include "campus/info/guide_kit.h"

#include "platform/ui/common_views.h"

#include <libxml/tree.h>

#include <cstring>


namespace yx {

namespace {
const char* name(const xmlNode* n) { return reinterpret_cast<const char*>(n->name); }
}  // namespace

std::vector<std::vector<std::string>> readItemColumns(const DomDocument& doc, const std::string& item,
                                                      const std::vector<std::string>& fields) {
  std::vector<std::vector<std::string>> columns(fields.size());
  xmlDocPtr d = doc.XMLDocument();
  const xmlNode* root = d ? xmlDocGetRootElement(d) : nullptr;
  if (!root) return columns;
  std::vector<bool> seen(fields.size());
  for (const xmlNode* n = root->children; n; n = n->next) {
    if (n->type != XML_ELEMENT_NODE || item != name(n)) continue;
    for (auto& c : columns) c.emplace_back();
    std::fill(seen.begin(), seen.end(), false);
    for (const xmlNode* c = n->children; c; c = c->next) {
      if (c->type != XML_ELEMENT_NODE) continue;
      for (size_t f = 0; f < fields.size(); ++f) {
        if (seen[f] || fields[f] != name(c)) continue;
        seen[f] = true;
        if (xmlChar* text = xmlNodeGetContent(c)) {
          columns[f].back() = reinterpret_cast<const char*>(text);
          xmlFree(text);
        }
        break;
      }
    }
  }
  return columns;
}

std::shared_ptr<Label> addCountBar(ViewController& vc) {
  auto bar = make<View>(areaBelow(kCountBarTop));
  bar->setName("countBar");
  bar->setBackgroundColor(Color::rgb(238, 241, 244));
  bar->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleTopMargin);
  auto count = make<Label>(Rect{10, 0, 300, 30});
  count->setName("countLbl");
  count->setFont(15);
  count->setAlignment(TextAlignment::Right);
  count->setTextColor(Color::gray(0.3f));
  count->setAutoresizingMask(Autoresizing::FlexibleWidth);
  bar->addSubview(count);
  vc.view().addSubview(bar);
  return count;
}

}  // namespace yx
