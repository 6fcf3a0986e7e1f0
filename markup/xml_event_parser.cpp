#include "markup/xml_event_parser.h"

#include "markup/parse_safety.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <algorithm>
#include <climits>
#include <cstring>

namespace yx {
namespace {

// Budgets for entities defined in the document's own DTD: how many references may
// be expanded and how many characters they may produce, beyond a share of the
// input size. A "billion laughs" document hits them within milliseconds.
constexpr std::size_t kEntityReferenceBudget = 20000;
constexpr std::size_t kEntityCharacterBudget = 1u << 20;

std::string str(const xmlChar* s) { return s != nullptr ? std::string(reinterpret_cast<const char*>(s)) : std::string(); }

// Without entity substitution libxml2 hands attribute values over with every
// literal "&" written as "&#38;"; undo exactly that.
std::string attributeValue(const xmlChar* s) {
  std::string v = str(s);
  std::string out;
  out.reserve(v.size());
  for (std::size_t i = 0; i < v.size();) {
    if (v.compare(i, 5, "&#38;") == 0) {
      out.push_back('&');
      i += 5;
    } else {
      out.push_back(v[i++]);
    }
  }
  return out;
}

}  // namespace

// The libxml2 callbacks. Their user data is the XmlEventParser itself (never the
// parser context, so libxml2 cannot bypass getEntity); the context functions of
// libxml2's own SAX2 module are given the outer parser context.
struct XmlEventParserCallbacks {
  static XmlEventParser& self(void* ctx) { return *static_cast<XmlEventParser*>(ctx); }
  static xmlParserCtxtPtr outer(void* ctx) { return static_cast<xmlParserCtxtPtr>(self(ctx).outerContext_); }

  template <typename F>
  static void guarded(void* ctx, F&& body) {
    XmlEventParser& p = self(ctx);
    if (!p.mayDeliver(ctx)) return;
    try {
      body(p);
    } catch (...) {
      if (!p.pendingException_) p.pendingException_ = std::current_exception();
      p.aborted_ = true;
    }
    if (p.aborted_ || p.failed_) xmlStopParser(outer(ctx));
  }

  static void startElement(void* ctx, const xmlChar* name, const xmlChar** atts) {
    guarded(ctx, [&](XmlEventParser& p) {
      std::vector<std::pair<std::string, std::string>> attributes;
      for (const xmlChar** a = atts; a != nullptr && a[0] != nullptr; a += 2) {
        attributes.emplace_back(str(a[0]), attributeValue(a[1]));
      }
      p.rootSeen_ = true;
      if (p.delegate_ != nullptr) p.delegate_->parserDidStartElement(str(name), attributes);
    });
  }

  static void endElement(void* ctx, const xmlChar* name) {
    guarded(ctx, [&](XmlEventParser& p) {
      if (p.delegate_ != nullptr) p.delegate_->parserDidEndElement(str(name));
    });
  }

  static void characters(void* ctx, const xmlChar* chars, int len) {
    guarded(ctx, [&](XmlEventParser& p) {
      if (outer(ctx)->depth > 0) {  // text coming out of an entity
        p.entityCharacters_ += static_cast<std::size_t>(len);
        if (p.entityCharacters_ > kEntityCharacterBudget + 4 * p.budgetBase()) {
          p.fail(ctx, XmlEventParser::kEntityExpansionErrorCode);
          return;
        }
      }
      if (p.delegate_ != nullptr && len > 0) {
        p.delegate_->parserFoundCharacters(std::string_view(reinterpret_cast<const char*>(chars), static_cast<std::size_t>(len)));
      }
    });
  }

  static xmlEntityPtr getEntity(void* ctx, const xmlChar* name) {
    XmlEventParser& p = self(ctx);
    if (p.aborted_ || p.failed_) return nullptr;
    xmlEntityPtr ent = xmlSAX2GetEntity(outer(ctx), name);
    if (ent != nullptr && ent->etype != XML_INTERNAL_PREDEFINED_ENTITY) {
      if (++p.entityReferences_ > kEntityReferenceBudget + p.budgetBase() / 8) {
        p.fail(ctx, XmlEventParser::kEntityExpansionErrorCode);
        xmlStopParser(outer(ctx));
        return nullptr;
      }
    }
    return ent;
  }

  static xmlEntityPtr getParameterEntity(void* ctx, const xmlChar* name) {
    return xmlSAX2GetParameterEntity(outer(ctx), name);
  }
  static void startDocument(void* ctx) { xmlSAX2StartDocument(outer(ctx)); }
  static void internalSubset(void* ctx, const xmlChar* name, const xmlChar* externalId, const xmlChar* systemId) {
    xmlSAX2InternalSubset(outer(ctx), name, externalId, systemId);
  }
  static void entityDecl(void* ctx, const xmlChar* name, int type, const xmlChar* publicId, const xmlChar* systemId,
                         xmlChar* content) {
    xmlSAX2EntityDecl(outer(ctx), name, type, publicId, systemId, content);
  }
  static int isStandalone(void* ctx) { return xmlSAX2IsStandalone(outer(ctx)); }
  static int hasInternalSubset(void* ctx) { return xmlSAX2HasInternalSubset(outer(ctx)); }
  static int hasExternalSubset(void* ctx) { return xmlSAX2HasExternalSubset(outer(ctx)); }

