#pragma once
// The application delegate the front-ends launch.

#include <memory>

#include "platform/application.h"

namespace yx {

std::shared_ptr<ApplicationDelegate> makeApplicationDelegate();

}  // namespace yx
