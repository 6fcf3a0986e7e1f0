#pragma once
// The search field at the top of a list screen: "searchField", filtering as
// the person types; the return key puts the keyboard away.

#include <functional>
#include <memory>
#include <string>

#include "platform/ui/view.h"

namespace yx {

// A field named "searchField" with the placeholder, stretching with its
// screen's width; `changed` hears the whole text after every edit.
std::shared_ptr<TextField> makeSearchField(Rect frame, const std::string& placeholder,
                                           std::function<void(const std::string& text)> changed);

}  // namespace yx
