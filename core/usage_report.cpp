#include "core/usage_report.h"

#include "core/deployment.h"
#include "platform/dates.h"
#include "platform/escape.h"
#include "platform/http.h"
#include "platform/runloop.h"
#include "platform/settings.h"
#include "platform/text.h"

namespace yx {

std::string queryValue(const std::optional<std::string>& value) {
  if (!value) return "(null)";
  return componentEscape(*value);
}

std::optional<std::string> sendReport(const std::string& url) {
  HttpResult r = httpGet(url, 60);
  // Only a success with some text is an answer: an error page, a redirect
  // that leads nowhere or an empty body must not mark a profile delivered.
  if (!r.ok || r.status < 200 || r.status > 299) return std::nullopt;
  auto text = decodeAscii(std::optional<std::string>(std::move(r.body)));
  if (!text || text->empty()) return std::nullopt;
  return text;
}

namespace {
std::optional<std::string> setting(const char* key) { return Settings::standard().stringForKey(key); }
}  // namespace

std::string upDate2DB::screenReportURL() {
  std::string sent = formatDate("yyyyMMddHHmmss", now());
  std::string q = "/Data/situ1.aspx?pk=" + queryValue(setting("user_id")) +
                  "&fx=" + queryValue(setting("user_Y")) +  // latitude
                  "&fy=" + queryValue(setting("user_X")) +  // longitude
                  "&fn=" + queryValue(setting("功能名稱")) +
                  "&fs=" + queryValue(setting("啓動時間")) + "&fe=" + queryValue(sent);
  return Deployment::current().url("campus_data", q);
}

std::string upDate2DB::callReportURL() {
  std::string q = "/data/phone1.aspx?pk=" + queryValue(setting("user_id")) +
                  "&s=" + queryValue(setting("userPhoneNumber")) +
                  "&dp=" + queryValue(setting("callDepartment")) +
                  "&r=" + queryValue(setting("callNumber"));
  return Deployment::current().url("campus_data", q);
}

// A deployment without the campus data server drops the report, like a dead server.
void upDate2DB::userExit() {
  try {
    (void)sendReport(screenReportURL());
  } catch (const DeploymentError&) {
  }
}

void upDate2DB::userCall() {
  try {
    (void)sendReport(callReportURL());
  } catch (const DeploymentError&) {
  }
}

}  // namespace yx
