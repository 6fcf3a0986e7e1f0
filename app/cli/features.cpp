#include "app/cli/features.h"

#include "campus/info/campus_info.h"
#include "campus/newspaper/newspaper.h"

namespace yx {

void registerAllFeatures() {
  // Each feature library adds its registration call here.
  registerCampusInfoScreens();
  registerNewspaperScreens();
}

}  // namespace yx
