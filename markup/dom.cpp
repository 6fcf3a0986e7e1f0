#include "markup/dom.h"

#include "markup/parse_safety.h"
#include "markup/text_util.h"

#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unordered_set>
#include <utility>

namespace yx {
namespace markup::detail {

// djb2 over the bytes, each taken as a signed char.
struct Djb2Hash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const noexcept {
    std::size_t h = 5381;
    for (char c : s) h = h * 33 + static_cast<std::size_t>(static_cast<long>(static_cast<signed char>(c)));
    return h;
  }
};
struct BytesEqual {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const noexcept {
    return a.data() == b.data() ? a.size() == b.size() : a == b;
  }
};

// Per-document cache of converted strings: repeated names and values are
// converted once per document.
class StringCache {
public:
  const std::string& get(const xmlChar* text) {
    const std::string_view key(reinterpret_cast<const char*>(text));
    auto it = strings_.find(key);
    if (it == strings_.end()) it = strings_.emplace(key).first;
    return *it;
  }
  std::size_t size() const { return strings_.size(); }

private:
  std::unordered_set<std::string, Djb2Hash, BytesEqual> strings_;
};

// Owns one libxml2 tree (a document or a detached node) plus everything unlinked
// from it, and frees them together when the last wrapper lets go.
struct TreeOwner {
  enum class What { Document, Node, Attribute, Namespace };
  What what;
  void* ptr;
  bool released = false;
  std::vector<xmlNodePtr> graveNodes;
  std::vector<xmlAttrPtr> graveAttributes;
  std::vector<xmlNsPtr> graveNamespaces;
  std::unique_ptr<StringCache> cache;

  TreeOwner(What w, void* p) : what(w), ptr(p) {
    if (w == What::Document) cache = std::make_unique<StringCache>();
  }
  TreeOwner(const TreeOwner&) = delete;
  TreeOwner& operator=(const TreeOwner&) = delete;

  ~TreeOwner() {
    // Unlinked pieces first: their names may live in the document's dictionary.
    for (xmlNodePtr n : graveNodes) xmlFreeNode(n);
    for (xmlAttrPtr a : graveAttributes) xmlFreeProp(a);
    for (xmlNsPtr ns : graveNamespaces) xmlFreeNs(ns);
    if (released || ptr == nullptr) return;
    switch (what) {
      case What::Document:
        xmlFreeDoc(static_cast<xmlDocPtr>(ptr));
        break;
      case What::Node: {
        auto* n = static_cast<xmlNodePtr>(ptr);
        xmlUnlinkNode(n);
        xmlFreeNode(n);
        break;
      }
      case What::Attribute: {
        auto* a = static_cast<xmlAttrPtr>(ptr);
        xmlUnlinkNode(reinterpret_cast<xmlNodePtr>(a));
        xmlFreeProp(a);
        break;
      }
      case What::Namespace:
        xmlFreeNs(static_cast<xmlNsPtr>(ptr));
        break;
    }
  }

  void bury(xmlNodePtr n) {
    if (n == nullptr) return;
    if (n->type == XML_ATTRIBUTE_NODE) {
      graveAttributes.push_back(reinterpret_cast<xmlAttrPtr>(n));
    } else if (n->type == XML_NAMESPACE_DECL) {
      graveNamespaces.push_back(reinterpret_cast<xmlNsPtr>(n));
    } else {
      graveNodes.push_back(n);
    }
  }
};

}  // namespace markup::detail

using markup::detail::TreeOwner;

