#include "markup/html_query.h"

#include "markup/parse_safety.h"
#include "markup/text_util.h"

#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <sstream>

namespace yx {
namespace {

// Deeper levels than this are left out of a snapshot; the XML parser refuses such
// documents anyway and no real page nests this deep.
constexpr int kMaxSnapshotDepth = 256;

std::optional<std::string> utf8(const xmlChar* s) {
  if (s == nullptr) return std::nullopt;
  std::string out(reinterpret_cast<const char*>(s));
  if (!markup::isValidUtf8(out)) return std::nullopt;
  return out;
}

bool hasContentField(xmlElementType t) {
  switch (t) {
    case XML_ELEMENT_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
    case XML_ENTITY_REF_NODE:
      return true;
    default:
      return false;
  }
}

bool hasChildList(xmlElementType t) {
  return t == XML_ELEMENT_NODE || t == XML_ATTRIBUTE_NODE || t == XML_DOCUMENT_NODE ||
         t == XML_HTML_DOCUMENT_NODE || t == XML_DOCUMENT_FRAG_NODE;
}

std::optional<std::string> serialise(xmlDocPtr doc, xmlNodePtr node) {
  xmlBufferPtr buf = xmlBufferCreate();
  if (buf == nullptr) return std::nullopt;
  std::optional<std::string> out;
  if (xmlNodeDump(buf, doc, node, 0, 0) >= 0) out = utf8(xmlBufferContent(buf));
  xmlBufferFree(buf);
  return out;
}

// Converts one node. `hasParent` says a dictionary is being built one level up;
// `attribute` is set when the node is an attribute's value, whose text then goes
// (trimmed) into that attribute. Returns null when the node produced nothing.
std::shared_ptr<HtmlSnapshot> convert(xmlDocPtr doc, xmlNodePtr node, bool hasParent,
                                      HtmlAttributeSnapshot* attribute, int depth) {
  auto dict = std::make_shared<HtmlSnapshot>();
  if (node->type == XML_NAMESPACE_DECL) {
    auto* ns = reinterpret_cast<xmlNsPtr>(node);
    dict->nodeName = utf8(ns->prefix);
    dict->nodeContent = utf8(ns->href);
    return dict;
  }
  if (node->name != nullptr) dict->nodeName = utf8(node->name);
  const xmlChar* content = hasContentField(node->type) ? node->content : nullptr;
  if (content != nullptr) {
    const bool isText = node->name != nullptr && xmlStrEqual(node->name, BAD_CAST "text");
    if (isText && hasParent) {
      auto value = utf8(content);
      if (attribute != nullptr) {
        if (value) attribute->nodeContent = markup::trimWhitespaceAndNewlines(*value);
        return nullptr;
      }
      dict->nodeContent = std::move(value);
      return dict;
    }
    dict->nodeContent = utf8(content);
  }
  if (node->type == XML_ELEMENT_NODE) {
    for (xmlAttrPtr a = node->properties; a != nullptr; a = a->next) {
      HtmlAttributeSnapshot attr;
      if (a->name != nullptr) attr.attributeName = utf8(a->name);
      if (a->children == nullptr) {
        attr.nodeContent = std::string();
      } else if (auto produced = convert(doc, a->children, true, &attr, depth + 1)) {
        attr.attributeContent = std::move(produced);
      }
      if (attr.attributeName || attr.nodeContent || attr.attributeContent) {
        dict->nodeAttributeArray.push_back(std::move(attr));
      }
    }
  }
  if (hasChildList(node->type) && depth < kMaxSnapshotDepth) {
    for (xmlNodePtr c = node->children; c != nullptr; c = c->next) {
      if (auto produced = convert(doc, c, true, nullptr, depth + 1)) dict->nodeChildArray.push_back(std::move(produced));
    }
  }
  dict->raw = serialise(doc, node);
  return dict;
}

void silentXPathError(void*, xmlErrorPtr) {}

std::vector<HtmlQueryElementPtr> runQuery(std::string_view data, const std::optional<std::string>& parseEncoding,
                                          bool isXML, const std::optional<std::string>& elementEncoding,
                                          const std::string& xpath, bool* hadErrors) {
  std::vector<HtmlQueryElementPtr> out;
  if (hadErrors != nullptr) *hadErrors = false;
  const char* enc = parseEncoding ? parseEncoding->c_str() : nullptr;
  xmlDocPtr doc = nullptr;
  if (isXML) {
    markup::XmlParseOutcome outcome;
    doc = markup::parseXmlTree(data, enc, XML_PARSE_RECOVER, &outcome);
    if (hadErrors != nullptr) *hadErrors = !outcome.wellFormed;
  } else {
    doc = markup::parseHtmlTree(data, enc, HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING, hadErrors);
  }
  if (doc == nullptr) return out;
  xmlXPathContextPtr ctx = xmlXPathNewContext(doc);
  if (ctx == nullptr) {
    xmlFreeDoc(doc);
    return out;
  }
  ctx->error = silentXPathError;
  xmlXPathObjectPtr result = xmlXPathEvalExpression(BAD_CAST xpath.c_str(), ctx);
  if (result != nullptr && result->type == XPATH_NODESET && result->nodesetval != nullptr) {
    for (int i = 0; i < result->nodesetval->nodeNr; ++i) {
      xmlNodePtr n = result->nodesetval->nodeTab[i];
      if (n == nullptr) continue;
      if (auto snapshot = convert(doc, n, false, nullptr, 0)) {
        out.push_back(HtmlQueryElement::elementWithNode(std::move(snapshot), isXML, elementEncoding));
      }
    }
  }
  if (result != nullptr) xmlXPathFreeObject(result);
  xmlXPathFreeContext(ctx);
  xmlFreeDoc(doc);
  return out;
}

}  // namespace

// ---------------------------------------------------------------- HtmlQuery

HtmlQuery::HtmlQuery(std::string data, std::optional<std::string> encoding, bool isXML)
    : data_(std::move(data)), encoding_(std::move(encoding)), isXML_(isXML) {}

std::vector<HtmlQueryElementPtr> HtmlQuery::searchWithXPathQuery(const std::string& xpath) const {
  return runQuery(data_, encoding_, isXML_, encoding_, xpath, &lastParseHadErrors_);
}

HtmlQueryElementPtr HtmlQuery::peekAtSearchWithXPathQuery(const std::string& xpath) const {
  auto all = searchWithXPathQuery(xpath);
  return all.empty() ? nullptr : all.front();
}

// ---------------------------------------------------------------- HtmlQueryElement

HtmlQueryElement::HtmlQueryElement(std::shared_ptr<const HtmlSnapshot> node, bool isXML,
                                   std::optional<std::string> encoding)
    : node_(node ? std::move(node) : std::make_shared<const HtmlSnapshot>()),
      isXML_(isXML),
      encoding_(std::move(encoding)) {}

HtmlQueryElementPtr HtmlQueryElement::elementWithNode(std::shared_ptr<const HtmlSnapshot> node, bool isXML,
                                                      std::optional<std::string> encoding) {
  return std::make_shared<const HtmlQueryElement>(std::move(node), isXML, std::move(encoding));
}

std::vector<HtmlQueryElementPtr> HtmlQueryElement::children() const {
  std::vector<HtmlQueryElementPtr> out;
  out.reserve(node_->nodeChildArray.size());
  auto self = std::make_shared<const HtmlQueryElement>(*this);
  for (const auto& c : node_->nodeChildArray) {
    auto child = std::make_shared<HtmlQueryElement>(c, isXML_, encoding_);
    child->parent_ = self;
    out.push_back(std::move(child));
  }
  return out;
}

HtmlQueryElementPtr HtmlQueryElement::firstChild() const {
  auto all = children();
  return all.empty() ? nullptr : all.front();
}

std::map<std::string, std::string> HtmlQueryElement::attributes() const {
  std::map<std::string, std::string> out;
  for (const auto& a : node_->nodeAttributeArray) {
    if (a.attributeName && a.nodeContent) out[*a.attributeName] = *a.nodeContent;
  }
  return out;
}

std::optional<std::string> HtmlQueryElement::objectForKey(const std::string& attributeName) const {
  // The last attribute of a name wins, as when building a dictionary.
  std::optional<std::string> found;
  for (const auto& a : node_->nodeAttributeArray) {
    if (a.attributeName && a.nodeContent && *a.attributeName == attributeName) found = a.nodeContent;
  }
  return found;
}

bool HtmlQueryElement::isTextNode() const { return node_->nodeName == "text" && node_->nodeContent.has_value(); }

std::vector<HtmlQueryElementPtr> HtmlQueryElement::childrenWithTagName(const std::string& tagName) const {
  std::vector<HtmlQueryElementPtr> out;
  for (auto& c : children()) {
    if (c->tagName() == tagName) out.push_back(c);
  }
  return out;
}

HtmlQueryElementPtr HtmlQueryElement::firstChildWithTagName(const std::string& tagName) const {
  auto all = childrenWithTagName(tagName);
  return all.empty() ? nullptr : all.front();
}

std::vector<HtmlQueryElementPtr> HtmlQueryElement::childrenWithClassName(const std::string& className) const {
  std::vector<HtmlQueryElementPtr> out;
  for (auto& c : children()) {
    if (c->objectForKey("class") == className) out.push_back(c);
  }
  return out;
}

HtmlQueryElementPtr HtmlQueryElement::firstChildWithClassName(const std::string& className) const {
  auto all = childrenWithClassName(className);
  return all.empty() ? nullptr : all.front();
}

HtmlQueryElementPtr HtmlQueryElement::firstTextChild() const {
  const auto all = children();
  for (const auto& c : all) {
    if (c->isTextNode()) return c;
  }
  for (const auto& c : all) {
    if (c->tagName() == "text") return c;
  }
  return nullptr;
}

std::optional<std::string> HtmlQueryElement::text() const {
  auto t = firstTextChild();
  return t ? t->content() : std::nullopt;
}

std::vector<HtmlQueryElementPtr> HtmlQueryElement::searchWithXPathQuery(const std::string& xpath) const {
  if (!node_->raw) return {};
  // The serialised text is always UTF-8, whatever the page's own encoding was.
  return runQuery(*node_->raw, std::string("UTF-8"), isXML_, encoding_, xpath, nullptr);
}

std::string HtmlQueryElement::description() const {
  std::ostringstream os;
  os << "{";
  if (node_->nodeName) os << " nodeName = \"" << *node_->nodeName << "\";";
  if (node_->nodeContent) os << " nodeContent = \"" << *node_->nodeContent << "\";";
  if (!node_->nodeAttributeArray.empty()) os << " nodeAttributeArray = (" << node_->nodeAttributeArray.size() << ");";
  if (!node_->nodeChildArray.empty()) os << " nodeChildArray = (" << node_->nodeChildArray.size() << ");";
  if (node_->raw) os << " raw = \"" << *node_->raw << "\";";
  os << " }";
  return os.str();
}

}  // namespace yx
