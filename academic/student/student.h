#pragma once
// Student services: registers the "student" storyboard (the Student menu),
// its sign-in forms and result screens.

namespace yx {

void registerStudentScreens();

}  // namespace yx
