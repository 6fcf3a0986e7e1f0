#pragma once
// The records of one feed: one row per item, one text per field, as a Feed
// loader parsed them or a Feed cache file holds them. Rows are kept compact
// (a text per field, the field names once), so a feed of many thousand items
// costs little more than its text.
//
// The cache file is an XML property list: an array of dictionaries, each
// mapping the field names, in order, to their texts. It is written in one
// pass straight to a temporary file and renamed over the old one, and read
// back with the event parser, so neither way builds a second copy of the
// records in memory.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/plist_value.h"

namespace yx {

class FeedRecords {
public:
  explicit FeedRecords(std::vector<std::string> fields = {});

  const std::vector<std::string>& fields() const { return fields_; }
  std::size_t size() const { return fields_.empty() ? 0 : cells_.size() / fields_.size(); }
  bool empty() const { return size() == 0; }

  // The text of one field of a row; empty for another field or row.
  const std::string& text(std::size_t row, std::string_view field) const;
  // A row as a dictionary of its fields, in field order.
  Value record(std::size_t row) const;
  // Adds a row: one text per field, in field order (missing ones empty).
  void append(std::vector<std::string>&& texts);

  // The cache file form. writeFile() is atomic: false when the file could not
  // be written, and the old one is then untouched. It is not flushed to the
  // disk (a cache is fetched again), so it costs no wait on the disk.
  bool writeFile(const std::string& path) const;
  // Reads a cache file keeping only these fields (a text under each, empty
  // when a dictionary lacks it or holds something else). Nothing when the
  // file is missing, larger than Files::kMaxPlistBytes, not a property list,
  // or not an array.
  static std::optional<FeedRecords> readFile(const std::string& path, std::vector<std::string> fields);
  // The same from a property-list value (an array of dictionaries).
  static std::optional<FeedRecords> fromValue(const Value& array, std::vector<std::string> fields);

private:
  std::vector<std::string> fields_;
  std::vector<std::string> cells_;  // row by row
};

}  // namespace yx
