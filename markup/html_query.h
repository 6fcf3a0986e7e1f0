#pragma once
// Read-only XPath queries over HTML (or XML) pages. Each query parses the page
// afresh and turns every match into an immutable snapshot, so results never refer
// to libxml2 memory.
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace yx {

struct HtmlSnapshot;

// One attribute of a snapshot: its name and trimmed value, or (when the value is
// not plain text) the value's own snapshot.
struct HtmlAttributeSnapshot {
  std::optional<std::string> attributeName;
  std::optional<std::string> nodeContent;
  std::shared_ptr<const HtmlSnapshot> attributeContent;
};

// Snapshot of one node. Empty optionals / empty vectors mean the key is absent.
struct HtmlSnapshot {
  std::optional<std::string> nodeName;
  std::optional<std::string> nodeContent;
  std::vector<HtmlAttributeSnapshot> nodeAttributeArray;
  std::vector<std::shared_ptr<const HtmlSnapshot>> nodeChildArray;
  std::optional<std::string> raw;
};

class HtmlQueryElement;
using HtmlQueryElementPtr = std::shared_ptr<const HtmlQueryElement>;

class HtmlQueryElement {
public:
  HtmlQueryElement(std::shared_ptr<const HtmlSnapshot> node, bool isXML, std::optional<std::string> encoding);
  static HtmlQueryElementPtr elementWithNode(std::shared_ptr<const HtmlSnapshot> node, bool isXML,
                                             std::optional<std::string> encoding);

  const HtmlSnapshot& node() const { return *node_; }
  bool isXML() const { return isXML_; }
  const std::optional<std::string>& encoding() const { return encoding_; }
  // The element this one was obtained from through children(), else null.
  HtmlQueryElementPtr parent() const { return parent_; }

  std::optional<std::string> raw() const { return node_->raw; }
  std::optional<std::string> content() const { return node_->nodeContent; }
  std::optional<std::string> tagName() const { return node_->nodeName; }

  std::vector<HtmlQueryElementPtr> children() const;
  HtmlQueryElementPtr firstChild() const;
  bool hasChildren() const { return !node_->nodeChildArray.empty(); }

  std::map<std::string, std::string> attributes() const;
  std::optional<std::string> objectForKey(const std::string& attributeName) const;
  std::optional<std::string> operator[](const std::string& attributeName) const { return objectForKey(attributeName); }

  bool isTextNode() const;
  std::vector<HtmlQueryElementPtr> childrenWithTagName(const std::string& tagName) const;
  HtmlQueryElementPtr firstChildWithTagName(const std::string& tagName) const;
  std::vector<HtmlQueryElementPtr> childrenWithClassName(const std::string& className) const;
  HtmlQueryElementPtr firstChildWithClassName(const std::string& className) const;
  HtmlQueryElementPtr firstTextChild() const;
  std::optional<std::string> text() const;

  // Re-parses this element's serialised text and queries it.
  std::vector<HtmlQueryElementPtr> searchWithXPathQuery(const std::string& xpath) const;

  std::string description() const;

private:
  std::shared_ptr<const HtmlSnapshot> node_;
  bool isXML_;
  std::optional<std::string> encoding_;
  HtmlQueryElementPtr parent_;
};

class HtmlQuery {
public:
  HtmlQuery(std::string data, std::optional<std::string> encoding, bool isXML);

  static HtmlQuery queryWithData(std::string data, std::optional<std::string> encoding, bool isXML) {
    return HtmlQuery(std::move(data), std::move(encoding), isXML);
  }
  static HtmlQuery queryWithData(std::string data, bool isXML) { return HtmlQuery(std::move(data), std::nullopt, isXML); }
  static HtmlQuery queryWithHTMLData(std::string data, std::optional<std::string> encoding = std::nullopt) {
    return HtmlQuery(std::move(data), std::move(encoding), false);
  }
  static HtmlQuery queryWithXMLData(std::string data, std::optional<std::string> encoding = std::nullopt) {
    return HtmlQuery(std::move(data), std::move(encoding), true);
  }

  // One element per matched node in document order; empty when nothing matched,
  // the expression is invalid or the bytes did not parse.
  std::vector<HtmlQueryElementPtr> searchWithXPathQuery(const std::string& xpath) const;
  HtmlQueryElementPtr peekAtSearchWithXPathQuery(const std::string& xpath) const;

  const std::string& data() const { return data_; }
  const std::optional<std::string>& encoding() const { return encoding_; }
  bool isXML() const { return isXML_; }

  // Whether the last query's parse reported errors although a tree was built
  // (libxml2's HTML parser repairs nearly anything and still answers success).
  bool lastParseHadErrors() const { return lastParseHadErrors_; }

private:
  std::string data_;
  std::optional<std::string> encoding_;
  bool isXML_;
  mutable bool lastParseHadErrors_ = false;
};

}  // namespace yx