namespace {

const xmlChar* X(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }
std::string S(const xmlChar* s) { return s != nullptr ? std::string(reinterpret_cast<const char*>(s)) : std::string(); }

int typeOf(const void* node) {
  // xmlNode and xmlNs both keep their type in the second member.
  if (node == nullptr) return -1;
  return static_cast<int>(static_cast<const xmlNode*>(node)->type);
}

bool isNamespace(const void* node) { return typeOf(node) == XML_NAMESPACE_DECL; }
xmlNsPtr asNs(void* node) { return static_cast<xmlNsPtr>(node); }

// Serialises one node, indent level 0, no formatting.
std::optional<std::string> dumpNode(xmlDocPtr doc, xmlNodePtr node) {
  xmlBufferPtr buf = xmlBufferCreate();
  if (buf == nullptr) return std::nullopt;
  const int n = xmlNodeDump(buf, doc, node, 0, 0);
  std::optional<std::string> out;
  if (n >= 0) out = std::string(reinterpret_cast<const char*>(xmlBufferContent(buf)), static_cast<std::size_t>(xmlBufferLength(buf)));
  xmlBufferFree(buf);
  return out;
}

// Captures libxml2's XPath error messages for the current thread instead of
// printing them, restoring the previous handler afterwards.
class XPathErrorCapture {
public:
  XPathErrorCapture() : previous_(xmlStructuredError), previousContext_(xmlStructuredErrorContext) {
    xmlSetStructuredErrorFunc(this, &XPathErrorCapture::handle);
  }
  ~XPathErrorCapture() { xmlSetStructuredErrorFunc(previousContext_, previous_); }
  XPathErrorCapture(const XPathErrorCapture&) = delete;
  XPathErrorCapture& operator=(const XPathErrorCapture&) = delete;
  const std::optional<std::string>& message() const { return message_; }
  int code() const { return code_; }

private:
  static void handle(void* self, xmlErrorPtr error) {
    auto* capture = static_cast<XPathErrorCapture*>(self);
    if (error == nullptr || capture->code_ != 0) return;
    capture->code_ = error->code;
    if (error->message != nullptr) capture->message_ = markup::trimWhitespaceAndNewlines(error->message);
  }
  xmlStructuredErrorFunc previous_;
  void* previousContext_;
  std::optional<std::string> message_;
  int code_ = 0;
};

// Name split at the last colon for the grafting fix-up; false when the colon is
// missing or first or last.
bool splitAtLastColon(const std::string& name, std::string& before, std::string& after) {
  const auto pos = name.rfind(':');
  if (pos == std::string::npos || pos == 0 || pos + 1 == name.size()) return false;
  before = name.substr(0, pos);
  after = name.substr(pos + 1);
  return true;
}

std::string bracedName(const std::string& uri, const std::string& local) { return "{" + uri + "}:" + local; }

// The "xml" prefix is bound everywhere. libxml2's own lookups answer it for a
// detached element by adding a fresh declaration to that element on every call, so
// detached trees get this one shared declaration instead (nothing ever frees it:
// nodes only point at their namespace, and it is never put in a declaration list).
xmlNsPtr sharedXmlNamespace() {
  static xmlNs ns = [] {
    xmlNs n{};
    n.type = XML_NAMESPACE_DECL;
    n.href = XML_XML_NAMESPACE;
    n.prefix = reinterpret_cast<const xmlChar*>("xml");
    return n;
  }();
  return &ns;
}

// The declaration bound to `prefix` (null: the default namespace) in scope at
// `at`, without ever changing the tree.
xmlNsPtr findNsByPrefix(xmlNodePtr at, const xmlChar* prefix) {
  if (at == nullptr || at->type == XML_NAMESPACE_DECL) return nullptr;
  if (prefix != nullptr && xmlStrEqual(prefix, X("xml"))) {
    for (xmlNodePtr n = at; n != nullptr; n = n->parent) {
      if (n->type != XML_ELEMENT_NODE) continue;
      for (xmlNsPtr ns = n->nsDef; ns != nullptr; ns = ns->next) {
        if (xmlStrEqual(ns->prefix, prefix)) return ns;
      }
    }
    // A document keeps one declaration of its own, made once.
    return at->doc != nullptr ? xmlSearchNs(at->doc, at, prefix) : sharedXmlNamespace();
  }
  return xmlSearchNs(at->doc, at, prefix);
}

// The declaration of `href` in scope at `at` whose prefix is not hidden by a nearer
// declaration. `prefixed` skips default declarations (an attribute cannot be in
// the default namespace).
xmlNsPtr findNsByHref(xmlNodePtr at, const xmlChar* href, bool prefixed) {
  if (at == nullptr || at->type == XML_NAMESPACE_DECL || href == nullptr) return nullptr;
  if (xmlStrEqual(href, XML_XML_NAMESPACE)) return findNsByPrefix(at, X("xml"));
  for (xmlNodePtr n = at; n != nullptr; n = n->parent) {
    if (n->type != XML_ELEMENT_NODE) continue;
    for (xmlNsPtr ns = n->nsDef; ns != nullptr; ns = ns->next) {
      if (ns->href == nullptr || !xmlStrEqual(ns->href, href)) continue;
      if (prefixed && ns->prefix == nullptr) continue;
      if (findNsByPrefix(at, ns->prefix) == ns) return ns;
    }
  }
  return nullptr;
}

// Declares `href` on `element`, under `prefix` when that is free there, else under
// the first free "prefix1", "prefix2", ... (or "ns1", ... without a prefix).
xmlNsPtr declareNamespace(xmlNodePtr element, const xmlChar* href, const xmlChar* prefix, bool prefixed) {
  if (prefix != nullptr || !prefixed) {
    if (xmlNsPtr ns = xmlNewNs(element, href, prefix)) return ns;
  }
  const std::string base = prefix != nullptr && !xmlStrEqual(prefix, X("xml")) ? S(prefix) : std::string("ns");
  for (int i = 1; i < 1000; ++i) {
    const std::string candidate = base + std::to_string(i);
    if (findNsByPrefix(element, X(candidate)) != nullptr) continue;
    if (xmlNsPtr ns = xmlNewNs(element, href, X(candidate))) return ns;
  }
  return nullptr;
}

using NsPairs = std::vector<std::pair<xmlNsPtr, xmlNsPtr>>;

void switchNamespace(xmlNodePtr node, const NsPairs& pairs) {
  for (const auto& [removed, kept] : pairs) {
    if (node->ns == removed) node->ns = kept;
  }
}

// Resolves names like "p:local" or "{uri}:local" of nodes without a namespace
// against the scope at `scope`, and drops namespace declarations that duplicate an
// in-scope one, recursively over elements and attributes.
void fixUpGrafted(xmlNodePtr node, NsPairs& pairs, TreeOwner* owner) {
  if (node == nullptr || (node->type != XML_ELEMENT_NODE && node->type != XML_ATTRIBUTE_NODE)) return;
  xmlNodePtr scope = node->type == XML_ATTRIBUTE_NODE ? node->parent : node;
  const std::size_t inherited = pairs.size();
  if (node->type == XML_ELEMENT_NODE && node->parent != nullptr) {
    xmlNsPtr* link = &node->nsDef;
    while (*link != nullptr) {
      xmlNsPtr ns = *link;
      xmlNsPtr kept = findNsByHref(node->parent, ns->href, false);
      if (kept != nullptr && kept != ns && xmlStrEqual(kept->prefix, ns->prefix)) {
        *link = ns->next;
        ns->next = nullptr;
        pairs.emplace_back(ns, kept);
        if (owner != nullptr) {
          owner->graveNamespaces.push_back(ns);
        } else {
          // Nothing else can see a declaration of a freshly grafted copy.
          switchNamespace(node, pairs);
          xmlFreeNs(ns);
          continue;
        }
      } else {
        link = &ns->next;
      }
    }
  }
  switchNamespace(node, pairs);
  if (node->ns == nullptr && node->name != nullptr && scope != nullptr) {
    std::string before;
    std::string after;
    if (splitAtLastColon(S(node->name), before, after)) {
      xmlNsPtr found = nullptr;
      const bool attribute = node->type == XML_ATTRIBUTE_NODE;
      if (before.size() >= 3 && before.front() == '{' && before.back() == '}') {
        found = findNsByHref(scope, X(before.substr(1, before.size() - 2)), attribute);
      } else {
        found = findNsByPrefix(scope, X(before));
      }
      if (found != nullptr) {
        xmlSetNs(node, found);
        xmlNodeSetName(node, X(after));
      }
    }
  }
  if (node->type == XML_ELEMENT_NODE) {
    for (xmlAttrPtr a = node->properties; a != nullptr; a = a->next) {
      fixUpGrafted(reinterpret_cast<xmlNodePtr>(a), pairs, owner);
    }
    for (xmlNodePtr c = node->children; c != nullptr; c = c->next) fixUpGrafted(c, pairs, owner);
  }
  pairs.resize(inherited);
}

void fixUp(xmlNodePtr node, TreeOwner* owner) {
  NsPairs pairs;
  fixUpGrafted(node, pairs, owner);
}

DomKind kindForType(int type) {
  switch (type) {
    case XML_ELEMENT_NODE: return DomKind::Element;
    case XML_ATTRIBUTE_NODE: return DomKind::Attribute;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE: return DomKind::Text;
    case XML_ENTITY_REF_NODE:
    case XML_ENTITY_NODE:
    case XML_ENTITY_DECL: return DomKind::EntityDeclaration;
    case XML_PI_NODE:
    case XML_XINCLUDE_START:
    case XML_XINCLUDE_END: return DomKind::ProcessingInstruction;
    case XML_COMMENT_NODE: return DomKind::Comment;
    case XML_DOCUMENT_NODE:
    case XML_DOCUMENT_TYPE_NODE:
    case XML_DOCUMENT_FRAG_NODE:
    case XML_HTML_DOCUMENT_NODE:
#ifdef LIBXML_DOCB_ENABLED
    case XML_DOCB_DOCUMENT_NODE:
#endif
      return DomKind::Document;
    case XML_NOTATION_NODE: return DomKind::NotationDeclaration;
    case XML_DTD_NODE: return DomKind::DTD;
    case XML_ELEMENT_DECL: return DomKind::ElementDeclaration;
    case XML_ATTRIBUTE_DECL: return DomKind::AttributeDeclaration;
    case XML_NAMESPACE_DECL: return DomKind::Namespace;
    default: return DomKind::Invalid;
  }
}

}  // namespace

