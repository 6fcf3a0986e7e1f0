#pragma once
// The Call record: which numbers were called, how often, when, and the owner
// of each number, kept in the settings store and written on every call from
// the directory, the number pad and the frequent list.
//
//   "schoolCallDic1"  number -> owner name (last one wins)
//   "schoolCallDic2"  number -> how many calls, as decimal text
//   "callTime_Phone"  the numbers called, oldest first
//   "callTime_Time"   the time of each call, "yyyy/MM/dd HH:mm"
//   "callDepartment", "callNumber"  owner and number of the last call (what
//                     the call usage report sends)
//
// A call is stored with one write of the settings file, however many keys it
// changes. Stored values of an unexpected shape (a list where a dictionary
// belongs, numbers where texts belong, lists of unequal length) are read as
// well as they can be and never stop a call.

#include <optional>
#include <string>
#include <vector>

#include "platform/plist_value.h"

namespace yx::phone {

class CallRecord {
public:
  // As the directory and the number pad load it: when "schoolCallDic1" is
  // absent both dictionaries start empty; an absent list starts empty.
  static CallRecord loadForCalling();
  // As the frequent-numbers screen loads it: an absent dictionary stays
  // absent (no owners, no counts); an absent list is empty.
  static CallRecord loadAsStored();

  bool hasNames() const { return names_.isDictionary(); }
  bool hasCounts() const { return counts_.isDictionary(); }
  // The owner stored for a number; nothing when there is none.
  std::optional<std::string> nameFor(const std::string& number) const;
  // The count stored for a number read as an integer (text that is no
  // number counts 0); nothing when the number has no count.
  std::optional<int> countFor(const std::string& number) const;
  // The stored count text (as shown in the ranking).
  std::string countTextFor(const std::string& number) const;
  // Numbers that have a count, highest count first (equal counts keep the
  // order in which the numbers were first called).
  std::vector<std::string> ranking() const;

  // The call list, oldest first. Entries that are not texts read as "".
  size_t phoneCount() const { return phones_.size(); }
  size_t timeCount() const { return times_.size(); }
  std::string phoneAt(size_t i) const;
  std::string timeAt(size_t i) const;

  // The three ways of calling. Each hands "sip:<number>" to the softphone,
  // appends the call, updates the owner and count as its screen does, stores
  // its keys with one write and starts the call usage report.
  // A directory extension: the owner is the unit's line name; flushed.
  void callFromDirectory(const std::string& number, const std::string& owner);
  // A typed number: the owner is " " (nobody); not flushed explicitly.
  void callTyped(const std::string& number);
  // A redial from the frequent list: the owner is read, not written; the
  // count rises only for a number that has one; flushed.
  void redial(const std::string& number);

  // Forgets the four collections in the store (owner and number of the last
  // call stay) and empties the call list in memory.
  void clearStored();

private:
  void appendCall(const std::string& number);
  void countCall(const std::string& number);
  Value names_, counts_, phones_ = Value::array(), times_ = Value::array();
};

}  // namespace yx::phone
