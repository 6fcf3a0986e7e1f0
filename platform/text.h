#pragma once
// Decoding response bodies into text.

#include <optional>
#include <string>
#include <string_view>

namespace yx {

// Strict 7-bit ASCII: nothing when the bytes are absent or any byte is 0x80
// or above.
std::optional<std::string> decodeAscii(const std::optional<std::string>& bytes);
// UTF-8: nothing when absent or not valid UTF-8 (overlong forms, surrogates
// and code points above U+10FFFF are invalid).
std::optional<std::string> decodeUtf8(const std::optional<std::string>& bytes);
bool isValidUtf8(std::string_view bytes);

}  // namespace yx
