#include "app/cli/features.h"

#include "academic/student/student.h"
#include "campus/info/campus_info.h"

namespace yx {

void registerAllFeatures() {
  // Each feature library adds its registration call here.
  registerCampusInfoScreens();
  registerStudentScreens();
}

}  // namespace yx
