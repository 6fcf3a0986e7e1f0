#include "platform/runloop.h"

#include <limits>

namespace yx {

namespace {
// Timers due within this many seconds of now count as due (floating-point slack).
constexpr double kEpsilon = 1e-9;
}  // namespace

TimePoint SystemClock::now() const { return std::chrono::system_clock::now(); }

double SystemClock::monotonic() const {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

ManualClock::ManualClock(TimePoint start) : start_(start) {}

TimePoint ManualClock::now() const {
  return start_ + std::chrono::duration_cast<std::chrono::system_clock::duration>(
                      std::chrono::duration<double>(elapsed_.load()));
}

double ManualClock::monotonic() const { return elapsed_.load(); }

void ManualClock::advance(double seconds) {
  if (seconds > 0) elapsed_.store(elapsed_.load() + seconds);
}

void ManualClock::advanceTo(double monotonicSeconds) {
  if (monotonicSeconds > elapsed_.load()) elapsed_.store(monotonicSeconds);
}

namespace {
std::mutex g_clockMu;
std::shared_ptr<Clock> g_clock = std::make_shared<SystemClock>();
}  // namespace

Clock& clock() {
  std::lock_guard<std::mutex> lock(g_clockMu);
  return *g_clock;
}

void setClock(std::shared_ptr<Clock> c) {
  std::lock_guard<std::mutex> lock(g_clockMu);
  g_clock = c ? std::move(c) : std::make_shared<SystemClock>();
}

TimePoint now() { return clock().now(); }

// ---------------------------------------------------------------------------

RunLoop::RunLoop() : mainThread_(std::this_thread::get_id()) {}

RunLoop& RunLoop::main() {
  static RunLoop* loop = new RunLoop();  // never destroyed: detached threads may post late
  return *loop;
}

bool RunLoop::isMainThread() const { return std::this_thread::get_id() == mainThread_; }

void RunLoop::setWaker(std::function<void()> waker) {
  std::lock_guard<std::mutex> lock(mu_);
  waker_ = std::move(waker);
}

void RunLoop::post(std::function<void()> task) {
  std::function<void()> waker;
  {
    std::lock_guard<std::mutex> lock(mu_);
    tasks_.push_back(std::move(task));
    waker = waker_;
  }
  cv_.notify_all();
  if (waker) waker();
}

TimerId RunLoop::schedule(double delaySeconds, std::function<void()> fn, bool repeats,
                          double interval) {
  if (delaySeconds < 0) delaySeconds = 0;
  if (interval <= 0) interval = delaySeconds;
  std::function<void()> waker;
  TimerId id;
  {
    std::lock_guard<std::mutex> lock(mu_);
    id = nextId_++;
    double deadline = clock().monotonic() + delaySeconds;
    auto key = std::make_pair(deadline, seq_++);
    order_[key] = id;
    timers_[id] = {Timer{std::move(fn), deadline, interval, repeats, deadline, 0}, key};
    waker = waker_;
  }
  cv_.notify_all();
  if (waker) waker();
  return id;
}

void RunLoop::cancel(TimerId id) {
  std::lock_guard<std::mutex> lock(mu_);
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  order_.erase(it->second.second);
  timers_.erase(it);
}

bool RunLoop::isScheduled(TimerId id) const {
  std::lock_guard<std::mutex> lock(mu_);
  return timers_.count(id) != 0;
}

void RunLoop::suspendTimers(bool suspend) {
  std::lock_guard<std::mutex> lock(mu_);
  timersSuspended_ += suspend ? 1 : -1;
  if (timersSuspended_ < 0) timersSuspended_ = 0;
}

double RunLoop::secondsUntilNextTimer() const {
  std::lock_guard<std::mutex> lock(mu_);
  if (order_.empty()) return std::numeric_limits<double>::max();
  return order_.begin()->first.first - clock().monotonic();
}

bool RunLoop::runPostedTasks() {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard<std::mutex> lock(mu_);
    batch.swap(tasks_);
  }
  for (auto& t : batch) t();
  return !batch.empty();
}

bool RunLoop::runDueTimer() {
  std::function<void()> fn;
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (timersSuspended_ > 0 || order_.empty()) return false;
    auto first = order_.begin();
    if (first->first.first > clock().monotonic() + kEpsilon) return false;
    TimerId id = first->second;
    order_.erase(first);
    auto it = timers_.find(id);
    Timer& t = it->second.first;
    fn = t.fn;
    if (t.repeats) {
      // Deadlines of a repeating timer are multiples of its interval, so
      // rounding does not accumulate over many ticks.
      t.deadline = t.firstDeadline + static_cast<double>(++t.fired) * t.interval;
      auto key = std::make_pair(t.deadline, seq_++);
      order_[key] = id;
      it->second.second = key;
    } else {
      timers_.erase(it);
    }
  }
  fn();
  return true;
}

