// Searching the building list as a person does: typing into the field above
// the list narrows it at once, by code, English or Chinese name, whatever
// the letter case or width; an empty field shows everything again.

#include <gtest/gtest.h>

#include "tests/campus/feeds_support.h"

namespace yx::test {
namespace {

class BuildingSearchTest : public FeedsFixture {};

TEST_F(BuildingSearchTest, TypingNarrowsTheListByCodeOrNameIgnoringCaseAndWidth) {
  options.canvasHeight = 692;
  options.canvasWidth = 320;
  startReady();
  std::string s = run("tap 9");
  // The field comes first, empty, over the whole list.
  EXPECT_TRUE(has(s, "field searchField: [搜尋代號或名稱]\ntable myTableview rows 30\n")) << s;
  EXPECT_TRUE(has(run("type searchField ａ１"), "table myTableview rows 1\n  row 0.0: A1 | 行政大樓\n"));
  s = run("type searchField lib");
  EXPECT_TRUE(has(s, "table myTableview rows 1\n  row 0.0: LIB | 圖書館\n")) << s;
  // The filtered row is the building's own cell; tapping it does what it
  // always does (nothing but deselect).
  EXPECT_EQ(run("cell 0 0"), "  image: 建築物對照圖 loaded\n  label engNameLbl: LIB {#000000}\n"
                             "  label chineseNameLbl: 圖書館 {#000000}\n");
  EXPECT_TRUE(has(run("row 0 0"), "screen: houseListsViewController depth 2")) << s;
  EXPECT_TRUE(has(run("type searchField cafe"), "rows 1\n  row 0.0: Cafe | 青楓坡餐廳\n"));  // an English name
  s = run("type searchField 學院");  // Chinese names, in key order
  EXPECT_TRUE(has(s, "rows 5\n  row 0.0: B1 | 文學院\n  row 0.1: C1 | 理學院\n  row 0.2: D1 | 工學院\n")) << s;
  // No match is an empty list, not a message.
  s = run("type searchField 不存在");
  EXPECT_TRUE(has(s, "table myTableview rows 0\n")) << s;
  EXPECT_FALSE(has(s, "alert:")) << s;
  EXPECT_TRUE(has(run("type searchField "), "table myTableview rows 30\n  row 0.0: A1 | 行政大樓\n"));
  // The field stretches with the width; the list takes the taller canvas.
  EXPECT_EQ(run("frame searchField"), "frame searchField: 8 49 304 30\n");
  EXPECT_EQ(run("frame myTableview"), "frame myTableview: 0 84 320 608\n");
  EXPECT_TRUE(has(run("return searchField"), "screen: houseListsViewController depth 2"));
}

}  // namespace
}  // namespace yx::test
