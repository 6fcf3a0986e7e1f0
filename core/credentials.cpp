#include "core/credentials.h"

#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>

#include "platform/secret_service.h"

namespace yx {

namespace {

const std::map<std::string, std::string>& labels() {
  static const std::map<std::string, std::string> l = {
      {"密碼", "雲岫學苑: 學生密碼"},         {"teacherPW", "雲岫學苑: 教師密碼"},
      {"libPW", "雲岫學苑: 圖書館密碼"},      {"wifiPass", "雲岫學苑: 無線網路密碼"},
      {"userPhoneData", "雲岫學苑: 網路電話密碼"}};
  return l;
}

std::string settingsFile() {
  return (std::filesystem::path(Settings::standard().dataDirectory()) / "settings.plist").string();
}

// The keyring, saying once on standard error when it does not take a password.
class NoticingKeyring : public SecretBackend {
public:
  // `file` is named up front: the store calls in here with its lock held.
  NoticingKeyring(std::shared_ptr<DesktopKeyring> keyring, std::string file)
      : keyring_(std::move(keyring)), file_(std::move(file)) {}
  std::optional<std::string> load(const std::string& key) override { return keyring_->load(key); }
  bool store(const std::string& key, const std::string& value) override {
    if (keyring_->store(key, value)) return true;
    std::call_once(said_, [&] {
      std::cerr << "yunxiu: the keyring did not take " << credentialLabel(key) << " (" << keyring_->lastError()
                << "): it stays in " << file_ << ", readable only by you\n";
    });
    return false;
  }
  bool remove(const std::string& key) override { return keyring_->remove(key); }

private:
  std::shared_ptr<DesktopKeyring> keyring_;
  std::string file_;
  std::once_flag said_;
};

}  // namespace

SecretKeys credentialKeys() {
  SecretKeys k;
  k.keys = {"密碼", "teacherPW", "libPW", "wifiPass"};
  k.fields = {{"userPhoneData", "password"}};
  k.needs = {{"學號", "密碼"}, {"teacherID", "teacherPW"}};
  return k;
}

std::string credentialLabel(const std::string& key) {
  auto it = labels().find(key);
  return it != labels().end() ? it->second : "雲岫學苑: " + key;
}

std::optional<std::string> keepPasswordsInKeyring(bool mayAskToUnlock) {
  std::error_code ec;
  std::string folder = Settings::standard().dataDirectory();
  auto absolute = std::filesystem::weakly_canonical(folder, ec);
  std::string why;
  auto keyring = DesktopKeyring::connect(ec ? folder : absolute.string(), labels(), &why, mayAskToUnlock);
  if (!keyring)
    return "passwords stay in " + settingsFile() + ", readable only by you: no desktop keyring (" + why + ")";
  auto backend = std::make_shared<NoticingKeyring>(std::move(keyring), settingsFile());
  Settings::standard().setSecretBackend(std::move(backend), credentialKeys());
  return std::nullopt;
}

}  // namespace yx
