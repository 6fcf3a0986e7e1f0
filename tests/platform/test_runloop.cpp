// The run loop under the manual clock: timer order, repetition, cancellation,
// posting from other threads and waiting for background work.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/runloop.h"

namespace yx {
namespace {

class RunLoopTest : public ::testing::Test {
protected:
  void SetUp() override {
    RunLoop::main().reset();
    clock_ = std::make_shared<ManualClock>(std::chrono::system_clock::now());
    setClock(clock_);
  }
  void TearDown() override {
    RunLoop::main().reset();
    setClock(nullptr);
  }
  std::shared_ptr<ManualClock> clock_;
};

// Time moves only as far as asked; a timer fires at its deadline, equal
// deadlines in scheduling order.
TEST_F(RunLoopTest, TimersFireAtTheirDeadlinesInOrderAndEqualDeadlinesKeepSchedulingOrder) {
  std::vector<std::string> fired;
  auto& loop = RunLoop::main();
  const double start = clock().monotonic();
  loop.schedule(0.3, [&] { fired.push_back("c"); });
  loop.schedule(0.1, [&] { fired.push_back("a1"); });
  loop.schedule(0.1, [&] { fired.push_back("a2"); });
  loop.schedule(0.2, [&] { fired.push_back("b"); });
  loop.runFor(0.0999);
  EXPECT_TRUE(fired.empty());
  loop.runFor(0.0001);
  EXPECT_EQ(fired, (std::vector<std::string>{"a1", "a2"}));
  EXPECT_NEAR(clock().monotonic() - start, 0.1, 1e-9);
  loop.runFor(1);
  EXPECT_EQ(fired, (std::vector<std::string>{"a1", "a2", "b", "c"}));
}

TEST_F(RunLoopTest, RepeatingTimerFiresEveryIntervalUntilCancelled) {
  auto& loop = RunLoop::main();
  int ticks = 0;
  TimerId id = 0;
  id = loop.schedule(0.01, [&] {
    if (++ticks == 100) loop.cancel(id);
  }, true);
  loop.runFor(0.5);
  EXPECT_EQ(ticks, 50);
  loop.runFor(10);
  EXPECT_EQ(ticks, 100);
  EXPECT_FALSE(loop.isScheduled(id));
}

// One a timer schedules runs in the same interval; one it cancels, due at
// the same moment, never fires.
TEST_F(RunLoopTest, ATimerMayScheduleOrCancelOthersDueInTheSameInterval) {
  auto& loop = RunLoop::main();
  std::vector<int> order;
  TimerId cancelled = 0;
  loop.schedule(0.1, [&] {
    order.push_back(1);
    loop.cancel(cancelled);
    loop.schedule(0.1, [&] { order.push_back(2); });
  });
  cancelled = loop.schedule(0.1, [&] { order.push_back(3); });
  loop.runFor(0.2);
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST_F(RunLoopTest, TasksPostedFromOtherThreadsRunOnTheMainThreadInOrder) {
  auto& loop = RunLoop::main();
  std::vector<int> seen;
  std::thread::id ran;
  std::thread t([&] {
    for (int i = 0; i < 100; ++i) loop.post([&, i] {
      seen.push_back(i);
      ran = std::this_thread::get_id();
    });
  });
  t.join();
  loop.runUntilIdle();
  ASSERT_EQ(seen.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(seen[i], i);
  EXPECT_EQ(ran, std::this_thread::get_id());
}

TEST_F(RunLoopTest, WaitingForVirtualTimeAlsoWaitsForBackgroundWorkAndItsResults) {
  auto& loop = RunLoop::main();
  std::atomic<bool> started{false};
  std::string result;
  Background::run([&] {
    started = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    loop.post([&] { result = "delivered"; });
  });
  loop.runFor(0);
  EXPECT_TRUE(started);
  EXPECT_EQ(result, "delivered");
  EXPECT_EQ(Background::inFlight(), 0);
}

TEST_F(RunLoopTest, BackgroundWorkStartedByATimerIsFinishedBeforeTheNextTimer) {
  auto& loop = RunLoop::main();
  std::vector<std::string> order;
  loop.schedule(0.1, [&] {
    Background::run([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      loop.post([&] { order.push_back("report"); });
    });
  });
  loop.schedule(0.2, [&] { order.push_back("next timer"); });
  loop.runFor(1);
  EXPECT_EQ(order, (std::vector<std::string>{"report", "next timer"}));
}

TEST_F(RunLoopTest, ResetDropsWhatAScreenOwnsEvenWhenItsDestructorCancelsTimers) {
  // A repeating timer keeps its target alive; dropping it destroys the
  // target, which cancels its own timer on the way out.
  struct Target {
    TimerId timer = 0;
    bool* gone;
    ~Target() {
      RunLoop::main().cancel(timer);
      *gone = true;
    }
  };
  bool gone = false;
  auto target = std::make_shared<Target>();
  target->gone = &gone;
  target->timer = RunLoop::main().schedule(0.01, [target] {}, true);
  RunLoop::main().post([target] {});
  target.reset();
  RunLoop::main().reset();
  EXPECT_TRUE(gone);
}

TEST(ManualClockTest, WallTimeMovesWithTheClock) {
  auto start = std::chrono::system_clock::from_time_t(1'800'000'000);
  ManualClock c(start);
  c.advance(1.5);
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(c.now() - start).count(), 1500);
  c.advance(-3);  // time never runs backwards
  EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(c.now() - start).count(), 1500);
}

}  // namespace
}  // namespace yx
