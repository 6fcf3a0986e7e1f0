#include "library/patron_activity.h"

#include <libxml/tree.h>

#include <array>

#include "core/deployment.h"
#include "markup/dom.h"
#include "platform/escape.h"
#include "platform/http.h"
#include "platform/plist_value.h"
#include "platform/settings.h"

namespace yx::library {

std::size_t characterCount(std::string_view utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

std::string barcodeFor(const std::string& typedId) {
  return characterCount(typedId) == 6 ? "000" + typedId : typedId;
}

std::string patronActivityBody(const std::string& barcode, const std::string& password) {
  return "barcode=" + componentEscape(barcode) + "&password=" + componentEscape(password);
}

std::optional<std::string> requestPatronActivity(const std::string& barcode, const std::string& password) {
  auto& settings = Settings::standard();
  HttpResult r;
  try {
    r = httpPost(Deployment::current().url("library_catalogue", "/cgi-bin/patron-activity"),
                 patronActivityBody(barcode, password), 60);
  } catch (const DeploymentError&) {
    r.ok = false;
  }
  if (!r.ok) {
    settings.removeObjectForKey(kLibData);
    return std::nullopt;
  }
  settings.setObject(kLibData, Value::bytes(r.body));
  return r.body;
}

std::optional<std::string> storedPatronData() {
  auto v = Settings::standard().objectForKey(kLibData);
  if (!v || !(v->isBytes() || v->isString())) return std::nullopt;
  return v->asBytes();
}

std::string storedPassword() { return Settings::standard().stringForKey(kLibPW).value_or(""); }
std::string storedID() { return Settings::standard().stringForKey(kLibID).value_or(""); }

namespace {

// The string values of the first child element of each wanted name ("" for a
// name without one), read in one pass over the element's libxml2 children.
// The values (titles, barcodes, ids) are nearly all distinct, so they are
// converted directly rather than through the document's string cache, and
// no wrapper is made per child: a list of 10,000 loans costs ten times one
// of 1,000.
template <size_t N> std::array<std::string, N> children(const DomNode& node, const std::array<const char*, N>& names) {
  std::array<std::string, N> values;
  std::array<bool, N> found{};
  xmlNodePtr element = node.XMLNode();
  if (!element || element->type != XML_ELEMENT_NODE) return values;
  for (xmlNodePtr kid = element->children; kid; kid = kid->next) {
    // Qualified names: a prefixed child ("x:title") is not "title".
    if (kid->type != XML_ELEMENT_NODE || !kid->name || (kid->ns && kid->ns->prefix)) continue;
    for (size_t i = 0; i < N; ++i) {
      if (found[i] || !xmlStrEqual(kid->name, reinterpret_cast<const xmlChar*>(names[i]))) continue;
      found[i] = true;
      if (xmlChar* content = xmlNodeGetContent(kid)) {
        values[i] = reinterpret_cast<const char*>(content);
        xmlFree(content);
      }
      break;
    }
  }
  return values;
}

}  // namespace

std::optional<PatronActivity> PatronActivity::parse(std::string_view bytes) {
  auto doc = DomDocument::initWithData(bytes);
  if (!doc) return std::nullopt;
  auto patrons = doc->nodesForXPath("//patron");
  if (!patrons || patrons->empty()) return std::nullopt;
  PatronActivity p;
  p.doc_ = std::move(doc);
  return p;
}

std::optional<std::string> PatronActivity::errorText() const {
  auto patrons = doc_->nodesForXPath("//patron");
  if (!patrons || patrons->empty()) return std::nullopt;
  auto* last = dynamic_cast<const DomElement*>(patrons->back().get());
  if (!last) return std::nullopt;
  auto errors = last->elementsForName("error");
  if (!errors || errors->empty()) return std::nullopt;
  return (*errors)[0]->stringValue();
}

std::vector<Checkout> PatronActivity::checkouts() const {
  std::vector<Checkout> out;
  auto nodes = doc_->nodesForXPath("//patron/checkouts/checkout");
  if (!nodes) return out;
  out.reserve(nodes->size());
  static constexpr std::array<const char*, 6> kNames = {"dueDate", "title", "status", "barcode", "format", "bibId"};
  for (const auto& n : *nodes) {
    auto v = children(*n, kNames);
    out.push_back({std::move(v[0]), std::move(v[1]), std::move(v[2]), std::move(v[3]), std::move(v[4]),
                   std::move(v[5])});
  }
  return out;
}

std::vector<HoldRequest> PatronActivity::requests() const {
  std::vector<HoldRequest> out;
  auto nodes = doc_->nodesForXPath("//patron/requests/request");
  if (!nodes) return out;
  out.reserve(nodes->size());
  static constexpr std::array<const char*, 5> kNames = {"title", "dueDate", "pickupLocation", "format", "bibId"};
  for (const auto& n : *nodes) {
    auto v = children(*n, kNames);
    out.push_back({std::move(v[0]), std::move(v[1]), std::move(v[2]), std::move(v[3]), std::move(v[4])});
  }
  return out;
}

}  // namespace yx::library
