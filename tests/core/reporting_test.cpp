// Usage reports on the wire, query escaping, and the reachability rules.

#include <gtest/gtest.h>

#include "core/app_delegate.h"
#include "core/deployment.h"
#include "core/reachability.h"
#include "core/usage_report.h"
#include "tests/support/app_fixture.h"

namespace yx::test {
namespace {

class ReportingTest : public AppFixture {
protected:
  void SetUp() override {
    AppFixture::SetUp();
    start();
    run("wait 0.2");
    run("alert 0");
    Application::shared().navigation()->popToRootViewControllerAnimated(false);
    Settings::standard().setString("個人資料", "填寫過");
  }
  nlohmann::json onlyReport() {
    auto reqs = requestsFor("/Data/situ1.aspx");
    EXPECT_EQ(reqs.size(), 1u);
    return reqs.empty() ? nlohmann::json::object() : reqs.back();
  }
};

// (Entering the background also forgets the newspaper's section: checked on its list.)
TEST_F(ReportingTest, BackgroundReportsTheMenu) {
  Settings::standard().setString("user_id", "20261201080000123");
  run("background");
  auto r = onlyReport();
  EXPECT_EQ(r["query"]["pk"], "20261201080000123");
  EXPECT_EQ(r["query"]["fn"], "首頁");
  EXPECT_EQ(std::string(r["raw_query"]).find("fs=(null)"), std::string(r["raw_query"]).find("fs="));
}

TEST_F(ReportingTest, ValuesCannotAddOrHideQueryFields) {
  Settings::standard().setString("user_id", "1&fn=x");
  Settings::standard().setString("功能名稱", "a=b+c#d?e 中");
  upDate2DB().userExit();
  auto r = onlyReport();
  EXPECT_EQ(r["query"]["pk"], "1&fn=x");
  EXPECT_EQ(r["query"]["fn"], "a=b+c#d?e 中");
  EXPECT_EQ(r["query"].size(), 6u);
}

TEST_F(ReportingTest, CallReportFieldsInOrder) {
  Settings::standard().setString("user_id", "u1");
  Settings::standard().setString("callDepartment", "電算中心");
  Settings::standard().setString("callNumber", "6500");
  upDate2DB().userCall();
  auto reqs = requestsFor("/data/phone1.aspx");
  ASSERT_EQ(reqs.size(), 1u);
  std::string raw = reqs[0]["raw_query"];
  EXPECT_EQ(raw.rfind("pk=u1&s=(null)&dp=", 0), 0u) << raw;
  EXPECT_EQ(reqs[0]["query"]["dp"], "電算中心");
  EXPECT_EQ(reqs[0]["query"]["r"], "6500");
}

TEST(ReachabilityRules, FlagsToStatus) {
  using namespace reach;
  EXPECT_EQ(Reachability::networkStatusForFlags(Reachable), ReachableViaWiFi);
  EXPECT_EQ(Reachability::networkStatusForFlags(Reachable | ConnectionRequired), NotReachable);
  EXPECT_EQ(Reachability::networkStatusForFlags(Reachable | ConnectionRequired | ConnectionOnDemand), ReachableViaWiFi);
  EXPECT_EQ(Reachability::networkStatusForFlags(Reachable | ConnectionRequired | ConnectionOnTraffic), ReachableViaWiFi);
  EXPECT_EQ(Reachability::networkStatusForFlags(Reachable | ConnectionRequired | ConnectionOnDemand | InterventionRequired),
            NotReachable);
  EXPECT_EQ(Reachability::networkStatusForFlags(Reachable | IsWWAN), ReachableViaWWAN);
  for (uint32_t f : {0u, IsWWAN, IsDirect, ConnectionOnDemand | IsWWAN, 0xFFFFFFFFu & ~Reachable})
    EXPECT_EQ(Reachability::networkStatusForFlags(f), NotReachable) << f;
  EXPECT_EQ(Reachability::localWiFiStatusForFlags(Reachable | IsDirect), ReachableViaWiFi);
  EXPECT_EQ(Reachability::localWiFiStatusForFlags(Reachable), NotReachable);
  EXPECT_FALSE(Reachability::reachabilityWithHostName(""));
  EXPECT_FALSE(Reachability::reachabilityWithAddress("not-an-address"));
  EXPECT_TRUE(Reachability::reachabilityForLocalWiFi()->localWiFiRef());
}

// Leaving a screen starts the report and moves on: a slow report server never
// holds the next screen back, with either clock.
class SlowReportTest : public AppFixture, public ::testing::WithParamInterface<bool> {};

TEST_P(SlowReportTest, ASlowReportNeverDelaysTheScreenChange) {
  options.virtualClock = GetParam();
  if (!options.virtualClock) options.now.clear();
  rememberProfileDelivered();
  start();
  sim::CampusSim& server = *driver().simulator();
  server.setFault("/Data/situ1.aspx", sim::Fault{.delayMs = 2500});
  run("tap 12");
  std::string s = run("tap 1");
  EXPECT_NE(s.find("screen: corvaleViewController depth 1"), std::string::npos) << s;
  // The screen came back while the report was still on its way.
  size_t logged = 0;
  for (const auto& r : server.requests()) logged += r.value("path", "") == "/Data/situ1.aspx";
  EXPECT_EQ(logged, 0u);
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 1u) << "it arrives in the end";
}

INSTANTIATE_TEST_SUITE_P(BothClocks, SlowReportTest, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? std::string("Virtual") : std::string("System"); });

// The launch monitor watches a host of the deployment: its own
// "reachability_host", else the campus data server's host, else any route;
// never a host outside the deployment.
TEST(ReachabilityRules, TheLaunchMonitorWatchesAHostOfTheDeployment) {
  struct Case {
    std::string reachabilityHost, campusData, watched;
  };
  for (const Case& c : {Case{"gate.yunxiu.example", "http://data.yunxiu.example", "gate.yunxiu.example"},
                        Case{"", "http://data.yunxiu.example:8080/preferred", "data.yunxiu.example"},
                        Case{"", "", "0.0.0.0"}}) {
    resetGlobals();
    Deployment d;
    d.reachabilityHost = c.reachabilityHost;
    if (!c.campusData.empty()) d.baseUrls["campus_data"] = c.campusData;
    Deployment::setCurrent(d);
    auto delegate = std::make_shared<corvaleAppDelegate>();
    delegate->applicationDidFinishLaunching(Application::shared());
    ASSERT_TRUE(delegate->hostReach);
    EXPECT_EQ(delegate->hostReach->host(), c.watched);
    delegate.reset();
    resetGlobals();
  }
}

}  // namespace
}  // namespace yx::test
