#pragma once
// Date formatting and parsing with ICU SimpleDateFormat, locale zh_TW, in the
// device's time zone (settable). Patterns are used exactly as written: "YYYY"
// is the week-based year, which differs from "yyyy" in the last days of
// December. Formatters are cached per pattern; all calls are thread-safe.

#include <optional>
#include <string>

#include "platform/runloop.h"

namespace yx {

std::string formatDate(const std::string& pattern, TimePoint t);
// The whole text must match the pattern; otherwise nothing. Parsing is
// strict: an impossible date (13/45, 2/30) gives nothing. A one-digit day or
// month is read under "dd" or "MM" where separators delimit it ("12/5").
std::optional<TimePoint> parseDate(const std::string& pattern, const std::string& text);

// Olson id such as "Asia/Taipei" or "UTC". False for an unknown id (the zone
// is then unchanged). The default is the host's zone.
bool setTimeZone(const std::string& id);
std::string timeZone();

}  // namespace yx
