// Queries arbitrary bytes as HTML and as XML and walks every snapshot.
#include "markup/html_query.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void walk(const yx::HtmlQueryElementPtr& e, int depth) {
  if (!e || depth > 32) return;
  (void)e->text();
  (void)e->attributes();
  (void)e->objectForKey("value");
  for (const auto& c : e->children()) walk(c, depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  auto html = yx::HtmlQuery::queryWithHTMLData(bytes);
  for (const auto& e : html.searchWithXPathQuery("//input")) walk(e, 0);
  if (auto body = html.peekAtSearchWithXPathQuery("//body/*[1]")) {
    walk(body, 0);
    (void)body->searchWithXPathQuery("//*");
  }
  auto xml = yx::HtmlQuery::queryWithXMLData(bytes);
  for (const auto& e : xml.searchWithXPathQuery("/*/*")) walk(e, 0);
  return 0;
}