  static void error(void* ctx, const char*, ...) {
    XmlEventParser& p = self(ctx);
    if (p.aborted_ || p.failed_) return;
    // libxml2 records the error it is reporting as the thread's last error first.
    xmlErrorPtr last = xmlGetLastError();
    long code = last != nullptr && last->code != 0 ? last->code : outer(ctx)->errNo;
    // Ending the bytes early reads, for a document parsed piece by piece, as
    // "document end expected"; name it as a parse of the whole bytes would.
    if (p.terminating_ && code == XML_ERR_DOCUMENT_END && outer(ctx)->instate != XML_PARSER_EPILOG)
      code = p.rootSeen_ || p.startsWithElement() ? XML_ERR_TAG_NOT_FINISHED : XML_ERR_DOCUMENT_EMPTY;
    p.fail(ctx, code != 0 ? code : static_cast<long>(XML_ERR_INTERNAL_ERROR));
    xmlStopParser(outer(ctx));
  }

  static void warning(void*, const char*, ...) {}
};

namespace {
// Pieces a whole document is given to libxml2 in: its push parser keeps only
// what it has not parsed yet, so no second copy of the document is made.
constexpr std::size_t kFeedPiece = 64 * 1024;
}  // namespace

XmlEventParser::XmlEventParser(std::string data) : data_(std::move(data)) {}
XmlEventParser::XmlEventParser() = default;
XmlEventParser::~XmlEventParser() { release(); }

void XmlEventParser::setDelegate(XmlEventDelegate* d) { delegate_ = d; }

long XmlEventParser::errorCode() const { return errorCode_; }

void XmlEventParser::abortParsing() {
  if (parsing_) aborted_ = true;
}

bool XmlEventParser::mayDeliver(void*) { return !aborted_ && !failed_; }

// Whether the first bytes open an element (libxml2 reads nothing before it
// has four bytes, so a tiny document can end before any element started).
bool XmlEventParser::startsWithElement() const {
  std::size_t i = 0;
  while (i < head_.size() && (head_[i] == ' ' || head_[i] == '\t' || head_[i] == '\n' || head_[i] == '\r')) ++i;
  if (i + 1 >= head_.size() || head_[i] != '<') return false;
  const char c = head_[i + 1];
  return c != '?' && c != '!' && c != '/' && c != ' ';
}

std::size_t XmlEventParser::budgetBase() const { return std::max(data_.size(), fed_); }

void XmlEventParser::fail(void*, long code) {
  if (failed_ || aborted_) return;
  failed_ = true;
  errorCode_ = code;
  if (delegate_ == nullptr) return;
  try {
    delegate_->parserParseErrorOccurred(code);
  } catch (...) {
    if (!pendingException_) pendingException_ = std::current_exception();
  }
}

void XmlEventParser::release() {
  auto ctxt = static_cast<xmlParserCtxtPtr>(outerContext_);
  if (ctxt == nullptr) return;
  if (ctxt->myDoc != nullptr) {
    xmlFreeDoc(ctxt->myDoc);
    ctxt->myDoc = nullptr;
  }
  xmlFreeParserCtxt(ctxt);
  outerContext_ = nullptr;
}

void XmlEventParser::rethrowPending() {
  if (!pendingException_) return;
  auto e = pendingException_;
  pendingException_ = nullptr;
  release();
  std::rethrow_exception(e);
}

// A new parse: a push parser with the classic callbacks, without namespace
// processing (names as written). The DTD callbacks only record internal
// entity declarations so their text can be expanded; nothing external is
// resolved.
void XmlEventParser::begin() {
  release();
  errorCode_ = 0;
  aborted_ = false;
  failed_ = false;
  rootSeen_ = false;
  terminating_ = false;
  pendingException_ = nullptr;
  entityReferences_ = 0;
  entityCharacters_ = 0;
  fed_ = 0;
  head_.clear();
  held_.clear();
  guard_ = std::make_unique<markup::AttributeGuard>();

  xmlSAXHandler sax;
  std::memset(&sax, 0, sizeof sax);
  xmlSAXVersion(&sax, 1);
  sax.resolveEntity = nullptr;
  sax.externalSubset = nullptr;
  sax.reference = nullptr;
  sax.attributeDecl = nullptr;
  sax.elementDecl = nullptr;
  sax.notationDecl = nullptr;
  sax.unparsedEntityDecl = nullptr;
  sax.processingInstruction = nullptr;
  sax.comment = nullptr;
  sax.setDocumentLocator = nullptr;
  sax.startElement = XmlEventParserCallbacks::startElement;
  sax.endElement = XmlEventParserCallbacks::endElement;
  sax.characters = XmlEventParserCallbacks::characters;
  sax.ignorableWhitespace = XmlEventParserCallbacks::characters;
  sax.cdataBlock = XmlEventParserCallbacks::characters;  // CDATA text is text too
  sax.getEntity = XmlEventParserCallbacks::getEntity;
  sax.getParameterEntity = XmlEventParserCallbacks::getParameterEntity;
  sax.startDocument = XmlEventParserCallbacks::startDocument;
  sax.internalSubset = XmlEventParserCallbacks::internalSubset;
  sax.entityDecl = XmlEventParserCallbacks::entityDecl;
  sax.isStandalone = XmlEventParserCallbacks::isStandalone;
  sax.hasInternalSubset = XmlEventParserCallbacks::hasInternalSubset;
  sax.hasExternalSubset = XmlEventParserCallbacks::hasExternalSubset;
  sax.endDocument = nullptr;
  sax.error = XmlEventParserCallbacks::error;
  sax.fatalError = XmlEventParserCallbacks::error;
  sax.warning = XmlEventParserCallbacks::warning;

  markup::ExternalLoadBlock block;  // makes sure the refusing loader is installed
  // The user data is this parser, never the context (see the callbacks).
  xmlParserCtxtPtr ctxt = xmlCreatePushParserCtxt(&sax, this, nullptr, 0, nullptr);
  if (ctxt == nullptr) {
    fail(nullptr, XML_ERR_NO_MEMORY);
    return;
  }
  xmlCtxtUseOptions(ctxt, XML_PARSE_NONET);
  ctxt->replaceEntities = 0;  // never substitute (so never load) external entities
  ctxt->loadsubset = 0;       // never fetch an external DTD
  ctxt->validate = 0;
  outerContext_ = ctxt;
}

bool XmlEventParser::feed(std::string_view bytes) {
  if (outerContext_ == nullptr && !failed_ && !aborted_ && fed_ == 0) begin();
  if (failed_ || aborted_ || outerContext_ == nullptr) return false;
  if (parsing_) return false;  // not re-entrant from its own callbacks
  auto ctxt = static_cast<xmlParserCtxtPtr>(outerContext_);
  markup::ExternalLoadBlock block;
  // libxml2 is given the document in pieces of kFeedPiece from its start,
  // however the bytes come: its push parser does not end the same way for
  // every cut (a first piece shorter than the four bytes that tell the
  // encoding, a byte at a time inside a processing instruction), and a
  // document must read the same whole or piece by piece.
  auto give = [&](std::string_view chunk) {
    parsing_ = true;
    xmlParseChunk(ctxt, chunk.data(), static_cast<int>(chunk.size()), 0);
    parsing_ = false;
    held_.clear();
    rethrowPending();
  };
  while (!bytes.empty() && !failed_ && !aborted_) {
    std::string_view piece = bytes.substr(0, kFeedPiece - held_.size());
    bytes.remove_prefix(piece.size());
    const std::size_t allowed = guard_->scan(piece);
    if (allowed > 0) {
      if (head_.size() < 8) head_.append(piece.substr(0, std::min<std::size_t>(8 - head_.size(), allowed)));
      fed_ += allowed;
      if (held_.empty() && allowed == kFeedPiece) {
        give(piece);
      } else {
        held_.append(piece.substr(0, allowed));
        if (held_.size() == kFeedPiece) give(held_);
      }
    }
    if (guard_->refused()) {
      // What came before the refused markup is parsed, as for any cut.
      if (!held_.empty() && !failed_ && !aborted_) give(held_);
      fail(ctxt, guard_->errorCode());
    }
  }
  return !failed_ && !aborted_;
}

bool XmlEventParser::finish() {
  if (outerContext_ == nullptr && !failed_ && !aborted_ && fed_ == 0) begin();
  if (!failed_ && !aborted_ && fed_ == 0) fail(nullptr, XML_ERR_DOCUMENT_EMPTY);
  auto ctxt = static_cast<xmlParserCtxtPtr>(outerContext_);
  bool wellFormed = false;
  int err = 0;
  if (ctxt != nullptr && !failed_ && !aborted_) {
    markup::ExternalLoadBlock block;
    parsing_ = true;
    terminating_ = true;
    // The last piece goes in with the end.
    xmlParseChunk(ctxt, held_.empty() ? nullptr : held_.data(), static_cast<int>(held_.size()), 1);
    held_.clear();
    terminating_ = false;
    parsing_ = false;
    wellFormed = ctxt->wellFormed != 0;
    err = ctxt->errNo;
  }
  release();
  rethrowPending();
  if (aborted_) {
    errorCode_ = kStoppedByUserCode;
    return false;
  }
  if (!failed_ && !wellFormed) fail(nullptr, err != 0 ? err : XML_ERR_DOCUMENT_EMPTY);
  if (failed_) {
    rethrowPending();
    return false;
  }
  if (delegate_ != nullptr) delegate_->parserDidEndDocument();
  return true;
}

bool XmlEventParser::parse() {
  if (parsing_) return false;  // not re-entrant from its own callbacks
  begin();
  if (data_.empty()) {
    release();
    fail(nullptr, XML_ERR_DOCUMENT_EMPTY);
    return false;
  }
  feed(data_);
  return finish();
}

}  // namespace yx
