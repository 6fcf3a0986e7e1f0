#include "library/opening_hours.h"

#include "markup/dom.h"

namespace yx::library {

namespace {

std::string child(const DomElement& item, const std::string& name) {
  auto found = item.elementsForName(name);
  if (!found || found->empty()) return {};
  return (*found)[0]->stringValue().value_or("");
}

bool isOpeningTerm(const std::string& term) { return term == "學期中" || term == "寒假" || term == "暑假"; }

}  // namespace

OpeningHours OpeningHours::parse(std::string_view bytes) {
  OpeningHours out;
  auto doc = DomDocument::initWithData(bytes);
  if (!doc) return out;
  out.parsed = true;
  auto root = doc->rootElement();
  if (!root) return out;
  auto items = root->elementsForName("Item");
  if (!items) return out;

  // The term and building of the group the previous opening-hours Item
  // went into; closed days in between do not split a group.
  std::string lastTerm, lastBuilding;
  bool haveGroup = false;
  for (const auto& node : *items) {
    auto item = node->asElement();
    if (!item) continue;
    std::string term = child(*item, "Term"), period = child(*item, "Period"), hour = child(*item, "Hour"),
                building = child(*item, "Building"), weekday = child(*item, "Weekday");
    if (term == "休館日") {
      out.closeDates.push_back(period);
      out.closeNames.push_back(hour);
      continue;
    }
    if (!isOpeningTerm(term)) continue;
    auto& groups = out.open[term];
    if (!haveGroup || term != lastTerm || building != lastBuilding || groups.empty()) {
      groups.push_back(BuildingGroup{building, {}, {}, {}});
      lastTerm = term;
      lastBuilding = building;
      haveGroup = true;
    }
    BuildingGroup& g = groups.back();
    g.hour.push_back(hour);
    g.period.push_back(period);
    g.week.push_back(weekday);
  }
  return out;
}

std::vector<std::string> OpeningHours::menuRows() const {
  std::vector<std::string> rows;
  if (!parsed) return rows;
  if (!closeDates.empty()) rows.push_back("休館日");
  rows.push_back("學期中開放時間");
  if (open.count("寒假")) rows.push_back("寒假開放時間");
  if (open.count("暑假")) rows.push_back("暑假開放時間");
  return rows;
}

std::string termForRow(const std::string& row) {
  if (row == "學期中開放時間") return "學期中";
  if (row == "寒假開放時間") return "寒假";
  if (row == "暑假開放時間") return "暑假";
  return {};
}

}  // namespace yx::library
