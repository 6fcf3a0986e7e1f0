#include "markup/dom.h"

#include <gtest/gtest.h>
#include <libxml/parser.h>

namespace yx {
namespace {

std::shared_ptr<DomDocument> parse(const std::string& xml) {
  auto doc = DomDocument::initWithXMLString(xml);
  EXPECT_NE(doc, nullptr) << xml;
  return doc;
}

TEST(DomDocumentTest, ParsesWithTheFixedOptionsAndReportsFailureWithCodeMinusOne) {
  DomError error;
  error.code = 42;
  auto doc = DomDocument::initWithData("<NewDataSet><t>1</t></NewDataSet>", 0, &error);
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(error.code, 0);
  EXPECT_EQ(doc->rootElement()->name(), "NewDataSet");

  for (const char* bad : {"", "<a><b></a>", "not xml at all", "<a>", "<?xml version='1.0'?>"}) {
    DomError e;
    EXPECT_EQ(DomDocument::initWithData(bad, 0, &e), nullptr) << bad;
    EXPECT_EQ(e.code, -1) << bad;
  }

  // CDATA becomes text, blank nodes are dropped and the declared encoding is read.
  doc = parse("<r>\n  <a><![CDATA[x < y]]></a>\n  <b> keep </b>\n</r>");
  auto root = doc->rootElement();
  ASSERT_EQ(root->childCount(), 2u);  // whitespace-only text between elements is gone
  auto a = root->childAtIndex(0);
  ASSERT_EQ(a->childCount(), 1u);
  EXPECT_EQ(a->childAtIndex(0)->kind(), DomKind::Text);
  EXPECT_EQ(a->stringValue(), "x < y");
  EXPECT_EQ(root->childAtIndex(1)->stringValue(), " keep ");
  EXPECT_EQ(root->childAtIndex(5), nullptr);
  auto big5 = parse(std::string("<?xml version=\"1.0\" encoding=\"Big5\"?><r>") + "\xA4\xA4\xA4\xE5" + "</r>");
  EXPECT_EQ(big5->rootElement()->stringValue(), "中文");
}

TEST(DomElementTest, NothingVersusEmpty) {
  auto doc = parse("<r><item><name>甲</name></item><item/><empty></empty></r>");
  auto root = doc->rootElement();
  EXPECT_FALSE(root->elementsForName("missing").has_value());  // nothing, not an empty list
  auto items = root->elementsForName("item");
  ASSERT_TRUE(items);
  ASSERT_EQ(items->size(), 2u);
  auto second = (*items)[1]->asElement();
  EXPECT_FALSE(second->elementsForName("name").has_value());
  EXPECT_FALSE(second->children().has_value());
  EXPECT_FALSE(second->attributes().has_value());
  EXPECT_FALSE(root->elementsForName("empty")->front()->stringValue().has_value());
  auto first = (*items)[0]->asElement();
  EXPECT_EQ(first->elementsForName("name")->front()->stringValue(), "甲");

  DomError error;
  auto none = doc->nodesForXPath("//nothing", &error);
  ASSERT_TRUE(none.has_value());  // a query that matches nothing is an empty list
  EXPECT_TRUE(none->empty());
  auto bad = doc->nodesForXPath("//[", &error);
  EXPECT_FALSE(bad.has_value());
  EXPECT_NE(error.code, 0);
  EXPECT_NE(error.code, -1);
  EXPECT_TRUE(error.userInfo.count("error"));
  auto notNodes = doc->nodesForXPath("count(//item)");
  ASSERT_TRUE(notNodes);
  EXPECT_TRUE(notNodes->empty());
}

TEST(DomElementTest, DefaultNamespaceNeedsFixedPrefix) {
  auto doc = parse("<NewDataSet xmlns=\"http://tempuri.org/\"><row><a>1</a></row><row><a>2</a></row></NewDataSet>");
  EXPECT_TRUE(doc->nodesForXPath("//NewDataSet/row")->empty());
  auto rows = doc->nodesForXPath("//_def_ns:NewDataSet/_def_ns:row");
  ASSERT_TRUE(rows);
  ASSERT_EQ(rows->size(), 2u);
  EXPECT_EQ((*rows)[1]->stringValue(), "2");
  EXPECT_EQ((*rows)[0]->URI(), "http://tempuri.org/");
  EXPECT_EQ((*rows)[0]->prefix(), "");
  // Relative queries from an element register that element's namespaces too.
  auto row = (*rows)[0];
  auto as = row->nodesForXPath("_def_ns:a");
  ASSERT_TRUE(as);
  EXPECT_EQ(as->size(), 1u);
  // Caller-given namespaces replace the automatic ones.
  auto mine = doc->nodesForXPath("//t:row", {{"t", "http://tempuri.org/"}});
  ASSERT_TRUE(mine);
  EXPECT_EQ(mine->size(), 2u);
  // elementsForName by plain name still sees the default-namespace children.
  EXPECT_EQ(doc->rootElement()->elementsForName("row")->size(), 2u);
}

TEST(DomElementTest, PrefixedNamesAndNamespaceLookup) {
  auto doc = parse(
      "<r xmlns:p=\"urn:p\" xmlns:q=\"urn:q\"><p:x>1</p:x><q:x>2</q:x><x>3</x>"
      "<y xmlns:z=\"urn:p\"><z:k>4</z:k></y></r>");
  auto root = doc->rootElement();
  auto px = root->elementsForName("p:x");
  ASSERT_TRUE(px);
  ASSERT_EQ(px->size(), 1u);
  EXPECT_EQ(px->front()->stringValue(), "1");
  EXPECT_EQ(px->front()->name(), "p:x");
  EXPECT_EQ(px->front()->localName(), "x");
  EXPECT_EQ(px->front()->prefix(), "p");
  auto byUri = root->elementsForLocalNameURI("x", "urn:q");
  ASSERT_TRUE(byUri);
  EXPECT_EQ(byUri->front()->stringValue(), "2");
  EXPECT_EQ(root->elementsForName("x")->front()->stringValue(), "3");
  EXPECT_EQ(root->resolvePrefixForNamespaceURI("urn:p"), "p");
  EXPECT_FALSE(root->resolvePrefixForNamespaceURI("urn:none").has_value());
  auto y = root->elementsForName("y")->front()->asElement();
  auto k = y->elementsForLocalNameURI("k", "urn:p");
  ASSERT_TRUE(k);
  EXPECT_EQ(k->front()->stringValue(), "4");
  auto ns = root->namespaces();
  ASSERT_TRUE(ns);
  ASSERT_EQ(ns->size(), 2u);
  EXPECT_EQ((*ns)[0]->kind(), DomKind::Namespace);
  EXPECT_EQ((*ns)[0]->name(), "p");
  EXPECT_EQ((*ns)[0]->stringValue(), "urn:p");
}

TEST(DomNodeTest, MixedContentStringValueConcatenatesDescendants) {
  auto doc = parse("<p>one <b>two <i>three</i></b> four<!-- no --></p>");
  EXPECT_EQ(doc->rootElement()->stringValue(), "one two three four");
  auto kids = doc->rootElement()->children();
  ASSERT_TRUE(kids);
  ASSERT_EQ(kids->size(), 4u);
  EXPECT_EQ((*kids)[0]->kind(), DomKind::Text);
  EXPECT_EQ((*kids)[1]->kind(), DomKind::Element);
  EXPECT_EQ((*kids)[3]->kind(), DomKind::Comment);
  EXPECT_EQ((*kids)[3]->stringValue(), " no ");
}

TEST(DomNodeTest, NamesWithTwoColons) {
  EXPECT_EQ(DomNode::localNameForName("a:b:c"), "b:c");
  EXPECT_EQ(DomNode::prefixForName("a:b:c"), "a");
  EXPECT_EQ(DomNode::localNameForName("plain"), "plain");
  EXPECT_FALSE(DomNode::prefixForName("plain").has_value());

  auto el = DomNode::elementWithName("a:b:c");
  EXPECT_EQ(el->localName(), "b:c");
  EXPECT_EQ(DomNode::elementWithName("trailing:")->localName(), "trailing:");

  // Grafting splits at the last colon: "{urn:x}" is the namespace part.
  auto parent = DomElement::initWithXMLString("<root xmlns:x=\"urn:x\"/>");
  ASSERT_NE(parent, nullptr);
  auto child = DomNode::elementWithNameURI("leaf", "urn:x");
  EXPECT_EQ(child->name(), "{urn:x}:leaf");
  parent->addChild(*child);
  auto added = parent->childAtIndex(0);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->name(), "x:leaf");
  EXPECT_EQ(added->URI(), "urn:x");
  EXPECT_EQ(parent->elementsForLocalNameURI("leaf", "urn:x")->size(), 1u);
  // A prefix that is in scope is resolved the same way.
  parent->addChild(*DomNode::elementWithName("x:other"));
  EXPECT_EQ(parent->childAtIndex(1)->URI(), "urn:x");
  // An unknown prefix leaves the name alone.
  parent->addChild(*DomNode::elementWithName("nope:thing"));
  EXPECT_EQ(parent->childAtIndex(2)->name(), "nope:thing");
  EXPECT_FALSE(parent->childAtIndex(2)->URI().has_value());
}

TEST(DomNodeTest, XmlStringIsTrimmed) {
  auto text = DomNode::textWithStringValue("\n\t  value  \n");
  EXPECT_EQ(text->XMLString(), "value");
  EXPECT_EQ(text->stringValue(), "\n\t  value  \n");
  auto doc = parse("<r><a x=\"1\">b &amp; c</a></r>");
  EXPECT_EQ(doc->rootElement()->childAtIndex(0)->XMLString(), "<a x=\"1\">b &amp; c</a>");
  // Ideographic spaces count as white space too.
  EXPECT_EQ(DomNode::textWithStringValue("\u3000中\u3000")->XMLString(), "中");
}

TEST(DomNodeTest, EqualityComparesKindNameAndChildCount) {
  auto doc = parse("<r><a><x/></a><a><y/></a><a/><b><x/></b></r>");
  auto kids = *doc->rootElement()->children();
  EXPECT_TRUE(kids[0]->isEqual(*kids[1]));   // different elements, same name and child count
  EXPECT_FALSE(kids[0]->isEqual(*kids[2]));  // different child count
  EXPECT_FALSE(kids[0]->isEqual(*kids[3]));  // different name
  EXPECT_TRUE(kids[0]->isEqual(*doc->rootElement()->childAtIndex(0)));
  EXPECT_EQ(kids[0]->hash(), kids[3]->hash());
  EXPECT_FALSE(kids[0]->isEqual(*DomNode::textWithStringValue("a")));
}

TEST(DomNodeTest, KindsAndAttributes) {
  auto doc = parse("<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY e \"v\">]><r a=\"1\" p:b=\"2\" xmlns:p=\"urn:p\"><?pi data?>&e;</r>");
  auto root = doc->rootElement();
  EXPECT_EQ(root->kind(), DomKind::Element);
  auto kids = *root->children();
  EXPECT_EQ(kids[0]->kind(), DomKind::ProcessingInstruction);
  EXPECT_EQ(kids[1]->kind(), DomKind::EntityDeclaration);
  EXPECT_EQ(root->stringValue(), "v");  // processing instructions carry no text
  auto attrs = root->attributes();
  ASSERT_TRUE(attrs);
  ASSERT_EQ(attrs->size(), 2u);
  EXPECT_EQ((*attrs)[0]->kind(), DomKind::Attribute);
  EXPECT_EQ(root->attributeForName("a")->stringValue(), "1");
  EXPECT_EQ(root->attributeForName("p:b")->stringValue(), "2");
  EXPECT_EQ(root->attributeForLocalNameURI("b", "urn:p")->stringValue(), "2");
  EXPECT_EQ(root->attributeForName("missing"), nullptr);
  // A prefix bound to the same URI by another declaration names the same attribute.
  auto other = parse("<r xmlns:p=\"urn:p\"><e xmlns:q=\"urn:p\" q:b=\"3\" b=\"plain\"/></r>");
  auto e = other->rootElement()->childAtIndex(0)->asElement();
  EXPECT_EQ(e->attributeForName("p:b")->stringValue(), "3");
  EXPECT_EQ(e->attributeForName("nobody:b")->stringValue(), "plain");
  auto docNode = doc->nodesForXPath("/");
  ASSERT_TRUE(docNode);
  EXPECT_EQ(docNode->front()->kind(), DomKind::Document);
  EXPECT_EQ(DomNode::nodeBorrowingXMLNode(nullptr), nullptr);
}

TEST(DomOwnershipTest, NodesStayReadableAfterTheirDocumentOrParentLetsGo) {
  DomNodePtr field;
  DomNodeList rows;
  {
    auto doc = parse("<NewDataSet><t><n>甲</n></t><t><n>乙</n></t></NewDataSet>");
    rows = *doc->nodesForXPath("//NewDataSet/t");
    field = doc->rootElement()->childAtIndex(1)->asElement()->elementsForName("n")->front();
  }
  EXPECT_EQ(field->stringValue(), "乙");
  EXPECT_EQ(rows[0]->stringValue(), "甲");

  // A removed child stays readable through other wrappers.
  auto doc = parse("<r><a>keep me</a><b/></r>");
  auto root = doc->rootElement();
  auto viaXPath = doc->nodesForXPath("//a")->front();
  root->removeChild(*root->childAtIndex(0));
  EXPECT_EQ(root->childCount(), 1u);
  EXPECT_EQ(viaXPath->stringValue(), "keep me");
  EXPECT_EQ(doc->XMLData().find("keep me"), std::string::npos);
  // Removing something that is not a child does nothing.
  root->removeChild(*viaXPath);
  EXPECT_EQ(root->childCount(), 1u);

  // Replacing the text keeps the old children alive and escapes the new text.
  doc = parse("<r><a><b>old</b></a></r>");
  auto a = doc->rootElement()->childAtIndex(0);
  auto b = a->childAtIndex(0);
  a->setStringValue(std::string("x & <y>"));
  EXPECT_EQ(b->stringValue(), "old");
  EXPECT_EQ(a->stringValue(), "x & <y>");
  EXPECT_EQ(a->childCount(), 1u);
  a->setStringValue(std::nullopt);
  EXPECT_EQ(a->stringValue(), "x & <y>");
}

TEST(DomEditingTest, BuildSerialiseAndReparse) {
  auto root = DomNode::elementWithName("feed");
  root->addChild(*DomNode::elementWithNameStringValue("title", "校園 & 新聞"));
  root->addAttribute(*DomNode::attributeWithNameStringValue("lang", "zh-TW"));
  root->addAttribute(*DomNode::attributeWithNameStringValue("lang", "en"));  // already there: ignored
  root->addChild(*DomNode::attributeWithNameStringValue("v", "2"));         // attributes go to addAttribute
  auto doc = DomDocument::initWithRootElement(*root);
  ASSERT_NE(doc, nullptr);
  doc->setCharacterEncoding(std::string("UTF-8"));
  const std::string bytes = doc->XMLData();
  auto again = DomDocument::initWithData(bytes);
  ASSERT_NE(again, nullptr) << bytes;
  auto r = again->rootElement();
  EXPECT_EQ(r->attributeForName("lang")->stringValue(), "zh-TW");
  EXPECT_EQ(r->attributeForName("v")->stringValue(), "2");
  EXPECT_EQ(r->elementsForName("title")->front()->stringValue(), "校園 & 新聞");
  // The original tree is untouched by building the document from a copy.
  EXPECT_EQ(root->childCount(), 1u);
  EXPECT_EQ(r->copy()->XMLString(), r->XMLString());
}

TEST(DomEditingTest, NamespacedAttributeAndDuplicateDeclarations) {
  auto el = DomElement::initWithXMLString("<r xmlns:a=\"urn:a\"><c/></r>");
  ASSERT_NE(el, nullptr);
  el->addAttribute(*DomNode::attributeWithNameURIStringValue("k", "urn:a", "1"));
  EXPECT_EQ(el->attributeForLocalNameURI("k", "urn:a")->stringValue(), "1");
  EXPECT_EQ(el->attributeForName("a:k")->stringValue(), "1");
  // A child declaring the same prefix for the same URI loses its redundant declaration.
  auto child = DomElement::initWithXMLString("<a:d xmlns:a=\"urn:a\"/>");
  el->addChild(*child);
  auto d = el->childAtIndex(1)->asElement();
  ASSERT_NE(d, nullptr);
  EXPECT_FALSE(d->namespaces().has_value());
  EXPECT_EQ(d->URI(), "urn:a");
  EXPECT_EQ(d->XMLString(), "<a:d/>");
  el->addNamespace(*DomNode::namespaceWithNameStringValue("", "urn:def"));
  EXPECT_EQ(el->resolvePrefixForNamespaceURI("urn:def"), "");
  el->setNamespaces({DomNode::namespaceWithNameStringValue("b", "urn:b")});
  ASSERT_TRUE(el->namespaces());
  // "urn:a" is still used by the attribute and the child, so it stays declared;
  // the unused default namespace is gone.
  EXPECT_EQ(el->namespaces()->size(), 2u);
  EXPECT_EQ(el->resolvePrefixForNamespaceURI("urn:b"), "b");
  EXPECT_EQ(el->resolvePrefixForNamespaceURI("urn:a"), "a");
  EXPECT_FALSE(el->resolvePrefixForNamespaceURI("urn:def").has_value());
}

TEST(DomEditingTest, AddAttributeNeverDuplicatesOrDropsANamespace) {
  auto el = DomElement::initWithXMLString("<r xmlns:a=\"urn:a\" a:k=\"old\"/>");
  ASSERT_NE(el, nullptr);
  // Braced and prefixed names resolve to the attribute that is already there.
  el->addAttribute(*DomNode::attributeWithNameURIStringValue("k", "urn:a", "new"));
  el->addAttribute(*DomNode::attributeWithNameStringValue("a:k", "newer"));
  EXPECT_EQ(el->attributes()->size(), 1u);
  EXPECT_EQ(el->attributeForLocalNameURI("k", "urn:a")->stringValue(), "old");
  auto reparsed = DomDocument::initWithXMLString(*el->XMLString());
  ASSERT_NE(reparsed, nullptr) << *el->XMLString();

  // A namespaced attribute taken from another document keeps its namespace even
  // where that URI is only the default namespace or its prefix is taken.
  auto source = DomDocument::initWithXMLString("<x xmlns:a=\"urn:a\" a:k=\"1\"/>");
  ASSERT_NE(source, nullptr);
  const auto attr = source->rootElement()->attributeForName("a:k");
  ASSERT_NE(attr, nullptr);
  for (const char* target : {"<r xmlns=\"urn:a\"/>", "<r xmlns:a=\"urn:other\"/>"}) {
    auto r = DomElement::initWithXMLString(target);
    ASSERT_NE(r, nullptr);
    r->addAttribute(*attr);
    auto doc = DomDocument::initWithXMLString(*r->XMLString());
    ASSERT_NE(doc, nullptr) << *r->XMLString();
    const auto back = doc->rootElement()->attributeForLocalNameURI("k", "urn:a");
    ASSERT_NE(back, nullptr) << *r->XMLString();
    EXPECT_EQ(back->stringValue(), "1");
  }
}

TEST(DomEditingTest, SetNamespacesKeepsUsersOfRemovedDeclarationsNamespaced) {
  auto el = DomElement::initWithXMLString("<r xmlns:p=\"urn:p\" xmlns=\"urn:d\"><p:c p:a=\"1\"><d/></p:c></r>");
  ASSERT_NE(el, nullptr);
  auto ns = el->namespaces();
  ASSERT_TRUE(ns);
  el->setNamespaces({DomNode::namespaceWithNameStringValue("q", "urn:p")});
  EXPECT_EQ((*ns)[0]->stringValue(), "urn:p");  // an old declaration's wrapper still reads
  auto doc = DomDocument::initWithXMLString(*el->XMLString());
  ASSERT_NE(doc, nullptr) << *el->XMLString();
  auto root = doc->rootElement();
  EXPECT_EQ(root->URI(), "urn:d");
  auto c = root->elementsForLocalNameURI("c", "urn:p");
  ASSERT_TRUE(c) << *el->XMLString();
  EXPECT_EQ(c->front()->name(), "q:c");  // moved to the new declaration of the same URI
  EXPECT_EQ(c->front()->asElement()->attributeForLocalNameURI("a", "urn:p")->stringValue(), "1");
  EXPECT_EQ(c->front()->childAtIndex(0)->URI(), "urn:d");

  // The same on a tree the caller manages: no declaration is freed while in use.
  xmlDocPtr raw = xmlReadMemory("<r><e xmlns='urn:u'><c/></e></r>", 32, nullptr, nullptr, 0);
  ASSERT_NE(raw, nullptr);
  {
    auto e = DomNode::nodeBorrowingXMLNode(xmlDocGetRootElement(raw)->children)->asElement();
    ASSERT_NE(e, nullptr);
    e->setNamespaces({});
    EXPECT_EQ(e->URI(), "urn:u");
    EXPECT_EQ(e->childAtIndex(0)->URI(), "urn:u");
    EXPECT_EQ(e->XMLString(), "<e xmlns=\"urn:u\"><c/></e>");
  }
  xmlFreeDoc(raw);
}

TEST(DomElementTest, LookupsOfTheXmlPrefixLeaveDetachedTreesUnchanged) {
  auto el = DomElement::initWithXMLString("<r><x/></r>");
  ASSERT_NE(el, nullptr);
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(el->elementsForName("xml:x").has_value());
    EXPECT_EQ(el->attributeForName("xml:lang"), nullptr);
    EXPECT_EQ(el->resolvePrefixForNamespaceURI("http://www.w3.org/XML/1998/namespace"), "xml");
  }
  EXPECT_EQ(el->XMLNode()->nsDef, nullptr);
  // A grafted "xml:lang" still lands in the XML namespace.
  el->addAttribute(*DomNode::attributeWithNameStringValue("xml:lang", "zh-TW"));
  EXPECT_EQ(el->attributeForLocalNameURI("lang", "http://www.w3.org/XML/1998/namespace")->stringValue(), "zh-TW");
  EXPECT_EQ(el->XMLString(), "<r xml:lang=\"zh-TW\"><x/></r>");
  auto doc = DomDocument::initWithRootElement(*el);
  EXPECT_EQ(doc->rootElement()->attributeForName("xml:lang")->stringValue(), "zh-TW");
}

TEST(DomXPathTest, DetachedTreesAreQueriedAndLeftDetached) {
  auto el = DomElement::initWithXMLString("<list><i>1</i><i>2</i></list>");
  ASSERT_NE(el, nullptr);
  auto hits = el->nodesForXPath("//i");
  ASSERT_TRUE(hits);
  EXPECT_EQ(hits->size(), 2u);
  EXPECT_EQ(el->XMLNode()->doc, nullptr);
  EXPECT_EQ((*hits)[1]->stringValue(), "2");
  DomError error;
  auto attr = DomNode::attributeWithNameStringValue("a", "b");
  EXPECT_FALSE(attr->nodesForXPath(".", &error).has_value());
  EXPECT_EQ(error.code, -1);
  EXPECT_EQ(error.userInfo["error"], "invalid node");
}

}  // namespace
}  // namespace yx
