#pragma once
// Decoding response bodies into text.

#include <cstddef>
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

// Characters (Unicode code points) in UTF-8 text. A stray byte that starts
// no well-formed sequence counts as one character, so any bytes have a length.
std::size_t utf8Length(std::string_view text);
// The byte offset where character `index` starts (the text's size when the
// index is at or past its end).
std::size_t utf8Offset(std::string_view text, std::size_t index);
// The characters [from, from + count) of UTF-8 text ("" when the text is
// shorter than from + count characters).
std::string utf8Slice(std::string_view text, std::size_t from, std::size_t count);
// Length in UTF-16 code units; a malformed byte counts as one replacement
// character.
std::size_t utf16Length(std::string_view utf8);

}  // namespace yx
