#include "markup/text_util.h"

#include <gtest/gtest.h>

namespace yx::markup {
namespace {

TEST(TrimTest, TrimsAsciiAndUnicodeBlanksOnly) {
  EXPECT_EQ(trimWhitespaceAndNewlines(" \t\r\n a b \n"), "a b");
  EXPECT_EQ(trimWhitespaceAndNewlines("\u3000\u00A0課程\u2028\u3000"), "課程");
  EXPECT_EQ(trimWhitespaceAndNewlines("   "), "");
  EXPECT_EQ(trimWhitespaceAndNewlines(""), "");
  // Invalid bytes are content, not blanks, and are kept intact.
  EXPECT_EQ(trimWhitespaceAndNewlines(" \xFF "), "\xFF");
  EXPECT_EQ(trimWhitespaceAndNewlines("\xE3\x80"), "\xE3\x80");
}

TEST(Utf8Test, RejectsMalformedSequences) {
  EXPECT_TRUE(isValidUtf8("雲岫 ok"));
  EXPECT_FALSE(isValidUtf8("\xC0\xAF"));          // overlong
  EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(isValidUtf8("\xE4\xB8"));          // truncated
  EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
}

}  // namespace
}  // namespace yx::markup