// ---------------------------------------------------------------- DomNode

DomNode::DomNode(void* node, std::shared_ptr<TreeOwner> keeper, bool consuming)
    : node_(node), keeper_(std::move(keeper)), consuming_(consuming) {}

DomNode::~DomNode() = default;

DomNodePtr DomNode::wrap(void* node, std::shared_ptr<TreeOwner> keeper, bool consuming) {
  if (node == nullptr) return nullptr;
  if (typeOf(node) == XML_ELEMENT_NODE) return DomElementPtr(new DomElement(node, std::move(keeper), consuming));
  return DomNodePtr(new DomNode(node, std::move(keeper), consuming));
}

DomNodePtr DomNode::consume(void* node) {
  if (node == nullptr) return nullptr;
  TreeOwner::What what = TreeOwner::What::Node;
  switch (typeOf(node)) {
    case XML_ATTRIBUTE_NODE: what = TreeOwner::What::Attribute; break;
    case XML_NAMESPACE_DECL: what = TreeOwner::What::Namespace; break;
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE: what = TreeOwner::What::Document; break;
    default: break;
  }
  return wrap(node, std::make_shared<TreeOwner>(what, node), true);
}

DomElementPtr DomNode::elementWithName(const std::string& name) {
  return std::static_pointer_cast<DomElement>(consume(xmlNewNode(nullptr, X(name))));
}

DomElementPtr DomNode::elementWithNameStringValue(const std::string& name, const std::string& value) {
  xmlNodePtr n = xmlNewNode(nullptr, X(name));
  if (n == nullptr) return nullptr;
  xmlNodePtr text = xmlNewText(X(value));
  if (text != nullptr && xmlAddChild(n, text) == nullptr) xmlFreeNode(text);
  return std::static_pointer_cast<DomElement>(consume(n));
}

DomElementPtr DomNode::elementWithNameURI(const std::string& name, const std::string& uri) {
  return elementWithName(bracedName(uri, name));
}

DomNodePtr DomNode::attributeWithNameStringValue(const std::string& name, const std::string& value) {
  return consume(xmlNewProp(nullptr, X(name), X(value)));
}

DomNodePtr DomNode::attributeWithNameURIStringValue(const std::string& name, const std::string& uri,
                                                    const std::string& value) {
  return attributeWithNameStringValue(bracedName(uri, name), value);
}

DomNodePtr DomNode::textWithStringValue(const std::string& value) { return consume(xmlNewText(X(value))); }

DomNodePtr DomNode::namespaceWithNameStringValue(const std::string& prefix, const std::string& uri) {
  return consume(xmlNewNs(nullptr, X(uri), prefix.empty() ? nullptr : X(prefix)));
}

