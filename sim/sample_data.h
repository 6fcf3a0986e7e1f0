#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace yx::sim {

// The campus clock used to fill date placeholders: a moment and the campus's
// offset from UTC.
struct CampusTime {
  std::chrono::system_clock::time_point now;
  int utcOffsetMinutes = 8 * 60;
};

// Replaces every "{{BASE[OFFSETS][@HH:MM[:SS]][|PATTERN]}}" in the text with
// that campus date (see the README, "Campus services simulator"). A
// placeholder that cannot be read is left exactly as written.
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
