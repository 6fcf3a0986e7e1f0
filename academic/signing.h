#pragma once
// Signing of Academic web service requests, shared by the student and the
// teacher screens.
//
// Every request carries the user's number (student or teacher), a time key
// K ("mmssSSS" of one clock reading), a five-character checksum made from
// the number and K, and the encoded password:
//
//   N, k   the leading decimal number of the number text and of K
//   V      (N * 863.0 + N * k) + k * (-271.0), in double precision
//   sum    the first 5 hex digits of md5(fmtF(V) less its last 7 characters)
//
// The number and the encoded password are escaped as query components, so
// characters the password encoding produces ("#", "&", "+", "=") arrive as
// typed.

#include <string>
#include <string_view>

#include "platform/runloop.h"

namespace yx {

// The 32 lowercase hexadecimal digits of the MD5 digest of the text's bytes.
std::string md5(std::string_view text);

// The password encoding: every UTF-16 code unit keeps its bits from 5 up and
// has its low five bits reversed. Printable ASCII stays printable ASCII
// ("a" <-> "p", "0" <-> "!", space stays space), surrogate pairs stay pairs,
// and the encoding is its own inverse. UTF-8 in and out; a byte that is not
// UTF-8 is read as U+FFFD.
std::string encodePwMethod(std::string_view password);

// The time key of a moment: minute, second and millisecond ("mmssSSS") in
// the device's time zone.
std::string signingTimeKey(TimePoint t);

// The leading decimal number of a text, as a person would read it: leading
// blanks, an optional sign, digits with an optional fraction and exponent.
// Anything else (no digits, hexadecimal, "inf", "nan") gives 0. Out of the
// double range: plus or minus infinity.
double leadingNumber(std::string_view text);

// The five-character checksum of a number text and a time key.
std::string requestChecksum(std::string_view number, std::string_view key);

struct RequestSignature {
  std::string key;       // pKey
  std::string checksum;  // pChksum
};
// Signs a number with one reading of the clock.
RequestSignature signRequest(std::string_view number);
RequestSignature signRequest(std::string_view number, TimePoint t);

// The query of a signed request, fields in this order:
// "<identityField>=<number>&pKey=<K>&pChksum=<sum>&pPass=<encoded password>",
// the number and the encoded password escaped as query components.
// identityField is "pStuNo" for students, "pTeachNo" for teachers.
std::string getEncodeUserData(std::string_view number, std::string_view password,
                              std::string_view identityField = "pStuNo");
std::string getEncodeUserData(std::string_view number, std::string_view password,
                              std::string_view identityField, TimePoint t);

// The path of a web method: "/emisappws/AppWebService.asmx/<method>".
std::string academicMethodPath(std::string_view method);

// A complete request URL: the Academic web service's base URL, the method's
// path (after a doubled slash for student requests, a single one for
// teacher requests), "?" and the query. Throws DeploymentError when no base
// URL is configured.
std::string academicURL(std::string_view method, std::string_view query, bool doubledSlash);

// The signed URL of a student method for that number and password.
std::string studentMethodURL(std::string_view method, std::string_view number, std::string_view password);

}  // namespace yx
