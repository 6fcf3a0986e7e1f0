#pragma once
// Passwords in the desktop's Secret Service (GNOME Keyring, KWallet and the
// like) through libsecret, as a secret backend of the settings store.
//
// Every item carries the app's schema, the settings key and the data folder
// it belongs to (two data folders never see each other's passwords). Values
// are remembered after the first read; a locked keyring whose user refuses
// to open it reads as "no value" and is not asked again in that run.

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "platform/settings.h"

namespace yx {

class DesktopKeyring : public SecretBackend {
public:
  // Connects to the session's Secret Service. Nothing when none answers
  // within a few seconds (no session bus, no service, a broken daemon);
  // `why` then holds the reason in a few words. Without `mayAsk` a locked
  // keyring is never asked to open (work nobody watches, such as a timed
  // refresh): its passwords read as absent and are neither written nor
  // removed.
  static std::shared_ptr<DesktopKeyring> connect(const std::string& profile,
                                                 std::map<std::string, std::string> labels, std::string* why,
                                                 bool mayAsk = true);
  ~DesktopKeyring() override;

  std::optional<std::string> load(const std::string& key) override;
  bool store(const std::string& key, const std::string& value) override;
  bool remove(const std::string& key) override;

  // Why the last store or remove failed ("" when it did not).
  std::string lastError() const;

  struct Service;

private:
  DesktopKeyring(std::unique_ptr<Service> service, std::string profile, std::map<std::string, std::string> labels,
                 bool mayAsk);
  // Whether writing now would need the keyring opened though we may not ask.
  bool lockedAndMayNotAsk();

  enum class State { Unknown, Found, Absent };
  struct Entry {
    State state = State::Unknown;
    std::string value;
  };

  mutable std::mutex mu_;
  std::unique_ptr<Service> service_;
  std::string profile_;
  std::map<std::string, std::string> labels_;
  bool mayAsk_;
  bool refused_ = false;  // its user declined to open it
  std::map<std::string, Entry> cache_;
  std::string lastError_;
};

}  // namespace yx
