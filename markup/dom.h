#pragma once
// A small document object model over libxml2's tree.
//
// Ownership: a DomDocument owns its libxml2 document; every node handed out by
// navigation (root element, children, attributes, XPath results) borrows from it
// and shares ownership of it, so a node stays usable even after the DomDocument
// object itself is gone. Nodes made by the construction functions own their
// detached tree the same way. Nodes removed from a tree are kept alive by the tree's
// owner until it is freed, so no wrapper can ever point at freed memory.
//
// "Nothing" is an empty std::optional or a null pointer; an empty list is never
// returned where the model answers nothing.
#include <libxml/tree.h>

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yx {

namespace markup::detail {
struct TreeOwner;
}

enum class DomKind : int {
  Invalid = 0,
  Document = 1,
  Element = 2,
  Attribute = 3,
  Namespace = 4,
  ProcessingInstruction = 5,
  Comment = 6,
  Text = 7,
  DTD = 8,
  EntityDeclaration = 9,
  AttributeDeclaration = 10,
  ElementDeclaration = 11,
  NotationDeclaration = 12,
};

// Error details: the code and, when libxml2 gave one, its message under "error".
struct DomError {
  long code = 0;
  std::map<std::string, std::string> userInfo;
  static constexpr const char* kDomain = "yx.markup.dom";
};

class DomNode;
class DomElement;
class DomDocument;
using DomNodePtr = std::shared_ptr<DomNode>;
using DomElementPtr = std::shared_ptr<DomElement>;
using DomNodeList = std::vector<DomNodePtr>;
using DomNamespaceMap = std::map<std::string, std::string>;

class DomNode : public std::enable_shared_from_this<DomNode> {
public:
  virtual ~DomNode();
  DomNode(const DomNode&) = delete;
  DomNode& operator=(const DomNode&) = delete;

  // Construction: each returns an owning wrapper of a new detached node, or null.
  static DomElementPtr elementWithName(const std::string& name);
  static DomElementPtr elementWithNameStringValue(const std::string& name, const std::string& value);
  static DomElementPtr elementWithNameURI(const std::string& name, const std::string& uri);
  static DomNodePtr attributeWithNameStringValue(const std::string& name, const std::string& value);
  static DomNodePtr attributeWithNameURIStringValue(const std::string& name, const std::string& uri,
                                                    const std::string& value);
  static DomNodePtr textWithStringValue(const std::string& value);
  // An empty prefix declares the default namespace.
  static DomNodePtr namespaceWithNameStringValue(const std::string& prefix, const std::string& uri);
  // Wraps a libxml2 node (or xmlNs cast to xmlNode). The consuming form frees it with
  // the wrapper; the borrowing form never does and the caller keeps it alive.
  static DomNodePtr nodeConsumingXMLNode(xmlNodePtr node);
  static DomNodePtr nodeBorrowingXMLNode(xmlNodePtr node);

  // Split at the first ':' (no colon: the whole name is local, no prefix).
  static std::string localNameForName(const std::string& name);
  static std::optional<std::string> prefixForName(const std::string& name);

  DomKind kind() const;
  std::optional<std::string> stringValue() const;
  void setStringValue(const std::optional<std::string>& value);
  std::optional<std::string> XMLString() const;

  std::optional<std::string> name() const;
  std::optional<std::string> qualifiedName() const;
  std::optional<std::string> localName() const;
  std::string prefix() const;
  std::optional<std::string> URI() const;

  std::size_t childCount() const;
  std::optional<DomNodeList> children() const;
  DomNodePtr childAtIndex(std::size_t index) const;

  std::optional<DomNodeList> nodesForXPath(const std::string& xpath, DomError* error = nullptr) const;
  std::optional<DomNodeList> nodesForXPath(const std::string& xpath, const DomNamespaceMap& namespaces,
                                           DomError* error = nullptr) const;

  xmlNodePtr XMLNode() const { return static_cast<xmlNodePtr>(node_); }
  xmlNodePtr XMLNodeCopy() const;
  bool shouldFreeXMLNode() const;
  void setShouldFreeXMLNode(bool shouldFree);

  bool isEqual(const DomNode& other) const;
  std::size_t hash() const { return 0; }
  DomNodePtr copy() const;
  std::string description() const;

  // This node as an element, or null.
  DomElementPtr asElement();

protected:
  DomNode(void* node, std::shared_ptr<markup::detail::TreeOwner> keeper, bool consuming);
  static DomNodePtr wrap(void* node, std::shared_ptr<markup::detail::TreeOwner> keeper, bool consuming);
  static DomNodePtr consume(void* node);
  std::string convert(const xmlChar* text) const;
  void invalidateCaches();
  std::optional<DomNodeList> nodesForXPathImpl(const std::string& xpath, const DomNamespaceMap* namespaces,
                                               DomError* error) const;
  int xmlType() const;

  void* node_;
  std::shared_ptr<markup::detail::TreeOwner> keeper_;
  bool consuming_;
  mutable std::optional<std::optional<std::string>> nameCache_;
  mutable std::optional<std::optional<DomNodeList>> childrenCache_;
  mutable std::optional<std::optional<DomNodeList>> attributesCache_;

  friend class DomElement;
  friend class DomDocument;
};

class DomElement : public DomNode {
public:
  // Parses the string and keeps a copy of its root element; null and code -1 on failure.
  static DomElementPtr initWithXMLString(const std::string& xml, DomError* error = nullptr);

  std::optional<DomNodeList> elementsForName(const std::string& name) const;
  std::optional<DomNodeList> elementsForLocalNameURI(const std::string& localName, const std::string& uri) const;

  std::optional<DomNodeList> attributes() const;
  DomNodePtr attributeForName(const std::string& name) const;
  DomNodePtr attributeForLocalNameURI(const std::string& localName, const std::string& uri) const;

  std::optional<DomNodeList> namespaces() const;
  void setNamespaces(const DomNodeList& namespaces);
  void addNamespace(const DomNode& ns);
  std::optional<std::string> resolvePrefixForNamespaceURI(const std::string& uri) const;

  void addChild(const DomNode& child);
  void addAttribute(const DomNode& attribute);
  void removeChild(const DomNode& child);

private:
  using DomNode::DomNode;
  friend class DomNode;
  friend class DomDocument;
  void graveyard(xmlNodePtr detached);
};

class DomDocument {
public:
  // Parses bytes (CDATA as text, blank text dropped); `options` is ignored. Null and
  // code -1 when the bytes are not a well-formed document.
  static std::shared_ptr<DomDocument> initWithData(std::string_view bytes, int options = 0,
                                                   DomError* error = nullptr);
  static std::shared_ptr<DomDocument> initWithXMLString(const std::string& xml, int options = 0,
                                                        DomError* error = nullptr);
  static std::shared_ptr<DomDocument> initWithRootElement(const DomElement& root);

  DomElementPtr rootElement() const;
  std::string XMLData() const;
  void setVersion(const std::optional<std::string>& version);
  void setCharacterEncoding(const std::optional<std::string>& encoding);
  std::optional<DomNodeList> nodesForXPath(const std::string& xpath, DomError* error = nullptr) const;
  std::optional<DomNodeList> nodesForXPath(const std::string& xpath, const DomNamespaceMap& namespaces,
                                           DomError* error = nullptr) const;
  std::string description() const;
  xmlDocPtr XMLDocument() const { return doc_; }

  // Number of distinct strings converted through this document's string cache.
  std::size_t cachedStringCount() const;

  explicit DomDocument(xmlDocPtr doc);  // takes ownership

private:
  xmlDocPtr doc_;
  std::shared_ptr<markup::detail::TreeOwner> keeper_;
};

}  // namespace yx
