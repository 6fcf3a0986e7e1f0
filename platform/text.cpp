#include "platform/text.h"

#include <unicode/utf8.h>

namespace yx {

std::optional<std::string> decodeAscii(const std::optional<std::string>& bytes) {
  if (!bytes) return std::nullopt;
  for (char c : *bytes)
    if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
  return *bytes;
}

bool isValidUtf8(std::string_view s) {
  size_t i = 0, n = s.size();
  while (i < n) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {
      ++i;
      continue;
    }
    int len;
    unsigned cp;
    if (c >= 0xC2 && c <= 0xDF) {
      len = 2;
      cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      cp = c & 0x07;
    } else {
      return false;  // continuation byte, overlong lead (C0, C1) or above F4
    }
    if (i + static_cast<size_t>(len) > n) return false;
    for (int k = 1; k < len; ++k) {
      unsigned char cc = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
      if ((cc & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += static_cast<size_t>(len);
  }
  return true;
}

std::optional<std::string> decodeUtf8(const std::optional<std::string>& bytes) {
  if (!bytes || !isValidUtf8(*bytes)) return std::nullopt;
  return *bytes;
}

namespace {
// Bytes in the character starting at `i`: a lead byte's announced length when
// the continuation bytes are there, else 1.
std::size_t charBytes(std::string_view s, std::size_t i) {
  auto c = static_cast<unsigned char>(s[i]);
  std::size_t n = c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF8 ? 4 : 1;
  if (i + n > s.size()) return 1;
  for (std::size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
  return n;
}
}  // namespace

std::size_t utf8Length(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < text.size(); i += charBytes(text, i)) ++count;
  return count;
}

std::size_t utf8Offset(std::string_view text, std::size_t index) {
  std::size_t i = 0;
  for (; i < text.size() && index > 0; --index) i += charBytes(text, i);
  return i;
}

std::string utf8Slice(std::string_view text, std::size_t from, std::size_t count) {
  if (utf8Length(text) < from + count) return {};
  const std::size_t start = utf8Offset(text, from);
  return std::string(text.substr(start, utf8Offset(text, from + count) - start));
}

std::size_t utf16Length(std::string_view s) {
  std::size_t units = 0;
  int32_t i = 0, n = static_cast<int32_t>(s.size());
  while (i < n) {
    UChar32 c;
    U8_NEXT(s.data(), i, n, c);
    units += c > 0xFFFF ? 2 : 1;
  }
  return units;
}

}  // namespace yx