DomNodePtr DomNode::nodeConsumingXMLNode(xmlNodePtr node) { return consume(node); }

DomNodePtr DomNode::nodeBorrowingXMLNode(xmlNodePtr node) { return wrap(node, nullptr, false); }

std::string DomNode::localNameForName(const std::string& name) {
  const auto pos = name.find(':');
  return pos == std::string::npos ? name : name.substr(pos + 1);
}

std::optional<std::string> DomNode::prefixForName(const std::string& name) {
  const auto pos = name.find(':');
  if (pos == std::string::npos) return std::nullopt;
  return name.substr(0, pos);
}

int DomNode::xmlType() const { return typeOf(node_); }

DomKind DomNode::kind() const { return node_ == nullptr ? DomKind::Invalid : kindForType(xmlType()); }

std::string DomNode::convert(const xmlChar* text) const {
  if (text == nullptr) return {};
  const int t = xmlType();
  const bool cached = (t == XML_ELEMENT_NODE || t == XML_ATTRIBUTE_NODE || t == XML_TEXT_NODE ||
                       t == XML_CDATA_SECTION_NODE) &&
                      XMLNode()->doc != nullptr && keeper_ != nullptr && keeper_->cache != nullptr;
  return cached ? keeper_->cache->get(text) : S(text);
}

void DomNode::invalidateCaches() {
  nameCache_.reset();
  childrenCache_.reset();
  attributesCache_.reset();
}

std::optional<std::string> DomNode::stringValue() const {
  if (node_ == nullptr) return std::nullopt;
  if (isNamespace(node_)) {
    const xmlChar* href = asNs(node_)->href;
    return href != nullptr ? std::optional<std::string>(S(href)) : std::nullopt;
  }
  xmlChar* content = xmlNodeGetContent(XMLNode());
  if (content == nullptr) return std::nullopt;
  const int t = xmlType();
  if (content[0] == '\0' && (t == XML_ELEMENT_NODE || t == XML_DOCUMENT_NODE || t == XML_HTML_DOCUMENT_NODE)) {
    xmlFree(content);
    return std::nullopt;
  }
  std::string out = convert(content);
  xmlFree(content);
  return out;
}

void DomNode::setStringValue(const std::optional<std::string>& value) {
  if (node_ == nullptr || !value) return;
  if (isNamespace(node_)) {
    xmlNsPtr ns = asNs(node_);
    if (ns->href != nullptr) xmlFree(const_cast<xmlChar*>(ns->href));
    ns->href = xmlStrdup(X(*value));
    return;
  }
  invalidateCaches();
  xmlNodePtr n = XMLNode();
  if (n->type == XML_ELEMENT_NODE || n->type == XML_ATTRIBUTE_NODE) {
    // Keep the old children alive for wrappers that may still refer to them.
    while (n->children != nullptr) {
      xmlNodePtr c = n->children;
      xmlUnlinkNode(c);
      if (keeper_ != nullptr) {
        keeper_->bury(c);
      } else {
        xmlFreeNode(c);
      }
    }
    xmlChar* escaped = xmlEncodeSpecialChars(n->doc, X(*value));
    xmlNodeSetContent(n, escaped);
    xmlFree(escaped);
    return;
  }
  xmlNodeSetContent(n, X(*value));
}

std::optional<std::string> DomNode::XMLString() const {
  if (node_ == nullptr) return std::nullopt;
  xmlDocPtr doc = isNamespace(node_) ? nullptr : XMLNode()->doc;
  auto raw = dumpNode(doc, XMLNode());
  if (!raw) return std::nullopt;
  return markup::trimWhitespaceAndNewlines(*raw);
}

std::optional<std::string> DomNode::name() const {
  if (!nameCache_) nameCache_ = qualifiedName();
  return *nameCache_;
}

std::optional<std::string> DomNode::qualifiedName() const {
  if (node_ == nullptr) return std::nullopt;
  if (isNamespace(node_)) {
    const xmlChar* p = asNs(node_)->prefix;
    return p != nullptr ? S(p) : std::string();
  }
  xmlNodePtr n = XMLNode();
  if (n->name == nullptr) return std::nullopt;
  const bool hasNs = (n->type == XML_ELEMENT_NODE || n->type == XML_ATTRIBUTE_NODE) && n->ns != nullptr &&
                     n->ns->prefix != nullptr;
  if (hasNs) return convert(n->ns->prefix) + ":" + convert(n->name);
  return convert(n->name);
}

std::optional<std::string> DomNode::localName() const {
  if (node_ == nullptr) return std::nullopt;
  const xmlChar* raw = isNamespace(node_) ? asNs(node_)->prefix : XMLNode()->name;
  if (raw == nullptr) return isNamespace(node_) ? std::optional<std::string>(std::string()) : std::nullopt;
  std::string n = convert(raw);
  const auto pos = n.find(':');
  if (pos == std::string::npos || pos + 1 == n.size()) return n;
  return n.substr(pos + 1);
}

std::string DomNode::prefix() const {
  if (node_ == nullptr || isNamespace(node_)) return {};
  xmlNodePtr n = XMLNode();
  if ((n->type != XML_ELEMENT_NODE && n->type != XML_ATTRIBUTE_NODE) || n->ns == nullptr || n->ns->prefix == nullptr)
    return {};
  return convert(n->ns->prefix);
}

