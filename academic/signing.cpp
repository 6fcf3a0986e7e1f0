#include "academic/signing.h"

#include <locale.h>
#include <stdlib.h>

#include <cstdint>
#include <vector>

#include "core/deployment.h"
#include "platform/dates.h"
#include "platform/digest.h"
#include "platform/escape.h"

namespace yx {

std::string md5(std::string_view text) { return md5Hex(text); }

// ------------------------------------------------------- password encoding

namespace {

// UTF-8 to UTF-16 code units; a malformed sequence becomes U+FFFD.
std::vector<std::uint16_t> toUtf16(std::string_view s) {
  std::vector<std::uint16_t> out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : 99;
    std::uint32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
    bool ok = extra != 99 && i + extra < s.size();
    for (size_t k = 1; ok && k <= extra; ++k) {
      const auto cc = static_cast<unsigned char>(s[i + k]);
      if ((cc >> 6) != 0x2) ok = false;
      else cp = (cp << 6) | (cc & 0x3F);
    }
    if (ok && ((extra == 1 && cp < 0x80) || (extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
               (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))))
      ok = false;
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<std::uint16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<std::uint16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<std::uint16_t>(cp));
    }
    i += extra + 1;
  }
  return out;
}

void appendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// 32 + (x with bits 0-4 reversed), x = c - 32: the 32 never touches the low
// five bits, so this is c with its low five bits reversed.
std::uint16_t encodeUnit(std::uint16_t c) {
  unsigned low = c & 0x1F, reversed = 0;
  for (int b = 0; b < 5; ++b)
    if (low & (1u << b)) reversed |= 1u << (4 - b);
  return static_cast<std::uint16_t>((c & ~0x1Fu) | reversed);
}

}  // namespace

std::string encodePwMethod(std::string_view password) {
  std::vector<std::uint16_t> units = toUtf16(password);
  for (auto& u : units) u = encodeUnit(u);
  // The encoding keeps bits 10-15, so high and low surrogates stay what they
  // were and every pair is still a pair.
  std::string out;
  out.reserve(password.size());
  for (size_t i = 0; i < units.size(); ++i) {
    std::uint32_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00));
      ++i;
    } else {
      appendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? 0xFFFD : u);
    }
  }
  return out;
}

// ---------------------------------------------------------------- signature

std::string signingTimeKey(TimePoint t) { return formatDate("mmssSSS", t); }

double leadingNumber(std::string_view text) {
  const size_t n = text.size();
  auto digit = [&](size_t i) { return i < n && text[i] >= '0' && text[i] <= '9'; };
  size_t i = 0;
  while (i < n && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  const size_t start = i;
  if (i < n && (text[i] == '+' || text[i] == '-')) ++i;
  size_t digits = 0;
  for (; digit(i); ++i) ++digits;
  if (i < n && text[i] == '.')
    for (++i; digit(i); ++i) ++digits;
  if (digits == 0) return 0;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < n && (text[j] == '+' || text[j] == '-')) ++j;
    if (digit(j)) {
      while (digit(j)) ++j;
      i = j;
    }
  }
  // The prefix is plain decimal now; read it in the C locale whatever the
  // process's locale says about decimal points.
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  std::string number(text.substr(start, i - start));
  return strtod_l(number.c_str(), nullptr, cLocale);
}

std::string requestChecksum(std::string_view number, std::string_view key) {
  const double N = leadingNumber(number), k = leadingNumber(key);
  const double V = (N * 863.0 + N * k) + k * (-271.0);
  std::string text = fmtF(V);
  // Drop the decimal point and six decimals; "inf" and "nan" leave nothing.
  text = text.size() >= 7 ? text.substr(0, text.size() - 7) : std::string();
  return md5(text).substr(0, 5);
}

RequestSignature signRequest(std::string_view number, TimePoint t) {
  RequestSignature s;
  s.key = signingTimeKey(t);
  s.checksum = requestChecksum(number, s.key);
  return s;
}

RequestSignature signRequest(std::string_view number) { return signRequest(number, now()); }

std::string getEncodeUserData(std::string_view number, std::string_view password, std::string_view identityField,
                              TimePoint t) {
  RequestSignature s = signRequest(number, t);
  std::string q;
  q.append(identityField).append("=").append(componentEscape(number));
  q.append("&pKey=").append(s.key);
  q.append("&pChksum=").append(s.checksum);
  q.append("&pPass=").append(componentEscape(encodePwMethod(password)));
  return q;
}

std::string getEncodeUserData(std::string_view number, std::string_view password, std::string_view identityField) {
  return getEncodeUserData(number, password, identityField, now());
}

std::string academicMethodPath(std::string_view method) {
  return "/emisappws/AppWebService.asmx/" + std::string(method);
}

std::string academicURL(std::string_view method, std::string_view query, bool doubledSlash) {
  std::string path = (doubledSlash ? "/" : "") + academicMethodPath(method);
  if (!query.empty()) path.append("?").append(query);
  return Deployment::current().url("academic", path);
}

std::string studentMethodURL(std::string_view method, std::string_view number, std::string_view password) {
  return academicURL(method, getEncodeUserData(number, password, "pStuNo"), true);
}

}  // namespace yx
