#include "platform/secret_service.h"

#include <libsecret/secret.h>

#include <chrono>
#include <condition_variable>
#include <thread>

namespace yx {

namespace {

// One schema for the app: the settings key and the data folder.
const SecretSchema* appSchema() {
  static const SecretSchema schema = [] {
    SecretSchema s{};
    s.name = "tw.edu.yunxiu.Password";
    s.flags = SECRET_SCHEMA_NONE;
    s.attributes[0] = {"key", SECRET_SCHEMA_ATTRIBUTE_STRING};
    s.attributes[1] = {"profile", SECRET_SCHEMA_ATTRIBUTE_STRING};
    s.attributes[2] = {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING};
    return s;
  }();
  return &schema;
}

// GLib values owned here, freed on every path.
struct ErrorBox {
  GError* error = nullptr;
  ~ErrorBox() {
    if (error) g_error_free(error);
  }
  std::string text(const char* fallback) const { return error && error->message ? error->message : fallback; }
};

struct Attributes {
  GHashTable* table;
  Attributes(const std::string& key, const std::string& profile)
      : table(g_hash_table_new_full(g_str_hash, g_str_equal, g_free, g_free)) {
    g_hash_table_insert(table, g_strdup("key"), g_strdup(key.c_str()));
    g_hash_table_insert(table, g_strdup("profile"), g_strdup(profile.c_str()));
  }
  ~Attributes() { g_hash_table_unref(table); }
};

// Cancels a call that has not returned after `seconds` (a service that was
// started on demand and never answers must not hold the app).
class Watchdog {
public:
  Watchdog(GCancellable* cancellable, double seconds) : cancellable_(cancellable) {
    thread_ = std::thread([this, seconds] {
      std::unique_lock<std::mutex> lock(mu_);
      if (!cv_.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return done_; }))
        g_cancellable_cancel(cancellable_);
    });
  }
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> lock(mu_);
      done_ = true;
    }
    cv_.notify_all();
    thread_.join();
  }

private:
  GCancellable* cancellable_;
  std::mutex mu_;
  std::condition_variable cv_;
  bool done_ = false;
  std::thread thread_;
};

constexpr double kConnectSeconds = 5;

}  // namespace

struct DesktopKeyring::Service {
  SecretService* service = nullptr;
  ~Service() {
    if (service) g_object_unref(service);
  }
};

std::shared_ptr<DesktopKeyring> DesktopKeyring::connect(const std::string& profile,
                                                        std::map<std::string, std::string> labels,
                                                        std::string* why, bool mayAsk) {
  GCancellable* cancellable = g_cancellable_new();
  ErrorBox err;
  SecretService* service = nullptr;
  {
    Watchdog watchdog(cancellable, kConnectSeconds);
    // Loading the collections is a real call: it starts a service that is
    // only activatable, and fails when nobody provides one.
    service = secret_service_get_sync(SECRET_SERVICE_LOAD_COLLECTIONS, cancellable, &err.error);
  }
  const bool cancelled = g_cancellable_is_cancelled(cancellable);
  g_object_unref(cancellable);
  if (!service || cancelled) {
    if (why) *why = cancelled ? "the Secret Service did not answer" : err.text("no Secret Service");
    if (service) g_object_unref(service);
    return nullptr;
  }
  // When the session bus goes away the app keeps running (on the file).
  if (GDBusConnection* bus = g_dbus_proxy_get_connection(G_DBUS_PROXY(service)))
    g_dbus_connection_set_exit_on_close(bus, FALSE);
  auto s = std::make_unique<Service>();
  s->service = service;
  return std::shared_ptr<DesktopKeyring>(new DesktopKeyring(std::move(s), profile, std::move(labels), mayAsk));
}

DesktopKeyring::DesktopKeyring(std::unique_ptr<Service> service, std::string profile,
                               std::map<std::string, std::string> labels, bool mayAsk)
    : service_(std::move(service)), profile_(std::move(profile)), labels_(std::move(labels)), mayAsk_(mayAsk) {}