std::optional<std::string> DomNode::URI() const {
  if (node_ == nullptr || isNamespace(node_)) return std::nullopt;
  xmlNodePtr n = XMLNode();
  if ((n->type != XML_ELEMENT_NODE && n->type != XML_ATTRIBUTE_NODE) || n->ns == nullptr || n->ns->href == nullptr)
    return std::nullopt;
  return convert(n->ns->href);
}

std::optional<DomNodeList> DomNode::children() const {
  if (!childrenCache_) {
    std::optional<DomNodeList> list;
    if (node_ != nullptr && !isNamespace(node_) && xmlType() != XML_ENTITY_REF_NODE) {
      for (xmlNodePtr c = XMLNode()->children; c != nullptr; c = c->next) {
        if (!list) list.emplace();
        list->push_back(wrap(c, keeper_, false));
      }
    }
    childrenCache_ = std::move(list);
  }
  return *childrenCache_;
}

std::size_t DomNode::childCount() const {
  const auto list = children();
  return list ? list->size() : 0;
}

DomNodePtr DomNode::childAtIndex(std::size_t index) const {
  const auto list = children();
  if (!list || index >= list->size()) return nullptr;
  return (*list)[index];
}

std::optional<DomNodeList> DomNode::nodesForXPath(const std::string& xpath, DomError* error) const {
  return nodesForXPathImpl(xpath, nullptr, error);
}

std::optional<DomNodeList> DomNode::nodesForXPath(const std::string& xpath, const DomNamespaceMap& namespaces,
                                                  DomError* error) const {
  return nodesForXPathImpl(xpath, &namespaces, error);
}

std::optional<DomNodeList> DomNode::nodesForXPathImpl(const std::string& xpath, const DomNamespaceMap* namespaces,
                                                      DomError* error) const {
  auto fail = [error](long code, const char* message) -> std::optional<DomNodeList> {
    if (error != nullptr) {
      error->code = code;
      error->userInfo.clear();
      if (message != nullptr) error->userInfo["error"] = message;
    }
    return std::nullopt;
  };
  if (error != nullptr) *error = {};
  if (node_ == nullptr || isNamespace(node_)) return fail(-1, "invalid node");
  xmlNodePtr node = XMLNode();
  xmlDocPtr doc = (node->type == XML_DOCUMENT_NODE || node->type == XML_HTML_DOCUMENT_NODE)
                      ? reinterpret_cast<xmlDocPtr>(node)
                      : node->doc;
  xmlDocPtr temporary = nullptr;
  xmlNodePtr top = nullptr;
  if (doc == nullptr) {
    top = node;
    while (top->parent != nullptr) top = top->parent;
    if (top->type != XML_ELEMENT_NODE) return fail(-1, "invalid node");
    temporary = xmlNewDoc(X("1.0"));
    if (temporary == nullptr) return fail(-1, nullptr);
    xmlDocSetRootElement(temporary, top);
    doc = temporary;
  }
  auto restore = [&] {
    if (temporary == nullptr) return;
    xmlUnlinkNode(top);
    xmlSetTreeDoc(top, nullptr);
    xmlFreeDoc(temporary);
  };
  xmlXPathContextPtr ctx = xmlXPathNewContext(doc);
  if (ctx == nullptr) {
    restore();
    return fail(-1, nullptr);
  }
  ctx->node = node;
  if (namespaces != nullptr) {
    for (const auto& [prefix, uri] : *namespaces) xmlXPathRegisterNs(ctx, X(prefix), X(uri));
  } else {
    xmlNodePtr source = node;
    if (node->type == XML_DOCUMENT_NODE || node->type == XML_HTML_DOCUMENT_NODE) source = xmlDocGetRootElement(doc);
    if (source != nullptr && (source->type == XML_ELEMENT_NODE || source->type == XML_ATTRIBUTE_NODE)) {
      for (xmlNsPtr ns = source->ns; ns != nullptr; ns = ns->next) {
        if (ns->href == nullptr) continue;
        xmlXPathRegisterNs(ctx, ns->prefix != nullptr ? ns->prefix : X("_def_ns"), ns->href);
      }
    }
  }
  xmlXPathObjectPtr result = nullptr;
  std::optional<std::string> message;
  long code = 0;
  {
    XPathErrorCapture capture;
    result = xmlXPathEvalExpression(X(xpath), ctx);
    message = capture.message();
    code = ctx->lastError.code != 0 ? ctx->lastError.code : capture.code();
  }
  std::optional<DomNodeList> out;
  if (result == nullptr) {
    xmlXPathFreeContext(ctx);
    restore();
    return fail(code != 0 ? code : -1, message ? message->c_str() : nullptr);
  }
  out.emplace();
  if (result->type == XPATH_NODESET && result->nodesetval != nullptr) {
    for (int i = 0; i < result->nodesetval->nodeNr; ++i) {
      xmlNodePtr n = result->nodesetval->nodeTab[i];
      if (n == nullptr) continue;
      if (n->type == XML_NAMESPACE_DECL) {
        // Namespace nodes in a result are temporary copies: keep our own.
        out->push_back(consume(xmlCopyNamespace(reinterpret_cast<xmlNsPtr>(n))));
      } else {
        out->push_back(wrap(n, keeper_, false));
      }
    }
  }
  xmlXPathFreeObject(result);
  xmlXPathFreeContext(ctx);
  restore();
  return out;
}

