#pragma once

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace yx::sim {

// The campus clock used to fill date placeholders: a moment and the campus's
// offset from UTC.
struct CampusTime {
  std::chrono::system_clock::time_point now;
  int utcOffsetMinutes = 8 * 60;
  // Base URL of each server kind ("campus_data" -> "http://127.0.0.1:41234"),
  // for "{{base:KIND}}"; null when not known.
  std::shared_ptr<const std::map<std::string, std::string>> baseUrls;
};

// Replaces every "{{BASE[OFFSETS][@HH:MM[:SS]][|PATTERN]}}" in the text with
// that campus date (see the README, "Campus services simulator"), and every
// "{{base:KIND}}" with that kind's base URL. PATTERN may also be "roc"
// ("115/12/25", the Republic of China year) or "rfc822" ("Fri, 25 Dec 2026
// 10:00:00 +0800"). A placeholder that cannot be read is left as written.
std::string fillPlaceholders(std::string_view text, const CampusTime& t);

// Formats a local (already offset) moment with date pattern letters:
// yyyy yy MM M dd d HH H mm m ss s E EEEE, text in '…' taken literally.
std::string formatCampusDate(std::chrono::sys_seconds local, std::string_view pattern);

// True when a decoded request path may name a file under a data folder:
// absolute, no "." or ".." segment, no backslash or control character.
bool isSafeDataPath(std::string_view path);

// The content type served for a data file, by its extension.
std::string contentTypeFor(std::string_view path);
// Whether placeholders are filled in files of this name (text files only).
bool isTextDataFile(std::string_view path);

// A key field's value as it appears in a keyed file name "P@FIELD=VALUE":
// space, "/", "%" and every byte outside printable ASCII as uppercase %XX.
std::string keyedValue(std::string_view value);

// Reads the file at "<root>/<folder><path>" from the overlay folder when it has
// it, else from the bundled folder. Directories and unsafe paths are not files.
class DataStore {
public:
  DataStore(std::string bundledDir, std::string overlayDir);
  std::optional<std::string> read(const std::string& folder, const std::string& path) const;
  // A file at the top of either folder (overlay first), e.g. "faults.json".
  std::optional<std::string> readTop(const std::string& name, bool overlay) const;
  const std::string& bundledDir() const { return bundled_; }

private:
  std::string bundled_, overlay_;
};

}  // namespace yx::sim
