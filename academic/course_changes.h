#pragma once
// Course changes and make-up classes: the one mechanism the student screens,
// the teacher screens and the background refresh share.
//
// The Campus data server publishes two feeds of the same shape: the root's
// children named "lve_reg" (temporary changes, "/data/xml/lve_reg.xml") or
// "crs_chg" (whole-semester changes, "/data/xml/crs_chg.xml"), each with the
// children 序號 (course serial number), 系級, 科目, 教師, 原始 (the former
// meeting) and 異動 (the changed meeting). A temporary change concerns a user
// when its serial number is one of the user's course numbers; it is announced
// once per user: its key (原始 followed by 異動) joins the user's seen-set and
// its texts join the user's five lists, all kept in the settings store under
// the user's number followed by a fixed suffix. Students and teachers differ
// only in those names (`ChangeUserKind`).

#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "platform/application.h"
#include "platform/runloop.h"

namespace yx {

inline constexpr const char* kTemporaryChangesPath = "/data/xml/lve_reg.xml";
inline constexpr const char* kSemesterChangesPath = "/data/xml/crs_chg.xml";
inline constexpr const char* kTemporaryItem = "lve_reg";
inline constexpr const char* kSemesterItem = "crs_chg";
// The flag shared by students and teachers: "NO" while recorded temporary
// changes wait to be opened, "YES" once the temporary screen was opened.
inline constexpr const char* kTemporaryOpenedFlag = "是否有進入暫時";

// One change item of either feed.
struct CourseChange {
  std::string serial;      // 序號
  std::string department;  // 系級
  std::string subject;     // 科目
  std::string teacher;     // 教師
  std::string before;      // 原始
  std::string after;       // 異動
  // The change key: the former meeting followed directly by the changed one.
  // It holds no course number, so one move of two classes is one change.
  std::string key() const { return before + after; }
};

// The items named `itemName` among the root's children, in document order;
// each field is the text of the first child of that name ("" when missing).
// Nothing when the bytes are not a well-formed document.
std::optional<std::vector<CourseChange>> parseCourseChangeFeed(std::string_view bytes,
                                                               std::string_view itemName);

// GETs a feed of the Campus data server (path as above) and parses it. An
// unreachable server, a status other than 2xx or a malformed body: nothing.
std::optional<std::vector<CourseChange>> fetchCourseChangeFeed(const std::string& path,
                                                               std::string_view itemName,
                                                               double timeoutSeconds = 60);

// What differs between the student's and the teacher's records.
struct ChangeUserKind {
  std::string identityKey;    // "學號" / "teacherID"
  std::string courseListKey;  // "stuSubjectNoAry" / "teacherSubjectNoAry"
  std::string seenSuffix;
  // 系級, 科目, 教師, 原始, 異動
  std::string departmentSuffix, subjectSuffix, teacherSuffix, beforeSuffix, afterSuffix;

  static const ChangeUserKind& student();
  static const ChangeUserKind& teacher();
};

// The signed-in user's number of that kind: nothing when absent, empty or
// not a string (no per-user key can then be made).
std::optional<std::string> storedIdentity(const ChangeUserKind& kind);
// The user's course numbers: nothing when the key is absent or not an array;
// entries that are not strings read as "".
std::optional<std::vector<std::string>> storedCourseNumbers(const ChangeUserKind& kind);

// One user's seen-set and five parallel lists, as kept in the settings store.
// Stored lists may be of unequal length or hold other values than strings:
// such entries read as "" and a missing entry is "" too.
class ChangeRecords {
public:
  ChangeRecords(const ChangeUserKind& kind, std::string identity);
  // Reads the seen-set (empty when absent) and, when the department list is
  // stored, all five lists (else five empty lists).
  static ChangeRecords load(const ChangeUserKind& kind, const std::string& identity);

  const ChangeUserKind& kind() const { return *kind_; }
  const std::string& identity() const { return identity_; }
  std::string keyFor(const std::string& suffix) const { return identity_ + suffix; }

  bool isSeen(const std::string& key) const;
  const std::vector<std::string>& seen() const { return seen_; }
  // Adds the change's key to the seen-set and its texts to the five lists.
  void record(const CourseChange& change);
  // Writes the seen-set and the five lists (one write of the store).
  void save() const;
  // Removes the five list keys (the seen-set stays) and empties the lists.
  void clearLists();
  // Removes the seen-set key and empties the seen-set.
  void forgetSeen();

  // Entries of the five lists; the row count is the department list's length.
  size_t count() const { return departments.size(); }
  std::vector<std::string> departments, subjects, teachers, befores, afters;

private:
  const ChangeUserKind* kind_;
  std::string identity_;
  std::vector<std::string> seen_;
  std::unordered_set<std::string> seenSet_;  // for lookups
};

// Reads a stored array of strings: nothing when absent or not an array;
// non-string entries read as "".
std::optional<std::vector<std::string>> storedStringList(const std::string& key);
// Entry i of a list, "" past its end.
const std::string& entryAt(const std::vector<std::string>& list, size_t i);

// ------------------------------------------------------------------- dates

// The calendar year of now in the device's time zone (the year a month/day
// text is read in; January dates read in December stay in this year).
int currentChangeYear();
// The date of the former meeting: the month/day before the first "(" (one
// or two digits each), midnight UTC of that day in `year`. None when the text
// does not start with a digit or the date is impossible.
std::optional<TimePoint> formerMeetingDate(const std::string& text, int year);
// The dates of the changed meeting: its text reduced to the low eight bits of
// each UTF-16 unit up to the first unit whose low eight bits are zero, split
// at ","; each part holding "/" is a month/day, and a text of exactly four
// characters without "/" is MMDD. Impossible dates give none.
std::vector<TimePoint> changedMeetingDates(const std::string& text, int year);

// ---------------------------------------------------------------- notices

// "課程異動：\n<科目> <教師>\n<原始>\n異動：<異動>"
std::string changeNoticeText(const CourseChange& change);

inline constexpr double kFirstReminderSeconds = 244800;  // 68 hours before
inline constexpr double kLastReminderSeconds = 3600;     // 1 hour before

// Collects the notifications of one change and hands them to the
// application in one step: the reminders are scheduled (and saved once)
// before the at-once notice is presented, so whatever the caller stores
// after flush() never outlives the reminders.
class ChangeNoticeSink {
public:
  virtual ~ChangeNoticeSink() = default;
  // The change's dates: the former meeting's, then the changed meeting's.
  virtual std::vector<TimePoint> datesOf(const CourseChange& change);
  // The notifications for one date: at once when index is 0, then reminders
  // 68 hours and 1 hour before the date (past ones as they are).
  virtual void notice(const std::string& text, TimePoint date, int index);
  virtual void flush();

private:
  std::vector<LocalNotification> now_, later_;
};

// The refresh step shared by every path: for each item in feed order whose
// serial is one of `courses` and whose key is not yet seen, records it,
// raises its notices through `sink` (once per derived date, in order) and
// saves the records. Returns the number of changes announced.
size_t announceNewChanges(const std::vector<CourseChange>& items, const std::vector<std::string>& courses,
                          ChangeRecords& records, ChangeNoticeSink& sink);

// The semester screens' rule: the items whose serial is one of `courses`.
std::vector<CourseChange> changesForCourses(const std::vector<CourseChange>& items,
                                            const std::vector<std::string>& courses);

// On 1 August and 1 February (the start of a semester, "MM-dd" of today)
// every change is announced anew: the seen-set and the flag are removed.
// True when it reset.
bool resetAtSemesterStart(ChangeRecords& records);

}  // namespace yx
