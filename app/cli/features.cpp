#include "app/cli/features.h"

namespace yx {

void registerAllFeatures() {
  // Each feature library adds its registration call here.
}

}  // namespace yx
