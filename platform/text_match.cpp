#include "platform/text_match.h"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

namespace yx {

std::string foldForSearch(std::string_view utf8) {
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* fold = icu::Normalizer2::getNFKCCasefoldInstance(status);
  icu::UnicodeString text =
      icu::UnicodeString::fromUTF8(icu::StringPiece(utf8.data(), static_cast<int32_t>(utf8.size())));
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

void RowFilter::setRows(size_t count, std::function<std::vector<std::string>(size_t row)> textsOf) {
  count_ = textsOf ? count : 0;
  textsOf_ = std::move(textsOf);
  folded_.clear();
  apply();
}

void RowFilter::setQuery(std::string_view typed) {
  query_.setQuery(typed);
  apply();
}

void RowFilter::apply() {
  shown_.clear();
  if (query_.empty()) return;  // every row, in order
  if (folded_.size() != count_) {
    folded_.resize(count_);
    for (size_t i = 0; i < count_; ++i)
      for (auto& t : textsOf_(i)) folded_[i].push_back(foldForSearch(t));
  }
  for (size_t i = 0; i < count_; ++i)
    for (const auto& text : folded_[i])
      if (query_.matchesFolded(text)) {
        shown_.push_back(i);
        break;
      }
}

std::optional<size_t> RowFilter::row(long shown) const {
  if (shown < 0 || static_cast<size_t>(shown) >= size()) return std::nullopt;
  return query_.empty() ? static_cast<size_t>(shown) : shown_[static_cast<size_t>(shown)];
}

}  // namespace yx
