#pragma once
// The library: registers the storyboard "library" (its first screen is the
// Library menu) and its transitions.

namespace yx {

void registerLibraryScreens();

}  // namespace yx
