// Reachability classification, the override the driver uses, change
// callbacks on the main queue; the device and location.
#include <gtest/gtest.h>

#include "platform/device.h"
#include "platform/location.h"
#include "platform/network_state.h"
#include "platform/runloop.h"

namespace yx {
namespace {

using namespace reach;

// 0 none, 1 Wi-Fi, 2 cellular; without Reachable nothing else counts.
TEST(NetworkState, ClassifiesFlags) {
  const uint32_t R = Reachable, Req = ConnectionRequired;
  for (auto [flags, kind] : std::initializer_list<std::pair<uint32_t, int>>{
           {0, 0}, {R, 1}, {R | Req, 0}, {R | Req | ConnectionOnDemand, 1}, {R | Req | ConnectionOnTraffic, 1},
           {R | Req | ConnectionOnDemand | InterventionRequired, 0}, {R | IsWWAN, 2}, {R | Req | IsWWAN, 2},
           {IsWWAN | IsDirect | ConnectionOnDemand, 0}})
    EXPECT_EQ(NetworkState::classify(flags), kind) << flags;
}

TEST(NetworkState, LoopbackIsAlwaysReachable) {
  NetworkState& n = NetworkState::shared();
  n.reset();
  EXPECT_EQ(n.flagsForHost("127.0.0.1") & Reachable, Reachable);
  EXPECT_EQ(n.flagsForHost("localhost") & Reachable, Reachable);
  // Whatever the machine's network, asking never fails or throws.
  uint32_t any = n.flagsForHost("");
  EXPECT_EQ(any & ~(Reachable | IsDirect | IsWWAN), 0u);
}

TEST(NetworkState, OverrideDrivesFlagsAndChangeCallbacksOnTheMainQueue) {
  RunLoop::main().reset();
  NetworkState& n = NetworkState::shared();
  n.reset();
  n.setOverride(Reachable);
  std::vector<int> seen;
  auto id = n.addChangeCallback([&] {
    EXPECT_TRUE(RunLoop::main().isMainThread());
    seen.push_back(NetworkState::classify(n.flagsForHost("campus.example")));
  });
  n.setOverride(0);                 // wifi -> none
  n.setOverride(0);                 // unchanged: no callback
  n.setOverride(Reachable | IsWWAN);  // none -> cellular
  n.setOverride(Reachable | IsWWAN | IsDirect);  // still cellular
  EXPECT_TRUE(seen.empty());        // delivered by the main queue only
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(seen, (std::vector<int>{2, 2}));  // each reads the state when it runs
  EXPECT_EQ(n.flagsForHost("127.0.0.1"), Reachable | IsWWAN | IsDirect);
  n.removeChangeCallback(id);
  n.setOverride(Reachable);
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(seen.size(), 2u);
  n.reset();
  EXPECT_FALSE(n.override());
}

TEST(NetworkState, MonitoringNoticesChangesOnItsTimer) {
  RunLoop::main().reset();
  NetworkState& n = NetworkState::shared();
  n.reset();
  n.setOverride(Reachable);
  int calls = 0;
  n.addChangeCallback([&] { ++calls; });
  n.startMonitoring(0.05);
  RunLoop::main().runFor(0.2);
  EXPECT_EQ(calls, 0);
  n.setOverride(0);
  RunLoop::main().runFor(0.2);
  EXPECT_EQ(calls, 1);
  n.reset();
  RunLoop::main().reset();
}

// The driver's stand-ins for both are checked with the screens that use them.
TEST(DeviceAndLocation, RealValuesAreReadAndAMissingFixFails) {
  DeviceInfo real = Device::info();
  EXPECT_FALSE(real.systemName.empty());
  EXPECT_FALSE(real.model.empty());
  auto addrs = Device::ipv4Addresses();
  ASSERT_TRUE(addrs);
  bool loopback = false;
  for (const auto& a : *addrs) loopback = loopback || a.ipv4 == "127.0.0.1";
  EXPECT_TRUE(loopback);

  RunLoop::main().reset();
  Location& loc = Location::shared();
  std::vector<std::string> answers;
  loc.setCoordinate(std::nullopt);
  loc.requestFix([&](Coordinate) { answers.push_back("fix"); }, [&] { answers.push_back("fail"); });
  loc.setCoordinate(Coordinate{25.0173, 121.5398});
  loc.requestFix([&](Coordinate c) { answers.push_back(std::to_string(c.longitude).substr(0, 8)); });
  EXPECT_TRUE(answers.empty());
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(answers, (std::vector<std::string>{"fail", "121.5398"}));
  loc.setCoordinate(std::nullopt);
}

}  // namespace
}  // namespace yx
