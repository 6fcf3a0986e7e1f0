#pragma once
// What the campus guide screens (today's messages, the calendar, the map, the
// buildings, the cameras) share: reading a document column by column, and
// the count bar at the bottom of their lists.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "markup/dom.h"
#include "platform/ui/view_controller.h"

namespace yx {

// Every element named `item` directly under the root (whatever the root's
// name), in document order: for each of `fields`, the whole text of the
// item's first child element of that name, "" when it has none. One column
// per field, each as long as the number of items.
std::vector<std::vector<std::string>> readItemColumns(const DomDocument& doc, const std::string& item,
                                                      const std::vector<std::string>& fields);

// The 30-point bar at the bottom of a guide list holding the count label
// "countLbl"; the list's table ends where it starts.
inline constexpr double kCountBarTop = 538;
std::shared_ptr<Label> addCountBar(ViewController& vc);

}  // namespace yx
