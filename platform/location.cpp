#include "platform/location.h"

#include "platform/runloop.h"

namespace yx {

Location& Location::shared() {
  static Location* l = new Location();
  return *l;
}

void Location::setCoordinate(std::optional<Coordinate> c) {
  std::lock_guard<std::mutex> lock(mu_);
  coord_ = c;
}

std::optional<Coordinate> Location::coordinate() const {
  std::lock_guard<std::mutex> lock(mu_);
  return coord_;
}

void Location::requestFix(std::function<void(Coordinate)> onFix, std::function<void()> onFailure) {
  auto c = coordinate();
  RunLoop::main().post([c, onFix = std::move(onFix), onFailure = std::move(onFailure)] {
    if (c) {
      if (onFix) onFix(*c);
    } else if (onFailure) {
      onFailure();
    }
  });
}

}  // namespace yx
