#pragma once
// Percent escaping and C-format number helpers.

#include <string>
#include <string_view>

namespace yx {

// The platform's legacy URL escaping for UTF-8 text: escapes the characters
// that may not appear in a URL (control characters, space, '"', '%', '<',
// '>', '\\', '^', '`', '{', '|', '}', DEL and every byte >= 0x80) as %XX
// with uppercase hex, and leaves every other character, reserved ones such
// as "&", "=", "?", "/", "+", "#", ":", "@" included, as it is.
std::string legacyEscape(std::string_view utf8);

// Escapes everything but the unreserved characters A-Z a-z 0-9 - . _ ~.
std::string componentEscape(std::string_view utf8);

// A value from a server placed into a URL's query as it is meant: every byte
// but A-Z a-z 0-9 - . _ ~ and "/" as %XX, an escape already there (a "%"
// followed by two hex digits) kept. Ordinary values stay byte for byte.
std::string queryValueEscape(std::string_view value);

// Turns %XX sequences back into bytes; a "%" not followed by two hex digits
// is kept as is. ("+" is not touched.)
std::string percentDecode(std::string_view text);

// C's "%f" (six decimals), "%d"/"%ld" and "%lu" output.
std::string fmtF(double v);
std::string fmtD(long long v);
std::string fmtLU(unsigned long v);

}  // namespace yx
