#include "markup/xml_event_parser.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/markup/event_recorder.h"

namespace yx {
namespace {

TEST(XmlEventParserTest, ReportsElementsAttributesAndDocumentEnd) {
  Recorder r = parseRecorded(R"(<?xml version="1.0" encoding="UTF-8"?>
<NewDataSet xmlns="urn:x" xmlns:p="urn:p"><act p:id="7" kind="a&amp;b"><課程名稱>書法</課程名稱></act></NewDataSet>)");
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.code, 0);
  const std::vector<std::string> expected = {
      "start NewDataSet xmlns=urn:x xmlns:p=urn:p",  // namespaces off: declarations are attributes
      "start act p:id=7 kind=a&b",                   // prefixes kept in names
      "start 課程名稱",
      "end 課程名稱",
      "end act",
      "end NewDataSet",
      "document end"};
  EXPECT_EQ(r.events, expected);
  EXPECT_EQ(r.text, "書法");
  EXPECT_TRUE(r.errors.empty());
}

TEST(XmlEventParserTest, CharactersArriveInChunksThatJoinExactly) {
  std::string longText;
  for (int i = 0; i < 400; ++i) longText += "課程 ";
  Recorder r = parseRecorded("<r><t>" + longText + "&amp;tail&#x4E2D;<![CDATA[<raw>]]></t>\n  <u>x</u>\n</r>");
  ASSERT_TRUE(r.ok);
  EXPECT_GT(r.chunks.size(), 3u);  // long text, the entity and CDATA come in pieces
  EXPECT_EQ(r.text, longText + "&tail中<raw>\n  x\n");
  // Whitespace between elements is reported as characters too.
  EXPECT_EQ(r.chunks.back(), "\n");
}

TEST(XmlEventParserTest, MalformedInputReportsLibxmlCodeAndStops) {
  struct Case {
    const char* xml;
    long code;
  };
  const Case cases[] = {
      {"<r><a></b></r>", 76},         // tag name mismatch
      {"<r>", 77},                    // premature end
      {"", 4},                        // empty document
      {"<r a=1/>", 39},               // unquoted attribute value
      {"<r>&undefined;</r>", 26},     // undeclared entity
      {"<r></r><second/>", 5},        // extra content after the root
  };
  for (const auto& c : cases) {
    Recorder r = parseRecorded(c.xml);
    EXPECT_FALSE(r.ok) << c.xml;
    EXPECT_EQ(r.code, c.code) << c.xml;
    EXPECT_EQ(r.errors, std::vector<long>{c.code}) << c.xml;
    for (const auto& e : r.events) EXPECT_NE(e, "document end") << c.xml;
  }
  // The events before an error are delivered, none after it.
  Recorder r = parseRecorded("<NewDataSet><act>1</act><act>2</oops><act>3</act></NewDataSet>");
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.events, (std::vector<std::string>{"start NewDataSet", "start act", "end act", "start act"}));
}

// A document given piece by piece, however it is cut, reports exactly what
// the whole document does: the same events, text, errors and codes.
TEST(XmlEventParserTest, PiecesOfAnySizeGiveTheSameEventsAsTheWhole) {
  std::string feed = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE NewDataSet [<!ENTITY u \"雲岫\">]>"
                     "\n<NewDataSet>\n";
  for (int i = 0; i < 40; ++i)
    feed += "  <news id=\"" + std::to_string(i) + "\">\n    <公告>&u;第 " + std::to_string(i) +
            " 則&lt;br&gt;<![CDATA[<b>]]></公告>\n  </news>\n";
  feed += "</NewDataSet>\n";
  const std::string broken = feed.substr(0, feed.size() / 2) + "</oops>" + feed.substr(feed.size() / 2);
  const std::string cut = feed.substr(0, feed.size() - 30);
  for (const std::string& doc : {feed, broken, cut, std::string("<r>"), std::string("  "), std::string("<r/>")}) {
    const Recorder whole = parseRecorded(doc);
    for (std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{7}, std::size_t{64}, std::size_t{4096}}) {
      Recorder r = parseRecorded(doc, piece);
      EXPECT_EQ(r.ok, whole.ok) << piece;
      EXPECT_EQ(r.events, whole.events) << piece;
      EXPECT_EQ(r.text, whole.text) << piece;
      EXPECT_EQ(r.errors, whole.errors) << piece << " " << doc.substr(0, 20);
      EXPECT_EQ(r.code, whole.code) << piece;
    }
  }
  // Nothing at all is an empty document.
  XmlEventParser none;
  Recorder r;
  none.setDelegate(&r);
  EXPECT_FALSE(none.finish());
  EXPECT_EQ(r.errors, std::vector<long>{4});
}

TEST(XmlEventParserTest, AbortOrExceptionFromCallbackStopsWithoutErrorOrEnd) {
  XmlEventParser parser("<r><a/><b/><c/></r>");
  Recorder r;
  r.parser = &parser;
  r.abortAt = "b";
  parser.setDelegate(&r);
  EXPECT_FALSE(parser.parse());
  EXPECT_TRUE(parser.aborted());
  EXPECT_EQ(parser.errorCode(), XmlEventParser::kStoppedByUserCode);
  EXPECT_TRUE(r.errors.empty());
  const std::vector<std::string> expected = {"start r", "start a", "end a", "start b"};
  EXPECT_EQ(r.events, expected);
  // The same parser runs again from the start.
  r.events.clear();
  r.abortAt.clear();
  EXPECT_TRUE(parser.parse());
  EXPECT_FALSE(parser.aborted());
  EXPECT_EQ(r.events.back(), "document end");
  // A delegate that throws stops the parse cleanly; the exception reaches the caller.
  r.events.clear();
  r.throwAt = "a";
  EXPECT_THROW(parser.parse(), std::runtime_error);
  EXPECT_EQ(r.events, (std::vector<std::string>{"start r", "start a"}));
}

TEST(XmlEventParserTest, InternalEntitiesAndLegacyEncodingsArriveAsCharacters) {
  Recorder entities = parseRecorded("<!DOCTYPE r [<!ENTITY org \"雲岫學苑\">]><r>&org;/&org;</r>");
  EXPECT_TRUE(entities.ok);
  EXPECT_EQ(entities.text, "雲岫學苑/雲岫學苑");
  Recorder big5 = parseRecorded(std::string("<?xml version=\"1.0\" encoding=\"Big5\"?><r>") + "\xA4\xA4" + "</r>");
  EXPECT_TRUE(big5.ok);
  EXPECT_EQ(big5.text, "中");
  XmlEventParser silent("<r/>");  // no delegate at all
  EXPECT_TRUE(silent.parse());
}

}  // namespace
}  // namespace yx
