#include "platform/secret_service.h"

// libsecret (with GIO under it) is opened when a keyring is first
// connected, and only when a session bus may answer: a run without one (a
// script, a server, a test) never loads it, and no run pays for relocating
// it before its first frame. Its header gives the types and signatures.
#include <dlfcn.h>
#include <libsecret/secret.h>
#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <thread>

namespace yx {

namespace {

// The calls this file makes into libsecret, GIO and GObject, found in the
// library opened at run time.
struct SecretApi {
  decltype(&secret_service_get_sync) serviceGetSync;
  decltype(&secret_service_search_sync) serviceSearchSync;
  decltype(&secret_service_store_sync) serviceStoreSync;
  decltype(&secret_service_clear_sync) serviceClearSync;
  decltype(&secret_collection_for_alias_sync) collectionForAliasSync;
  decltype(&secret_collection_get_locked) collectionGetLocked;
  decltype(&secret_item_get_locked) itemGetLocked;
  decltype(&secret_item_get_secret) itemGetSecret;
  decltype(&secret_value_get) valueGet;
  decltype(&secret_value_new) valueNew;
  decltype(&secret_value_unref) valueUnref;
  decltype(&g_object_unref) objectUnref;
  decltype(&g_cancellable_new) cancellableNew;
  decltype(&g_cancellable_cancel) cancellableCancel;
  decltype(&g_cancellable_is_cancelled) cancellableIsCancelled;
  decltype(&g_dbus_proxy_get_connection) proxyGetConnection;
  decltype(&g_dbus_connection_set_exit_on_close) connectionSetExitOnClose;
};

// The library's calls, or null (with the reason) when it cannot be opened.
const SecretApi* secretApi(std::string* why) {
  static std::string failure;
  static const SecretApi* api = []() -> const SecretApi* {
    void* lib = dlopen("libsecret-1.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
      const char* e = dlerror();
      failure = "libsecret cannot be loaded (" + std::string(e ? e : "not installed") + ")";
      return nullptr;
    }
    static SecretApi a{};
    bool all = true;
    auto find = [&](auto& fn, const char* name) {
      fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(lib, name));
      all = all && fn;
    };
    find(a.serviceGetSync, "secret_service_get_sync");
    find(a.serviceSearchSync, "secret_service_search_sync");
    find(a.serviceStoreSync, "secret_service_store_sync");
    find(a.serviceClearSync, "secret_service_clear_sync");
    find(a.collectionForAliasSync, "secret_collection_for_alias_sync");
    find(a.collectionGetLocked, "secret_collection_get_locked");
    find(a.itemGetLocked, "secret_item_get_locked");
    find(a.itemGetSecret, "secret_item_get_secret");
    find(a.valueGet, "secret_value_get");
    find(a.valueNew, "secret_value_new");
    find(a.valueUnref, "secret_value_unref");
    find(a.objectUnref, "g_object_unref");
    find(a.cancellableNew, "g_cancellable_new");
    find(a.cancellableCancel, "g_cancellable_cancel");
    find(a.cancellableIsCancelled, "g_cancellable_is_cancelled");
    find(a.proxyGetConnection, "g_dbus_proxy_get_connection");
    find(a.connectionSetExitOnClose, "g_dbus_connection_set_exit_on_close");
    if (!all) {
      failure = "libsecret lacks calls the app needs";
      return nullptr;
    }
    return &a;
  }();
  if (!api && why) *why = failure;
  return api;
}

// Whether a session bus may answer: its address is given, the usual socket
// is in the runtime folder, or one may be started for the X display.
bool sessionBusMayAnswer() {
  auto given = [](const char* name) {
    const char* v = std::getenv(name);
    return v && *v;
  };
  if (given("DBUS_SESSION_BUS_ADDRESS") || given("DISPLAY")) return true;
  const char* run = std::getenv("XDG_RUNTIME_DIR");
  struct stat st {};
  return run && *run && ::stat((std::string(run) + "/bus").c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

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
        secretApi(nullptr)->cancellableCancel(cancellable_);
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
    if (service) secretApi(nullptr)->objectUnref(service);
  }
};

std::shared_ptr<DesktopKeyring> DesktopKeyring::connect(const std::string& profile,
                                                        std::map<std::string, std::string> labels,
                                                        std::string* why, bool mayAsk) {
  if (!sessionBusMayAnswer()) {
    if (why) *why = "no session bus";
    return nullptr;
  }
  const SecretApi* api = secretApi(why);
  if (!api) return nullptr;
  GCancellable* cancellable = api->cancellableNew();
  ErrorBox err;
  SecretService* service = nullptr;
  {
    Watchdog watchdog(cancellable, kConnectSeconds);
    // Loading the collections is a real call: it starts a service that is
    // only activatable, and fails when nobody provides one.
    service = api->serviceGetSync(SECRET_SERVICE_LOAD_COLLECTIONS, cancellable, &err.error);
  }
  const bool cancelled = api->cancellableIsCancelled(cancellable);
  api->objectUnref(cancellable);
  if (!service || cancelled) {
    if (why) *why = cancelled ? "the Secret Service did not answer" : err.text("no Secret Service");
    if (service) api->objectUnref(service);
    return nullptr;
  }
  // When the session bus goes away the app keeps running (on the file).
  if (GDBusConnection* bus = api->proxyGetConnection(reinterpret_cast<GDBusProxy*>(service)))
    api->connectionSetExitOnClose(bus, FALSE);
  auto s = std::make_unique<Service>();
  s->service = service;
  return std::shared_ptr<DesktopKeyring>(new DesktopKeyring(std::move(s), profile, std::move(labels), mayAsk));
}

DesktopKeyring::DesktopKeyring(std::unique_ptr<Service> service, std::string profile,
                               std::map<std::string, std::string> labels, bool mayAsk)
    : service_(std::move(service)), profile_(std::move(profile)), labels_(std::move(labels)), mayAsk_(mayAsk) {}

bool DesktopKeyring::lockedAndMayNotAsk() {
  const SecretApi& api = *secretApi(nullptr);  // opened when the keyring connected
  if (mayAsk_) return false;
  ErrorBox err;
  SecretCollection* keyring =
      api.collectionForAliasSync(service_->service, SECRET_COLLECTION_DEFAULT, SECRET_COLLECTION_NONE, nullptr,
                                       &err.error);
  if (!keyring) return true;  // no keyring to write to without making one
  const bool locked = api.collectionGetLocked(keyring);
  api.objectUnref(keyring);
  return locked;
}

DesktopKeyring::~DesktopKeyring() = default;

std::optional<std::string> DesktopKeyring::load(const std::string& key) {
  const SecretApi& api = *secretApi(nullptr);  // opened when the keyring connected
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
    GList* items = api.serviceSearchSync(service_->service, appSchema(), attrs.table, flags, nullptr, &err.error);
    e.state = State::Absent;
    for (GList* l = items; l; l = l->next) {
      auto* item = static_cast<SecretItem*>(l->data);
      if (api.itemGetLocked(item)) {
        refused_ = refused_ || ask;
        continue;
      }
      SecretValue* value = api.itemGetSecret(item);
      if (!value) continue;
      gsize length = 0;
      const gchar* bytes = api.valueGet(value, &length);
      e.value.assign(bytes ? bytes : "", bytes ? length : 0);
      e.state = State::Found;
      api.valueUnref(value);
      break;
    }
    g_list_free_full(items, api.objectUnref);
  }
  if (e.state == State::Found) return e.value;
  return std::nullopt;
}

bool DesktopKeyring::store(const std::string& key, const std::string& value) {
  const SecretApi& api = *secretApi(nullptr);  // opened when the keyring connected
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
  SecretValue* secret = api.valueNew(value.data(), static_cast<gssize>(value.size()), "text/plain");
  ErrorBox err;
  const bool ok = api.serviceStoreSync(service_->service, appSchema(), attrs.table, SECRET_COLLECTION_DEFAULT,
                                            text.c_str(), secret, nullptr, &err.error);
  api.valueUnref(secret);
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
  const SecretApi& api = *secretApi(nullptr);  // opened when the keyring connected
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
  api.serviceClearSync(service_->service, appSchema(), attrs.table, nullptr, &err.error);
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
