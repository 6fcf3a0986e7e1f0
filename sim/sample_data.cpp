#include "sim/sample_data.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace yx::sim {
namespace {

namespace chr = std::chrono;

bool readNumber(std::string_view& s, long long& out, size_t maxDigits = 6) {
  size_t n = 0;
  out = 0;
  while (n < s.size() && n < maxDigits && std::isdigit(static_cast<unsigned char>(s[n]))) {
    out = out * 10 + (s[n] - '0');
    ++n;
  }
  if (n == 0) return false;
  s.remove_prefix(n);
  return true;
}

bool validDate(int y, unsigned m, unsigned d) {
  return chr::year_month_day{chr::year{y}, chr::month{m}, chr::day{d}}.ok();
}

// "Fri, 25 Dec 2026 10:00:00 +0800": English names, the campus offset.
std::string rfc822(chr::sys_seconds local, int offsetMinutes) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const chr::sys_days day = chr::floor<chr::days>(local);
  const chr::year_month_day ymd{day};
  const chr::hh_mm_ss<chr::seconds> tod{local - day};
  const int off = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s, %02u %s %04d %02ld:%02ld:%02ld %c%02d%02d", kDays[chr::weekday{day}.c_encoding()],
                static_cast<unsigned>(ymd.day()), kMonths[static_cast<unsigned>(ymd.month()) - 1],
                static_cast<int>(ymd.year()), static_cast<long>(tod.hours().count()),
                static_cast<long>(tod.minutes().count()), static_cast<long>(tod.seconds().count()),
                offsetMinutes < 0 ? '-' : '+', off / 60, off % 60);
  return buf;
}

// "115/12/25": the Republic of China year (Western year − 1911), month, day.
std::string rocDate(chr::sys_seconds local) {
  const chr::year_month_day ymd{chr::floor<chr::days>(local)};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d/%02u/%02u", static_cast<int>(ymd.year()) - 1911,
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
  return buf;
}

// Reads one placeholder body; false when it is not a well-formed one.
bool evaluate(std::string_view expr, const CampusTime& t, std::string& out) {
  if (expr.substr(0, 5) == "base:") {
    if (!t.baseUrls) return false;
    auto it = t.baseUrls->find(std::string(expr.substr(5)));
    if (it == t.baseUrls->end()) return false;
    out = it->second;
    while (!out.empty() && out.back() == '/') out.pop_back();
    return true;
  }
  std::string_view pattern = "yyyy-MM-dd";
  if (auto bar = expr.find('|'); bar != std::string_view::npos) {
    pattern = expr.substr(bar + 1);
    expr = expr.substr(0, bar);
  }
  const chr::sys_seconds local =
      chr::floor<chr::seconds>(t.now) + chr::minutes(t.utcOffsetMinutes);
  const chr::sys_days localDay = chr::floor<chr::days>(local);
  chr::sys_seconds moment;

  if (expr.substr(0, 5) == "today") {
    moment = localDay;
    expr.remove_prefix(5);
  } else if (expr.substr(0, 3) == "now") {
    moment = local;
    expr.remove_prefix(3);
  } else if (expr.substr(0, 3) == "ay:") {
    // A month and day of the current academic year, which runs from
    // 1 August to 31 July.
    expr.remove_prefix(3);
    long long mm = 0, dd = 0;
    if (!readNumber(expr, mm, 2) || expr.empty() || expr[0] != '-') return false;
    expr.remove_prefix(1);
    if (!readNumber(expr, dd, 2)) return false;
    chr::year_month_day today{localDay};
    int startYear = static_cast<int>(today.year()) - (static_cast<unsigned>(today.month()) >= 8 ? 0 : 1);
    int year = mm >= 8 ? startYear : startYear + 1;
    if (!validDate(year, static_cast<unsigned>(mm), static_cast<unsigned>(dd))) return false;
    moment = chr::sys_days{chr::year{year} / chr::month{static_cast<unsigned>(mm)} / chr::day{static_cast<unsigned>(dd)}};
  } else {
    return false;
  }

  while (!expr.empty() && (expr[0] == '+' || expr[0] == '-')) {
    const bool minus = expr[0] == '-';
    expr.remove_prefix(1);
    long long n = 0;
    if (!readNumber(expr, n)) return false;
    char unit = 'd';
    if (!expr.empty() && (expr[0] == 'd' || expr[0] == 'h' || expr[0] == 'm')) {
      unit = expr[0];
      expr.remove_prefix(1);
    }
    chr::seconds delta = unit == 'd' ? chr::seconds(chr::days(n)) : unit == 'h' ? chr::seconds(chr::hours(n)) : chr::seconds(chr::minutes(n));
    moment += minus ? -delta : delta;
  }

  if (!expr.empty() && expr[0] == '@') {
    expr.remove_prefix(1);
    long long hh = 0, mi = 0, ss = 0;
    if (!readNumber(expr, hh, 2) || expr.empty() || expr[0] != ':') return false;
    expr.remove_prefix(1);
    if (!readNumber(expr, mi, 2)) return false;
    if (!expr.empty() && expr[0] == ':') {
      expr.remove_prefix(1);
      if (!readNumber(expr, ss, 2)) return false;
    }
    if (hh > 23 || mi > 59 || ss > 59) return false;
    moment = chr::floor<chr::days>(moment) + chr::hours(hh) + chr::minutes(mi) + chr::seconds(ss);
  }
  if (!expr.empty()) return false;
  if (pattern == "roc") out = rocDate(moment);
  else if (pattern == "rfc822") out = rfc822(moment, t.utcOffsetMinutes);
  else out = formatCampusDate(moment, pattern);
  return true;
}

