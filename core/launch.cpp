#include "core/launch.h"

#include "core/app_delegate.h"

namespace yx {

std::shared_ptr<ApplicationDelegate> makeApplicationDelegate() { return std::make_shared<corvaleAppDelegate>(); }

}  // namespace yx
