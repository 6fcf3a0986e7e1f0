#pragma once
// Registers every feature's screens (by class name) and storyboards, so the
// Home menu can open them without the core depending on the features.

namespace yx {

void registerAllFeatures();

}  // namespace yx