void pad(std::string& out, long long v, size_t width) {
  std::string digits = std::to_string(v);
  if (digits.size() < width) out.append(width - digits.size(), '0');
  out += digits;
}

}  // namespace

std::string formatCampusDate(std::chrono::sys_seconds local, std::string_view pattern) {
  static const char* const kWeekdays[] = {"日", "一", "二", "三", "四", "五", "六"};
  const chr::sys_days day = chr::floor<chr::days>(local);
  const chr::year_month_day ymd{day};
  const chr::hh_mm_ss<chr::seconds> tod{local - day};
  const unsigned weekday = chr::weekday{day}.c_encoding();

  std::string out;
  size_t i = 0;
  while (i < pattern.size()) {
    const char c = pattern[i];
    if (c == '\'') {
      // Quoted text is copied; '' stands for one quote, inside or outside.
      size_t j = i + 1;
      if (j < pattern.size() && pattern[j] == '\'') {
        out += '\'';
        i = j + 1;
        continue;
      }
      while (j < pattern.size()) {
        if (pattern[j] == '\'') {
          if (j + 1 < pattern.size() && pattern[j + 1] == '\'') {
            out += '\'';
            j += 2;
            continue;
          }
          break;
        }
        out += pattern[j++];
      }
      i = j + 1;
      continue;
    }
    size_t run = 1;
    while (i + run < pattern.size() && pattern[i + run] == c) ++run;
    switch (c) {
      case 'y':
        if (run == 2) {
          pad(out, static_cast<int>(ymd.year()) % 100, 2);
        } else {
          pad(out, static_cast<int>(ymd.year()), run);
        }
        break;
      case 'M': pad(out, static_cast<unsigned>(ymd.month()), run); break;
      case 'd': pad(out, static_cast<unsigned>(ymd.day()), run); break;
      case 'H': pad(out, tod.hours().count(), run); break;
      case 'm': pad(out, tod.minutes().count(), run); break;
      case 's': pad(out, tod.seconds().count(), run); break;
      case 'E':
        if (run >= 4) out += "星期";
        out += kWeekdays[weekday];
        break;
      default: out.append(pattern.substr(i, run)); break;
    }
    i += run;
  }
  return out;
}

