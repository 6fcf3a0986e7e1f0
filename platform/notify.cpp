#include "platform/notify.h"

#include <algorithm>

namespace yx {

NotificationCenter& NotificationCenter::defaultCenter() {
  static NotificationCenter* center = new NotificationCenter();
  return *center;
}

NotificationCenter::ObserverId NotificationCenter::addObserver(
    const std::string& name, std::function<void(const Notification&)> fn, const void* owner) {
  std::lock_guard<std::mutex> lock(mu_);
  ObserverId id = next_++;
  entries_.push_back({id, name, owner, std::move(fn)});
  return id;
}

void NotificationCenter::removeObserver(ObserverId id) {
  std::lock_guard<std::mutex> lock(mu_);
  std::erase_if(entries_, [&](const Entry& e) { return e.id == id; });
}

void NotificationCenter::removeObserversOwnedBy(const void* owner) {
  if (!owner) return;
  std::lock_guard<std::mutex> lock(mu_);
  std::erase_if(entries_, [&](const Entry& e) { return e.owner == owner; });
}

void NotificationCenter::post(const std::string& name, const void* sender, std::any object) {
  std::vector<std::pair<ObserverId, std::function<void(const Notification&)>>> targets;
  {
    std::lock_guard<std::mutex> lock(mu_);
    posted_.push_back(name);
    for (auto& e : entries_)
      if (e.name == name) targets.emplace_back(e.id, e.fn);
  }
  Notification n{name, sender, std::move(object)};
  for (auto& target : targets) {
    const ObserverId id = target.first;
    // An observer removed by an earlier one in this delivery is skipped.
    bool live;
    {
      std::lock_guard<std::mutex> lock(mu_);
      live = std::any_of(entries_.begin(), entries_.end(), [&](const Entry& e) { return e.id == id; });
    }
    if (live) target.second(n);
  }
}

std::vector<std::string> NotificationCenter::postedNames() const {
  std::lock_guard<std::mutex> lock(mu_);
  return posted_;
}

void NotificationCenter::reset() {
  std::lock_guard<std::mutex> lock(mu_);
  entries_.clear();
  posted_.clear();
}

}  // namespace yx
