// The Home menu as a person meets it: the first-run prompt, the terms screen,
// entries refused or opened depending on the network, and the about screen.

#include <gtest/gtest.h>

#include <algorithm>

#include "core/app_delegate.h"
#include "core/deployment.h"
#include "core/home_menu.h"
#include "core/ip_address.h"
#include "platform/device.h"
#include "platform/escape.h"
#include "core/screen_kit.h"
#include "tests/support/app_fixture.h"

namespace yx::test {
namespace {

class HomeMenuTest : public AppFixture {
protected:
  // Starts as a returning user (the profile was delivered in an earlier run).
  void startRegistered() {
    rememberProfileDelivered();
    start();
    run("wait 0.2");
  }
  bool has(const std::string& s, const std::string& text) { return s.find(text) != std::string::npos; }
};

TEST_F(HomeMenuTest, NewUserIsPromptedAfterLoadAndMustAcceptTheTerms) {
  start();
  EXPECT_FALSE(has(screen(), "請先輸入您的資料"));
  EXPECT_FALSE(has(run("wait 0.05"), "請先輸入您的資料")) << "prompt came before 0.1 s";
  std::string s = run("wait 0.06");
  EXPECT_TRUE(has(s, "alert: 提醒 | 請先輸入您的資料，謝謝。 | 確定")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: agreeProvisionViewController")) << s;
  EXPECT_TRUE(has(s, "text provisionText: 雲岫學苑使用條款")) << s;
  // The agree button refuses until the box is checked; the box toggles.
  s = run("tap agreeButton");
  EXPECT_TRUE(has(s, "alert:  | 必須同意使用條款，才能使用雲岫學苑！ | 確定")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: agreeProvisionViewController")) << s;
  EXPECT_TRUE(has(s, "checkbox1.png")) << s;
  EXPECT_TRUE(has(run("tap checkBox"), "checkbox2.png"));
  EXPECT_TRUE(has(run("tap checkBox"), "checkbox1.png"));
  EXPECT_TRUE(has(run("tap agreeButton"), "必須同意使用條款"));
  run("alert 0");
  run("tap checkBox");
  s = run("tap agreeButton");
  EXPECT_TRUE(has(s, "screen: userDataViewController depth 3")) << s;
}

TEST_F(HomeMenuTest, OfflineNetworkEntriesAreRefusedWithoutRecordingUsageAndBlankTagsDoNothing) {
  startRegistered();
  run("net off");
  for (int tag : {1, 2, 4, 5, 6, 10, 11, 13, 14, 16, 19, 20}) {
    std::string s = run("tap " + std::to_string(tag));
    EXPECT_NE(s.find("alert: 網路警示 | 請確認網路連線狀態是否開啟。 | 確定"), std::string::npos) << "tag " << tag;
    EXPECT_NE(s.find("screen: corvaleViewController depth 1"), std::string::npos) << "tag " << tag;
    run("alert 0");
    EXPECT_EQ(Settings::standard().stringForKey("功能名稱").value_or(""), "首頁") << "tag " << tag;
    EXPECT_FALSE(Settings::standard().stringForKey("啓動時間")) << "tag " << tag;
  }
  for (int tag : {3, 7, 8, 9, 12, 17, 21}) {
    std::string s = run("tap " + std::to_string(tag));
    EXPECT_EQ(s.find("網路警示"), std::string::npos) << "tag " << tag;
    EXPECT_NE(s.find("depth 2"), std::string::npos) << "tag " << tag << "\n" << s;
    Application::shared().navigation()->popToRootViewControllerAnimated(false);
    EXPECT_NE(screen().find("depth 1"), std::string::npos) << "tag " << tag << "\n" << screen();
  }
  // Blank tags do nothing, and a returning user is never prompted.
  for (int tag : {15, 18}) {
    std::string s = run("tap " + std::to_string(tag));
    EXPECT_NE(s.find("screen: corvaleViewController depth 1"), std::string::npos);
    EXPECT_EQ(s.find("alert:"), std::string::npos);
  }
  // Tags outside the grid, as code could send them.
  auto* home = dynamic_cast<corvaleViewController*>(Application::shared().navigation()->topViewController());
  ASSERT_NE(home, nullptr);
  for (int tag : {0, 22, 99, -1}) home->btnEvent(tag);
  EXPECT_EQ(Application::shared().navigation()->depth(), 1u);
  EXPECT_TRUE(Alerts::visible().empty());
}

TEST_F(HomeMenuTest, OpeningAnEntryRecordsUsageBackReportsItAndTheMenuResetsOnlyTheName) {
  startRegistered();
  run("wait 60");
  std::string s = run("tap 12");
  EXPECT_NE(s.find("screen: aboutMeViewController depth 2"), std::string::npos) << s;
  auto& st = Settings::standard();
  EXPECT_EQ(st.stringForKey("功能名稱").value_or(""), "關於我們");
  EXPECT_EQ(st.stringForKey("啓動時間").value_or(""), "20261207093100");
  EXPECT_EQ(st.stringForKey("user_X").value_or(""), fmtF(Deployment::current().longitude));
  EXPECT_EQ(st.stringForKey("user_Y").value_or(""), fmtF(Deployment::current().latitude));
  run("wait 30");
  run("tap 1");  // back
  EXPECT_NE(screen().find("screen: corvaleViewController depth 1"), std::string::npos);
  EXPECT_EQ(st.stringForKey("功能名稱").value_or(""), "首頁");
  EXPECT_EQ(st.stringForKey("啓動時間").value_or(""), "20261207093100");
  // Back sent the exit report: fields in order, latitude as fx, a missing id as "(null)".
  auto reports = requestsFor("/Data/situ1.aspx");
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0]["raw_query"], "pk=(null)&fx=" + st.stringForKey("user_Y").value_or("?") + "&fy=" +
                                         st.stringForKey("user_X").value_or("?") +
                                         "&fn=%E9%97%9C%E6%96%BC%E6%88%91%E5%80%91&fs=20261207093100&fe=20261207093130");
}

TEST_F(HomeMenuTest, EachMenuLoadLooksUpTheWifiAddress) {
  // The simulator's deployment names wlan0 and wlp2s0 as the Wi-Fi link.
  Device::setAddressesOverride(std::vector<InterfaceAddress>{
      {"lo", "127.0.0.1"}, {"wlp2s0", "10.1.0.7"}, {"eth0", "192.168.0.9"}, {"wlan0", "10.2.0.5"}});
  startRegistered();
  EXPECT_EQ(currentIPAddress(), "10.2.0.5") << "the last Wi-Fi entry in list order";

  // Another Home menu load replaces the address: wired when no Wi-Fi link is up.
  Device::setAddressesOverride(std::vector<InterfaceAddress>{{"lo", "127.0.0.1"}, {"eth0", "192.168.0.9"}});
  Application::shared().navigation()->pushViewController(std::make_shared<corvaleViewController>(), false);
  run("wait 0.2");
  EXPECT_EQ(currentIPAddress(), "192.168.0.9");

  Device::setAddressesOverride(std::vector<InterfaceAddress>{{"lo", "127.0.0.1"}});
  EXPECT_EQ(getIPAddress(), "error");
}

TEST_F(HomeMenuTest, ReachabilityChangesUpdateTheSharedValues) {
  startRegistered();
  auto* d = appDelegate();
  ASSERT_NE(d, nullptr);
  EXPECT_TRUE(d->interetconncet);  // the simulator on loopback
  run("net off");
  EXPECT_FALSE(d->interetconncet);
  EXPECT_EQ(d->internetStr, "NO");
  run("net 3g");
  EXPECT_TRUE(d->interetconncet);
  EXPECT_EQ(d->internetStr, "3G");
  run("net wifi");
  EXPECT_EQ(d->internetStr, "wifi");
  auto posted = NotificationCenter::defaultCenter().postedNames();
  EXPECT_GE(std::count(posted.begin(), posted.end(), "kNetworkReachabilityChangedNotification"), 3);
}

}  // namespace
}  // namespace yx::test