xmlNodePtr DomNode::XMLNodeCopy() const {
  if (node_ == nullptr) return nullptr;
  switch (xmlType()) {
    case XML_NAMESPACE_DECL: return reinterpret_cast<xmlNodePtr>(xmlCopyNamespace(asNs(node_)));
    case XML_ATTRIBUTE_NODE: return reinterpret_cast<xmlNodePtr>(xmlCopyProp(nullptr, reinterpret_cast<xmlAttrPtr>(node_)));
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE: return reinterpret_cast<xmlNodePtr>(xmlCopyDoc(reinterpret_cast<xmlDocPtr>(node_), 1));
    default: return xmlDocCopyNode(XMLNode(), nullptr, 1);
  }
}

bool DomNode::shouldFreeXMLNode() const { return consuming_ && keeper_ != nullptr && !keeper_->released; }

void DomNode::setShouldFreeXMLNode(bool shouldFree) {
  if (!shouldFree) {
    if (consuming_ && keeper_ != nullptr) keeper_->released = true;
    consuming_ = false;
    return;
  }
  if (consuming_) {
    if (keeper_ != nullptr) keeper_->released = false;
    return;
  }
  // Taking ownership is only safe for a detached node nobody else owns.
  if (node_ == nullptr || keeper_ != nullptr) return;
  if (!isNamespace(node_) && (XMLNode()->parent != nullptr || XMLNode()->doc != nullptr)) return;
  auto owned = consume(node_);
  keeper_ = owned->keeper_;
  consuming_ = true;
}

bool DomNode::isEqual(const DomNode& other) const {
  if (&other == this || (node_ != nullptr && other.node_ == node_)) return true;
  return kind() == other.kind() && name() == other.name() && childCount() == other.childCount();
}

DomNodePtr DomNode::copy() const { return consume(XMLNodeCopy()); }

std::string DomNode::description() const {
  char head[96];
  const char* cls = xmlType() == XML_ELEMENT_NODE ? "DomElement" : "DomNode";
  std::snprintf(head, sizeof head, "<%s %p> [%d] ", cls, static_cast<const void*>(this), node_ ? xmlType() : -1);
  return std::string(head) + name().value_or("") + " " + XMLString().value_or("");
}

DomElementPtr DomNode::asElement() {
  if (xmlType() != XML_ELEMENT_NODE) return nullptr;
  return std::dynamic_pointer_cast<DomElement>(shared_from_this());
}

// ---------------------------------------------------------------- DomElement

DomElementPtr DomElement::initWithXMLString(const std::string& xml, DomError* error) {
  if (error != nullptr) *error = {};
  xmlDocPtr doc = markup::parseXmlTree(xml, nullptr, XML_PARSE_NOCDATA | XML_PARSE_NOBLANKS);
  xmlNodePtr root = doc != nullptr ? xmlDocGetRootElement(doc) : nullptr;
  xmlNodePtr copy = root != nullptr ? xmlDocCopyNode(root, nullptr, 1) : nullptr;
  if (doc != nullptr) xmlFreeDoc(doc);
  if (copy == nullptr) {
    if (error != nullptr) error->code = -1;
    return nullptr;
  }
  return std::static_pointer_cast<DomElement>(consume(copy));
}

std::optional<DomNodeList> DomElement::elementsForName(const std::string& name) const {
  if (node_ == nullptr) return std::nullopt;
  if (auto pfx = prefixForName(name)) {
    xmlNsPtr ns = findNsByPrefix(XMLNode(), X(*pfx));
    if (ns != nullptr && ns->href != nullptr) return elementsForLocalNameURI(localNameForName(name), S(ns->href));
  }
  std::optional<DomNodeList> out;
  if (const auto kids = children()) {
    for (const auto& c : *kids) {
      if (c->xmlType() == XML_ELEMENT_NODE && c->name() == name) {
        if (!out) out.emplace();
        out->push_back(c);
      }
    }
  }
  return out;
}

std::optional<DomNodeList> DomElement::elementsForLocalNameURI(const std::string& localName,
                                                               const std::string& uri) const {
  if (node_ == nullptr) return std::nullopt;
  xmlNodePtr self = XMLNode();
  xmlNsPtr expected = findNsByHref(self, X(uri), false);
  const std::string braced = bracedName(uri, localName);
  const std::string wanted = expected != nullptr ? localName : braced;
  std::optional<DomNodeList> out;
  if (const auto kids = children()) {
    for (const auto& c : *kids) {
      xmlNodePtr child = c->XMLNode();
      if (child->type != XML_ELEMENT_NODE) continue;
      xmlNsPtr ns = expected;
      const std::string* want = &wanted;
      if (child->nsDef != nullptr) {
        ns = findNsByHref(child, X(uri), false);
        want = ns != nullptr ? &localName : &braced;
      }
      if (child->ns == ns && child->name != nullptr && S(child->name) == *want) {
        if (!out) out.emplace();
        out->push_back(c);
      }
    }
  }
  return out;
}

std::optional<DomNodeList> DomElement::attributes() const {
  if (!attributesCache_) {
    std::optional<DomNodeList> list;
    if (node_ != nullptr) {
      for (xmlAttrPtr a = XMLNode()->properties; a != nullptr; a = a->next) {
        if (!list) list.emplace();
        list->push_back(wrap(a, keeper_, false));
      }
    }
    attributesCache_ = std::move(list);
  }
  return *attributesCache_;
}

