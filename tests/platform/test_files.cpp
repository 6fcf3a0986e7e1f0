// The Documents folder and property-list array files.
#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/support/scratch.h"

namespace yx {
namespace {

class FilesTest : public ::testing::Test {
protected:
  void SetUp() override { Files::setDataDirectory(root_ + "/data"); }
  test::ScratchDir scratch_;
  const std::string root_ = scratch_.path;
};

TEST_F(FilesTest, ArrayFilesRoundTripAndReplaceAtomically) {
  std::string docs = Files::documentsDirectory();
  EXPECT_EQ(docs, root_ + "/data/Documents");
  ASSERT_TRUE(Files::isDirectory(docs));
  std::string dir = Files::join(docs, "DownloadXml");
  ASSERT_TRUE(Files::createDirectory(dir, false));
  std::string path = Files::join(dir, "news.plist");
  Value one = Value::array({Value::dictionary({{"title", "一"}})});
  ASSERT_TRUE(Files::writeArrayFile(path, one));
  Value two = one;
  two.append(Value::dictionary({{"title", "二"}}));
  ASSERT_TRUE(Files::writeArrayFile(path, two));
  EXPECT_EQ(*Files::readArrayFile(path), two);
  EXPECT_EQ(Files::listByExtension(dir, "plist"), std::vector<std::string>{"news.plist"});
  // Only arrays are array files; a refused write leaves the old file whole.
  EXPECT_FALSE(Files::writeArrayFile(path, Value::dictionary({{"a", 1}})));
  EXPECT_EQ(*Files::readArrayFile(path), two);
  // Writing into a folder that does not exist fails cleanly.
  EXPECT_FALSE(Files::writeArrayFile(Files::join(docs, "nope/x.plist"), two));
}

TEST_F(FilesTest, MissingGarbageAndNonArrayFilesReadAsNothing) {
  std::string docs = Files::documentsDirectory();
  EXPECT_FALSE(Files::readArrayFile(Files::join(docs, "absent.plist")));
  std::string garbage = Files::join(docs, "garbage.plist");
  ASSERT_TRUE(Files::writeFileAtomically(garbage, "\x01\x02<plist>garbage"));
  EXPECT_FALSE(Files::readArrayFile(garbage));
  std::string dict = Files::join(docs, "dict.plist");
  ASSERT_TRUE(Files::writePlistFile(dict, Value::dictionary({{"a", 1}})));
  EXPECT_FALSE(Files::readArrayFile(dict));
  EXPECT_TRUE(Files::readPlistFile(dict));
  EXPECT_FALSE(Files::readArrayFile(docs));  // a folder is not a file
}

TEST_F(FilesTest, CreateListAndRemove) {
  std::string deep = root_ + "/a/b/c";
  EXPECT_FALSE(Files::createDirectory(deep, false));
  EXPECT_TRUE(Files::createDirectory(deep, true));
  EXPECT_TRUE(Files::createDirectory(deep, true));  // already there: fine
  for (const char* n : {"b.pdf", "a.pdf", "c.plist", "pdf", ".pdf"})
    ASSERT_TRUE(Files::writeFileAtomically(Files::join(deep, n), "x"));
  ASSERT_TRUE(Files::createDirectory(Files::join(deep, "d.pdf"), false));
  EXPECT_EQ(Files::listByExtension(deep, "pdf"), (std::vector<std::string>{"a.pdf", "b.pdf"}));
  EXPECT_TRUE(Files::removeItem(root_ + "/a"));
  EXPECT_FALSE(Files::exists(deep));
  EXPECT_FALSE(Files::removeItem(root_ + "/a"));
}

}  // namespace
}  // namespace yx
