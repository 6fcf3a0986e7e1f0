#pragma once
// Event-driven XML parsing: the document is reported element by element to a
// delegate. Namespaces are not processed (names arrive as written, "xmlns"
// attributes as ordinary attributes), external entities and DTDs are never loaded,
// entity expansion is bounded, and an element with absurdly many attributes
// is refused as a parse error before libxml2 sees it.
#include <cstddef>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace yx {

namespace markup {
class AttributeGuard;
}

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
  // A parser fed piece by piece with feed() and ended with finish(), so a
  // document is parsed while it arrives and never held whole.
  XmlEventParser();
  ~XmlEventParser();
  XmlEventParser(const XmlEventParser&) = delete;
  XmlEventParser& operator=(const XmlEventParser&) = delete;

  void setDelegate(XmlEventDelegate* d);
  bool parse();           // true when the whole document parsed; after an error: false, no end-of-document

  // Parses the next bytes of the document. False once parsing has stopped (an
  // error was reported, or abortParsing()); later bytes are then ignored.
  bool feed(std::string_view bytes);
  // The bytes are complete: true (after parserDidEndDocument) when the
  // document was whole and well formed; otherwise false, with the error
  // reported unless one was reported before.
  bool finish();
  bool stopped() const { return failed_ || aborted_; }

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
  void begin();
  void release();
  void rethrowPending();
  std::size_t budgetBase() const;
  bool startsWithElement() const;

  std::string data_;
  XmlEventDelegate* delegate_ = nullptr;
  long errorCode_ = 0;
  bool aborted_ = false;
  bool failed_ = false;
  bool parsing_ = false;
  bool rootSeen_ = false;
  bool terminating_ = false;
  std::exception_ptr pendingException_;
  std::size_t entityReferences_ = 0;
  std::size_t entityCharacters_ = 0;
  std::size_t fed_ = 0;
  std::string head_;  // the first bytes fed
  // Bytes fed but not yet given to libxml2, which is always given the
  // document in the same pieces (see feed()).
  std::string held_;
  void* outerContext_ = nullptr;
  std::unique_ptr<markup::AttributeGuard> guard_;
};

}  // namespace yx
