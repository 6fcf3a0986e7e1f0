#pragma once
// The main run loop, the process clock and background work.
//
// Everything a screen does runs on one logical main thread: tasks posted to
// the main queue and timers. Time comes from a Clock: the system clock in the
// product, a manual clock in tests and in the text driver's virtual mode,
// where advancing time fires what is due, instantly and in order.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <deque>
#include <thread>

namespace yx {

using TimePoint = std::chrono::system_clock::time_point;

class Clock {
public:
  virtual ~Clock() = default;
  // Wall-clock time (what dates are formatted from).
  virtual TimePoint now() const = 0;
  // Seconds on a steady scale, used for timer deadlines.
  virtual double monotonic() const = 0;
  virtual bool isManual() const { return false; }
};

class SystemClock : public Clock {
public:
  TimePoint now() const override;
  double monotonic() const override;
};

// A clock that moves only when told to. Starts at the given wall time.
class ManualClock : public Clock {
public:
  explicit ManualClock(TimePoint start);
  TimePoint now() const override;
  double monotonic() const override;
  bool isManual() const override { return true; }
  void advance(double seconds);
  void advanceTo(double monotonicSeconds);

private:
  TimePoint start_;
  std::atomic<double> elapsed_{0};
};

// The process clock. Defaults to the system clock.
Clock& clock();
void setClock(std::shared_ptr<Clock> c);
// Shorthand for clock().now().
TimePoint now();

using TimerId = std::uint64_t;

class RunLoop {
public:
  static RunLoop& main();

  // Thread-safe: queue a task for the main thread.
  void post(std::function<void()> task);

  // Main thread: run fn after delaySeconds; repeating timers fire every
  // interval (delaySeconds when interval is 0) until cancelled. Timers with
  // equal deadlines fire in the order they were scheduled.
  TimerId schedule(double delaySeconds, std::function<void()> fn, bool repeats = false,
                   double interval = 0);
  void cancel(TimerId id);
  bool isScheduled(TimerId id) const;

  // Runs posted tasks and due timers once; returns true when it did anything.
  bool runOnce();
  // Runs posted tasks and due timers until nothing is ready now.
  void runUntilIdle();

  // System clock: process events for up to `seconds` of real time.
  // Manual clock: advance time in steps to each due timer within `seconds`,
  // firing timers in order; background work started before or during the
  // interval is waited for (bounded by realLimitSeconds of real time) and
  // its results delivered before returning.
  void runFor(double seconds, double realLimitSeconds = 30);

  // Blocks the calling (main) thread until a task is posted or the next
  // timer is due (system clock), at most maxWaitSeconds.
  void waitForWork(double maxWaitSeconds);

  // Seconds until the next timer is due (negative when overdue; a large
  // value when none is scheduled).
  double secondsUntilNextTimer() const;

  // Front-ends that own an event loop (Qt) install a waker: called from any
  // thread whenever a task is posted or a timer is scheduled, so they can
  // schedule runOnce() on their own loop.
  void setWaker(std::function<void()> waker);

  // True on the thread that first called main() (the main thread).
  bool isMainThread() const;

  // While > 0, timers do not fire (a blocking request is in progress).
  void suspendTimers(bool suspend);

  // Drops every task and timer (tests between cases).
  void reset();

private:
  RunLoop();
  struct Timer {
    std::function<void()> fn;
    double deadline;
    double interval;
    bool repeats;
    double firstDeadline = 0;
    std::uint64_t fired = 0;
  };
  bool runDueTimer();
  bool runPostedTasks();

  mutable std::mutex mu_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> tasks_;
  // (deadline, sequence) -> timer id, so equal deadlines keep FIFO order.
  std::map<std::pair<double, std::uint64_t>, TimerId> order_;
  std::map<TimerId, std::pair<Timer, std::pair<double, std::uint64_t>>> timers_;
  std::uint64_t seq_ = 0;
  TimerId nextId_ = 1;
  std::function<void()> waker_;
  std::thread::id mainThread_;
  int timersSuspended_ = 0;
};

// Background work. Work the app puts on detached threads or global queues
// (usage reports, picture downloads, the address lookup, asynchronous
// transfers) is counted while in flight, so tests and the virtual clock can
// wait until it has finished and posted its results.
class Background {
public:
  // Runs fn on a new detached thread.
  static void run(std::function<void()> fn);
  // Marks work in flight (for transfers that run on their own threads).
  // The token's destruction ends it; results posted to the main queue
  // before that are delivered before a drain returns.
  class Token {
  public:
    Token();
    ~Token();
    Token(const Token&) = delete;
    Token& operator=(const Token&) = delete;
  };
  static int inFlight();
  // Waits until no background work is in flight, running main-queue tasks
  // meanwhile; false when realLimitSeconds passed first.
  static bool drain(double realLimitSeconds = 30);

  // Fire-and-forget work nothing on screen waits for (usage reports): it runs
  // on a new detached thread but is not counted by inFlight() or drain(), so
  // a slow server never holds back the screen or the text driver.
  static void runDetached(std::function<void()> fn);
  static int detachedInFlight();
  // Waits until that work has finished too (quitting, tests reading the
  // simulator's log); false when realLimitSeconds passed first.
  static bool drainDetached(double realLimitSeconds = 30);
};

}  // namespace yx
