#pragma once
// The image loader: fetches one picture URL away from the main thread,
// decodes it, and calls a success or a failure action on the main queue.
// Nothing is cached: every call fetches again.
//
// Fetches run on a bounded pool of workers (kWorkers), never a thread per
// picture, and count as background work while in flight, so the virtual
// clock's `wait` and Background::drain() deliver their results. Decoding
// refuses pictures above kMaxPixels from their header, before allocating.
//
// Every request names an owner (weakly): when the owner is gone before the
// fetch starts, nothing is fetched; when it is gone by the time the result
// arrives, the result is dropped. loadImageInto() goes one step further for
// views: a result is applied only while the view still waits for that very
// request, so a view given another picture or another request since (a cell
// showing another row) never shows a late answer.

#include <functional>
#include <memory>
#include <string>

#include "platform/image.h"
#include "platform/ui/view.h"

namespace yx {

class ImageLoader {
public:
  static constexpr int kWorkers = 6;
  // About 16 million pixels: a 4096 x 4096 photo decodes, a hostile
  // 30000 x 30000 header is refused.
  static constexpr long long kMaxPixels = 4096LL * 4096;

  using Success = std::function<void(const Image&)>;
  using Failure = std::function<void()>;

  // Fetches `url` (GET, 60-second time-out) and decodes it. On the main
  // queue: success with the picture when the answer decodes (whatever its
  // status), failure when it could not be fetched or decoded. Neither runs
  // when `owner` has expired by then.
  static void load(const std::string& url, std::weak_ptr<const void> owner, Success success, Failure failure);

  // Requests started so far and the most that were in flight at once
  // (tests and benchmarks).
  static long long started();
  static int peakInFlight();
  static void resetCounters();
};

// Shows the picture at `url` in an image view or as a button's foreground
// image once it arrives; on failure calls onFailure(view) (a placeholder, or
// nothing). Both only while the view lives and still awaits this request.
void loadImageInto(const std::shared_ptr<ImageView>& view, const std::string& url,
                   std::function<void(ImageView&)> onFailure = {});
void loadImageInto(const std::shared_ptr<Button>& button, const std::string& url,
                   std::function<void(Button&)> onFailure = {});

}  // namespace yx
