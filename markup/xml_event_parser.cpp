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
    XmlEventParser& p = self(ctx);
    if (p.aborted_ || p.failed_) return nullptr;
    xmlEntityPtr ent = xmlSAX2GetEntity(outer(ctx), name);
    if (ent != nullptr && ent->etype != XML_INTERNAL_PREDEFINED_ENTITY) {
      if (++p.entityReferences_ > kEntityReferenceBudget + p.data_.size() / 8) {
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
    const long code = last != nullptr && last->code != 0 ? last->code : outer(ctx)->errNo;
    p.fail(ctx, code != 0 ? code : XML_ERR_INTERNAL_ERROR);
    xmlStopParser(outer(ctx));
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

  if (data_.empty()) {
    fail(nullptr, XML_ERR_DOCUMENT_EMPTY);
    return false;
  }

  markup::ExternalLoadBlock block;
  xmlParserCtxtPtr ctxt = xmlCreateMemoryParserCtxt(data_.data(), static_cast<int>(data_.size()));
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
  *ctxt->sax = sax;
  ctxt->userData = this;

  outerContext_ = ctxt;
  parsing_ = true;
  xmlParseDocument(ctxt);
  parsing_ = false;
  outerContext_ = nullptr;

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
