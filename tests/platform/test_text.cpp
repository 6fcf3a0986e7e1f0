// Decoding answers as strict ASCII or UTF-8.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/text.h"

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

}  // namespace
}  // namespace yx
