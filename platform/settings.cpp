#include "platform/settings.h"

#include <sys/stat.h>

#include <cstdio>

#include "platform/files.h"

namespace yx {

namespace {
constexpr const char* kFileName = "settings.plist";
}

Settings& Settings::standard() {
  static Settings* s = new Settings();  // never destroyed: background threads may still read it
  return *s;
}

void Settings::open(const std::string& dataDir) {
  std::lock_guard<std::mutex> lock(mu_);
  dir_ = dataDir;
  store_ = Value::dictionary();
  dirty_ = false;
  Files::createDirectory(dir_, true);
  ::chmod(dir_.c_str(), 0700);
  std::string path = Files::join(dir_, kFileName);
  if (!Files::exists(path)) return;
  auto bytes = Files::readFile(path, Files::kMaxPlistBytes);
  std::optional<Value> v;
  if (bytes) v = Value::fromPlistBytes(*bytes);
  if (v && v->isDictionary()) {
    store_ = std::move(*v);
    return;
  }
  // Unreadable, truncated or not a dictionary: keep it for inspection and
  // start with an empty store rather than lose the evidence or crash.
  std::string aside = path + ".corrupt";
  if (std::rename(path.c_str(), aside.c_str()) != 0) Files::removeItem(path);
}

std::string Settings::dataDirectory() const {
  std::lock_guard<std::mutex> lock(mu_);
  return dir_;
}

void Settings::close() {
  std::lock_guard<std::mutex> lock(mu_);
  dir_.clear();
  store_ = Value::dictionary();
  dirty_ = false;
  writes_ = 0;
  secrets_.reset();
  secretKeys_.clear();
}

bool Settings::isSecretKey(const std::string& key) const {
  return secrets_ && secretKeys_.count(key) > 0;
}

std::optional<std::string> Settings::stringForKey(const std::string& key) const {
  auto v = objectForKey(key);
  if (!v || !v->isString()) return std::nullopt;
  return v->asString();
}

std::optional<Value> Settings::objectForKey(const std::string& key) const {
  std::lock_guard<std::mutex> lock(mu_);
  if (isSecretKey(key)) {
    auto s = secrets_->load(key);
    if (!s) return std::nullopt;
    return Value(std::move(*s));
  }
  const Value* v = store_.find(key);
  if (!v) return std::nullopt;
  return *v;
}

void Settings::setObject(const std::string& key, Value value) {
  std::lock_guard<std::mutex> lock(mu_);
  if (setLocked(key, std::move(value)) && writeThrough_) writeLocked();
}

void Settings::setObjects(std::vector<std::pair<std::string, Value>> entries) {
  std::lock_guard<std::mutex> lock(mu_);
  bool changed = false;
  for (auto& [key, value] : entries) changed = setLocked(key, std::move(value)) || changed;
  if (changed && writeThrough_) writeLocked();
}

bool Settings::setLocked(const std::string& key, Value value) {
  if (isSecretKey(key)) {
    if (value.isNull())
      secrets_->remove(key);
    else
      secrets_->store(key, value.isString() ? value.asString() : value.toXmlPlist());
    return false;
  }
  if (value.isNull()) {
    if (!store_.erase(key)) return false;
  } else {
    const Value* old = store_.find(key);
    if (old && *old == value) return false;
    store_.set(key, std::move(value));
  }
  dirty_ = true;
  return true;
}

void Settings::setString(const std::string& key, std::string value) {
  setObject(key, Value(std::move(value)));
}

void Settings::removeObjectForKey(const std::string& key) { setObject(key, Value()); }

bool Settings::synchronize() {
  std::lock_guard<std::mutex> lock(mu_);
  if (!dirty_) return true;
  return writeLocked();
}

bool Settings::writeLocked() {
  if (dir_.empty()) return true;
  Files::createDirectory(dir_, true);
  bool ok = Files::writePlistFile(Files::join(dir_, kFileName), store_, 0600);
  if (ok) {
    dirty_ = false;
    ++writes_;
  }
  return ok;
}

std::vector<std::string> Settings::keys() const {
  std::lock_guard<std::mutex> lock(mu_);
  std::vector<std::string> out = store_.keys();
  if (secrets_) {
    for (const auto& k : secretKeys_)
      if (secrets_->load(k)) out.push_back(k);
  }
  return out;
}

void Settings::setSecretBackend(std::shared_ptr<SecretBackend> backend, std::set<std::string> keys) {
  std::lock_guard<std::mutex> lock(mu_);
  secrets_ = std::move(backend);
  secretKeys_ = secrets_ ? std::move(keys) : std::set<std::string>{};
  if (!secrets_) return;
  bool moved = false;
  for (const auto& k : secretKeys_) {
    const Value* v = store_.find(k);
    if (v && v->isString() && secrets_->store(k, v->asString())) {
      store_.erase(k);
      moved = true;
    }
  }
  if (moved) {
    dirty_ = true;
    writeLocked();
  }
}

void Settings::setWriteThrough(bool on) {
  std::lock_guard<std::mutex> lock(mu_);
  writeThrough_ = on;
}

std::size_t Settings::writeCount() const {
  std::lock_guard<std::mutex> lock(mu_);
  return writes_;
}

}  // namespace yx
