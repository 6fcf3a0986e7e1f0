#pragma once
// Finding typed text in list texts as a person expects: letter case and the
// width of letters and digits do not matter ("ａ１" finds "A1", "lib" finds
// "LIB"), nor do other compatibility forms (ICU NFKC with case folding).

#include <string>
#include <string_view>

namespace yx {

// The text in the form matches are made on. Invalid UTF-8 bytes fold to
// U+FFFD, so they match nothing a person can type.
std::string foldForSearch(std::string_view utf8);

// A query as typed into a search field.
class TextSearch {
public:
  // Spaces around the typed text (full-width ones too) do not count.
  void setQuery(std::string_view typed);
  // True when nothing (or only spaces) is typed: every row shows.
  bool empty() const { return query_.empty(); }
  // Whether a text folded by foldForSearch contains the query.
  bool matchesFolded(std::string_view folded) const {
    return empty() || folded.find(query_) != std::string_view::npos;
  }
  bool matches(std::string_view text) const { return empty() || matchesFolded(foldForSearch(text)); }

private:
  std::string query_;
};

}  // namespace yx
