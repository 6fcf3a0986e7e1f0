#include "markup/html_query.h"

#include <gtest/gtest.h>

namespace yx {
namespace {

const char* kAccountPage = R"(<html><head><title>SIP</title></head><body>
<form action="/apply" method="post">
  <input type="text" name="account" value="  s1234567 ">
  <input type="password" name="secret" value="
     p@ss	">
  <input type="submit" name="go">
  <p>不是欄位</p>
</form></body></html>)";

TEST(HtmlQueryTest, InputValuesInPageOrderTrimmedAndMissing) {
  auto query = HtmlQuery::queryWithHTMLData(kAccountPage);
  auto inputs = query.searchWithXPathQuery("//input");
  ASSERT_EQ(inputs.size(), 3u);
  EXPECT_EQ(inputs[0]->objectForKey("value"), "s1234567");
  EXPECT_EQ(inputs[1]->objectForKey("value"), "p@ss");
  EXPECT_FALSE(inputs[2]->objectForKey("value").has_value());
  EXPECT_EQ((*inputs[2])["name"], "go");
  EXPECT_EQ(inputs[0]->tagName(), "input");
  EXPECT_EQ(inputs[0]->attributes().size(), 3u);
  EXPECT_FALSE(query.isXML());
  auto peek = query.peekAtSearchWithXPathQuery("//input[@name='secret']");
  ASSERT_NE(peek, nullptr);
  EXPECT_EQ(peek->objectForKey("type"), "password");
  // No match, a bad expression or unparsable bytes: an empty result, never nothing.
  EXPECT_TRUE(query.searchWithXPathQuery("//table").empty());
  EXPECT_TRUE(query.searchWithXPathQuery("//input[").empty());
  EXPECT_TRUE(query.searchWithXPathQuery("").empty());
  EXPECT_TRUE(query.searchWithXPathQuery("count(//input)").empty());
  EXPECT_EQ(query.peekAtSearchWithXPathQuery("//table"), nullptr);
  EXPECT_TRUE(HtmlQuery::queryWithHTMLData("").searchWithXPathQuery("//input").empty());
  EXPECT_TRUE(HtmlQuery::queryWithXMLData("\x01\x02 not xml").searchWithXPathQuery("//a").empty());
  EXPECT_TRUE(HtmlQuery::queryWithHTMLData("<p>x</p>", std::string("no-such-charset")).searchWithXPathQuery("//p").empty());
}

TEST(HtmlQueryTest, MalformedHtmlAndRecoverableXml) {
  auto html = HtmlQuery::queryWithHTMLData("<div><p>one<p>two</b></div><input value=3><table><td>cell");
  EXPECT_EQ(html.searchWithXPathQuery("//p").size(), 2u);
  EXPECT_EQ(html.searchWithXPathQuery("//input").front()->objectForKey("value"), "3");
  EXPECT_EQ(html.searchWithXPathQuery("//td").front()->text(), "cell");
  EXPECT_TRUE(html.lastParseHadErrors());

  auto xml = HtmlQuery::queryWithXMLData("<r><a>1</a><b>2</r>");
  auto as = xml.searchWithXPathQuery("//a");
  ASSERT_EQ(as.size(), 1u);
  EXPECT_EQ(as[0]->text(), "1");
  EXPECT_TRUE(xml.lastParseHadErrors());
  auto clean = HtmlQuery::queryWithXMLData("<r><a>1</a></r>");
  EXPECT_EQ(clean.searchWithXPathQuery("//a").size(), 1u);
  EXPECT_FALSE(clean.lastParseHadErrors());
}

TEST(HtmlQueryElementTest, TextTakesFirstTextChildAndKeepsItUntrimmed) {
  auto q = HtmlQuery::queryWithHTMLData("<p><b>bold</b>  after bold  <i>x</i>tail</p>");
  auto p = q.peekAtSearchWithXPathQuery("//p");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->text(), "  after bold  ");
  auto kids = p->children();
  ASSERT_EQ(kids.size(), 4u);
  EXPECT_TRUE(kids[1]->isTextNode());
  EXPECT_FALSE(kids[0]->isTextNode());
  EXPECT_EQ(kids[0]->text(), "bold");
  EXPECT_EQ(kids[0]->parent()->tagName(), "p");
  EXPECT_EQ(p->firstChildWithTagName("i")->text(), "x");
  EXPECT_EQ(p->childrenWithTagName("text").size(), 2u);
  EXPECT_EQ(p->firstChildWithTagName("table"), nullptr);
  EXPECT_EQ(p->parent(), nullptr);
  EXPECT_EQ(p->raw(), "<p><b>bold</b>  after bold  <i>x</i>tail</p>");
  EXPECT_FALSE(p->content().has_value());
  EXPECT_TRUE(p->hasChildren());
}

TEST(HtmlQueryElementTest, ClassNamesEmptyAttributesAndRequery) {
  auto q = HtmlQuery::queryWithHTMLData(
      "<meta charset=\"utf-8\"><ul id=\"l\"><li class=\"on\">甲</li><li class=\"on off\">乙</li><li class=\"on\" title=\"\">丙</li></ul>");
  auto ul = q.peekAtSearchWithXPathQuery("//ul");
  ASSERT_NE(ul, nullptr);
  auto on = ul->childrenWithClassName("on");
  ASSERT_EQ(on.size(), 2u);  // exact match only
  EXPECT_EQ(on[1]->text(), "丙");
  EXPECT_EQ(on[1]->objectForKey("title"), "");
  EXPECT_EQ(ul->firstChildWithClassName("on off")->text(), "乙");
  auto again = ul->searchWithXPathQuery("//li");
  ASSERT_EQ(again.size(), 3u);
  EXPECT_EQ(again[2]->text(), "丙");
}

TEST(HtmlQueryElementTest, RequeryKeepsNonAsciiTextWithDeclaredEncoding) {
  const std::string big5Page = std::string("<html><body><div><span>") + "\xA4\xA4\xA4\xE5" + "</span></div></body></html>";
  auto q = HtmlQuery::queryWithHTMLData(big5Page, std::string("Big5"));
  auto div = q.peekAtSearchWithXPathQuery("//div");
  ASSERT_NE(div, nullptr);
  EXPECT_EQ(div->firstChild()->text(), "中文");
  auto span = div->searchWithXPathQuery("//span");
  ASSERT_EQ(span.size(), 1u);
  EXPECT_EQ(span[0]->text(), "中文");
  EXPECT_EQ(span[0]->encoding(), "Big5");
}

TEST(HtmlQueryTest, XmlModeAttributeAndTextResults) {
  auto q = HtmlQuery::queryWithXMLData("<r><a href=\" x \">t</a></r>");
  auto attr = q.peekAtSearchWithXPathQuery("//a/@href");
  ASSERT_NE(attr, nullptr);
  EXPECT_EQ(attr->tagName(), "href");
  ASSERT_EQ(attr->children().size(), 1u);
  EXPECT_EQ(attr->children()[0]->content(), " x ");
  auto text = q.peekAtSearchWithXPathQuery("//a/text()");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->content(), "t");
  EXPECT_TRUE(text->isTextNode());
}

}  // namespace
}  // namespace yx
