#pragma once
// Small UTF-8 text helpers shared by the markup classes.
#include <string>
#include <string_view>

namespace yx::markup {

// Removes white space and line breaks at both ends, Unicode-aware: besides ASCII
// blanks it drops no-break spaces, the ideographic space (U+3000), the
// U+2000..U+200A spaces and the Unicode line/paragraph separators.
std::string trimWhitespaceAndNewlines(std::string_view text);

// True when the bytes form well-formed UTF-8.
bool isValidUtf8(std::string_view text);

}  // namespace yx::markup
