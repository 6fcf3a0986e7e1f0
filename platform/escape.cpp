#include "platform/escape.h"

#include <cinttypes>
#include <cstdio>

namespace yx {

namespace {
const char kHex[] = "0123456789ABCDEF";

// Characters the legacy escaping replaces: controls, space and the
// characters that are never legal in a URL, plus every non-ASCII byte.
bool legacyNeedsEscape(unsigned char c) {
  if (c <= 0x20 || c >= 0x7f) return true;
  switch (c) {
    case '"': case '%': case '<': case '>': case '\\': case '^': case '`':
    case '{': case '|': case '}':
      return true;
    default:
      return false;
  }
}

bool unreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

template <typename Pred>
std::string escapeWith(std::string_view s, Pred needs) {
  std::string out;
  out.reserve(s.size() + s.size() / 2);
  for (char ch : s) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (needs(c)) {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    } else {
      out.push_back(ch);
    }
  }
  return out;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

std::string legacyEscape(std::string_view utf8) { return escapeWith(utf8, legacyNeedsEscape); }

std::string componentEscape(std::string_view utf8) {
  return escapeWith(utf8, [](unsigned char c) { return !unreserved(c); });
}

std::string queryValueEscape(std::string_view value) {
  std::string out;
  out.reserve(value.size() + value.size() / 2);
  for (size_t i = 0; i < value.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(value[i]);
    bool keptEscape = c == '%' && i + 2 < value.size() && hexValue(value[i + 1]) >= 0 && hexValue(value[i + 2]) >= 0;
    if (unreserved(c) || c == '/' || keptEscape) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return out;
}

std::string percentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size()) {
      int hi = hexValue(text[i + 1]), lo = hexValue(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        out.push_back(static_cast<char>(hi * 16 + lo));
        i += 2;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

std::string fmtF(double v) {
  // Large values need many digits: 309 before the point at most.
  char buf[400];
  int n = std::snprintf(buf, sizeof buf, "%f", v);
  return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

std::string fmtD(long long v) {
  char buf[32];
  int n = std::snprintf(buf, sizeof buf, "%lld", v);
  return std::string(buf, static_cast<size_t>(n));
}

std::string fmtLU(unsigned long v) {
  char buf[32];
  int n = std::snprintf(buf, sizeof buf, "%lu", v);
  return std::string(buf, static_cast<size_t>(n));
}

}  // namespace yx
