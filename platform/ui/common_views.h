#pragma once
// Views many screens build the same way: a large spinner and a list table,
// each returned already added to its parent.

#include <memory>
#include <string>

#include "platform/ui/geometry.h"
#include "platform/ui/view.h"

namespace yx {

// Stays at the same distance from the middle of its parent as it grows.
inline constexpr unsigned kCentredMask = Autoresizing::FlexibleLeftMargin | Autoresizing::FlexibleRightMargin |
                                         Autoresizing::FlexibleTopMargin | Autoresizing::FlexibleBottomMargin;

// A large spinner (stopped) with that name, frame and mask, added to parent.
std::shared_ptr<ActivityIndicator> addSpinner(View& parent, Rect frame, const std::string& name,
                                              unsigned mask = kCentredMask);

// The full width of the 320 x 568 design from `top` down to `bottom`.
inline Rect areaBelow(double top, double bottom = kScreenHeight) { return Rect{0, top, kScreenWidth, bottom - top}; }

// A table with that name and frame, stretching with its parent (or with the
// given mask), added to parent; then its delegate and data source, where
// given (the data source last: setting it loads the rows).
std::shared_ptr<TableView> addTable(View& parent, Rect frame, const std::string& name,
                                    TableViewDataSource* source = nullptr, TableViewDelegate* delegate = nullptr,
                                    unsigned mask = Autoresizing::FlexibleSize);

}  // namespace yx
