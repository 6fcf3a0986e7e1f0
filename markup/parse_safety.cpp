#include "markup/parse_safety.h"

#include <libxml/entities.h>
#include <libxml/hash.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

namespace yx::markup {
namespace {

thread_local int tBlockDepth = 0;
thread_local long tRefused = 0;
xmlExternalEntityLoader gPreviousLoader = nullptr;

xmlParserInputPtr refusingLoader(const char* url, const char* id, xmlParserCtxtPtr ctxt) {
  if (tBlockDepth > 0) {
    ++tRefused;
    return nullptr;
  }
  return gPreviousLoader != nullptr ? gPreviousLoader(url, id, ctxt) : nullptr;
}

void installLoaderOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    xmlInitParser();
    gPreviousLoader = xmlGetExternalEntityLoader();
    xmlSetExternalEntityLoader(refusingLoader);
  });
}

// Computes how many characters entities expand to, following references inside
// entity values. A reference cycle counts as unbounded.
class ExpansionMeter {
public:
  explicit ExpansionMeter(xmlDocPtr doc) : doc_(doc) {}

  std::size_t entitySize(xmlEntityPtr ent) {
    if (ent == nullptr) return 0;
    if (ent->etype != XML_INTERNAL_GENERAL_ENTITY) return 0;  // external ones are never loaded
    auto it = memo_.find(ent);
    if (it != memo_.end()) return it->second;
    memo_[ent] = kUnbounded;  // marks "in progress": a cycle reads as unbounded
    std::size_t total = 0;
    const char* s = reinterpret_cast<const char*>(ent->content);
    const std::size_t n = s != nullptr ? std::strlen(s) : 0;
    for (std::size_t i = 0; i < n && total <= kMaxEntityExpansion;) {
      if (s[i] == '&' && i + 1 < n && s[i + 1] != '#') {
        const char* semi = static_cast<const char*>(std::memchr(s + i + 1, ';', n - i - 1));
        if (semi != nullptr) {
          const std::string name(s + i + 1, semi);
          xmlEntityPtr ref = xmlGetDocEntity(doc_, reinterpret_cast<const xmlChar*>(name.c_str()));
          const std::size_t sub = ref != nullptr ? entitySize(ref) : 1;
          total = sub >= kUnbounded - total ? kUnbounded : total + sub;
          i = static_cast<std::size_t>(semi - s) + 1;
          continue;
        }
      }
      ++total;
      ++i;
    }
    if (total > kMaxEntityExpansion) total = kUnbounded;
    memo_[ent] = total;
    return total;
  }

  static constexpr std::size_t kUnbounded = static_cast<std::size_t>(-1) / 2;

private:
  xmlDocPtr doc_;
  std::unordered_map<xmlEntityPtr, std::size_t> memo_;
};

bool hasDeclaredEntities(xmlDocPtr doc) {
  auto* sub = doc->intSubset;
  return sub != nullptr && sub->entities != nullptr &&
         xmlHashSize(static_cast<xmlHashTablePtr>(sub->entities)) > 0;
}

}  // namespace

ExternalLoadBlock::ExternalLoadBlock() {
  installLoaderOnce();
  ++tBlockDepth;
}

ExternalLoadBlock::~ExternalLoadBlock() { --tBlockDepth; }

long ExternalLoadBlock::refusedLoads() { return tRefused; }

