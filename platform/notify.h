#pragma once
// Named process notifications, delivered synchronously on the posting thread.

#include <any>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace yx {

struct Notification {
  std::string name;
  const void* sender = nullptr;  // the posting object, compared by identity
  std::any object;               // optional payload
};

class NotificationCenter {
public:
  using ObserverId = std::uint64_t;
  static NotificationCenter& defaultCenter();

  // owner lets an object remove all of its observers at once.
  ObserverId addObserver(const std::string& name, std::function<void(const Notification&)> fn,
                         const void* owner = nullptr);
  void removeObserver(ObserverId id);
  void removeObserversOwnedBy(const void* owner);
  void post(const std::string& name, const void* sender = nullptr, std::any object = {});

  // Every notification posted, in order (the text driver and tests read it).
  std::vector<std::string> postedNames() const;
  void reset();

private:
  struct Entry {
    ObserverId id;
    std::string name;
    const void* owner;
    std::function<void(const Notification&)> fn;
  };
  mutable std::mutex mu_;
  std::vector<Entry> entries_;
  std::vector<std::string> posted_;
  ObserverId next_ = 1;
};

}  // namespace yx
