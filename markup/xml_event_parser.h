#pragma once
// Event-driven XML parsing: the document is reported element by element to a
// delegate. Namespaces are not processed (names arrive as written, "xmlns"
// attributes as ordinary attributes), external entities and DTDs are never loaded,
// and entity expansion is bounded.
#include <cstddef>
#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace yx {

class XmlEventDelegate {
public:
  virtual ~XmlEventDelegate() = default;
  virtual void parserDidStartElement(const std::string& /*name*/,
                                     const std::vector<std::pair<std::string, std::string>>& /*attributes*/) {}
  virtual void parserFoundCharacters(std::string_view /*chunk*/) {}   // chunks as libxml2 delivers them
  virtual void parserDidEndElement(const std::string& /*name*/) {}
  virtual void parserDidEndDocument() {}
  virtual void parserParseErrorOccurred(long /*code*/) {}            // libxml2's error code; parsing stops
};

class XmlEventParser {
public:
  explicit XmlEventParser(std::string data);      // the bytes to parse (copied or moved in)
  void setDelegate(XmlEventDelegate* d);
  bool parse();           // true when the whole document parsed; after an error: false, no end-of-document
  long errorCode() const; // 0 when none
  void abortParsing();    // may be called from a delegate callback

  // True when the last parse was stopped by abortParsing(); errorCode() is then
  // libxml2's "stopped by the user" code and no error was reported to the delegate.
  bool aborted() const { return aborted_; }

  // libxml2's code for input refused because entity expansion grew too large.
  static constexpr long kEntityExpansionErrorCode = 89;
  static constexpr long kStoppedByUserCode = 111;

private:
  friend struct XmlEventParserCallbacks;
  void fail(void* ctxt, long code);
  bool mayDeliver(void* ctxt);

  std::string data_;
  XmlEventDelegate* delegate_ = nullptr;
  long errorCode_ = 0;
  bool aborted_ = false;
  bool failed_ = false;
  bool parsing_ = false;
  std::exception_ptr pendingException_;
  std::size_t entityReferences_ = 0;
  std::size_t entityCharacters_ = 0;
  void* outerContext_ = nullptr;
};

}  // namespace yx
