// Feeds arbitrary bytes to the event parser with a delegate that checks the
// element events stay balanced until the end or the first error, whole and
// in pieces.
#include "markup/xml_event_parser.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class Checker : public yx::XmlEventDelegate {
public:
  void parserDidStartElement(const std::string& name,
                             const std::vector<std::pair<std::string, std::string>>&) override {
    if (ended || failed) std::abort();
    open.push_back(name);
  }
  void parserFoundCharacters(std::string_view chunk) override {
    if (ended || failed) std::abort();
    characters += chunk.size();
  }
  void parserDidEndElement(const std::string& name) override {
    if (ended || failed || open.empty() || open.back() != name) std::abort();
    open.pop_back();
  }
  void parserDidEndDocument() override {
    if (!open.empty() || failed) std::abort();
    ended = true;
  }
  void parserParseErrorOccurred(long code) override {
    if (ended || failed || code == 0) std::abort();
    failed = true;
  }
  std::vector<std::string> open;
  std::size_t characters = 0;
  bool ended = false;
  bool failed = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  yx::XmlEventParser parser(std::string(reinterpret_cast<const char*>(data), size));
  Checker checker;
  parser.setDelegate(&checker);
  const bool ok = parser.parse();
  if (ok != checker.ended || ok == checker.failed) std::abort();
  if (!ok && parser.errorCode() == 0) std::abort();

  // The same bytes given in pieces (sized by the first byte) end the same way;
  // a good document gives the same events (where a broken one fails, the
  // error libxml2 names may depend on where the pieces were cut).
  const std::size_t piece = size > 0 ? 1 + data[0] % 97 : 1;
  yx::XmlEventParser pushed;
  Checker second;
  pushed.setDelegate(&second);
  for (std::size_t at = 0; at < size; at += piece)
    pushed.feed(std::string_view(reinterpret_cast<const char*>(data) + at, std::min(piece, size - at)));
  const bool pushedOk = pushed.finish();
  if (pushedOk != ok) std::abort();
  if (ok && (second.open != checker.open || second.characters != checker.characters)) std::abort();
  return 0;
}
