// Decoding answers as strict ASCII or UTF-8, measuring text, and matching
// what is typed into a search field.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "platform/text.h"
#include "platform/text_match.h"
#include "platform/text_measure.h"

namespace yx {
namespace {

TEST(TextDecoding, AsciiIsStrict) {
  EXPECT_EQ(decodeAscii(std::string("OK\r\n\x01")), std::string("OK\r\n\x01"));
  EXPECT_EQ(decodeAscii(std::string("")), "");
  EXPECT_FALSE(decodeAscii(std::nullopt));
  EXPECT_FALSE(decodeAscii(std::string("ok\x80")));
  EXPECT_FALSE(decodeAscii(std::string("成功")));
}

TEST(TextDecoding, Utf8RejectsMalformedSequences) {
  EXPECT_EQ(decodeUtf8(std::string("雲岫學苑 🙂")), "雲岫學苑 🙂");
  EXPECT_FALSE(decodeUtf8(std::nullopt));
  for (std::string bad : {std::string("\xe9\x9b"),          // truncated
                          std::string("\xc0\xaf"),          // overlong "/"
                          std::string("\xe0\x80\xaf"),      // overlong, 3 bytes
                          std::string("\xed\xa0\x80"),      // surrogate
                          std::string("\xf4\x90\x80\x80"),  // above U+10FFFF
                          std::string("\x80"), std::string("a\xffz")})
    EXPECT_FALSE(decodeUtf8(bad)) << bad;
}

TEST(TextMeasure, WrapsAtBreakOpportunitiesInTheAppFace) {
  const double line = lineHeight(17, false);
  EXPECT_GT(line, 17);
  EXPECT_LT(line, 17 * 1.7);
  // CJK characters are one em wide; the bold face is a different face.
  EXPECT_NEAR(textWidth("雲岫學苑", 17, false), 68, 0.5);
  EXPECT_GT(textWidth("Library", 17, true), textWidth("Library", 17, false));
  EXPECT_LT(textWidth("iiii", 17, false), textWidth("MMMM", 17, false)) << "the face is proportional";

  EXPECT_EQ(measureText("", 17, false, 240), (Size{0, 0}));
  Size one = measureText("期中考", 17, false, 240);
  EXPECT_NEAR(one.width, 51, 0.5);
  EXPECT_DOUBLE_EQ(one.height, line);
  // Twenty CJK characters at 17 points need two lines of 240.
  EXPECT_DOUBLE_EQ(measureText("一二三四五六七八九十一二三四五六七八九十", 17, false, 240).height, 2 * line);
  // Words move whole to the next line; a hard newline always breaks.
  Size words = measureText("registration opens tomorrow morning", 17, false, 150);
  EXPECT_DOUBLE_EQ(words.height, 3 * line);
  EXPECT_LE(words.width, 150);
  EXPECT_DOUBLE_EQ(measureText("上\n下", 17, false, 240).height, 2 * line);
  // A word wider than the line breaks between characters; whole lines only up to maxHeight.
  const double perLine = std::floor(100 / textWidth("W", 17, false));
  EXPECT_DOUBLE_EQ(measureText(std::string(60, 'W'), 17, false, 100).height, std::ceil(60 / perLine) * line);
  std::string longText;
  for (int i = 0; i < 200; ++i) longText += "校園活動";
  EXPECT_LE(measureText(longText, 17, false, 240, 500).height, 500);
  EXPECT_GT(measureText(longText, 17, false, 240, 500).height, 500 - line);
}

// What a search field matches: case and the width of letters and digits
// never matter, Chinese matches as typed, spaces around the query do not
// count, and bytes that are not text match nothing a person can type.
TEST(TextSearch, IgnoresCaseAndWidthButNotTheCharacters) {
  TextSearch q;
  auto finds = [&](const char* typed, const char* text) {
    q.setQuery(typed);
    return q.matches(text);
  };
  EXPECT_TRUE(finds("ａ１", "A1"));
  EXPECT_TRUE(finds("ＬＩｂ", "Library"));
  EXPECT_TRUE(finds("\u3000lib ", "LIB"));
  EXPECT_TRUE(finds("學系", "外國語文學系館"));
  EXPECT_FALSE(finds("圖書", "圖館"));
  EXPECT_FALSE(finds("lib x", "LIB"));
  EXPECT_TRUE(finds("  ", ""));  // nothing typed: everything shows
  EXPECT_FALSE(finds("a", "\xff\xfe"));
  EXPECT_TRUE(finds("b", "\xff" "B"));
}

}  // namespace
}  // namespace yx
