// Feeds arbitrary bytes to the event parser with a delegate that checks the
// element events stay balanced until the end or the first error.
#include "markup/xml_event_parser.h"

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
  return 0;
}
