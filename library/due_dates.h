#pragma once
// How close a loan's due date is: overdue, due within the next three days
// (today included), or not yet due.

#include <string>
#include <string_view>

#include "platform/runloop.h"

namespace yx::library {

enum class DueBand { Overdue, DueSoon, NotDue };

// The band's word as the borrowed list names it: "逾期", "差三天", "未到期".
const char* bandWord(DueBand band);

// Today in the device's time zone, worked out once for a whole list.
struct Today {
  long long number = 0;  // yyyyMMdd read as a number
  long long day = 0;     // days since 1970-01-01
};
Today todayAt(TimePoint t);

// The band of a due-date text. With every "-" removed, a text that starts
// with a real calendar date yyyyMMdd is compared in calendar days from
// today: before today is overdue, today and the next two days are due soon.
// Any other text keeps the plain number rule: its leading digits (after
// blanks and a sign, saturating instead of overflowing; none read as 0)
// compared with today's yyyyMMdd number, due soon when less than 3 ahead.
DueBand dueBand(std::string_view dueDate, const Today& today);

}  // namespace yx::library
