// Property-list values: the model, libplist round trips, and files exchanged
// with Python's plistlib (an independent reader and writer).
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "platform/plist_value.h"
#include "tests/support/scratch.h"

namespace yx {
namespace {

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

TEST(PlistValue, MalformedInputGivesNothing) {
  EXPECT_FALSE(Value::fromPlistBytes(""));
  EXPECT_FALSE(Value::fromPlistBytes("not a plist at all"));
  std::string xml = Value::array({sampleRecord()}).toXmlPlist();
  EXPECT_FALSE(Value::fromPlistBytes(xml.substr(0, xml.size() / 2)));
  EXPECT_FALSE(Value::fromPlistBytes(std::string("bplist00\x01\x02\x03", 11)));
}

// Every kind, written here, reads back the same here and in plistlib.
TEST(PlistValue, FileWrittenHereIsReadBackAndByPlistlib) {
  test::ScratchDir dir;
  std::string path = dir / "records.plist";
  Value records = Value::array({sampleRecord(), sampleRecord()});
  ASSERT_TRUE(Files::writeArrayFile(path, records));
  EXPECT_EQ(Files::readArrayFile(path), records);
  std::string out = test::runShell(
      "python3 -c \"import plistlib,sys,json; d=plistlib.load(open(sys.argv[1],'rb'))[0]; "
      "print(json.dumps([list(d.keys()), d['標題'], d['count'], d['big'], d['ratio'], d['ok'], "
      "list(d['blob']), d['list'], d['empty']], ensure_ascii=False))\" " + path).out;
  EXPECT_EQ(out,
            "[[\"標題\", \"日期\", \"count\", \"big\", \"ratio\", \"ok\", \"blob\", \"list\", "
            "\"empty\"], \"校慶運動會 & <典禮>\", -42, 5000000000, 0.125, true, [0, 1, 255], "
            "[\"a\", 1, false], \"\"]\n");
}

TEST(PlistValue, FilesWrittenByPlistlibAreReadHere) {
  test::ScratchDir dir;
  for (const char* fmt : {"FMT_XML", "FMT_BINARY"}) {
    std::string path = dir / (std::string(fmt) + ".plist");
    test::runShell(std::string("python3 -c \"import plistlib,sys; plistlib.dump([{'名稱':'圖書館','n':7,"
                               "'r':1.5,'b':True,'d':b'\\x00z','sub':{'k':['x']}}], open(sys.argv[1],'wb'), "
                               "fmt=plistlib.") + fmt + ")\" " + path);
    auto v = Files::readArrayFile(path);
    ASSERT_TRUE(v) << fmt;
    // plistlib writes the keys sorted.
    EXPECT_EQ((*v)[0], Value::dictionary({{"b", true}, {"d", Value::bytes(std::string("\0z", 2))}, {"n", 7},
                                          {"r", 1.5}, {"sub", Value::dictionary({{"k", Value::array({"x"})}})},
                                          {"名稱", "圖書館"}}))
        << fmt;
  }
}

}  // namespace
}  // namespace yx
