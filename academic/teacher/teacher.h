#pragma once
// Teacher services: registers the "teacher" storyboard (the Teacher menu),
// its sign-in form, the course list, the rosters and the course changes.

namespace yx {

void registerTeacherScreens();

}  // namespace yx
