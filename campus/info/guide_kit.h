#pragma once
// What the campus guide screens (today's messages, the calendar, the map, the
// buildings, the cameras) share: a blocking XML fetch read column by column,
// the count text, and the parts every one of their screens lays out alike.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "markup/dom.h"
#include "platform/ui/common_views.h"
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
