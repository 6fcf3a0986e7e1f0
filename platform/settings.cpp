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
    // Passwords a run without the backend left in the file move to it.
    if (secrets_ && migrateLocked()) {
      dirty_ = true;
      writeLocked();
    }
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
  secretKeys_ = SecretKeys{};
}

bool Settings::isSecretKey(const std::string& key) const {
  return secrets_ && (secretKeys_.keys.count(key) > 0 || secretKeys_.fields.count(key) > 0);
}

std::optional<std::string> Settings::stringForKey(const std::string& key) const {
  auto v = objectForKey(key);
  if (!v || !v->isString()) return std::nullopt;
  return v->asString();
}

std::optional<Value> Settings::objectForKey(const std::string& key) const {
  std::lock_guard<std::mutex> lock(mu_);
  return readLocked(key);
}

std::optional<std::string> Settings::secretLocked(const std::string& key) const {
  const Value* v = store_.find(key);
  if (v && v->isString()) return v->asString();
  return secrets_->load(key);
}

std::optional<Value> Settings::readLocked(const std::string& key) const {
  const Value* v = store_.find(key);
  if (!secrets_) return v ? std::optional<Value>(*v) : std::nullopt;
  if (secretKeys_.keys.count(key)) {
    auto s = secretLocked(key);
    if (!s) return std::nullopt;
    return Value(std::move(*s));
  }
  if (!v) return std::nullopt;
  if (auto f = secretKeys_.fields.find(key); f != secretKeys_.fields.end() && v->isDictionary()) {
    const Value* inFile = v->find(f->second);
    if (inFile && inFile->isString()) return *v;  // kept in the file by a refused store
    auto s = secrets_->load(key);
    if (!s) return std::nullopt;  // the account without its password is no account
    Value whole = *v;
    whole.set(f->second, Value(std::move(*s)));
    return whole;
  }
  if (auto n = secretKeys_.needs.find(key); n != secretKeys_.needs.end() && !readLocked(n->second))
    return std::nullopt;
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
    auto f = secretKeys_.fields.find(key);
    const bool whole = f == secretKeys_.fields.end();
    const Value* field = !whole && value.isDictionary() ? value.find(f->second) : nullptr;
    if (whole && value.isString()) {
      // In the backend, or in the file when the backend refuses it.
      if (secrets_->store(key, value.asString())) value = Value();
    } else if (field && field->isString()) {
      if (secrets_->store(key, field->asString())) value.erase(f->second);
    } else {
      // Removed, or of a shape that holds no password: no stale copy stays.
      secrets_->remove(key);
    }
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
  if (!secrets_) return out;
  std::erase_if(out, [this](const std::string& k) { return !readLocked(k); });
  for (const auto& k : secretKeys_.keys)
    if (!store_.find(k) && readLocked(k)) out.push_back(k);
  return out;
}

bool Settings::migrateLocked() {
  bool moved = false;
  for (const auto& k : secretKeys_.keys) {
    const Value* v = store_.find(k);
    if (v && v->isString() && secrets_->store(k, v->asString())) {
      store_.erase(k);
      moved = true;
    }
  }
  for (const auto& [k, field] : secretKeys_.fields) {
    const Value* v = store_.find(k);
    const Value* secret = v && v->isDictionary() ? v->find(field) : nullptr;
    if (secret && secret->isString() && secrets_->store(k, secret->asString())) {
      Value rest = *v;
      rest.erase(field);
      store_.set(k, std::move(rest));
      moved = true;
    }
  }
  return moved;
}

void Settings::setSecretBackend(std::shared_ptr<SecretBackend> backend, std::set<std::string> keys) {
  SecretKeys k;
  k.keys = std::move(keys);
  setSecretBackend(std::move(backend), std::move(k));
}

void Settings::setSecretBackend(std::shared_ptr<SecretBackend> backend, SecretKeys keys) {
  std::lock_guard<std::mutex> lock(mu_);
  secrets_ = std::move(backend);
  secretKeys_ = secrets_ ? std::move(keys) : SecretKeys{};
  if (secrets_ && migrateLocked()) {
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
