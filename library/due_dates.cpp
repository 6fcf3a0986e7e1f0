#include "library/due_dates.h"

#include <chrono>
#include <climits>

#include "platform/dates.h"

namespace yx::library {

const char* bandWord(DueBand band) {
  switch (band) {
    case DueBand::Overdue: return "逾期";
    case DueBand::DueSoon: return "差三天";
    case DueBand::NotDue: break;
  }
  return "未到期";
}

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Days since 1970-01-01 of yyyyMMdd, or nothing when it is no real date.
std::optional<long long> civilDay(long long y, long long m, long long d) {
  using namespace std::chrono;
  year_month_day ymd{year{static_cast<int>(y)}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
  if (!ymd.ok()) return std::nullopt;
  return sys_days{ymd}.time_since_epoch().count();
}

// The first eight characters as a calendar date, when they are one.
std::optional<long long> leadingCalendarDay(const std::string& text) {
  if (text.size() < 8) return std::nullopt;
  for (int i = 0; i < 8; ++i)
    if (!isDigit(text[static_cast<size_t>(i)])) return std::nullopt;
  auto num = [&](size_t from, size_t n) {
    long long v = 0;
    for (size_t i = from; i < from + n; ++i) v = v * 10 + (text[i] - '0');
    return v;
  };
  return civilDay(num(0, 4), num(4, 2), num(6, 2));
}

// Leading blanks, an optional sign, then digits; saturates at the limits.
long long leadingNumber(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long v = 0;
  for (; i < text.size() && isDigit(text[i]); ++i) {
    int digit = text[i] - '0';
    if (!negative) {
      v = v > (LLONG_MAX - digit) / 10 ? LLONG_MAX : v * 10 + digit;
    } else {
      v = v < (LLONG_MIN + digit) / 10 ? LLONG_MIN : v * 10 - digit;
    }
  }
  return v;
}

}  // namespace

Today todayAt(TimePoint t) {
  Today today;
  std::string text = formatDate("yyyyMMdd", t);
  today.number = leadingNumber(text);
  today.day = leadingCalendarDay(text).value_or(0);
  return today;
}

DueBand dueBand(std::string_view dueDate, const Today& today) {
  std::string digits;
  digits.reserve(dueDate.size());
  for (char c : dueDate)
    if (c != '-') digits += c;
  if (auto day = leadingCalendarDay(digits)) {
    long long diff = *day - today.day;
    if (diff < 0) return DueBand::Overdue;
    return diff < 3 ? DueBand::DueSoon : DueBand::NotDue;
  }
  long long due = leadingNumber(digits);
  if (due < today.number) return DueBand::Overdue;
  // due >= today here, and today is a small positive number: no overflow.
  return due - today.number < 3 ? DueBand::DueSoon : DueBand::NotDue;
}

}  // namespace yx::library
