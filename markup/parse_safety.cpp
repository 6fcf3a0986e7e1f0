#include "markup/parse_safety.h"

#include <libxml/entities.h>
#include <libxml/hash.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include <climits>
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

xmlDocPtr parseXmlTree(std::string_view bytes, const char* encoding, int options,
                       XmlParseOutcome* outcome) {
  if (outcome != nullptr) *outcome = {};
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return nullptr;
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
