// Signing in to the campus Wi-Fi: the campus of each address, the portal
// chosen from the device's interfaces, what the portals answer, the timed
// messages, the remembered account, the usage records and the logout.

#include <gtest/gtest.h>

#include "phone/wifi_check.h"
#include "tests/phone/phone_support.h"

namespace yx::test {
namespace {

using nlohmann::json;

constexpr const char* kSignIn = "/cgi-bin/ace_web_auth.cgi";

TEST(WifiCampus, TheThirdPartOfTheAddressPicksTheCampus) {
  phone::wifiCheck check;
  auto site = [&](const std::string& a) { return check.wifiStrLength(a).value_or("-"); };
  const std::vector<std::pair<int, const char*>> bounds = {
      {3, "-"},   {4, "tai"}, {7, "tai"}, {8, "orn"},   {19, "orn"},  {20, "-"},   {26, "-"},   {27, "yi"},
      {29, "yi"}, {30, "-"},  {47, "-"},  {48, "orn"},  {59, "orn"},  {60, "-"},   {245, "-"},  {246, "orn"},
      {253, "orn"}, {254, "-"}};
  for (auto [x, want] : bounds) EXPECT_EQ(site("10.1." + std::to_string(x) + ".4"), want) << x;
  // Read as C's atoi reads it: leading blanks and a sign, digits up to the first other character.
  EXPECT_EQ(site("10.1. 12abc.4"), "orn");
  EXPECT_EQ(site("10.1.+5"), "tai");
  EXPECT_EQ(site("10.1.x28"), "-");
  EXPECT_EQ(site("10.1.99999999999999999999"), "-");
  EXPECT_EQ(site("10.12"), "-");
  EXPECT_EQ(site("error"), "-");
  EXPECT_EQ(site(""), "-");
}

class WifiTest : public PhoneFixture {
protected:
  void SetUp() override {
    PhoneFixture::SetUp();
    options.ifaddrs = "lo=127.0.0.1,wlan0=10.1.12.4";
  }
  std::string signIn(const std::string& account, const std::string& password) {
    run("tap 17");
    run("type accountField " + account);
    run("type passwordField " + password);
    return run("tap 3");
  }
  std::vector<json> signIns() {
    std::vector<json> out;
    for (auto& r : sim().requests())
      if (r.value("path", "") == kSignIn && r.value("method", "") == "POST") out.push_back(r);
    return out;
  }
};

// An accepted sign-in says so, remembers the account and goes back; a
// refused one says it failed and stays, whatever keyed page the portal has.
TEST_F(WifiTest, AcceptedAndRefusedSignIns) {
  serve("wifi_orn", "/cgi-bin/ace_web_auth.cgi@username=s1101001", "<p>show_portal=1</p>");
  startPhone();
  std::string s = signIn("s1101001", "wyn2026");
  EXPECT_TRUE(has(s, "screen: wifiConnectViewController depth 2")) << s;
  EXPECT_TRUE(has(s, "spinner activityIndicator: on")) << s;
  EXPECT_EQ(signIns().size(), 0u) << "sent 0.1 s later";
  EXPECT_EQ(storedSettings()["功能名稱"], "雲岫Wi-Fi");
  // The screen was the feature in use: connecting also reports it.
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 1u);

  s = run("wait 0.1");
  EXPECT_TRUE(has(s, "alert:  | 連線成功\n")) << s;
  EXPECT_FALSE(has(s, "spinner")) << s;
  auto posts = signIns();
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_EQ(posts[0]["kind"], "wifi_orn");
  EXPECT_EQ(posts[0]["body"], "username=s1101001&userpwd=wyn2026&login=submit");
  EXPECT_EQ(posts[0]["check"], "ok");
  json st = storedSettings();
  EXPECT_EQ(st["wifiUser"], "s1101001");
  EXPECT_EQ(st["wifiPass"], "wyn2026");

  s = run("wait 1.9");
  EXPECT_TRUE(has(s, "alert:  | 連線成功")) << s;
  s = run("wait 0.1");
  EXPECT_FALSE(has(s, "alert:")) << s;
  EXPECT_TRUE(has(s, "screen: wifiConnectViewController")) << s;
  s = run("wait 0.5");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  auto& moves = Application::shared().navigation()->transitions();
  EXPECT_EQ(moves.back().kind, Transition::Kind::Pop);
  EXPECT_FALSE(moves.back().animated);
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 2u);

