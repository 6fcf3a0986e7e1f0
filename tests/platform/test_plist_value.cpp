// Property-list values: the model, libplist round trips, and files exchanged
// with Python's plistlib (an independent reader and writer).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "platform/plist_value.h"

namespace yx {
namespace {

std::string tempDir() {
  char tmpl[] = "/tmp/yx-plist-XXXXXX";
  const char* d = ::mkdtemp(tmpl);
  return d ? d : "/tmp";
}

std::string run(const std::string& cmd) {
  std::string out;
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  ::pclose(p);
  return out;
}

Value sampleRecord() {
  return Value::dictionary({{"標題", "校慶運動會 & <典禮>"},
                            {"日期", "2024/12/30"},
                            {"count", -42},
                            {"big", 5000000000LL},
                            {"ratio", 0.125},
                            {"ok", true},
                            {"blob", Value::bytes(std::string("\x00\x01\xff", 3))},
                            {"list", Value::array({"a", 1, false})},
                            {"empty", ""}});
}

TEST(PlistValue, DictionariesKeepInsertionOrderAndReplaceInPlace) {
  Value d = Value::dictionary({{"z", 1}, {"a", 2}, {"m", 3}});
  d.set("a", "two");
  d.set("b", 4);
  EXPECT_EQ(d.keys(), (std::vector<std::string>{"z", "a", "m", "b"}));
  EXPECT_EQ(d.stringFor("a"), "two");
  EXPECT_TRUE(d.erase("z"));
  EXPECT_FALSE(d.erase("z"));
  EXPECT_TRUE(d.get("missing").isNull());
  EXPECT_EQ(d.stringFor("b"), "");  // not a string
  // Order survives serialisation both ways.
  auto back = Value::fromPlistBytes(d.toXmlPlist());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->keys(), (std::vector<std::string>{"a", "m", "b"}));
}

TEST(PlistValue, WrongKindAccessorsAreHarmless) {
  Value s("12");
  EXPECT_EQ(s.asInteger(), 0);
  EXPECT_TRUE(s.asArray().empty());
  EXPECT_TRUE(s[3].isNull());
  Value n(3.9);
  EXPECT_EQ(n.asInteger(), 3);
  EXPECT_EQ(n.asString(), "");
  Value a;
  a.append("x");
  EXPECT_TRUE(a.isArray());
  EXPECT_EQ(a.size(), 1u);
}

TEST(PlistValue, XmlRoundTripKeepsEveryKind) {
  Value arr = Value::array({sampleRecord(), sampleRecord()});
  std::string xml = arr.toXmlPlist();
  EXPECT_NE(xml.find("<plist"), std::string::npos);
  auto back = Value::fromPlistBytes(xml);
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, arr);
}

TEST(PlistValue, MalformedInputGivesNothing) {
  EXPECT_FALSE(Value::fromPlistBytes(""));
  EXPECT_FALSE(Value::fromPlistBytes("not a plist at all"));
  std::string xml = Value::array({sampleRecord()}).toXmlPlist();
  EXPECT_FALSE(Value::fromPlistBytes(xml.substr(0, xml.size() / 2)));
  EXPECT_FALSE(Value::fromPlistBytes(std::string("bplist00\x01\x02\x03", 11)));
}

TEST(PlistValue, FileWrittenHereIsReadByPlistlib) {
  std::string dir = tempDir();
  std::string path = dir + "/records.plist";
  ASSERT_TRUE(Files::writeArrayFile(path, Value::array({sampleRecord()})));
  std::string out = run(
      "python3 -c \"import plistlib,sys,json; d=plistlib.load(open(sys.argv[1],'rb'))[0]; "
      "print(json.dumps([list(d.keys()), d['標題'], d['count'], d['big'], d['ratio'], d['ok'], "
      "list(d['blob']), d['list'], d['empty']], ensure_ascii=False))\" " +
      path);
  EXPECT_EQ(out,
            "[[\"標題\", \"日期\", \"count\", \"big\", \"ratio\", \"ok\", \"blob\", \"list\", "
            "\"empty\"], \"校慶運動會 & <典禮>\", -42, 5000000000, 0.125, true, [0, 1, 255], "
            "[\"a\", 1, false], \"\"]\n");
  Files::removeItem(dir);
}

TEST(PlistValue, FilesWrittenByPlistlibAreReadHere) {
  std::string dir = tempDir();
  for (const char* fmt : {"FMT_XML", "FMT_BINARY"}) {
    std::string path = dir + "/" + fmt + ".plist";
    run(std::string("python3 -c \"import plistlib,sys; plistlib.dump([{'名稱':'圖書館','n':7,"
                    "'r':1.5,'b':True,'d':b'\\x00z','sub':{'k':['x']}}], open(sys.argv[1],'wb'), "
                    "fmt=plistlib.") +
        fmt + ")\" " + path);
    auto v = Files::readArrayFile(path);
    ASSERT_TRUE(v) << fmt;
    const Value& rec = (*v)[0];
    EXPECT_EQ(rec.stringFor("名稱"), "圖書館") << fmt;
    EXPECT_EQ(rec.get("n").asInteger(), 7) << fmt;
    EXPECT_EQ(rec.get("r").asReal(), 1.5) << fmt;
    EXPECT_TRUE(rec.get("b").asBool()) << fmt;
    EXPECT_EQ(rec.get("d").asBytes(), std::string("\0z", 2)) << fmt;
    EXPECT_EQ(rec.get("sub").get("k")[0].asString(), "x") << fmt;
  }
  Files::removeItem(dir);
}

}  // namespace
}  // namespace yx