bool entityExpansionWithinBounds(xmlDocPtr doc) {
  if (doc == nullptr || !hasDeclaredEntities(doc)) return true;
  ExpansionMeter meter(doc);
  // Every declared entity on its own.
  bool ok = true;
  struct ScanData {
    ExpansionMeter* meter;
    bool* ok;
  } data{&meter, &ok};
  xmlHashScan(static_cast<xmlHashTablePtr>(doc->intSubset->entities),
              [](void* payload, void* user, const xmlChar*) {
                auto* d = static_cast<ScanData*>(user);
                if (d->meter->entitySize(static_cast<xmlEntityPtr>(payload)) > kMaxEntityExpansion) *d->ok = false;
              },
              &data);
  if (!ok) return false;
  // All references in the tree together (walked without recursion).
  std::size_t total = 0;
  xmlNodePtr cur = doc->children;
  while (cur != nullptr) {
    if (cur->type == XML_ENTITY_REF_NODE) {
      total += meter.entitySize(xmlGetDocEntity(doc, cur->name));
      if (total > kMaxTotalEntityExpansion) return false;
    } else if (cur->type == XML_ELEMENT_NODE) {
      for (xmlAttrPtr attr = cur->properties; attr != nullptr; attr = attr->next) {
        for (xmlNodePtr v = attr->children; v != nullptr; v = v->next) {
          if (v->type != XML_ENTITY_REF_NODE) continue;
          total += meter.entitySize(xmlGetDocEntity(doc, v->name));
          if (total > kMaxTotalEntityExpansion) return false;
        }
      }
      if (cur->children != nullptr) {
        cur = cur->children;
        continue;
      }
    }
    while (cur != nullptr && cur->next == nullptr) {
      cur = cur->parent;
      if (cur == nullptr || cur->type == XML_DOCUMENT_NODE) return true;
    }
    if (cur != nullptr) cur = cur->next;
  }
  return true;
}

// ------------------------------------------------------------- attribute guard

namespace {

// Letters and digits of an encoding name, lower case ("Shift_JIS" -> "shiftjis").
std::string squeezed(std::string_view name) {
  std::string out;
  for (char c : name) {
    if (c >= 'A' && c <= 'Z') out.push_back(static_cast<char>(c - 'A' + 'a'));
    else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) out.push_back(c);
  }
  return out;
}

