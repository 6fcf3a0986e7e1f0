// Percent escaping, the C number formats and the MD5 used in request texts.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>

#include "platform/digest.h"
#include "platform/escape.h"

namespace yx {
namespace {

TEST(Escape, LegacyEscapingKeepsUrlCharactersAndEscapesTheRest) {
  // A whole query escaped at once: separators survive, Chinese is UTF-8.
  EXPECT_EQ(legacyEscape("/Data/info1.aspx?pk=1&s=男&t=大學生"),
            "/Data/info1.aspx?pk=1&s=%E7%94%B7&t=%E5%A4%A7%E5%AD%B8%E7%94%9F");
  const std::string kept =
      "ABCXYZabcxyz0189-._~!#$&'()*+,/:;=?@[]";
  EXPECT_EQ(legacyEscape(kept), kept);
  EXPECT_EQ(legacyEscape(" \"%<>\\^`{|}"), "%20%22%25%3C%3E%5C%5E%60%7B%7C%7D");
  EXPECT_EQ(legacyEscape(std::string("\t\n\x7f\0", 4)), "%09%0A%7F%00");
  EXPECT_EQ(legacyEscape("a+b=c"), "a+b=c");
}

TEST(Escape, ComponentEscapingLeavesOnlyUnreserved) {
  EXPECT_EQ(componentEscape("AZaz09-._~"), "AZaz09-._~");
  EXPECT_EQ(componentEscape("a&b=c+d/e?f 圖"), "a%26b%3Dc%2Bd%2Fe%3Ff%20%E5%9C%96");
}

TEST(Escape, QueryValuesKeepSlashesAndEscapesAlreadyThere) {
  EXPECT_EQ(queryValueEscape("2026/1206/a1.jpg"), "2026/1206/a1.jpg");
  EXPECT_EQ(queryValueEscape("2026/山&雲 #1+x?.jpg"), "2026/%E5%B1%B1%26%E9%9B%B2%20%231%2Bx%3F.jpg");
  EXPECT_EQ(queryValueEscape("a%20b%2Fc"), "a%20b%2Fc");
  EXPECT_EQ(queryValueEscape("100%"), "100%25");
  EXPECT_EQ(queryValueEscape("%zz%4"), "%25zz%254");
}

TEST(Escape, PercentDecodingUndoesBothAndToleratesStrayPercents) {
  std::string text = "課程 & 成績 = 100% / a+b";
  EXPECT_EQ(percentDecode(legacyEscape(text)), text);
  EXPECT_EQ(percentDecode(componentEscape(text)), text);
  EXPECT_EQ(percentDecode("100%"), "100%");
  EXPECT_EQ(percentDecode("%zz%4"), "%zz%4");
  EXPECT_EQ(percentDecode("%e5%9c%96"), "圖");
}

// The widest values of each format fit whole.
TEST(Format, MatchesCFormatsUpToTheWidestValues) {
  EXPECT_EQ(fmtF(121.5654), "121.565400");
  EXPECT_EQ(fmtF(-DBL_MAX).size(), 309u + 1 + 7);
  EXPECT_EQ(fmtD(LLONG_MIN), "-9223372036854775808");
  EXPECT_EQ(fmtLU(ULONG_MAX), "18446744073709551615");
}

TEST(Digest, Md5OfTextAndOfBytesPastANul) {
  EXPECT_EQ(md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(md5Hex(std::string("\0", 1)), "93b885adfe0da089cdf634904fd59f71");
}

}  // namespace
}  // namespace yx
