#pragma once
// Anonymous usage reports to the campus data server: the screen report
// (which feature, from where, from when to when) and the call report.
// Each is one blocking GET whose answer is ignored.

#include <optional>
#include <string>

namespace yx {

// Escapes one value for a query: everything but A-Z a-z 0-9 - . _ ~ becomes
// %XX (UTF-8), so a value can never add, cut or hide query fields. A missing
// value is written as the literal "(null)".
std::string queryValue(const std::optional<std::string>& value);

// The blocking sender: GETs the URL and decodes the answer as 7-bit ASCII.
// Returns the text, or nothing (no answer, a transfer failure, a status
// other than 2xx, an empty or non-ASCII answer).
std::optional<std::string> sendReport(const std::string& url);

class upDate2DB {
public:
  // The screen report URL built from the settings store now.
  static std::string screenReportURL();
  // The call report URL built from the settings store now.
  static std::string callReportURL();

  // Sends the screen report (blocking).
  void userExit();
  // Sends the call report (blocking).
  void userCall();
};

}  // namespace yx
