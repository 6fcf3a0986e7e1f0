#pragma once
// The settings store: a persistent map from string keys to property-list
// values, kept as "<dataDir>/settings.plist" (XML property list).
//
// Every change is written through to disk at once (atomically: temporary
// file, flush, rename; file mode 0600, folder 0700), so synchronize() is
// cheap and a crash never loses a stored value. A corrupt or truncated file
// found at open(), or one above Files::kMaxPlistBytes, is kept aside as
// "settings.plist.corrupt" and the store starts empty. All operations are
// thread-safe.

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/plist_value.h"

namespace yx {

// Where chosen keys (passwords) live instead of the settings file. The store
// routes those keys to the backend; screens see no difference. `load` gives
// nothing when the backend holds no value or cannot read it (a locked
// keyring its user refused to open); `store` and `remove` answer whether the
// backend now holds the value or no longer holds it.
class SecretBackend {
public:
  virtual ~SecretBackend() = default;
  virtual std::optional<std::string> load(const std::string& key) = 0;
  virtual bool store(const std::string& key, const std::string& value) = 0;
  virtual bool remove(const std::string& key) = 0;
};

// Which settings live in a secret backend.
struct SecretKeys {
  // Keys whose text value the backend keeps whole.
  std::set<std::string> keys;
  // Dictionary keys with one text field the backend keeps (under the
  // dictionary's key); the rest of the dictionary stays in the file. The
  // dictionary reads as absent while that field cannot be read.
  std::map<std::string, std::string> fields;
  // A key that reads as absent while the secret it names cannot be read: a
  // number without its password is no sign-in.
  std::map<std::string, std::string> needs;
};

class Settings {
public:
  static Settings& standard();

  // Loads <dataDir>/settings.plist (creating the folder, mode 0700). Drops
  // whatever was loaded before. A missing file is an empty store.
  void open(const std::string& dataDir);
  // The folder given to open() (empty before).
  std::string dataDirectory() const;
  // Forgets everything in memory and detaches from the file (tests).
  void close();

  std::optional<std::string> stringForKey(const std::string& key) const;
  std::optional<Value> objectForKey(const std::string& key) const;
  // A null value removes the key.
  void setObject(const std::string& key, Value value);
  void setString(const std::string& key, std::string value);
  void removeObjectForKey(const std::string& key);
  // Sets several keys together, in order (a null value removes its key), and
  // writes the file once: keys that belong together reach the disk together.
  void setObjects(std::vector<std::pair<std::string, Value>> entries);
  // Writes the store to disk when anything is unwritten; true when the file
  // on disk holds the store (always true without an open folder).
  bool synchronize();
  std::vector<std::string> keys() const;

  // Routes the listed keys (string values) to a backend. With no backend
  // set (the default), every key lives in the settings file. Values already
  // in the file under those keys move to the backend. A value the backend
  // refuses to store stays in the file (and is read from there) until a
  // later write or start moves it; nothing is ever dropped.
  void setSecretBackend(std::shared_ptr<SecretBackend> backend, SecretKeys keys);
  void setSecretBackend(std::shared_ptr<SecretBackend> backend, std::set<std::string> keys);

  // Write-through can be turned off (changes are then written by
  // synchronize()). On by default.
  void setWriteThrough(bool on);

  // Number of times the file was written (tests, benchmarks).
  std::size_t writeCount() const;

private:
  Settings() = default;
  bool writeLocked();
  // Changes one key in memory; true when the file now needs writing.
  bool setLocked(const std::string& key, Value value);
  bool isSecretKey(const std::string& key) const;
  // The value as screens see it (backend and guards applied); caller locks.
  std::optional<Value> readLocked(const std::string& key) const;
  // The secret stored under `key`: the file's copy (left by a refused
  // store), else the backend's.
  std::optional<std::string> secretLocked(const std::string& key) const;
  // Moves secrets found in the file to the backend; true when the file changed.
  bool migrateLocked();

  mutable std::mutex mu_;
  std::string dir_;
  Value store_ = Value::dictionary();
  bool dirty_ = false;
  bool writeThrough_ = true;
  std::size_t writes_ = 0;
  std::shared_ptr<SecretBackend> secrets_;
  SecretKeys secretKeys_;
};

}  // namespace yx
