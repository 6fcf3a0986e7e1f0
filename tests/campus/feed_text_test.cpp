// Text rules of the feed screens that need no server.

#include <gtest/gtest.h>

#include "campus/info/info_loaders.h"
#include "campus/info/info_screens.h"
#include "campus/info/lab_screens.h"
#include "markup/feed_loader.h"

namespace yx {
namespace {

TEST(FeedText, IntegerValueReadsLikeAPerson) {
  EXPECT_EQ(FeedLoaderViewController::intValue("5015"), 5015);
  EXPECT_EQ(FeedLoaderViewController::intValue(" -12x"), -12);
  EXPECT_EQ(FeedLoaderViewController::intValue("77\t\t"), 77);
  EXPECT_EQ(FeedLoaderViewController::intValue("abc"), 0);
  EXPECT_EQ(FeedLoaderViewController::intValue(""), 0);
  EXPECT_EQ(FeedLoaderViewController::intValue("99999999999999999999"), 2147483647);
  EXPECT_EQ(FeedLoaderViewController::intValue("-99999999999999999999"), -2147483647 - 1);
}

TEST(FeedText, LabHeaderIsThreeCharactersShorter) {
  EXPECT_EQ(computerViewController::headerText("2013-05-01 10:20:30"), "最後更新：2013-05-01 10:20");
  EXPECT_EQ(computerViewController::headerText("上午十點"), "最後更新：上");
  EXPECT_EQ(computerViewController::headerText(""), "最後");
}

TEST(FeedText, GenericLoaderModeIsTheFirstWordFound) {
  EXPECT_EQ(xmlParser::modeFor("http://h/Data/xml/act-0.xml"), "act");
  EXPECT_EQ(xmlParser::modeFor("http://h/prefer/act.xml"), "prefer");
  EXPECT_EQ(xmlParser::modeFor("http://h/bus.xml"), "bus");
  EXPECT_EQ(xmlParser::modeFor("http://h/x.xml"), "");
}

}  // namespace
}  // namespace yx
