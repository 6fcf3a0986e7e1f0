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
