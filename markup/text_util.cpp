#include "markup/text_util.h"

#include <cstdint>

namespace yx::markup {
namespace {

bool isTrimmedCodePoint(std::uint32_t c) {
  switch (c) {
    case 0x09: case 0x0A: case 0x0B: case 0x0C: case 0x0D: case 0x20:
    case 0x85: case 0xA0: case 0x1680: case 0x2028: case 0x2029:
    case 0x202F: case 0x205F: case 0x3000:
      return true;
    default:
      return c >= 0x2000 && c <= 0x200A;
  }
}

// Decodes the code point starting at `i`; returns its length, 0 when invalid.
std::size_t decodeAt(std::string_view s, std::size_t i, std::uint32_t& out) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    out = b0;
    return 1;
  }
  std::size_t len = 0;
  std::uint32_t cp = 0;
  std::uint32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) {
    len = 2; cp = b0 & 0x1F; min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    len = 3; cp = b0 & 0x0F; min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    len = 4; cp = b0 & 0x07; min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  out = cp;
  return len;
}

}  // namespace

bool isValidUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    std::uint32_t cp = 0;
    const std::size_t n = decodeAt(text, i, cp);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string trimWhitespaceAndNewlines(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size()) {
    std::uint32_t cp = 0;
    const std::size_t n = decodeAt(text, begin, cp);
    if (n == 0 || !isTrimmedCodePoint(cp)) break;
    begin += n;
  }
  // Scan forward remembering where the last non-blank code point ends, so
  // multi-byte blanks at the end are recognised without decoding backwards.
  std::size_t end = begin;
  std::size_t i = begin;
  while (i < text.size()) {
    std::uint32_t cp = 0;
    std::size_t n = decodeAt(text, i, cp);
    if (n == 0) {
      n = 1;  // an invalid byte is content, never trimmed
      end = i + n;
    } else if (!isTrimmedCodePoint(cp)) {
      end = i + n;
    }
    i += n;
  }
  return std::string(text.substr(begin, end - begin));
}

}  // namespace yx::markup
