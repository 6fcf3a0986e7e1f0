#include "app/cli/features.h"

#include "academic/changes/student_changes.h"
#include "academic/student/student.h"
#include "academic/teacher/teacher.h"
#include "campus/info/campus_guide.h"
#include "campus/info/campus_info.h"
#include "campus/newspaper/newspaper.h"
#include "library/library.h"
#include "campus/weather_transport/weather_transport.h"
#include "phone/phone.h"

namespace yx {

void registerAllFeatures() {
  // Each feature library adds its registration call here.
  registerCampusInfoScreens();
  registerNewspaperScreens();
  registerLibraryScreens();
  registerStudentScreens();
  registerStudentChangeScreens();  // after the Student menu's own segues
  registerTeacherScreens();
  registerCampusGuideScreens();
  registerWeatherTransportScreens();
  registerPhoneScreens();
}

}  // namespace yx
