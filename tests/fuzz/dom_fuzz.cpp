// Parses arbitrary bytes into a document and walks it: XPath, names, text,
// serialisation, a graft of the first child and of the attributes into a detached
// element, and replacing the namespace declarations of a copy.
#include "markup/dom.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void walk(const yx::DomNodePtr& node, int depth) {
  if (!node || depth > 64) return;
  (void)node->name();
  (void)node->localName();
  (void)node->URI();
  (void)node->stringValue();
  if (auto el = node->asElement()) {
    (void)el->attributes();
    if (auto n = el->name()) (void)el->elementsForName(*n);
  }
  if (auto kids = node->children()) {
    for (const auto& k : *kids) walk(k, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  auto doc = yx::DomDocument::initWithData(bytes);
  if (!doc) return 0;
  auto root = doc->rootElement();
  walk(root, 0);
  (void)doc->nodesForXPath("//*[1]");
  (void)doc->nodesForXPath("//_def_ns:*");
  (void)doc->nodesForXPath("//@*");
  (void)doc->nodesForXPath("//namespace::*");
  // The first line of the input also serves as an XPath expression.
  (void)doc->nodesForXPath(bytes.substr(0, bytes.find('\n')));
  if (root) {
    (void)root->XMLString();
    auto holder = yx::DomNode::elementWithName("holder");
    if (auto first = root->childAtIndex(0)) {
      holder->addChild(*first);
      (void)holder->nodesForXPath(".//*");
      root->removeChild(*first);
    }
    // Attributes grafted one by one, looked up by name, and the namespace
    // declarations of a copy replaced while its nodes still use them.
    if (auto attrs = root->attributes()) {
      for (const auto& a : *attrs) {
        holder->addAttribute(*a);
        if (auto n = a->name()) (void)root->attributeForName(*n);
      }
    }
    (void)holder->XMLString();
    if (auto copy = root->copy()) {
      if (auto el = copy->asElement()) {
        el->setNamespaces({yx::DomNode::namespaceWithNameStringValue("p", "urn:p")});
        (void)el->XMLString();
      }
    }
    (void)doc->XMLData();
  }
  return 0;
}
