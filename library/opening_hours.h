#pragma once
// The library's Opening-hours document: closed days and the opening hours of
// each building in term time and in the winter and summer vacations.
//
// The root element's "Item" children, in document order, each with "Term",
// "Period", "Hour", "Building" and "Weekday" (a missing child is empty
// text). Term "休館日" is a closed day (Period the date, Hour its name);
// "學期中", "寒假" and "暑假" are opening hours of one building.

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace yx::library {

// The hours of one building within one term: three parallel lists, one
// entry per Item.
struct BuildingGroup {
  std::string build;
  std::vector<std::string> hour, week, period;
};

// term -> its building groups in document order
using OpenHoursByTerm = std::map<std::string, std::vector<BuildingGroup>>;

struct OpeningHours {
  bool parsed = false;  // false when the document was not XML
  std::vector<std::string> closeDates, closeNames;
  OpenHoursByTerm open;

  // Consecutive Items of the same term and building form one group; a
  // building that comes back after another (or after another term) starts
  // a new group of its term. Each term's list is made once, so a term that
  // comes back keeps its earlier groups.
  static OpeningHours parse(std::string_view bytes);

  // The menu rows: "休館日" when there are closed days, "學期中開放時間"
  // always, "寒假開放時間" and "暑假開放時間" when those terms occur.
  // None when the document was not XML.
  std::vector<std::string> menuRows() const;
};

// The term a menu row opens ("學期中開放時間" -> "學期中"); "" for others.
std::string termForRow(const std::string& row);

}  // namespace yx::library
