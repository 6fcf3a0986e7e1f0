// Hostile input: external entities must read nothing, entity bombs must be refused
// quickly, and deep or odd input must be handled without crashing.
#include "markup/dom.h"
#include "markup/html_query.h"
#include "markup/parse_safety.h"
#include "markup/xml_event_parser.h"
#include "tests/markup/event_recorder.h"
#include "tests/support/scratch.h"

#include <gtest/gtest.h>

namespace yx {
namespace {

TEST(ExternalEntityTest, ExternalEntitiesReadNothingAnywhere) {
  test::ScratchDir dir;
  dir.write("secret.txt", "TOP-SECRET-CONTENT");
  const std::string secret = dir / "secret.txt";
  auto xxe = [&](const std::string& body) {
    return "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY x SYSTEM \"file://" + secret + "\">"
           "<!ENTITY % p SYSTEM \"file://" + secret + "\">]>" + body;
  };
  const long refusedBefore = markup::ExternalLoadBlock::refusedLoads();
  auto doc = DomDocument::initWithData(xxe("<r>[&x;]</r>"));
  if (doc) {
    EXPECT_EQ(doc->rootElement()->stringValue().value_or("").find("TOP-SECRET"), std::string::npos);
    EXPECT_EQ(doc->XMLData().find("TOP-SECRET"), std::string::npos);
    auto all = doc->nodesForXPath("string(/)");
    ASSERT_TRUE(all);
  }
  auto q = HtmlQuery::queryWithXMLData(xxe("<r><a>[&x;]</a></r>"));
  for (const auto& e : q.searchWithXPathQuery("//a")) {
    EXPECT_EQ(e->raw().value_or("").find("TOP-SECRET"), std::string::npos);
  }
  EXPECT_EQ(parseRecorded(xxe("<r>[&x;]</r>")).text.find("TOP-SECRET"), std::string::npos);
  // An external DTD is not fetched either.
  Recorder dtd = parseRecorded("<?xml version=\"1.0\"?><!DOCTYPE r SYSTEM \"file://" + secret + "\"><r>ok</r>");
  EXPECT_TRUE(dtd.ok);
  EXPECT_EQ(dtd.text, "ok");
  EXPECT_GE(markup::ExternalLoadBlock::refusedLoads(), refusedBefore);
}

std::string billionLaughs() {
  std::string xml = "<?xml version=\"1.0\"?><!DOCTYPE lolz [<!ENTITY lol \"lol\">";
  for (int i = 1; i <= 9; ++i) {
    xml += "<!ENTITY lol" + std::to_string(i) + " \"";
    const std::string prev = i == 1 ? "lol" : "lol" + std::to_string(i - 1);
    for (int k = 0; k < 10; ++k) xml += "&" + prev + ";";
    xml += "\">";
  }
  return xml + "]><lolz>&lol9;</lolz>";
}

TEST(EntityBombTest, BillionLaughsWideExpansionAndLoopsAreRefusedEverywhere) {
  const std::string bomb = billionLaughs();
  EXPECT_EQ(DomDocument::initWithData(bomb), nullptr);
  EXPECT_EQ(DomElement::initWithXMLString(bomb), nullptr);
  EXPECT_TRUE(HtmlQuery::queryWithXMLData(bomb).searchWithXPathQuery("//lolz").empty());

  Recorder events = parseRecorded(bomb);
  EXPECT_FALSE(events.ok);
  EXPECT_EQ(events.errors.size(), 1u);
  EXPECT_LT(events.text.size(), 8u << 20);

  // Many references to one moderate entity add up as well.
  std::string wide = "<!DOCTYPE r [<!ENTITY k \"" + std::string(100000, 'k') + "\">]><r>";
  for (int i = 0; i < 200; ++i) wide += "<a>&k;</a>";
  wide += "</r>";
  EXPECT_EQ(DomDocument::initWithData(wide), nullptr);
  Recorder widely = parseRecorded(wide);
  EXPECT_FALSE(widely.ok);
  EXPECT_EQ(widely.code, XmlEventParser::kEntityExpansionErrorCode);
  // An ordinary small entity is fine.
  EXPECT_NE(DomDocument::initWithData("<!DOCTYPE r [<!ENTITY k \"v\">]><r a=\"&k;\">&k;&k;</r>"), nullptr);

  // A reference loop is refused too.
  const std::string loop = "<!DOCTYPE r [<!ENTITY a \"&b;\"><!ENTITY b \"&a;\">]><r>&a;</r>";
  EXPECT_EQ(DomDocument::initWithData(loop), nullptr);
  Recorder looped = parseRecorded(loop);
  EXPECT_FALSE(looped.ok);
  EXPECT_EQ(looped.errors.size(), 1u);
}

TEST(DepthTest, DeepNestingIsRefusedForXmlAndSurvivedForHtml) {
  std::string deep;
  for (int i = 0; i < 5000; ++i) deep += "<d>";
  EXPECT_EQ(DomDocument::initWithData(deep), nullptr);
  XmlEventParser parser(deep);
  EXPECT_FALSE(parser.parse());
  EXPECT_NE(parser.errorCode(), 0);
  auto html = HtmlQuery::queryWithHTMLData("<html><body>" + deep + "x");
  auto top = html.peekAtSearchWithXPathQuery("//body");
  ASSERT_NE(top, nullptr);
  EXPECT_TRUE(top->hasChildren());
}

TEST(OddBytesTest, BinaryAndEmbeddedNulsNeverCrash) {
  std::string junk;
  for (int i = 0; i < 4096; ++i) junk.push_back(static_cast<char>((i * 131) & 0xFF));
  EXPECT_EQ(DomDocument::initWithData(junk), nullptr);
  HtmlQuery::queryWithHTMLData(junk).searchWithXPathQuery("//*");
  XmlEventParser parser(junk);
  EXPECT_FALSE(parser.parse());
  const std::string withNul("<r>a\0b</r>", 10);
  EXPECT_EQ(DomDocument::initWithData(withNul), nullptr);
  EXPECT_TRUE(HtmlQuery::queryWithHTMLData(std::string("<p>a\0b</p>", 10)).searchWithXPathQuery("//p").size() <= 1u);
}

std::string manyAttributes(int n, const std::string& quote = "\"") {
  std::string tag = "<news";
  for (int i = 0; i < n; ++i) tag += " a" + std::to_string(i) + "=" + quote + std::to_string(i) + quote;
  return tag + "/>";
}

// libxml2 checks each attribute against all before it, so one element with
// 100,000 attributes would hold the parse for seconds: such an element is a
// parse error before libxml2 sees it, wherever XML is parsed, in any of the
// encodings markup can be read in; ordinary attributes and text are untouched.
TEST(AttributeGuardTest, AbsurdlyManyAttributesAreAParseErrorBeforeLibxmlSeesThem) {
  const long tooMany = markup::AttributeGuard::kTooManyAttributesCode;
  const std::string head = "<?xml version=\"1.0\"?><NewDataSet><news><t>kept</t></news>";
  const std::string bad = head + manyAttributes(20000) + "<news><t>late</t></news></NewDataSet>";
  // Whole, and when the element arrives across many pieces.
  for (std::size_t piece : {std::size_t{0}, std::size_t{1000}}) {
    Recorder r = parseRecorded(bad, piece);
    EXPECT_FALSE(r.ok) << piece;
    EXPECT_EQ(r.code, tooMany) << piece;
    EXPECT_EQ(r.errors, std::vector<long>{tooMany}) << piece;
    EXPECT_EQ(r.text, "kept") << piece;
  }

  EXPECT_EQ(DomDocument::initWithData(bad), nullptr);
  EXPECT_TRUE(HtmlQuery::queryWithXMLData(bad).searchWithXPathQuery("//t").empty());
  // Single quotes, blanks around "=", and "=" written as a character reference.
  std::string spaced = "<r a0 = '0'";
  for (int i = 1; i <= 300; ++i) spaced += " a" + std::to_string(i) + "\n=\t'x'";
  EXPECT_EQ(DomDocument::initWithData(spaced + "/>"), nullptr);
  std::string hidden = "<!DOCTYPE r [<!ENTITY e \"<t";
  for (int i = 0; i < 300; ++i) hidden += " a" + std::to_string(i) + "&#x3D;'1'";
  hidden += "/>\">]><r>&e;</r>";
  XmlEventParser entity(hidden);
  EXPECT_FALSE(entity.parse());
  EXPECT_EQ(entity.errorCode(), tooMany);
  // UTF-16 shows its markup in two-byte units.
  std::string utf16 = "\xFF\xFE";
  for (char ch : "<r>" + manyAttributes(300) + "</r>") {
    utf16.push_back(ch);
    utf16.push_back('\0');
  }
  XmlEventParser wide(utf16);
  EXPECT_FALSE(wide.parse());
  EXPECT_EQ(wide.errorCode(), tooMany);

  // Up to the limit, and any amount of "=" in text, parse as before.
  XmlEventParser fine("<r>" + manyAttributes(256) + "<t>a=\"1\" b='2' " + std::string(5000, '=') + "</t></r>");
  EXPECT_TRUE(fine.parse());
  EXPECT_NE(DomDocument::initWithData("<r>" + manyAttributes(256) + "</r>"), nullptr);
}

TEST(AttributeGuardTest, EncodingsWhoseMarkupBytesCannotBeReadAreRefused) {
  const long unreadable = markup::AttributeGuard::kUnreadableEncodingCode;
  for (const char* encoding : {"UTF-7", "ISO-2022-JP", "IBM037", "EBCDIC-US"}) {
    XmlEventParser parser(std::string("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?><r/>");
    EXPECT_FALSE(parser.parse()) << encoding;
    EXPECT_EQ(parser.errorCode(), unreadable) << encoding;
  }
  XmlEventParser ebcdic(std::string("\x4C\x6F\xA7\x94\x93\x40", 6));
  EXPECT_FALSE(ebcdic.parse());
  EXPECT_EQ(ebcdic.errorCode(), unreadable);
  for (const char* encoding : {"utf-8", "Big5", "BIG5-HKSCS", "ISO-8859-1", "windows-1252", "Shift_JIS", "GB18030"}) {
    XmlEventParser parser(std::string("<?xml version=\"1.0\" encoding=\"") + encoding + "\"?><r>x</r>");
    EXPECT_TRUE(parser.parse()) << encoding;
  }
}

}  // namespace
}  // namespace yx