DomNodePtr DomElement::attributeForName(const std::string& name) const {
  const auto attrs = attributes();
  if (!attrs) return nullptr;
  for (const auto& a : *attrs) {
    if (a->name() == name) return a;
  }
  const std::string local = localNameForName(name);
  xmlNsPtr ns = nullptr;
  if (auto pfx = prefixForName(name)) ns = findNsByPrefix(XMLNode(), X(*pfx));
  if (ns == nullptr && !prefixForName(name)) return nullptr;
  for (const auto& a : *attrs) {
    xmlNodePtr n = a->XMLNode();
    // Same namespace means the same URI, whichever declaration the attribute uses.
    const bool sameNamespace = ns == nullptr ? n->ns == nullptr
                                             : n->ns != nullptr && xmlStrEqual(n->ns->href, ns->href);
    if (sameNamespace && S(n->name) == local) return a;
  }
  return nullptr;
}

DomNodePtr DomElement::attributeForLocalNameURI(const std::string& localName, const std::string& uri) const {
  const auto attrs = attributes();
  if (!attrs) return nullptr;
  for (const auto& a : *attrs) {
    xmlNodePtr n = a->XMLNode();
    if (n->ns != nullptr && n->ns->href != nullptr && S(n->ns->href) == uri && S(n->name) == localName) return a;
  }
  const std::string braced = bracedName(uri, localName);
  for (const auto& a : *attrs) {
    if (S(a->XMLNode()->name) == braced) return a;
  }
  return nullptr;
}

std::optional<DomNodeList> DomElement::namespaces() const {
  std::optional<DomNodeList> out;
  if (node_ == nullptr) return out;
  for (xmlNsPtr ns = XMLNode()->nsDef; ns != nullptr; ns = ns->next) {
    if (ns->prefix != nullptr && xmlStrEqual(ns->prefix, X("xml"))) continue;
    if (!out) out.emplace();
    out->push_back(wrap(ns, keeper_, false));
  }
  return out;
}

void DomElement::setNamespaces(const DomNodeList& list) {
  if (node_ == nullptr) return;
  invalidateCaches();
  xmlNodePtr self = XMLNode();
  std::vector<xmlNsPtr> removed;
  for (xmlNsPtr old = self->nsDef; old != nullptr; old = old->next) removed.push_back(old);
  self->nsDef = nullptr;
  for (const auto& ns : list) {
    if (!ns || !isNamespace(ns->node_)) continue;
    xmlNewNs(self, asNs(ns->node_)->href, asNs(ns->node_)->prefix);
  }
  // Elements and attributes of this tree that used a removed declaration move to
  // one that is in scope now (declared here when there is none), so the tree stays
  // well-formed and nothing points at a freed declaration.
  const auto repoint = [&](xmlNodePtr node) {
    auto it = std::find(removed.begin(), removed.end(), node->ns);
    if (it == removed.end()) return;
    const bool attribute = node->type == XML_ATTRIBUTE_NODE;
    xmlNsPtr now = findNsByHref(node, (*it)->href, attribute);
    if (now == nullptr) now = declareNamespace(self, (*it)->href, (*it)->prefix, attribute);
    node->ns = now;
  };
  for (xmlNodePtr n = self; n != nullptr;) {
    if (n->type == XML_ELEMENT_NODE) {
      repoint(n);
      for (xmlAttrPtr a = n->properties; a != nullptr; a = a->next) repoint(reinterpret_cast<xmlNodePtr>(a));
    }
    if (n->type == XML_ELEMENT_NODE && n->children != nullptr) {
      n = n->children;
      continue;
    }
    while (n != self && n->next == nullptr) n = n->parent;
    n = n == self ? nullptr : n->next;
  }
  for (xmlNsPtr old : removed) {
    old->next = nullptr;
    if (keeper_ != nullptr) {
      keeper_->graveNamespaces.push_back(old);  // namespace wrappers may still view it
    } else {
      xmlFreeNs(old);  // caller-managed tree, and nothing in it refers to it any more
    }
  }
  fixUp(self, keeper_.get());
}

void DomElement::addNamespace(const DomNode& ns) {
  if (node_ == nullptr || !isNamespace(ns.node_)) return;
  invalidateCaches();
  xmlNewNs(XMLNode(), asNs(ns.node_)->href, asNs(ns.node_)->prefix);
  fixUp(XMLNode(), keeper_.get());
}

std::optional<std::string> DomElement::resolvePrefixForNamespaceURI(const std::string& uri) const {
  if (node_ == nullptr) return std::nullopt;
  xmlNsPtr ns = findNsByHref(XMLNode(), X(uri), false);
  if (ns == nullptr) return std::nullopt;
  return S(ns->prefix);
}

void DomElement::addChild(const DomNode& child) {
  if (node_ == nullptr || child.node_ == nullptr) return;
  switch (child.xmlType()) {
    case XML_ATTRIBUTE_NODE: addAttribute(child); return;
    case XML_NAMESPACE_DECL: addNamespace(child); return;
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE:
    case XML_DTD_NODE: return;  // not something an element can hold
    default: break;
  }
  invalidateCaches();
  xmlNodePtr self = XMLNode();
  xmlNodePtr copy = xmlDocCopyNode(child.XMLNode(), self->doc, 1);
  if (copy == nullptr) return;
  xmlNodePtr added = xmlAddChild(self, copy);
  if (added == nullptr) {
    xmlFreeNode(copy);
    return;
  }
  fixUp(added, keeper_.get());
}

