#include "phone/call_record.h"

#include <algorithm>
#include <climits>

#include "core/deployment.h"
#include "core/usage_report.h"
#include "phone/phone_kit.h"
#include "platform/application.h"
#include "platform/runloop.h"
#include "platform/settings.h"

namespace yx::phone {

namespace {

constexpr const char* kNames = "schoolCallDic1";
constexpr const char* kCounts = "schoolCallDic2";
constexpr const char* kPhones = "callTime_Phone";
constexpr const char* kTimes = "callTime_Time";

Value stored(const char* key, Value::Type want) {
  auto v = Settings::standard().objectForKey(key);
  if (!v || v->type() != want) return Value();
  return std::move(*v);
}

Value storedList(const char* key) {
  Value v = stored(key, Value::Type::Array);
  return v.isNull() ? Value::array() : v;
}

// A stored text, or the digits of a stored number.
std::string textOf(const Value& v) {
  if (v.isString()) return v.asString();
  if (v.isInteger()) return std::to_string(v.asInteger());
  return {};
}

// The call usage report reads the owner and number just stored; it is sent
// away from the main thread and its answer is ignored.
void startCallReport() {
  std::string url;
  try {
    url = upDate2DB::callReportURL();
  } catch (const DeploymentError&) {
    return;
  }
  Background::run([url] { (void)sendReport(url); });
}

}  // namespace

CallRecord CallRecord::loadForCalling() {
  CallRecord r;
  r.names_ = stored(kNames, Value::Type::Dictionary);
  if (r.names_.isNull()) {
    r.names_ = Value::dictionary();
    r.counts_ = Value::dictionary();
  } else {
    r.counts_ = stored(kCounts, Value::Type::Dictionary);
    if (r.counts_.isNull()) r.counts_ = Value::dictionary();  // never drop the counts of this call
  }
  r.phones_ = storedList(kPhones);
  r.times_ = storedList(kTimes);
  return r;
}

CallRecord CallRecord::loadAsStored() {
  CallRecord r;
  r.names_ = stored(kNames, Value::Type::Dictionary);
  r.counts_ = stored(kCounts, Value::Type::Dictionary);
  r.phones_ = storedList(kPhones);
  r.times_ = storedList(kTimes);
  return r;
}

std::optional<std::string> CallRecord::nameFor(const std::string& number) const {
  const Value* v = names_.isDictionary() ? names_.find(number) : nullptr;
  if (!v) return std::nullopt;
  return textOf(*v);
}

std::optional<int> CallRecord::countFor(const std::string& number) const {
  const Value* v = counts_.isDictionary() ? counts_.find(number) : nullptr;
  if (!v) return std::nullopt;
  if (v->isInteger()) return static_cast<int>(std::clamp<long long>(v->asInteger(), INT_MIN, INT_MAX));
  return leadingInt(textOf(*v));
}

std::string CallRecord::countTextFor(const std::string& number) const {
  const Value* v = counts_.isDictionary() ? counts_.find(number) : nullptr;
  return v ? textOf(*v) : std::string();
}

std::vector<std::string> CallRecord::ranking() const {
  std::vector<std::pair<int, std::string>> counted;
  if (counts_.isDictionary())
    for (const auto& [number, value] : counts_.asDictionary()) counted.emplace_back(*countFor(number), number);
  std::stable_sort(counted.begin(), counted.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  std::vector<std::string> keys;
  keys.reserve(counted.size());
  for (auto& [count, number] : counted) keys.push_back(std::move(number));
  return keys;
}

std::string CallRecord::phoneAt(size_t i) const { return textOf(phones_[i]); }
std::string CallRecord::timeAt(size_t i) const { return textOf(times_[i]); }

void CallRecord::appendCall(const std::string& number) {
  times_.append(Value(callTimeNow()));
  phones_.append(Value(number));
}

void CallRecord::countCall(const std::string& number) {
  std::optional<int> previous = countFor(number);
  long long next = previous ? static_cast<long long>(*previous) + 1 : 1;
  counts_.set(number, Value(std::to_string(std::min<long long>(next, INT_MAX))));
}

void CallRecord::callFromDirectory(const std::string& number, const std::string& owner) {
  Application::shared().openURL(sipURL(number));
  appendCall(number);
  names_.set(number, Value(owner));
  countCall(number);
  auto& s = Settings::standard();
  s.setObjects({{"callDepartment", Value(owner)},
                {"callNumber", Value(number)},
                {kNames, names_},
                {kCounts, counts_},
                {kPhones, phones_},
                {kTimes, times_}});
  s.synchronize();
  startCallReport();
}

void CallRecord::callTyped(const std::string& number) {
  Application::shared().openURL(sipURL(number));
  appendCall(number);
  names_.set(number, Value(" "));
  countCall(number);
  Settings::standard().setObjects({{"callDepartment", Value(" ")},
                                   {"callNumber", Value(number)},
                                   {kNames, names_},
                                   {kCounts, counts_},
                                   {kPhones, phones_},
                                   {kTimes, times_}});
  startCallReport();
}

void CallRecord::redial(const std::string& number) {
  std::optional<std::string> owner = nameFor(number);
  Application::shared().openURL(sipURL(number));
  appendCall(number);
  if (countFor(number)) countCall(number);
  auto& s = Settings::standard();
  // A number without an owner leaves no owner behind: the report then says so.
  std::vector<std::pair<std::string, Value>> keys = {{"callDepartment", owner ? Value(*owner) : Value()},
                                                     {"callNumber", Value(number)}};
  if (hasCounts()) keys.emplace_back(kCounts, counts_);
  keys.emplace_back(kPhones, phones_);
  keys.emplace_back(kTimes, times_);
  s.setObjects(std::move(keys));
  s.synchronize();
  startCallReport();
}

void CallRecord::clearStored() {
  auto& s = Settings::standard();
  s.setObjects({{kNames, Value()}, {kCounts, Value()}, {kPhones, Value()}, {kTimes, Value()}});
  s.synchronize();
  phones_ = Value::array();
  times_ = Value::array();
}

}  // namespace yx::phone
