#include "markup/xml_event_parser.h"

#include "markup/parse_safety.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <climits>
#include <cstring>

namespace yx {
namespace {

// Budgets for entities defined in the document's own DTD: how many references may
// be expanded and how many characters they may produce, beyond a share of the
// input size. A "billion laughs" document hits them within milliseconds.
constexpr std::size_t kEntityReferenceBudget = 20000;
constexpr std::size_t kEntityCharacterBudget = 1u << 20;

thread_local XmlEventParser* tCurrent = nullptr;

std::string str(const xmlChar* s) { return s != nullptr ? std::string(reinterpret_cast<const char*>(s)) : std::string(); }

}  // namespace

// The libxml2 callbacks. They find the parser through a thread-local pointer, so
// callbacks made while an entity's text is expanded (on a nested parser context)
// reach the same object.
struct XmlEventParserCallbacks {
  template <typename F>
  static void guarded(void* ctx, F&& body) {
    XmlEventParser* self = tCurrent;
    if (self == nullptr || !self->mayDeliver(ctx)) return;
    try {
      body(*self);
    } catch (...) {
      if (!self->pendingException_) self->pendingException_ = std::current_exception();
      self->aborted_ = true;
    }
    if (self->aborted_ || self->failed_) xmlStopParser(static_cast<xmlParserCtxtPtr>(ctx));
  }

  static void startElement(void* ctx, const xmlChar* name, const xmlChar** atts) {
    guarded(ctx, [&](XmlEventParser& p) {
      std::vector<std::pair<std::string, std::string>> attributes;
      for (const xmlChar** a = atts; a != nullptr && a[0] != nullptr; a += 2) {
        attributes.emplace_back(str(a[0]), str(a[1]));
      }
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
      if (ctx != p.outerContext_) {
        p.entityCharacters_ += static_cast<std::size_t>(len);
        if (p.entityCharacters_ > kEntityCharacterBudget + 4 * p.data_.size()) {
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
    XmlEventParser* self = tCurrent;
    if (self == nullptr || self->aborted_ || self->failed_) return nullptr;
    xmlEntityPtr ent = xmlSAX2GetEntity(ctx, name);
    if (ent != nullptr && ent->etype != XML_INTERNAL_PREDEFINED_ENTITY) {
      if (++self->entityReferences_ > kEntityReferenceBudget + self->data_.size() / 8) {
        self->fail(ctx, XmlEventParser::kEntityExpansionErrorCode);
        xmlStopParser(static_cast<xmlParserCtxtPtr>(ctx));
        return nullptr;
      }
    }
    return ent;
  }

  static void error(void* ctx, const char*, ...) {
    XmlEventParser* self = tCurrent;
    if (self == nullptr || self->aborted_ || self->failed_) return;
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    self->fail(ctx, ctxt != nullptr && ctxt->errNo != 0 ? ctxt->errNo : XML_ERR_INTERNAL_ERROR);
    xmlStopParser(ctxt);
  }

  static void warning(void*, const char*, ...) {}
};

XmlEventParser::XmlEventParser(std::string data) : data_(std::move(data)) {}

void XmlEventParser::setDelegate(XmlEventDelegate* d) { delegate_ = d; }

long XmlEventParser::errorCode() const { return errorCode_; }

void XmlEventParser::abortParsing() {
  if (parsing_) aborted_ = true;
}

bool XmlEventParser::mayDeliver(void*) { return !aborted_ && !failed_; }

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

bool XmlEventParser::parse() {
  if (parsing_) return false;  // not re-entrant from its own callbacks
  errorCode_ = 0;
  aborted_ = false;
  failed_ = false;
  pendingException_ = nullptr;
  entityReferences_ = 0;
  entityCharacters_ = 0;
  if (data_.size() > static_cast<std::size_t>(INT_MAX)) {
    fail(nullptr, XML_ERR_NO_MEMORY);
    return false;
  }

  markup::ExternalLoadBlock block;
  xmlParserCtxtPtr ctxt = data_.empty() ? xmlCreatePushParserCtxt(nullptr, nullptr, nullptr, 0, nullptr)
                                        : xmlCreateMemoryParserCtxt(data_.data(), static_cast<int>(data_.size()));
  if (ctxt == nullptr) {
    fail(nullptr, XML_ERR_NO_MEMORY);
    return false;
  }
  xmlCtxtUseOptions(ctxt, XML_PARSE_NONET);
  ctxt->replaceEntities = 0;  // never substitute (so never load) external entities
  ctxt->loadsubset = 0;       // never fetch an external DTD
  ctxt->validate = 0;

  // Names as written: the classic callbacks, without namespace processing. The DTD
  // callbacks only record internal entity declarations so their text can be
  // expanded; nothing external is resolved.
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
  sax.endDocument = nullptr;
  sax.error = XmlEventParserCallbacks::error;
  sax.fatalError = XmlEventParserCallbacks::error;
  sax.warning = XmlEventParserCallbacks::warning;
  *ctxt->sax = sax;
  ctxt->userData = ctxt;

  XmlEventParser* previous = tCurrent;
  tCurrent = this;
  outerContext_ = ctxt;
  parsing_ = true;
  if (data_.empty()) {
    xmlParseChunk(ctxt, nullptr, 0, 1);
  } else {
    xmlParseDocument(ctxt);
  }
  parsing_ = false;
  outerContext_ = nullptr;
  tCurrent = previous;

  const bool wellFormed = ctxt->wellFormed != 0;
  const int err = ctxt->errNo;
  if (ctxt->myDoc != nullptr) {
    xmlFreeDoc(ctxt->myDoc);
    ctxt->myDoc = nullptr;
  }
  xmlFreeParserCtxt(ctxt);

  if (pendingException_) {
    auto e = pendingException_;
    pendingException_ = nullptr;
    std::rethrow_exception(e);
  }
  if (aborted_) {
    errorCode_ = kStoppedByUserCode;
    return false;
  }
  if (!failed_ && !wellFormed) fail(nullptr, err != 0 ? err : XML_ERR_DOCUMENT_EMPTY);
  if (failed_) return false;
  if (delegate_ != nullptr) delegate_->parserDidEndDocument();
  return true;
}

}  // namespace yx
