// The campus SIP account against the simulator's registration server: a new
// account, an account issued before, refusals, odd and empty pages, a dead
// server, values that need escaping, the stored-account screen with its
// logout, and the setup guide.

#include <gtest/gtest.h>

#include "platform/application.h"
#include "tests/phone/phone_support.h"

namespace yx::test {
namespace {

using nlohmann::json;

constexpr const char* kPickup = "/sipreg/pickup.php";

class SipAccountTest : public PhoneFixture {
protected:
  std::string ask(const std::string& account, const std::string& password) {
    run("tap 14");
    run("tap 4 我的網路電話");
    run("type accountField " + account);
    run("type passwordField " + password);
    return run("tap submitBtn");
  }
  void serveSip(const std::string& path, const std::string& body) { serve("sip_registration", path, body); }
  json lastPickup() { return requestsFor(kPickup).back(); }
};

TEST_F(SipAccountTest, ANewAccountIsShownStoredAndAnnounced) {
  startPhone();
  std::string s = ask("s1101001", "wyn2026");
  const std::string text = "成功申請網路電話!!\\nUsername：88410101\\nPassword：k3Yp9qTe\\nServerAddress：yunxiu.edu.tw";
  EXPECT_TRUE(has(s, "screen: myPhoneAccountViewController depth 4")) << s;
  EXPECT_TRUE(has(s, "text usernameTextView: 88410101\n")) << s;
  EXPECT_TRUE(has(s, "text pwdTextView: k3Yp9qTe\n")) << s;
  EXPECT_TRUE(has(s, "alert:  | " + text + " | 確定\n")) << s;
  json req = lastPickup();
  EXPECT_EQ(req["method"], "POST");
  EXPECT_EQ(req["body"], "username=s1101001&oldpass=wyn2026");
  EXPECT_EQ(req["check"], "ok");

  json st = storedSettings();
  EXPECT_EQ(st["userPhoneNumber"], "88410101");
  EXPECT_EQ(st["userPhoneData"], json({{"username", "88410101"}, {"password", "k3Yp9qTe"}}));
  EXPECT_EQ(run("notifications"), "notification delivered 2026-12-07 09:30:00: " + text + "\n");
  auto notes = Application::shared().deliveredNotifications();
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0].badgeNumber, -1);
  EXPECT_EQ(notes[0].soundName, "default");
  // Both files may carry the password: owner only.
  EXPECT_EQ(fileMode(dataDir() + "/settings.plist"), 0600u);
  EXPECT_EQ(fileMode(dataDir() + "/notifications.plist"), 0600u);

  // Logging out forgets the account and leads to the request screen.
  run("alert 0");
  s = run("tap logOut");
  EXPECT_TRUE(has(s, "screen: myPhoneViewController depth 5")) << s;
  EXPECT_TRUE(has(s, "alert:  | 成功登出 | 確定")) << s;
  st = storedSettings();
  EXPECT_FALSE(st.contains("userPhoneData"));
  EXPECT_FALSE(st.contains("userPhoneNumber"));
  run("alert 0");
  s = run("tap backButton");
  EXPECT_TRUE(has(s, "text usernameTextView:  \n")) << s;
  EXPECT_TRUE(has(s, "text pwdTextView:  \n")) << s;
  run("tap homeButton");

  // An account issued before takes its password from the first value.
  s = ask("t2354", "teach2354");
  EXPECT_TRUE(has(s, "screen: myPhoneAccountViewController depth 4")) << s;
  EXPECT_TRUE(has(s, "alert:  | 以下是您的網路電話資訊!!\\nUsername：88022354\\nPassword：Vq7m2Lx8\\n"
                     "ServerAddress：yunxiu.edu.tw | 確定\n"))
      << s;
  EXPECT_EQ(storedSettings()["userPhoneData"], json({{"username", "88022354"}, {"password", "Vq7m2Lx8"}}));
}