void DomElement::addAttribute(const DomNode& attribute) {
  if (node_ == nullptr || attribute.xmlType() != XML_ATTRIBUTE_NODE) return;
  xmlNodePtr self = XMLNode();
  xmlNodePtr src = attribute.XMLNode();
  const xmlChar* href = src->ns != nullptr ? src->ns->href : nullptr;
  // The name the attribute will have here: a "p:local" or "{uri}:local" name of an
  // attribute without a namespace resolves against this element's scope, and the
  // existence check must use that resolved name, or the element would end up with
  // the same attribute twice.
  std::string local = S(src->name);
  xmlNsPtr ns = nullptr;
  if (href != nullptr) {
    ns = findNsByHref(self, href, true);
  } else {
    std::string before;
    std::string after;
    if (splitAtLastColon(local, before, after)) {
      if (before.size() >= 3 && before.front() == '{' && before.back() == '}') {
        ns = findNsByHref(self, X(before.substr(1, before.size() - 2)), true);
      } else {
        ns = findNsByPrefix(self, X(before));
        if (ns != nullptr && ns->prefix == nullptr) ns = nullptr;
      }
      if (ns != nullptr) {
        href = ns->href;
        local = after;
      }
    }
  }
  if (xmlHasNsProp(self, X(local), href) != nullptr) return;
  invalidateCaches();
  if (href != nullptr && ns == nullptr) {
    ns = declareNamespace(self, href, src->ns->prefix, true);
    if (ns == nullptr) return;  // no prefix could be declared: adding it would lose its namespace
  }
  xmlChar* value = xmlNodeGetContent(src);
  xmlAttrPtr added = xmlNewNsProp(self, ns, X(local), value != nullptr ? value : X(""));
  xmlFree(value);
  if (added != nullptr) fixUp(reinterpret_cast<xmlNodePtr>(added), keeper_.get());
}

void DomElement::removeChild(const DomNode& child) {
  if (node_ == nullptr || child.node_ == nullptr || isNamespace(child.node_)) return;
  xmlNodePtr c = child.XMLNode();
  if (c->parent != XMLNode()) return;  // not ours to remove
  invalidateCaches();
  xmlUnlinkNode(c);
  if (child.consuming_) return;  // its own wrapper frees it
  graveyard(c);
}

void DomElement::graveyard(xmlNodePtr detached) {
  // Other wrappers may still view the removed subtree: it lives as long as the tree.
  if (keeper_ != nullptr) {
    keeper_->bury(detached);
  } else if (detached->type == XML_ATTRIBUTE_NODE) {
    xmlFreeProp(reinterpret_cast<xmlAttrPtr>(detached));
  } else {
    xmlFreeNode(detached);
  }
}

// ---------------------------------------------------------------- DomDocument

DomDocument::DomDocument(xmlDocPtr doc)
    : doc_(doc), keeper_(std::make_shared<TreeOwner>(TreeOwner::What::Document, doc)) {}

std::shared_ptr<DomDocument> DomDocument::initWithData(std::string_view bytes, int /*options*/, DomError* error) {
  if (error != nullptr) *error = {};
  xmlDocPtr doc = markup::parseXmlTree(bytes, nullptr, XML_PARSE_NOCDATA | XML_PARSE_NOBLANKS);
  if (doc == nullptr) {
    if (error != nullptr) error->code = -1;
    return nullptr;
  }
  return std::make_shared<DomDocument>(doc);
}

std::shared_ptr<DomDocument> DomDocument::initWithXMLString(const std::string& xml, int options, DomError* error) {
  return initWithData(xml, options, error);
}

std::shared_ptr<DomDocument> DomDocument::initWithRootElement(const DomElement& root) {
  xmlDocPtr doc = xmlNewDoc(X("1.0"));
  if (doc == nullptr) return nullptr;
  if (root.XMLNode() != nullptr) {
    xmlNodePtr copy = xmlDocCopyNode(root.XMLNode(), doc, 1);
    if (copy != nullptr) xmlDocSetRootElement(doc, copy);
  }
  return std::make_shared<DomDocument>(doc);
}

DomElementPtr DomDocument::rootElement() const {
  xmlNodePtr root = xmlDocGetRootElement(doc_);
  return std::static_pointer_cast<DomElement>(DomNode::wrap(root, keeper_, false));
}

std::string DomDocument::XMLData() const {
  xmlChar* mem = nullptr;
  int size = 0;
  xmlDocDumpMemory(doc_, &mem, &size);
  std::string out = mem != nullptr ? std::string(reinterpret_cast<const char*>(mem), static_cast<std::size_t>(size)) : std::string();
  xmlFree(mem);
  return out;
}

void DomDocument::setVersion(const std::optional<std::string>& version) {
  if (doc_->version != nullptr) xmlFree(const_cast<xmlChar*>(doc_->version));
  doc_->version = version ? xmlStrdup(X(*version)) : nullptr;
}

void DomDocument::setCharacterEncoding(const std::optional<std::string>& encoding) {
  if (doc_->encoding != nullptr) xmlFree(const_cast<xmlChar*>(doc_->encoding));
  doc_->encoding = encoding ? xmlStrdup(X(*encoding)) : nullptr;
}

std::optional<DomNodeList> DomDocument::nodesForXPath(const std::string& xpath, DomError* error) const {
  const DomElement docNode(doc_, keeper_, false);
  return docNode.nodesForXPathImpl(xpath, nullptr, error);
}

std::optional<DomNodeList> DomDocument::nodesForXPath(const std::string& xpath, const DomNamespaceMap& namespaces,
                                                      DomError* error) const {
  const DomElement docNode(doc_, keeper_, false);
  return docNode.nodesForXPathImpl(xpath, &namespaces, error);
}

std::string DomDocument::description() const {
  char buf[64];
  std::snprintf(buf, sizeof buf, "<DomDocument %p>", static_cast<const void*>(this));
  return buf;
}

std::size_t DomDocument::cachedStringCount() const { return keeper_->cache ? keeper_->cache->size() : 0; }

}  // namespace yx
