#pragma once
// The data folder, the Documents folder and property-list array files.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/plist_value.h"

namespace yx {

class Files {
public:
  // The data folder (default "$XDG_DATA_HOME/yunxiu", else
  // "$HOME/.local/share/yunxiu"). Setting it does not create it.
  static std::string dataDirectory();
  static void setDataDirectory(const std::string& dir);
  static std::string defaultDataDirectory();
  // <data folder>/Documents, created (0700) when missing.
  static std::string documentsDirectory();

  // The largest property-list file read: a bigger one reads as unreadable
  // (reading it would take several times its size in memory).
  static constexpr std::size_t kMaxPlistBytes = std::size_t{64} << 20;

  // A property-list file whose top level is an array. Missing, unreadable,
  // malformed, larger than kMaxPlistBytes or not an array: nothing.
  static std::optional<Value> readArrayFile(const std::string& path);
  // Writes an XML property list atomically (temporary file in the same
  // folder, flush, rename). False when the value is not an array or the
  // write fails; the old file is then untouched.
  static bool writeArrayFile(const std::string& path, const Value& array);
  // Any property-list file (dictionary or array at the top).
  static std::optional<Value> readPlistFile(const std::string& path);
  static bool writePlistFile(const std::string& path, const Value& value, unsigned mode = 0644);
  // Atomic write of raw bytes (PDF files, caches).
  static bool writeFileAtomically(const std::string& path, std::string_view bytes,
                                  unsigned mode = 0644);
  // The same for bytes made piece by piece: `produce` hands each piece to the
  // sink it is given (which answers false once writing failed) and returns
  // false to give up. The old file is untouched unless all went well.
  // `durable` flushes the file and its folder to the disk before returning;
  // without it the rename still keeps the old file whole if the process dies,
  // and only a power cut could lose the new bytes (fine for caches that are
  // fetched again).
  using ByteSink = std::function<bool(std::string_view)>;
  static bool writeStreamAtomically(const std::string& path, const std::function<bool(const ByteSink&)>& produce,
                                    unsigned mode = 0644, bool durable = true);
  // The file's bytes; nothing when it cannot be read or is larger than maxBytes.
  static std::optional<std::string> readFile(const std::string& path,
                                             std::size_t maxBytes = static_cast<std::size_t>(-1));

  // Atomic writes go through "<file>.tmp.<pid>.<n>"; a process killed mid-write
  // leaves that behind. Removes every such file under dir (at any depth) that
  // no running process is writing. Returns how many were removed.
  static std::size_t removeLeftoverTemporaries(const std::string& dir);
  // Tests: atomic writes of files under dir fail as on a full disk (empty: none).
  static void failWritesUnder(const std::string& dir);

  static bool exists(const std::string& path);
  static bool isDirectory(const std::string& path);
  // Removes a file or a folder with its contents; false when nothing was removed.
  static bool removeItem(const std::string& path);
  static bool createDirectory(const std::string& path, bool intermediate);
  // Names (not paths) of the regular files in dir ending in "." + ext
  // (ext given without the dot), sorted.
  static std::vector<std::string> listByExtension(const std::string& dir, const std::string& ext);

  // dir + "/" + name.
  static std::string join(const std::string& dir, const std::string& name);

  // "file://" URL of an absolute path (every byte but letters, digits,
  // "-", ".", "_", "~" and "/" escaped as %XX), and back: the path of a
  // "file://" URL without host, or nothing.
  static std::string fileURL(const std::string& absolutePath);
  static std::optional<std::string> pathFromFileURL(const std::string& url);
};

}  // namespace yx