TEST_F(SipAccountTest, RefusalsOddPagesAndADeadServerStoreNothing) {
  // A keyed page for the account is never shown to a wrong password.
  serveSip("/sipreg/pickup.php@username=s1101001",
           "<input value=\"確認\"><input value=\"11111111\"><input value=\"leaked\">");
  serveSip("/sipreg/pickup.php@username=t2354", "");
  startPhone();
  std::string s = ask("s1101001", "wrong");
  EXPECT_TRUE(has(s, "screen: myPhoneViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "alert:  | 帳號或密碼錯誤 | 確定")) << s;
  EXPECT_FALSE(has(s, "spinner")) << s;
  EXPECT_EQ(lastPickup()["check"], "wrong password");
  run("alert 0");

  run("tap resetBtn");
  run("type accountField t2354");
  run("type passwordField teach2354");
  s = run("tap submitBtn");  // accepted, but the page is empty
  EXPECT_EQ(lastPickup()["check"], "ok");
  EXPECT_TRUE(has(s, "alert:  | 帳號或密碼錯誤 | 確定")) << s;
  run("alert 0");

  sim().setFault(kPickup, sim::Fault{.cutAfter = 0});
  s = run("tap submitBtn");
  EXPECT_TRUE(has(s, "alert:  | 帳號或密碼錯誤 | 確定")) << s;
  run("alert 0");
  sim().setFault(kPickup, sim::Fault{.body = std::string("\x89PNG\r\n\x1a\n\xff\xfe", 10)});
  s = run("tap submitBtn");
  EXPECT_TRUE(has(s, "alert:  | 帳號或密碼錯誤 | 確定")) << s;
  run("alert 0");
  // A confirmation with fewer than three values is no account, and says nothing.
  sim().setFault(kPickup, sim::Fault{.body = std::string("<input value=\"確認\"><input value=\"88410101\">")});
  s = run("tap submitBtn");
  EXPECT_TRUE(has(s, "screen: myPhoneViewController depth 3")) << s;
  EXPECT_FALSE(has(s, "alert:")) << s;
  EXPECT_FALSE(has(s, "spinner")) << s;

  json st = storedSettings();
  EXPECT_FALSE(st.contains("userPhoneData"));
  EXPECT_FALSE(st.contains("userPhoneNumber"));
  EXPECT_EQ(run("notifications"), "notifications: none\n");
}

TEST_F(SipAccountTest, EveryCharacterOfTheAccountAndPasswordArrivesAsTyped) {
  const std::string account = "王 小&明=+#?", password = "p&ss=+ #?%中/";
  serveSip("/accounts.json", json({{account, {{"password", password},
                                              {"sip_number", "88999999"},
                                              {"sip_password", "a<b>&\"c"},
                                              {"issued", false}}}})
                                 .dump());
  startPhone();
  std::string s = ask(account, password);
  json req = lastPickup();
  EXPECT_EQ(req["form"], json({{"username", account}, {"oldpass", password}}));
  EXPECT_EQ(req["check"], "ok");
  // Letters and digits go out as they are; everything else as %XX.
  EXPECT_EQ(req["body"], "username=%E7%8E%8B%20%E5%B0%8F%26%E6%98%8E%3D%2B%23%3F&oldpass=p%26ss%3D%2B%20%23%3F%25%E4%B8%AD%2F");
  EXPECT_TRUE(has(s, "Password：a<b>&\"c")) << s;
}

TEST_F(SipAccountTest, TheGuideAsksForTheAccountWithoutKeepingIt) {
  startPhone(/*guideSeen=*/false);
  run("tap 14");
  std::string s = run("wait 0.1");
  ASSERT_TRUE(has(s, "screen: schoolCallTeachViewController depth 3")) << s;
  s = run("tap 1 下一步");
  ASSERT_TRUE(has(s, "screen: schoolCallTeach2ViewController depth 4")) << s;
  run("type accountField s1101001");
  run("type passwordField wyn2026");
  s = run("tap 2");
  EXPECT_EQ(requestsFor(kPickup).size(), 0u) << "sent 0.1 s later";
  s = run("wait 0.1");
  EXPECT_TRUE(has(s, "screen: schoolCallTeach3ViewController depth 5")) << s;
  EXPECT_TRUE(has(s, "alert:  | 成功申請網路電話!!")) << s;
  json st = storedSettings();
  EXPECT_FALSE(st.contains("userPhoneData"));
  EXPECT_EQ(st["userPhoneNumber"], "88410101");
  run("alert 0");
  EXPECT_TRUE(has(run("tap 2"), "screen: schoolCallTeach3_5ViewController depth 6"));
  EXPECT_TRUE(has(run("tap 2"), "screen: schoolCallTeach4ViewController depth 7"));
  s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: schoolCallTeach5ViewController depth 8")) << s;
  run("tap downloadBtn");
  EXPECT_EQ(opened(), "opened: https://apps.yunxiu.edu.tw/softphone\n");
  EXPECT_TRUE(has(run("tap backButton"), "screen: schoolCallTeach4ViewController depth 7"));
  EXPECT_TRUE(has(run("tap homeButton"), "screen: corvaleViewController depth 1"));
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 0u);
}

}  // namespace
}  // namespace yx::test
