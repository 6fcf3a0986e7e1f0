#pragma once
// Hardened entry points into libxml2's parsers. Every parse in this library goes
// through here so the same rules hold everywhere:
//  - no external entity, external DTD or network/file access while parsing
//    (entity substitution, DTD loading and the huge-document switch are never set,
//    and an entity loader that refuses everything is active for the parse);
//  - entity expansion is bounded, so an exponential "billion laughs" document is
//    refused instead of exhausting memory when its text is read later;
//  - libxml2's own limits on text size and nesting depth stay in force.
#include <libxml/HTMLparser.h>
#include <libxml/parser.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace yx::markup {

// Options of every XML tree parse, added to the ones a caller asks for.
inline constexpr int kXmlSafetyOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
// Options that must never reach libxml2.
inline constexpr int kXmlForbiddenOptions =
    XML_PARSE_NOENT | XML_PARSE_DTDLOAD | XML_PARSE_DTDATTR | XML_PARSE_DTDVALID | XML_PARSE_HUGE |
    XML_PARSE_XINCLUDE | XML_PARSE_SAX1 | XML_PARSE_OLD10 | XML_PARSE_IGNORE_ENC;

// Largest number of characters any one entity may expand to, and the largest total
// expansion of all entity references in one document.
inline constexpr std::size_t kMaxEntityExpansion = 1u << 20;
inline constexpr std::size_t kMaxTotalEntityExpansion = 8u << 20;

// While an instance lives on this thread, libxml2's external entity loader refuses
// every request (files, network, catalogs). Other code in the process is unaffected.
class ExternalLoadBlock {
public:
  ExternalLoadBlock();
  ~ExternalLoadBlock();
  ExternalLoadBlock(const ExternalLoadBlock&) = delete;
  ExternalLoadBlock& operator=(const ExternalLoadBlock&) = delete;
  // Number of loads refused on this thread since start (for tests).
  static long refusedLoads();
};

// Watches the bytes of an XML document as they arrive and stops it before
// libxml2 sees an element with absurdly many attributes: libxml2's check for
// repeated attributes is quadratic in their number, so one element with
// 100,000 of them would hold the parse for many seconds. Every attribute of a
// start tag lies between the tag's "<" and the next "<" (libxml2 never reads
// an attribute across a "<", even when recovering), and each is written
// `= "value"` or `= 'value'`; so the guard counts, between consecutive "<",
// the "=" followed (after blanks) by a quote, with character references read
// as the characters they stand for (entity text declared in a DOCTYPE is
// counted the same way). Text with a few such pairs is never refused.
// The bytes are read as ASCII-compatible text, or as UTF-16 or UTF-32 when the
// document starts that way; a document in any other encoding (EBCDIC, UTF-7,
// ISO-2022, ...) is refused, since its markup cannot be told from its bytes.
class AttributeGuard {
public:
  // No element of a feed or a web-service answer comes anywhere near this;
  // a 32 MiB document packed with such elements still parses in about a second.
  static constexpr std::size_t kMaxAttributes = 256;
  // libxml2's codes the refusals are reported with (the one it uses for its
  // own nesting limit, and its unsupported-encoding error).
  static constexpr long kTooManyAttributesCode = XML_ERR_INTERNAL_ERROR;
  static constexpr long kUnreadableEncodingCode = XML_ERR_UNSUPPORTED_ENCODING;

  // An encoding forced by the caller instead of the document's own.
  explicit AttributeGuard(const char* forcedEncoding = nullptr);

  // Scans the next bytes of the document. Returns how many of them libxml2
  // may be given: all of them, or the bytes before the markup that is refused
  // (refused() is then true and stays true).
  std::size_t scan(std::string_view bytes);
  bool refused() const { return code_ != 0; }
  long errorCode() const { return code_; }

  // Whether an encoding name is one whose bytes show the markup as ASCII does.
  static bool readableEncoding(std::string_view name);

private:
  bool decide();               // picks the unit size from the first bytes
  bool unit(char32_t c);       // false when the document is refused at this unit
  bool character(char32_t c);  // a character after references are read

  std::string forced_;
  std::string head_;           // the first bytes, until the encoding is known
  bool decided_ = false;
  int unitBytes_ = 1;          // 1: bytes; 2 or 4: UTF-16 or UTF-32 code units
  bool bigEndian_ = false;
  char32_t pending_ = 0;       // a code unit being assembled
  int pendingBytes_ = 0;
  std::size_t count_ = 0;      // attributes since the last "<"
  bool afterEquals_ = false;   // an "=" waits for its quote
  std::string ref_;            // a character reference being read ("&#...")
  std::string decl_;           // the XML declaration, while it is read
  bool inDecl_ = false;
  std::ptrdiff_t markStart_ = 0;  // offset of the last "<" in the current bytes (-1: earlier)
  std::ptrdiff_t offset_ = 0;     // offset of the unit being read
  long code_ = 0;
};

struct XmlParseOutcome {
  bool wellFormed = false;
  int errorCode = 0;  // libxml2's error number, 0 when none
};

// Parses XML bytes into a tree. `options` are libxml2 parse options; forbidden ones
// are stripped. With XML_PARSE_RECOVER a malformed document still yields a tree.
// Returns nullptr when no tree results or when entity expansion exceeds the bounds.
xmlDocPtr parseXmlTree(std::string_view bytes, const char* encoding, int options,
                       XmlParseOutcome* outcome = nullptr);

// Parses HTML bytes (never fails on content; nullptr only for empty input or an
// unusable encoding). `hadErrors` tells whether libxml2 reported any error even
// though it produced a tree.
htmlDocPtr parseHtmlTree(std::string_view bytes, const char* encoding, int options,
                         bool* hadErrors = nullptr);

// True when every entity declared in the document expands to at most
// kMaxEntityExpansion characters and all references together to at most
// kMaxTotalEntityExpansion.
bool entityExpansionWithinBounds(xmlDocPtr doc);

}  // namespace yx::markup
