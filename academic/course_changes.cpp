#include "academic/course_changes.h"

#include <libxml/tree.h>
#include <unicode/unistr.h>

#include <chrono>
#include <cstring>
#include <unordered_set>

#include "core/deployment.h"
#include "markup/dom.h"
#include "platform/dates.h"
#include "platform/http.h"
#include "platform/settings.h"

namespace yx {

// -------------------------------------------------------------------- feeds

namespace {

bool named(xmlNodePtr n, std::string_view name) {
  if (n->type != XML_ELEMENT_NODE || !n->name) return false;
  return std::string_view(reinterpret_cast<const char*>(n->name)) == name;
}

std::string textOf(xmlNodePtr n) {
  xmlChar* content = xmlNodeGetContent(n);
  std::string out = content ? reinterpret_cast<const char*>(content) : "";
  xmlFree(content);
  return out;
}

}  // namespace

std::optional<std::vector<CourseChange>> parseCourseChangeFeed(std::string_view bytes, std::string_view itemName) {
  auto doc = DomDocument::initWithData(bytes);
  if (!doc) return std::nullopt;
  std::vector<CourseChange> items;
  xmlNodePtr root = xmlDocGetRootElement(doc->XMLDocument());
  if (!root) return items;
  // The tree is walked directly: a feed of thousands of items is read in
  // about the time libxml2 takes to parse it.
  for (xmlNodePtr item = root->children; item; item = item->next) {
    if (!named(item, itemName)) continue;
    CourseChange c;
    bool seen[6] = {};
    struct Field {
      const char* name;
      std::string CourseChange::*member;
    };
    static const Field fields[] = {{"序號", &CourseChange::serial},     {"系級", &CourseChange::department},
                                   {"科目", &CourseChange::subject},    {"教師", &CourseChange::teacher},
                                   {"原始", &CourseChange::before},     {"異動", &CourseChange::after}};
    for (xmlNodePtr child = item->children; child; child = child->next) {
      if (child->type != XML_ELEMENT_NODE) continue;
      for (int f = 0; f < 6; ++f) {
        if (seen[f] || !named(child, fields[f].name)) continue;
        c.*(fields[f].member) = textOf(child);
        seen[f] = true;
        break;
      }
    }
    items.push_back(std::move(c));
  }
  return items;
}

std::optional<std::vector<CourseChange>> fetchCourseChangeFeed(const std::string& path, std::string_view itemName,
                                                               double timeoutSeconds) {
  std::string url;
  try {
    url = Deployment::current().url("campus_data", path);
  } catch (const DeploymentError&) {
    return std::nullopt;
  }
  HttpResult r = httpGet(url, timeoutSeconds);
  // An error page is no feed, however well-formed.
  if (!r.ok || r.status < 200 || r.status > 299) return std::nullopt;
  return parseCourseChangeFeed(r.body, itemName);
}

// ------------------------------------------------------------ user records

const ChangeUserKind& ChangeUserKind::student() {
  static const ChangeUserKind k{"學號",
                                "stuSubjectNoAry",
                                "stu_temp_allShowedSubjectAry",
                                "stu_temp_departmentAry",
                                "stu_temp_subjectNameAry",
                                "stu_temp_teacherNameAry",
                                "stu_temp_beforeDataAry",
                                "stu_temp_afterDataAry"};
  return k;
}

const ChangeUserKind& ChangeUserKind::teacher() {
  static const ChangeUserKind k{"teacherID",
                                "teacherSubjectNoAry",
                                "tea_temp_allShowedSubjectNoAry",
                                "tea_temp_departmentAry",
                                "tea_temp_subjectNameAry",
                                "tea_temp_teacherNameAry",
                                "tea_temp_beforeDataAry",
                                "tea_temp_afterDataAry"};
  return k;
}

std::optional<std::string> storedIdentity(const ChangeUserKind& kind) {
  auto v = Settings::standard().stringForKey(kind.identityKey);
  if (!v || v->empty()) return std::nullopt;
  return v;
}

std::optional<std::vector<std::string>> storedStringList(const std::string& key) {
  auto v = Settings::standard().objectForKey(key);
  if (!v || !v->isArray()) return std::nullopt;
  std::vector<std::string> out;
  out.reserve(v->size());
  for (const Value& item : v->asArray()) out.push_back(item.isString() ? item.asString() : std::string());
  return out;
}

std::optional<std::vector<std::string>> storedCourseNumbers(const ChangeUserKind& kind) {
  return storedStringList(kind.courseListKey);
}

const std::string& entryAt(const std::vector<std::string>& list, size_t i) {
  static const std::string empty;
  return i < list.size() ? list[i] : empty;
}

ChangeRecords::ChangeRecords(const ChangeUserKind& kind, std::string identity)
    : kind_(&kind), identity_(std::move(identity)) {}

ChangeRecords ChangeRecords::load(const ChangeUserKind& kind, const std::string& identity) {
  ChangeRecords r(kind, identity);
  if (auto seen = storedStringList(r.keyFor(kind.seenSuffix))) r.seen_ = std::move(*seen);
  r.seenSet_.insert(r.seen_.begin(), r.seen_.end());
  if (Settings::standard().objectForKey(r.keyFor(kind.departmentSuffix))) {
    auto list = [&](const std::string& suffix) { return storedStringList(r.keyFor(suffix)).value_or(std::vector<std::string>{}); };
    r.departments = list(kind.departmentSuffix);
    r.subjects = list(kind.subjectSuffix);
    r.teachers = list(kind.teacherSuffix);
    r.befores = list(kind.beforeSuffix);
    r.afters = list(kind.afterSuffix);
  }
  return r;
}

bool ChangeRecords::isSeen(const std::string& key) const { return seenSet_.count(key) != 0; }

void ChangeRecords::record(const CourseChange& c) {
  std::string key = c.key();
  if (seenSet_.insert(key).second) seen_.push_back(std::move(key));
  departments.push_back(c.department);
  subjects.push_back(c.subject);
  teachers.push_back(c.teacher);
  befores.push_back(c.before);
  afters.push_back(c.after);
}

void ChangeRecords::save() const {
  const ChangeUserKind& k = *kind_;
  Settings::standard().setObjects({{keyFor(k.seenSuffix), Value::stringArray(seen_)},
                                   {keyFor(k.departmentSuffix), Value::stringArray(departments)},
                                   {keyFor(k.subjectSuffix), Value::stringArray(subjects)},
                                   {keyFor(k.teacherSuffix), Value::stringArray(teachers)},
                                   {keyFor(k.beforeSuffix), Value::stringArray(befores)},
                                   {keyFor(k.afterSuffix), Value::stringArray(afters)}});
}

void ChangeRecords::clearLists() {
  const ChangeUserKind& k = *kind_;
  Settings::standard().setObjects({{keyFor(k.departmentSuffix), Value()},
                                   {keyFor(k.subjectSuffix), Value()},
                                   {keyFor(k.teacherSuffix), Value()},
                                   {keyFor(k.beforeSuffix), Value()},
                                   {keyFor(k.afterSuffix), Value()}});
  departments.clear();
  subjects.clear();
  teachers.clear();
  befores.clear();
  afters.clear();
}

void ChangeRecords::forgetSeen() {
  Settings::standard().removeObjectForKey(keyFor(kind_->seenSuffix));
  seen_.clear();
  seenSet_.clear();
}

// -------------------------------------------------------------------- dates

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "<year>-<month-day>" as the date texts are completed: a one-digit month
// (second character "-") gets a leading zero. The month-day text must then
// be one or two digits, "-", one or two digits, and a real day of that year.
std::optional<TimePoint> dateFromMonthDay(const std::string& monthDay, int year) {
  std::string md = monthDay.size() > 1 && monthDay[1] == '-' ? "0" + monthDay : monthDay;
  size_t dash = md.find('-');
  if (dash == std::string::npos || dash == 0 || dash > 2) return std::nullopt;
  std::string m = md.substr(0, dash), d = md.substr(dash + 1);
  if (d.empty() || d.size() > 2) return std::nullopt;
  for (char c : m + d)
    if (!isDigit(c)) return std::nullopt;
  std::chrono::year_month_day ymd{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(std::stoi(m))},
                                  std::chrono::day{static_cast<unsigned>(std::stoi(d))}};
  if (!ymd.ok()) return std::nullopt;
  return TimePoint(std::chrono::sys_days(ymd));
}

