#pragma once
// The device's location. Until a real provider exists, the position comes
// from the deployment settings (or a stand-in set by tests and the driver).

#include <functional>
#include <mutex>
#include <optional>

namespace yx {

struct Coordinate {
  double latitude = 0;
  double longitude = 0;
  bool operator==(const Coordinate&) const = default;
};

class Location {
public:
  static Location& shared();

  // The configured position; nothing makes every request fail.
  void setCoordinate(std::optional<Coordinate> c);
  std::optional<Coordinate> coordinate() const;

  // Asks for one fix. The answer arrives on the main queue: onFix with the
  // position, or onFailure when none is known.
  void requestFix(std::function<void(Coordinate)> onFix, std::function<void()> onFailure = {});

private:
  mutable std::mutex mu_;
  std::optional<Coordinate> coord_;
};

}  // namespace yx
