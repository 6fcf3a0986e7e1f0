#pragma once
// Finding typed text in list texts as a person expects: letter case and the
// width of letters and digits do not matter ("ａ１" finds "A1", "lib" finds
// "LIB"), nor do other compatibility forms (ICU NFKC with case folding).

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The rows of a list a search leaves in sight. Each row is found by its own
// texts; rows keep their order, and the list's own index of every row shown
// stays known, so a shown row acts as that row always does.
class RowFilter {
public:
  // `count` rows, row i found by textsOf(i); the current query applies.
  // The texts are asked for and folded at the first search, so a list
  // nobody searches costs nothing more to load.
  void setRows(size_t count, std::function<std::vector<std::string>(size_t row)> textsOf);
  void setQuery(std::string_view typed);
  size_t size() const { return query_.empty() ? count_ : shown_.size(); }
  // The list's own index of the `shown`-th row in sight.
  std::optional<size_t> row(long shown) const;

private:
  void apply();
  size_t count_ = 0;
  std::function<std::vector<std::string>(size_t)> textsOf_;
  std::vector<std::vector<std::string>> folded_;  // filled at the first search
  TextSearch query_;
  std::vector<size_t> shown_;  // while a query is typed
};

}  // namespace yx
