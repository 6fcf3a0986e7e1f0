#pragma once
// The campus newspaper: registers the storyboard "wynTimes" (the newspaper
// menu the Home menu opens), its screens and the segues between them.

namespace yx {

void registerNewspaperScreens();

}  // namespace yx
