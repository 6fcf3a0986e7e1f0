#include "app/cli/features.h"

#include "campus/info/campus_info.h"
#include "phone/phone.h"

namespace yx {

void registerAllFeatures() {
  // Each feature library adds its registration call here.
  registerCampusInfoScreens();
  registerPhoneScreens();
}

}  // namespace yx
