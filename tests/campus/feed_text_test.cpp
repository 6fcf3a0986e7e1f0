// Text rules of the feed screens that need no server.

#include <gtest/gtest.h>

#include "campus/info/info_loaders.h"
#include "campus/info/info_screens.h"
#include "markup/feed_records.h"
#include "platform/files.h"
#include "tests/campus/feeds_support.h"

#include <cstdlib>

namespace yx {
namespace {

TEST(FeedText, GenericLoaderModeIsTheFirstWordFoundInTheFeedPath) {
  EXPECT_EQ(xmlParser::modeFor("http://h/Data/xml/act-0.xml"), "act");
  EXPECT_EQ(xmlParser::modeFor("http://h/prefer/act.xml"), "prefer");
  EXPECT_EQ(xmlParser::modeFor("http://h/bus.xml"), "bus");
  EXPECT_EQ(xmlParser::modeFor("http://h/x.xml"), "");
  // Never from the host, the port or the query.
  EXPECT_EQ(xmlParser::modeFor("http://bus.prefer.example/Data/xml/act-0.xml"), "act");
  EXPECT_EQ(xmlParser::modeFor("http://h/x.xml?act=1"), "");
}

// The cache file is a property list another program takes back exactly
// (Python's plistlib), and so does the list screens' own reader.
TEST(FeedText, CacheFileTextSurvivesEveryReader) {
  test::ScratchDir dir;
  const std::string path = dir / "news.plist";
  FeedRecords records({"編號", "公告"});
  const std::string odd = "a&b<c>d\r\n\te\r]]>雲岫 \"q\" 'q'";
  records.append({"1", odd});
  records.append({"2", ""});
  records.append({"3"});
  ASSERT_TRUE(records.writeFile(path));

  auto back = FeedRecords::readFile(path, {"公告", "編號", "other"});
  ASSERT_TRUE(back);
  ASSERT_EQ(back->size(), 3u);
  EXPECT_EQ(back->text(0, "公告"), odd);
  EXPECT_EQ(back->text(2, "編號"), "3");
  EXPECT_EQ(back->text(2, "公告"), "");
  EXPECT_EQ(back->text(0, "other"), "");

  EXPECT_EQ(test::commandOutput("python3 -c 'import plistlib,sys; d=plistlib.load(open(sys.argv[1],\"rb\")); "
                                "sys.stdout.buffer.write(d[0][\"公告\"].encode())' " + path),
            odd);

  // A binary property list (from another tool) reads too; non-string values
  // count as no text.
  std::string binary = "python3 -c 'import plistlib,sys; plistlib.dump([{\"公告\": \"二進位\", \"編號\": 7}], "
                       "open(sys.argv[1],\"wb\"), fmt=plistlib.FMT_BINARY)' " + path;
  ASSERT_EQ(std::system(binary.c_str()), 0);
  auto fromBinary = FeedRecords::readFile(path, {"公告", "編號"});
  ASSERT_TRUE(fromBinary);
  EXPECT_EQ(fromBinary->text(0, "公告"), "二進位");
  EXPECT_EQ(fromBinary->text(0, "編號"), "");

  // Not an array, broken, missing: nothing.
  ASSERT_TRUE(Files::writePlistFile(path, Value::dictionary({{"a", "b"}})));
  EXPECT_FALSE(FeedRecords::readFile(path, {"公告"}));
  ASSERT_TRUE(Files::writeFileAtomically(path, "<plist><array><dict><key>公告</key>"));
  EXPECT_FALSE(FeedRecords::readFile(path, {"公告"}));
  EXPECT_FALSE(FeedRecords::readFile(dir / "absent.plist", {"公告"}));
}

}  // namespace
}  // namespace yx