// A date text must start with a digit. (A leading zero is allowed: "0315"
// is 15 March; "0/5" still gives no date, month 0 being impossible.)
bool startsWithDigit(const std::string& text) { return !text.empty() && isDigit(text[0]); }

}  // namespace

int currentChangeYear() {
  std::string y = formatDate("yyyy", now());
  int year = 0;
  for (char c : y)
    if (isDigit(c)) year = year * 10 + (c - '0');
  return year;
}

std::optional<TimePoint> formerMeetingDate(const std::string& text, int year) {
  if (!startsWithDigit(text)) return std::nullopt;
  std::string md = text.substr(0, text.find('('));
  for (char& c : md)
    if (c == '/') c = '-';
  return dateFromMonthDay(md, year);
}

std::vector<TimePoint> changedMeetingDates(const std::string& text, int year) {
  std::vector<TimePoint> out;
  if (!startsWithDigit(text)) return out;
  icu::UnicodeString u = icu::UnicodeString::fromUTF8(text);
  std::string copy;
  for (int32_t i = 0; i < u.length(); ++i) {
    char low = static_cast<char>(u.charAt(i) & 0xFF);
    if (low == 0) break;
    copy += low;
  }
  const bool fourCharacters = u.length() == 4;
  size_t start = 0;
  while (start <= copy.size()) {
    size_t comma = copy.find(',', start);
    std::string part = copy.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    std::optional<TimePoint> d;
    if (part.find('/') != std::string::npos) {
      for (char& c : part)
        if (c == '/') c = '-';
      d = dateFromMonthDay(part, year);
    } else if (fourCharacters && part.size() == 4) {
      d = dateFromMonthDay(part.substr(0, 2) + "-" + part.substr(2), year);
    }
    if (d) out.push_back(*d);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return out;
}

// ------------------------------------------------------------------ notices

std::string changeNoticeText(const CourseChange& c) {
  return "課程異動：\n" + c.subject + " " + c.teacher + "\n" + c.before + "\n異動：" + c.after;
}

std::vector<TimePoint> ChangeNoticeSink::datesOf(const CourseChange& change) {
  int year = currentChangeYear();
  std::vector<TimePoint> dates;
  if (auto d = formerMeetingDate(change.before, year)) dates.push_back(*d);
  for (TimePoint d : changedMeetingDates(change.after, year)) dates.push_back(d);
  return dates;
}

void ChangeNoticeSink::notice(const std::string& text, TimePoint date, int index) {
  LocalNotification n;
  n.alertBody = text;
  n.soundName = "default";
  n.badgeNumber = -1;
  if (index == 0) now_.push_back(n);
  double seconds = std::chrono::duration<double>(date.time_since_epoch()).count();
  n.fireDate = seconds - kFirstReminderSeconds;
  later_.push_back(n);
  n.fireDate = seconds - kLastReminderSeconds;
  later_.push_back(n);
}

void ChangeNoticeSink::flush() {
  auto& app = Application::shared();
  if (!later_.empty()) app.scheduleLocalNotifications(std::move(later_));
  later_.clear();
  auto now = std::move(now_);
  now_.clear();
  for (auto& n : now) app.presentLocalNotificationNow(std::move(n));
}

size_t announceNewChanges(const std::vector<CourseChange>& items, const std::vector<std::string>& courses,
                          ChangeRecords& records, ChangeNoticeSink& sink) {
  std::unordered_set<std::string> mine(courses.begin(), courses.end());
  size_t announced = 0;
  for (const CourseChange& c : items) {
    if (!mine.count(c.serial) || records.isSeen(c.key())) continue;
    records.record(c);
    std::vector<TimePoint> dates = sink.datesOf(c);
    std::string text = changeNoticeText(c);
    for (size_t i = 0; i < dates.size(); ++i) sink.notice(text, dates[i], static_cast<int>(i));
    sink.flush();
    records.save();
    ++announced;
  }
  return announced;
}

std::vector<CourseChange> changesForCourses(const std::vector<CourseChange>& items,
                                            const std::vector<std::string>& courses) {
  std::unordered_set<std::string> mine(courses.begin(), courses.end());
  std::vector<CourseChange> out;
  for (const CourseChange& c : items)
    if (mine.count(c.serial)) out.push_back(c);
  return out;
}

bool resetAtSemesterStart(ChangeRecords& records) {
  std::string today = formatDate("MM-dd", now());
  if (today != "08-01" && today != "02-01") return false;
  records.forgetSeen();
  Settings::standard().removeObjectForKey(kTemporaryOpenedFlag);
  return true;
}

}  // namespace yx