  s = run("tap 17");
  EXPECT_TRUE(has(s, "field accountField: s1101001\nlabel: 密碼\nfield passwordField: *******\n")) << s;
  run("tap logoutWynWiFi");
  auto gets = requestsFor(kSignIn);
  EXPECT_EQ(gets.back()["method"], "GET");
  EXPECT_EQ(gets.back()["raw_query"], "logout");
  EXPECT_EQ(gets.back()["kind"], "wifi_orn");
  EXPECT_TRUE(has(run("show"), "screen: wifiConnectViewController depth 2"));

  run("type passwordField wrong");
  run("tap 3");
  s = run("wait 0.1");
  EXPECT_TRUE(has(s, "alert:  | 登錄失敗\n")) << s;
  EXPECT_EQ(signIns().back()["check"], "wrong password");
  s = run("wait 2");
  EXPECT_FALSE(has(s, "alert:")) << s;
  EXPECT_TRUE(has(s, "screen: wifiConnectViewController depth 2")) << s;
  s = run("wait 5");
  EXPECT_TRUE(has(s, "screen: wifiConnectViewController depth 2")) << s;
  EXPECT_EQ(storedSettings()["wifiPass"], "wyn2026");

  // An answer that is not UTF-8 is no sign-in, whatever it holds.
  sim().setFault(kSignIn, sim::Fault{.body = std::string("show_portal=1 \xff\xfe", 16)});
  run("type passwordField wyn2026");
  run("tap 3");
  EXPECT_TRUE(has(run("wait 0.1"), "alert:  | 登錄失敗\n"));
  run("wait 2");
  // The text alone decides: an error status with the text is a sign-in.
  sim().setFault(kSignIn, sim::Fault{.status = 500, .body = std::string("<p>show_portal=1</p>")});
  run("tap 3");
  EXPECT_TRUE(has(run("wait 0.1"), "alert:  | 連線成功\n"));
}

TEST_F(WifiTest, EveryCharacterOfTheAccountArrivesAsTypedAtTheRightCampus) {
  options.ifaddrs = "wlan0=10.1.12.4,wlp2s0=10.20.28.7,eth0=10.1.5.9";
  const std::string account = "王 小&明=+#?", password = "p&w=+ #?%中";
  serve("wifi_yi", "/accounts.json", json({{account, password}}).dump());
  startPhone();
  signIn(account, password);
  std::string s = run("wait 0.1");
  EXPECT_TRUE(has(s, "alert:  | 連線成功\n")) << s;
  auto posts = signIns();
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_EQ(posts[0]["kind"], "wifi_yi") << "the last Wi-Fi entry wins";
  EXPECT_EQ(posts[0]["form"], json({{"username", account}, {"userpwd", password}, {"login", "submit"}}));
  EXPECT_EQ(storedSettings()["wifiPass"], password);
}

TEST_F(WifiTest, OffCampusNothingIsSent) {
  for (const char* addrs : {"wlan0=10.1.20.4", "lo=127.0.0.1", "none"}) {
    SCOPED_TRACE(addrs);
    TearDown();
    SetUp();
    options.ifaddrs = addrs;
    startPhone();
    signIn("s1101001", "wyn2026");
    std::string s = run("wait 0.1");
    EXPECT_TRUE(has(s, "alert:  | 登錄失敗\n")) << s;
    EXPECT_EQ(signIns().size(), 0u);
  }
}

TEST_F(WifiTest, EmptyFieldsAreRefusedAndConfirmingGoesBack) {
  startPhone();
  run("tap 17");
  run("type accountField s1101001");
  std::string s = run("tap 3");
  EXPECT_TRUE(has(s, "alert:  | 請輸入正確資料。 | 確定")) << s;
  s = run("alert 0");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_EQ(signIns().size(), 0u);
  // Back and home report the screen only while it is the feature in use.
  run("tap 17");
  run("tap backButton");
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 2u);
  run("tap 14");
  run("tap backButton");
  Settings::standard().setString("功能名稱", "首頁");
  run("tap 17");
  Settings::standard().setString("功能名稱", "其他");
  run("tap homeButton");
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 2u);
}

}  // namespace
}  // namespace yx::test