bool DesktopKeyring::lockedAndMayNotAsk() {
  if (mayAsk_) return false;
  ErrorBox err;
  SecretCollection* keyring =
      secret_collection_for_alias_sync(service_->service, SECRET_COLLECTION_DEFAULT, SECRET_COLLECTION_NONE, nullptr,
                                       &err.error);
  if (!keyring) return true;  // no keyring to write to without making one
  const bool locked = secret_collection_get_locked(keyring);
  g_object_unref(keyring);
  return locked;
}

DesktopKeyring::~DesktopKeyring() = default;

std::optional<std::string> DesktopKeyring::load(const std::string& key) {
  std::lock_guard<std::mutex> lock(mu_);
  Entry& e = cache_[key];
  if (e.state == State::Unknown) {
    Attributes attrs(key, profile_);
    ErrorBox err;
    // A locked keyring asks its user to unlock it; an item still locked
    // afterwards was refused and reads as no value (so nothing empty is
    // ever sent for it), and is not asked for again in this run.
    // Once its user has said no, the keyring is not asked again in this run.
    const bool ask = mayAsk_ && !refused_;
    auto flags = static_cast<SecretSearchFlags>(SECRET_SEARCH_LOAD_SECRETS | (ask ? SECRET_SEARCH_UNLOCK : 0));
    GList* items = secret_service_search_sync(service_->service, appSchema(), attrs.table, flags, nullptr, &err.error);
    e.state = State::Absent;
    for (GList* l = items; l; l = l->next) {
      auto* item = static_cast<SecretItem*>(l->data);
      if (secret_item_get_locked(item)) {
        refused_ = refused_ || ask;
        continue;
      }
      SecretValue* value = secret_item_get_secret(item);
      if (!value) continue;
      gsize length = 0;
      const gchar* bytes = secret_value_get(value, &length);
      e.value.assign(bytes ? bytes : "", bytes ? length : 0);
      e.state = State::Found;
      secret_value_unref(value);
      break;
    }
    g_list_free_full(items, g_object_unref);
  }
  if (e.state == State::Found) return e.value;
  return std::nullopt;
}

bool DesktopKeyring::store(const std::string& key, const std::string& value) {
  std::lock_guard<std::mutex> lock(mu_);
  Entry& e = cache_[key];
  if (e.state == State::Found && e.value == value) return true;
  if (lockedAndMayNotAsk()) {
    lastError_ = "the keyring is locked";
    return false;
  }
  Attributes attrs(key, profile_);
  auto label = labels_.find(key);
  const std::string text = label != labels_.end() ? label->second : "雲岫學苑: " + key;
  SecretValue* secret = secret_value_new(value.data(), static_cast<gssize>(value.size()), "text/plain");
  ErrorBox err;
  const bool ok = secret_service_store_sync(service_->service, appSchema(), attrs.table, SECRET_COLLECTION_DEFAULT,
                                            text.c_str(), secret, nullptr, &err.error);
  secret_value_unref(secret);
  if (!ok) {
    lastError_ = err.text("the keyring refused it");
    // What the keyring holds now is not known; read it again when asked.
    e.state = State::Unknown;
    return false;
  }
  lastError_.clear();
  e.state = State::Found;
  e.value = value;
  return true;
}

bool DesktopKeyring::remove(const std::string& key) {
  std::lock_guard<std::mutex> lock(mu_);
  Entry& e = cache_[key];
  if (lockedAndMayNotAsk()) {
    lastError_ = "the keyring is locked";
    e.state = State::Absent;
    e.value.clear();
    return false;
  }
  Attributes attrs(key, profile_);
  ErrorBox err;
  secret_service_clear_sync(service_->service, appSchema(), attrs.table, nullptr, &err.error);
  // Cleared, or there was nothing to clear: either way the key is gone for
  // this run. A keyring that could not be opened keeps its item.
  e.state = State::Absent;
  e.value.clear();
  if (err.error) {
    lastError_ = err.text("the keyring refused it");
    return false;
  }
  lastError_.clear();
  return true;
}

std::string DesktopKeyring::lastError() const {
  std::lock_guard<std::mutex> lock(mu_);
  return lastError_;
}

}  // namespace yx
