#include "platform/image_loader.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/http.h"
#include "platform/runloop.h"

namespace yx {

namespace {

struct Job {
  std::string url;
  std::weak_ptr<const void> owner;
  ImageLoader::Success success;
  ImageLoader::Failure failure;
  // Counts the request as background work until its result is on the main queue.
  std::unique_ptr<Background::Token> token;
};

// A fixed number of detached workers taking jobs in order. The pool lives
// for the whole process (never destroyed, so no worker outlives it).
class Pool {
public:
  static Pool& shared() {
    static Pool* pool = new Pool;
    return *pool;
  }

  void submit(Job job) {
    std::lock_guard<std::mutex> lock(mu_);
    ++started_;
    queue_.push_back(std::move(job));
    if (idle_ == 0 && threads_ < ImageLoader::kWorkers) {
      ++threads_;
      std::thread([this] { work(); }).detach();
    } else {
      cv_.notify_one();
    }
  }

  long long started() {
    std::lock_guard<std::mutex> lock(mu_);
    return started_;
  }
  int peak() {
    std::lock_guard<std::mutex> lock(mu_);
    return peak_;
  }
  void resetCounters() {
    std::lock_guard<std::mutex> lock(mu_);
    started_ = 0;
    peak_ = running_;
  }

private:
  void work() {
    for (;;) {
      Job job;
      {
        std::unique_lock<std::mutex> lock(mu_);
        ++idle_;
        cv_.wait(lock, [this] { return !queue_.empty(); });
        --idle_;
        job = std::move(queue_.front());
        queue_.pop_front();
        ++running_;
        peak_ = std::max(peak_, running_);
      }
      run(job);
      {
        std::lock_guard<std::mutex> lock(mu_);
        --running_;
      }
      job = Job{};  // ends the background work after the result was posted
    }
  }

  static void run(Job& job) {
    // Nobody is left to show the picture: do not fetch it. The actions are
    // still let go on the main thread, where whatever they hold belongs.
    if (job.owner.expired()) {
      RunLoop::main().post([success = std::move(job.success), failure = std::move(job.failure)] {});
      return;
    }
    HttpResult r = httpGet(job.url, 60);
    Image image;
    if (r.ok) image = Image::fromShared(std::make_shared<const std::string>(std::move(r.body)), ImageLoader::kMaxPixels);
    RunLoop::main().post([owner = std::move(job.owner), success = std::move(job.success),
                          failure = std::move(job.failure), image = std::move(image)] {
      if (owner.expired()) return;
      if (!image.empty()) {
        if (success) success(image);
      } else if (failure) {
        failure();
      }
    });
  }

  std::mutex mu_;
  std::condition_variable cv_;
  std::deque<Job> queue_;
  int threads_ = 0, idle_ = 0, running_ = 0, peak_ = 0;
  long long started_ = 0;
};

template <class V, class Apply>
void loadInto(const std::shared_ptr<V>& view, const std::string& url, std::function<void(V&)> onFailure,
              Apply apply) {
  if (!view) return;
  const std::uint64_t ticket = view->awaitImage();
  std::weak_ptr<V> weak = view;
  ImageLoader::load(
      url, view,
      [weak, ticket, url, apply](const Image& image) {
        auto v = weak.lock();
        if (v && v->awaitsImage(ticket)) apply(*v, image, url);
      },
      [weak, ticket, onFailure = std::move(onFailure)] {
        auto v = weak.lock();
        if (v && v->awaitsImage(ticket) && onFailure) onFailure(*v);
      });
}

}  // namespace

void ImageLoader::load(const std::string& url, std::weak_ptr<const void> owner, Success success, Failure failure) {
  RunLoop::main();  // the main thread is known before a worker posts
  Job job{url, std::move(owner), std::move(success), std::move(failure), std::make_unique<Background::Token>()};
  Pool::shared().submit(std::move(job));
}

long long ImageLoader::started() { return Pool::shared().started(); }
int ImageLoader::peakInFlight() { return Pool::shared().peak(); }
void ImageLoader::resetCounters() { Pool::shared().resetCounters(); }

void loadImageInto(const std::shared_ptr<ImageView>& view, const std::string& url,
                   std::function<void(ImageView&)> onFailure) {
  loadInto(view, url, std::move(onFailure),
           [](ImageView& v, const Image& image, const std::string& source) { v.setImage(image, source); });
}

void loadImageInto(const std::shared_ptr<Button>& button, const std::string& url,
                   std::function<void(Button&)> onFailure) {
  loadInto(button, url, std::move(onFailure),
           [](Button& b, const Image& image, const std::string& source) { b.setImage(image, source); });
}

}  // namespace yx
