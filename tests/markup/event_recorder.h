#pragma once
// A delegate of the event parser that writes down everything it is told, and
// a whole-document or piece-by-piece parse through it.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "markup/xml_event_parser.h"

namespace yx {

class Recorder : public XmlEventDelegate {
public:
  void parserDidStartElement(const std::string& name,
                             const std::vector<std::pair<std::string, std::string>>& attributes) override {
    std::string line = "start " + name;
    for (const auto& [k, v] : attributes) line += " " + k + "=" + v;
    events.push_back(line);
    if (abortAt == name && parser != nullptr) parser->abortParsing();
    if (throwAt == name) throw std::runtime_error("delegate failed");
  }
  void parserFoundCharacters(std::string_view chunk) override {
    chunks.emplace_back(chunk);
    text += chunk;
  }
  void parserDidEndElement(const std::string& name) override { events.push_back("end " + name); }
  void parserDidEndDocument() override { events.push_back("document end"); }
  void parserParseErrorOccurred(long code) override { errors.push_back(code); }

  std::vector<std::string> events;
  std::vector<std::string> chunks;
  std::string text;
  std::vector<long> errors;
  std::string abortAt;
  std::string throwAt;
  XmlEventParser* parser = nullptr;
  // The parse's own verdict and error code.
  bool ok = false;
  long code = 0;
};

// Parses the document whole, or given in pieces of `piece` bytes (0: whole).
inline Recorder parseRecorded(const std::string& xml, std::size_t piece = 0) {
  Recorder r;
  if (piece == 0) {
    XmlEventParser parser(xml);
    parser.setDelegate(&r);
    r.ok = parser.parse();
    r.code = parser.errorCode();
  } else {
    XmlEventParser parser;
    parser.setDelegate(&r);
    for (std::size_t at = 0; at < xml.size(); at += piece) parser.feed(std::string_view(xml).substr(at, piece));
    r.ok = parser.finish();
    r.code = parser.errorCode();
  }
  return r;
}

}  // namespace yx