bool startsWith(const std::string& s, std::string_view prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

bool isBlank(char32_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

AttributeGuard::AttributeGuard(const char* forcedEncoding)
    : forced_(forcedEncoding != nullptr ? forcedEncoding : "") {}

// Encodings in which "<", "=", quotes and blanks are always the ASCII bytes
// and never part of another character (multi-byte trail bytes start at 0x40).
bool AttributeGuard::readableEncoding(std::string_view name) {
  static const char* const kReadable[] = {
      "utf8",   "utf16",  "utf32",  "ucs2",     "ucs4",   "usascii", "ascii", "iso646", "ansix3",
      "iso8859", "latin", "l1",     "windows125", "cp125", "big5",   "gbk",   "gb2312", "gb18030",
      "euc",    "shiftjis", "sjis", "xsjis",    "cp932",  "ms932",   "cp936", "ms936", "cp949",
      "cp950",  "ms950",  "koi8",   "tis620"};
  const std::string n = squeezed(name);
  if (n.empty()) return false;
  for (const char* prefix : kReadable)
    if (startsWith(n, prefix)) return true;
  return false;
}

bool AttributeGuard::decide() {
  auto b = [this](std::size_t i) { return static_cast<unsigned char>(head_[i]); };
  if ((b(0) == 0 && b(1) == 0 && b(2) == 0xFE && b(3) == 0xFF) || (b(0) == 0 && b(1) == 0 && b(2) == 0 && b(3) == '<')) {
    unitBytes_ = 4;
    bigEndian_ = true;
  } else if ((b(0) == 0xFF && b(1) == 0xFE && b(2) == 0 && b(3) == 0) || (b(0) == '<' && b(1) == 0 && b(2) == 0 && b(3) == 0)) {
    unitBytes_ = 4;
  } else if ((b(0) == 0xFE && b(1) == 0xFF) || (b(0) == 0 && b(1) == '<')) {
    unitBytes_ = 2;
    bigEndian_ = true;
  } else if ((b(0) == 0xFF && b(1) == 0xFE) || (b(0) == '<' && b(1) == 0)) {
    unitBytes_ = 2;
  } else if (b(0) == 0x4C && b(1) == 0x6F && b(2) == 0xA7 && b(3) == 0x94) {
    code_ = kUnreadableEncodingCode;  // EBCDIC
    return false;
  }
  if (!forced_.empty()) {
    const std::string f = squeezed(forced_);
    const bool big = f.size() >= 2 && f.compare(f.size() - 2, 2, "be") == 0;
    if (startsWith(f, "utf16") || startsWith(f, "ucs2")) {
      if (unitBytes_ != 2) bigEndian_ = big;
      unitBytes_ = 2;
    } else if (startsWith(f, "utf32") || startsWith(f, "ucs4")) {
      if (unitBytes_ != 4) bigEndian_ = big;
      unitBytes_ = 4;
    } else if (readableEncoding(forced_)) {
      unitBytes_ = 1;
    } else {
      code_ = kUnreadableEncodingCode;
      return false;
    }
  }
  // The declaration of a byte document names the encoding of what follows
  // (a forced encoding wins over it).
  inDecl_ = unitBytes_ == 1 && forced_.empty();
  decided_ = true;
  return true;
}

std::size_t AttributeGuard::scan(std::string_view bytes) {
  if (code_ != 0) return 0;
  std::string joined;
  std::string_view data = bytes;
  std::ptrdiff_t shift = 0;  // bytes of earlier calls at the front of data
  if (!decided_) {
    if (head_.size() + bytes.size() < 4) {
      head_.append(bytes);
      return bytes.size();
    }
    if (!head_.empty()) {
      joined = head_ + std::string(bytes);
      data = joined;
      shift = static_cast<std::ptrdiff_t>(head_.size());
    }
    head_.append(data.substr(head_.size(), 4 - std::min<std::size_t>(4, head_.size())));
    if (!decide()) return 0;
    head_.clear();
  }
  markStart_ = -1;
  // Bytes that can change what is counted; runs of others are skipped fast.
  static const auto kMarkup = [] {
    std::array<bool, 256> t{};
    t['<'] = t['='] = t['&'] = true;
    return t;
  }();
  for (std::size_t i = 0; i < data.size(); ++i) {
    if (unitBytes_ == 1) {
      if (ref_.empty() && !afterEquals_ && !inDecl_) {
        while (i < data.size() && !kMarkup[static_cast<unsigned char>(data[i])]) ++i;
        if (i == data.size()) break;
      }
      offset_ = static_cast<std::ptrdiff_t>(i) - shift;
      if (!unit(static_cast<unsigned char>(data[i]))) break;
      continue;
    }
    const auto byte = static_cast<unsigned char>(data[i]);
    if (pendingBytes_ == 0) offset_ = static_cast<std::ptrdiff_t>(i) - shift;
    pending_ = bigEndian_ ? (pending_ << 8) | byte : pending_ | (static_cast<char32_t>(byte) << (8 * pendingBytes_));
    if (++pendingBytes_ < unitBytes_) continue;
    const char32_t c = pending_;
    pending_ = 0;
    pendingBytes_ = 0;
    if (!unit(c)) break;
  }
  if (code_ == 0) return bytes.size();
  return markStart_ > 0 ? static_cast<std::size_t>(markStart_) : 0;
}

// Character references are read as the character they stand for.
bool AttributeGuard::unit(char32_t c) {
  if (!ref_.empty()) {
    const bool hex = ref_.size() >= 3 && ref_[2] == 'x';
    const bool digit = c >= '0' && c <= '9';
    const bool hexDigit = digit || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (ref_ == "&" && c == '#') {
      ref_ += '#';
      return true;
    }
    if (ref_ == "&#" && (c == 'x' || digit)) {
      ref_ += static_cast<char>(c);
      return true;
    }
    if (ref_.size() > 2 && c == ';' && ref_ != "&#x") {
      const unsigned long value = std::strtoul(ref_.c_str() + (hex ? 3 : 2), nullptr, hex ? 16 : 10);
      ref_.clear();
      return character(static_cast<char32_t>(value));
    }
    if (ref_.size() > 2 && ref_.size() < 16 && (hex ? hexDigit : digit)) {
      ref_ += static_cast<char>(c);
      return true;
    }
    // Not a reference after all: what was read stands for itself.
    const std::string read = std::move(ref_);
    ref_.clear();
    for (char r : read)
      if (!character(static_cast<unsigned char>(r))) return false;
  }
  if (c == '&') {
    ref_ = "&";
    return true;
  }
  return character(c);
}

bool AttributeGuard::character(char32_t c) {
  if (inDecl_) {
    if (c < 0x80) decl_.push_back(static_cast<char>(c));
    std::string_view d = decl_;
    if (d.size() >= 5 && d.substr(0, 5) != "<?xml") inDecl_ = false;
    if (d.size() > 512) inDecl_ = false;
    if (c == '>' && d.size() >= 2 && d[d.size() - 2] == '?') {
      inDecl_ = false;
      auto at = d.find("encoding");
      if (at != std::string_view::npos) {
        at = d.find_first_of("\"'", at);
        if (at != std::string_view::npos) {
          const auto end = d.find(d[at], at + 1);
          if (end != std::string_view::npos && !readableEncoding(d.substr(at + 1, end - at - 1))) {
            code_ = kUnreadableEncodingCode;
            return false;
          }
        }
      }
    }
    if (!inDecl_) decl_.clear();
  }
  if (c == '<') {
    count_ = 0;
    afterEquals_ = false;
    markStart_ = offset_;
    return true;
  }
  if (afterEquals_) {
    if (c == '"' || c == '\'') {
      afterEquals_ = false;
      if (++count_ > kMaxAttributes) {
        code_ = kTooManyAttributesCode;
        return false;
      }
      return true;
    }
    if (isBlank(c)) return true;
    afterEquals_ = false;
  }
  if (c == '=') afterEquals_ = true;
  return true;
}

xmlDocPtr parseXmlTree(std::string_view bytes, const char* encoding, int options,
                       XmlParseOutcome* outcome) {
  if (outcome != nullptr) *outcome = {};
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return nullptr;
  {
    AttributeGuard guard(encoding);
    guard.scan(bytes);
    if (guard.refused()) {
      if (outcome != nullptr) outcome->errorCode = static_cast<int>(guard.errorCode());
      return nullptr;
    }
  }
  ExternalLoadBlock block;
  xmlParserCtxtPtr ctxt = xmlCreateMemoryParserCtxt(bytes.data(), static_cast<int>(bytes.size()));
  if (ctxt == nullptr) return nullptr;
  xmlCtxtUseOptions(ctxt, (options & ~kXmlForbiddenOptions) | kXmlSafetyOptions);
  // Process-wide defaults must not switch substitution or DTD loading back on.
  ctxt->replaceEntities = 0;
  ctxt->loadsubset = 0;
  ctxt->validate = 0;
  if (encoding != nullptr && *encoding != '\0') {
    xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(encoding);
    if (handler == nullptr) {
      xmlFreeParserCtxt(ctxt);
      return nullptr;
    }
    xmlSwitchToEncoding(ctxt, handler);
  }
  xmlParseDocument(ctxt);
  xmlDocPtr doc = ctxt->myDoc;
  ctxt->myDoc = nullptr;
  const bool wellFormed = ctxt->wellFormed != 0;
  const int err = ctxt->errNo;
  const bool recovering = ctxt->recovery != 0;
  xmlFreeParserCtxt(ctxt);
  if (outcome != nullptr) {
    outcome->wellFormed = wellFormed && doc != nullptr;
    outcome->errorCode = err;
  }
  if (doc != nullptr && !wellFormed && !recovering) {
    xmlFreeDoc(doc);
    return nullptr;
  }
  if (doc != nullptr && !entityExpansionWithinBounds(doc)) {
    xmlFreeDoc(doc);
    if (outcome != nullptr) {
      outcome->wellFormed = false;
      outcome->errorCode = XML_ERR_ENTITY_LOOP;
    }
    return nullptr;
  }
  return doc;
}

htmlDocPtr parseHtmlTree(std::string_view bytes, const char* encoding, int options, bool* hadErrors) {
  if (hadErrors != nullptr) *hadErrors = false;
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return nullptr;
  if (encoding != nullptr && *encoding == '\0') encoding = nullptr;
  if (encoding != nullptr) {
    xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(encoding);
    if (handler == nullptr) return nullptr;  // an unknown encoding name
    xmlCharEncCloseFunc(handler);
  }
  ExternalLoadBlock block;
  htmlParserCtxtPtr ctxt = htmlNewParserCtxt();
  if (ctxt == nullptr) return nullptr;
  htmlDocPtr doc = htmlCtxtReadMemory(ctxt, bytes.data(), static_cast<int>(bytes.size()), "", encoding,
                                      options | HTML_PARSE_NONET | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING);
  if (hadErrors != nullptr) *hadErrors = ctxt->wellFormed == 0 || ctxt->errNo != 0;
  htmlFreeParserCtxt(ctxt);
  return doc;
}

}  // namespace yx::markup
