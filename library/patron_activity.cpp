#include "library/patron_activity.h"

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

// The string value of the first child element of that name; "" when none.
std::string child(const DomNode& node, const std::string& name) {
  auto* element = dynamic_cast<const DomElement*>(&node);
  if (!element) return {};
  auto found = element->elementsForName(name);
  if (!found || found->empty()) return {};
  return (*found)[0]->stringValue().value_or("");
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
  for (const auto& n : *nodes)
    out.push_back({child(*n, "dueDate"), child(*n, "title"), child(*n, "status"), child(*n, "barcode"),
                   child(*n, "format"), child(*n, "bibId")});
  return out;
}

std::vector<HoldRequest> PatronActivity::requests() const {
  std::vector<HoldRequest> out;
  auto nodes = doc_->nodesForXPath("//patron/requests/request");
  if (!nodes) return out;
  out.reserve(nodes->size());
  for (const auto& n : *nodes)
    out.push_back({child(*n, "title"), child(*n, "dueDate"), child(*n, "pickupLocation"), child(*n, "format"),
                   child(*n, "bibId")});
  return out;
}

}  // namespace yx::library