std::string fillPlaceholders(std::string_view text, const CampusTime& t) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (true) {
    size_t open = text.find("{{", pos);
    if (open == std::string_view::npos) break;
    size_t close = text.find("}}", open + 2);
    if (close == std::string_view::npos) break;
    std::string value;
    out.append(text.substr(pos, open - pos));
    if (evaluate(text.substr(open + 2, close - open - 2), t, value)) {
      out += value;
      pos = close + 2;
    } else {
      out.append("{{");  // not a placeholder: keep the text, look again after it
      pos = open + 2;
    }
  }
  out.append(text.substr(pos));
  return out;
}

std::string keyedValue(std::string_view value) {
  static const char* const kHex = "0123456789ABCDEF";
  std::string out;
  out.reserve(value.size());
  for (char ch : value) {
    const auto c = static_cast<unsigned char>(ch);
    if (c <= 0x20 || c >= 0x7F || c == '/' || c == '%') {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += ch;
    }
  }
  return out;
}

bool isSafeDataPath(std::string_view path) {
  if (path.empty() || path[0] != '/') return false;
  for (char c : path) {
    if (static_cast<unsigned char>(c) < 0x20 || c == '\\' || c == 0x7f) return false;
  }
  size_t start = 1;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    std::string_view seg = path.substr(start, end - start);
    if (seg == "." || seg == "..") return false;
    start = end + 1;
  }
  return true;
}

static std::string extensionOf(std::string_view path) {
  auto slash = path.rfind('/');
  auto dot = path.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  std::string ext(path.substr(dot + 1));
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

std::string contentTypeFor(std::string_view path) {
  const std::string ext = extensionOf(path);
  if (ext == "xml" || ext == "rss") return "text/xml; charset=utf-8";
  if (ext == "html" || ext == "htm" || ext == "aspx" || ext == "asp" || ext == "ashx" || ext == "jsp" ||
      ext == "php" || ext == "pl" || ext == "cgi")
    return "text/html; charset=utf-8";
  if (ext == "json") return "application/json";
  if (ext == "jpg" || ext == "jpeg") return "image/jpeg";
  if (ext == "png") return "image/png";
  if (ext == "gif") return "image/gif";
  if (ext == "pdf") return "application/pdf";
  if (ext == "plist") return "application/xml";
  if (ext == "css") return "text/css";
  if (ext == "js") return "application/javascript";
  if (ext == "txt" || ext.empty()) return "text/plain; charset=utf-8";
  return "application/octet-stream";
}

bool isTextDataFile(std::string_view path) {
  const std::string type = contentTypeFor(path);
  return type.rfind("text/", 0) == 0 || type == "application/json" || type == "application/xml";
}

DataStore::DataStore(std::string bundledDir, std::string overlayDir)
    : bundled_(std::move(bundledDir)), overlay_(std::move(overlayDir)) {}

// Reads the whole file straight into one string of its size (a large feed is
// not copied through a stream buffer).
static std::optional<std::string> readRegularFile(const std::filesystem::path& p) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(p, ec)) return std::nullopt;
  std::ifstream in(p, std::ios::binary);
  if (!in) return std::nullopt;
  const auto size = std::filesystem::file_size(p, ec);
  if (ec) return std::nullopt;
  std::string out(static_cast<size_t>(size), '\0');
  in.read(out.data(), static_cast<std::streamsize>(out.size()));
  out.resize(static_cast<size_t>(in.gcount()));
  // A file that grew since its size was read: the rest too.
  std::ostringstream rest;
  if (in.peek() != std::char_traits<char>::eof()) {
    rest << in.rdbuf();
    out += rest.str();
  }
  return out;
}

std::optional<std::string> DataStore::read(const std::string& folder, const std::string& path) const {
  if (!isSafeDataPath(path)) return std::nullopt;
  const std::string rel = folder + path;
  if (!overlay_.empty()) {
    if (auto s = readRegularFile(std::filesystem::path(overlay_) / rel)) return s;
  }
  return readRegularFile(std::filesystem::path(bundled_) / rel);
}

std::optional<std::string> DataStore::readTop(const std::string& name, bool overlay) const {
  const std::string& root = overlay ? overlay_ : bundled_;
  if (root.empty()) return std::nullopt;
  return readRegularFile(std::filesystem::path(root) / name);
}

}  // namespace yx::sim
