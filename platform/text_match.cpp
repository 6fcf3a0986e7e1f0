#include "platform/text_match.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace yx {

std::string foldForSearch(std::string_view utf8) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* fold = icu::Normalizer2::getNFKCCasefoldInstance(status);
  icu::UnicodeString text = icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
  if (U_FAILURE(status) || !fold) {
    std::string out;
    return text.toLower().toUTF8String(out);
  }
  icu::UnicodeString folded = fold->normalize(text, status);
  std::string out;
  if (U_FAILURE(status)) return text.toUTF8String(out);
  return folded.toUTF8String(out);
}

void TextSearch::setQuery(std::string_view typed) {
  query_ = foldForSearch(typed);
  const auto first = query_.find_first_not_of(" \t");
  if (first == std::string::npos) {
    query_.clear();
    return;
  }
  query_ = query_.substr(first, query_.find_last_not_of(" \t") - first + 1);
}

}  // namespace yx
