#pragma once
// The passwords the app keeps in the settings store, and where they live:
// in the desktop's Secret Service when one answers, else (as ever) in the
// owner-only settings file.

#include <optional>
#include <string>

#include "platform/settings.h"

namespace yx {

// The student, teacher, library and Wi-Fi passwords, the SIP password inside
// "userPhoneData", and the numbers that are no sign-in without them.
SecretKeys credentialKeys();
// The keyring label of a password key ("雲岫學苑: 圖書館密碼").
std::string credentialLabel(const std::string& key);

// Puts the passwords of the open settings store into the desktop's Secret
// Service (moving those found in the file there). When none answers they
// stay in the file, and the result is the one line that says why. A later
// password the keyring does not take stays in the file too, and that is
// said once on standard error.
// Without `mayAskToUnlock` a locked keyring is never asked to open (work
// nobody watches): its passwords read as absent.
std::optional<std::string> keepPasswordsInKeyring(bool mayAskToUnlock = true);

}  // namespace yx