bool RunLoop::runOnce() {
  bool did = runPostedTasks();
  // Fire the timers due now, one at a time, so a timer that cancels another
  // due at the same moment is honoured.
  while (runDueTimer()) did = true;
  return did;
}

void RunLoop::runUntilIdle() {
  for (int guard = 0; guard < 100000 && runOnce(); ++guard) {
  }
}

void RunLoop::waitForWork(double maxWaitSeconds) {
  std::unique_lock<std::mutex> lock(mu_);
  if (!tasks_.empty()) return;
  double wait = maxWaitSeconds;
  if (!order_.empty() && timersSuspended_ == 0) {
    double untilTimer = order_.begin()->first.first - clock().monotonic();
    if (clock().isManual()) untilTimer = maxWaitSeconds;  // manual time does not pass by itself
    wait = std::min(wait, std::max(0.0, untilTimer));
  }
  if (wait <= 0) return;
  cv_.wait_for(lock, std::chrono::duration<double>(wait));
}

void RunLoop::runFor(double seconds, double realLimitSeconds) {
  if (!clock().isManual()) {
    double end = clock().monotonic() + seconds;
    for (;;) {
      runOnce();
      double left = end - clock().monotonic();
      if (left <= 0) break;
      waitForWork(left);
    }
    runOnce();
    return;
  }
  auto& manual = static_cast<ManualClock&>(clock());
  const double end = manual.monotonic() + seconds;
  for (;;) {
    // Deliver everything ready now, including results of background work.
    do {
      runUntilIdle();
    } while (Background::inFlight() > 0 && Background::drain(realLimitSeconds) && runOnce());
    double next;
    {
      std::lock_guard<std::mutex> lock(mu_);
      next = order_.empty() ? std::numeric_limits<double>::max() : order_.begin()->first.first;
    }
    if (next > end + kEpsilon) break;
    manual.advanceTo(next);
  }
  manual.advanceTo(end);
  runUntilIdle();
}

void RunLoop::reset() {
  // The dropped tasks and timers are destroyed after the lock is released:
  // one may hold the last reference to a screen whose destructor cancels
  // its own timers.
  decltype(tasks_) tasks;
  decltype(timers_) timers;
  {
    std::lock_guard<std::mutex> lock(mu_);
    tasks.swap(tasks_);
    timers.swap(timers_);
    order_.clear();
    timersSuspended_ = 0;
  }
}

// ---------------------------------------------------------------------------

namespace {
std::mutex g_bgMu;
std::condition_variable g_bgCv;
int g_inFlight = 0;
int g_detached = 0;
}  // namespace

Background::Token::Token() {
  std::lock_guard<std::mutex> lock(g_bgMu);
  ++g_inFlight;
}

Background::Token::~Token() {
  {
    std::lock_guard<std::mutex> lock(g_bgMu);
    --g_inFlight;
  }
  g_bgCv.notify_all();
  // Wake the main loop so a drain notices promptly.
  RunLoop::main().post([] {});
}

void Background::run(std::function<void()> fn) {
  auto token = std::make_shared<Token>();
  std::thread([fn = std::move(fn), token]() mutable {
    fn();
    token.reset();
  }).detach();
}

int Background::inFlight() {
  std::lock_guard<std::mutex> lock(g_bgMu);
  return g_inFlight;
}

bool Background::drain(double realLimitSeconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(realLimitSeconds);
  auto& loop = RunLoop::main();
  for (;;) {
    loop.runOnce();
    {
      std::unique_lock<std::mutex> lock(g_bgMu);
      if (g_inFlight == 0) break;
      if (std::chrono::steady_clock::now() >= deadline) return false;
      g_bgCv.wait_for(lock, std::chrono::milliseconds(5));
    }
  }
  // Deliver what the finished work posted.
  loop.runOnce();
  return true;
}

}  // namespace yx

namespace yx {

void Background::runDetached(std::function<void()> fn) {
  {
    std::lock_guard<std::mutex> lock(g_bgMu);
    ++g_detached;
  }
  std::thread([fn = std::move(fn)]() mutable {
    fn();
    {
      std::lock_guard<std::mutex> lock(g_bgMu);
      --g_detached;
    }
    g_bgCv.notify_all();
  }).detach();
}

int Background::detachedInFlight() {
  std::lock_guard<std::mutex> lock(g_bgMu);
  return g_detached;
}

bool Background::drainDetached(double realLimitSeconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(realLimitSeconds);
  std::unique_lock<std::mutex> lock(g_bgMu);
  return g_bgCv.wait_until(lock, deadline, [] { return g_detached == 0; });
}

}  // namespace yx
