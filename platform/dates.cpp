#include "platform/dates.h"

#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <atomic>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>

namespace yx {

namespace {

std::mutex gZoneMu;
std::unique_ptr<icu::TimeZone> gZone;  // guarded by gZoneMu
std::atomic<unsigned> gZoneGeneration{1};

std::unique_ptr<icu::TimeZone> currentZone() {
  std::lock_guard<std::mutex> lock(gZoneMu);
  if (!gZone) gZone.reset(icu::TimeZone::createDefault());
  return std::unique_ptr<icu::TimeZone>(gZone->clone());
}

// Formatters are not safe to share between threads, so each thread keeps its
// own cache, dropped when the zone changes.
struct FormatterCache {
  unsigned generation = 0;
  std::map<std::string, std::unique_ptr<icu::SimpleDateFormat>> byPattern;
};

icu::SimpleDateFormat* formatterFor(const std::string& pattern) {
  thread_local FormatterCache cache;
  unsigned gen = gZoneGeneration.load();
  if (cache.generation != gen) {
    cache.byPattern.clear();
    cache.generation = gen;
  }
  auto it = cache.byPattern.find(pattern);
  if (it != cache.byPattern.end()) return it->second.get();
  UErrorCode status = U_ZERO_ERROR;
  auto fmt = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString::fromUTF8(pattern),
                                                     icu::Locale("zh", "TW"), status);
  if (U_FAILURE(status)) return nullptr;
  fmt->adoptTimeZone(currentZone().release());
  fmt->setLenient(false);
  if (cache.byPattern.size() > 64) cache.byPattern.clear();
  return cache.byPattern.emplace(pattern, std::move(fmt)).first->second.get();
}

UDate toUDate(TimePoint t) {
  auto ms = std::chrono::floor<std::chrono::milliseconds>(t.time_since_epoch());
  return static_cast<UDate>(ms.count());
}

TimePoint fromUDate(UDate d) {
  return TimePoint(std::chrono::duration_cast<TimePoint::duration>(
      std::chrono::milliseconds(static_cast<long long>(std::floor(d)))));
}

}  // namespace

std::string formatDate(const std::string& pattern, TimePoint t) {
  icu::SimpleDateFormat* fmt = formatterFor(pattern);
  if (!fmt) return {};
  icu::UnicodeString out;
  fmt->format(toUDate(t), out);
  std::string utf8;
  out.toUTF8String(utf8);
  return utf8;
}

namespace {

std::optional<TimePoint> parseExactly(const std::string& pattern, const icu::UnicodeString& u) {
  icu::SimpleDateFormat* fmt = formatterFor(pattern);
  if (!fmt) return std::nullopt;
  icu::ParsePosition pos(0);
  UDate d = fmt->parse(u, pos);
  if (pos.getErrorIndex() >= 0 || pos.getIndex() != u.length() || u.length() == 0) return std::nullopt;
  return fromUDate(d);
}

bool isPatternLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The pattern with every "MM" and "dd" that stands between separators made
// "M" and "d", so "12/5" reads under "MM/dd". Fields that abut others
// ("yyyyMMdd") keep their widths: their digits are only told apart by count.
std::string relaxedDayAndMonth(const std::string& pattern) {
  std::string out;
  bool quoted = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c == '\'') quoted = !quoted;
    if (!quoted && (c == 'M' || c == 'd') && i + 1 < pattern.size() && pattern[i + 1] == c &&
        (i == 0 || !isPatternLetter(pattern[i - 1])) && (i + 2 >= pattern.size() || !isPatternLetter(pattern[i + 2]))) {
      out += c;
      ++i;
      continue;
    }
    out += c;
  }
  return out;
}

}  // namespace

std::optional<TimePoint> parseDate(const std::string& pattern, const std::string& text) {
  icu::UnicodeString u = icu::UnicodeString::fromUTF8(text);
  if (auto t = parseExactly(pattern, u)) return t;
  std::string relaxed = relaxedDayAndMonth(pattern);
  if (relaxed == pattern) return std::nullopt;
  return parseExactly(relaxed, u);
}

bool setTimeZone(const std::string& id) {
  std::unique_ptr<icu::TimeZone> tz(
      icu::TimeZone::createTimeZone(icu::UnicodeString::fromUTF8(id)));
  if (!tz || *tz == icu::TimeZone::getUnknown()) return false;
  {
    std::lock_guard<std::mutex> lock(gZoneMu);
    gZone = std::move(tz);
  }
  gZoneGeneration.fetch_add(1);
  return true;
}

std::string timeZone() {
  auto tz = currentZone();
  icu::UnicodeString id;
  tz->getID(id);
  std::string out;
  id.toUTF8String(out);
  return out;
}

}  // namespace yx
