// Reachability classification, the override the driver uses, change
// callbacks on the main queue; device, location and image stand-ins.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/device.h"
#include "platform/files.h"
#include "platform/image.h"
#include "platform/location.h"
#include "platform/network_state.h"
#include "platform/runloop.h"
#include "tests/support/scratch.h"

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

TEST(DeviceAndLocation, StandInsReplaceTheRealValues) {
  DeviceInfo real = Device::info();
  EXPECT_FALSE(real.systemName.empty());
  EXPECT_FALSE(real.model.empty());
  Device::setInfoOverride(DeviceInfo{"TestPad", "Linux", "6.1"});
  EXPECT_EQ(Device::info().model, "TestPad");
  Device::setInfoOverride(std::nullopt);
  EXPECT_EQ(Device::info().model, real.model);

  auto addrs = Device::ipv4Addresses();
  ASSERT_TRUE(addrs);
  bool loopback = false;
  for (const auto& a : *addrs) loopback = loopback || a.ipv4 == "127.0.0.1";
  EXPECT_TRUE(loopback);
  Device::setAddressesOverride(std::vector<InterfaceAddress>{{"en0", "10.1.2.3"}});
  EXPECT_EQ((*Device::ipv4Addresses())[0].ipv4, "10.1.2.3");
  Device::setAddressesOverride(std::nullopt);

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

TEST(Image, DecodesBundledAndDownloadedPictures) {
  test::ScratchDir scratch;
  const std::string dir = scratch.path;
  // A 3x2 PNG written by Python's zlib and struct, not by us.
  std::string cmd =
      "python3 -c \"import zlib,struct,sys\n"
      "def chunk(t,d): return struct.pack('>I',len(d))+t+d+struct.pack('>I',zlib.crc32(t+d))\n"
      "raw=b''.join(b'\\x00'+b'\\xff\\x00\\x00'*3 for _ in range(2))\n"
      "png=b'\\x89PNG\\r\\n\\x1a\\n'+chunk(b'IHDR',struct.pack('>IIBBBBB',3,2,8,2,0,0,0))"
      "+chunk(b'IDAT',zlib.compress(raw))+chunk(b'IEND',b'')\n"
      "open(sys.argv[1],'wb').write(png)\" " +
      dir + "/hl_p1.png";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  Image::setResourceDirectory(dir);
  for (const char* name : {"hl_p1", "hl_p1.png"}) {
    Image img = Image::named(name);
    EXPECT_FALSE(img.empty()) << name;
    EXPECT_EQ(img.width(), 3);
    EXPECT_EQ(img.height(), 2);
  }
  EXPECT_TRUE(Image::named("absent").empty());
  EXPECT_TRUE(Image::named("../" + dir.substr(5) + "/hl_p1").empty());
  auto bytes = Files::readFile(dir + "/hl_p1.png");
  ASSERT_TRUE(bytes);
  EXPECT_TRUE(Image::isImage(*bytes));
  EXPECT_FALSE(Image::isImage(bytes->substr(0, bytes->size() - 20)));  // truncated
  EXPECT_FALSE(Image::isImage("<html>not a picture</html>"));
  EXPECT_FALSE(Image::isImage(""));
}

}  // namespace
}  // namespace yx
