// Patron login and the Library menu: what goes over the wire, what a person
// sees for each answer, what is stored, the counts and logout.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/libViewController.h"
#include "platform/http.h"
#include "tests/library/library_support.h"

namespace yx::test {
namespace {

using sim::Fault;

class LoginTest : public LibraryFixture {};

// Each function's login sends the typed values as the form's only two
// fields, with "000" before a six-character ID (on the button, on Return and
// on the menu's refresh), keeps the ID as typed and opens the list asked for.
TEST_F(LoginTest, EveryPathSendsTheTypedValuesWithTheBarcodeRuleAndOpensTheAskedList) {
  struct Case {
    const char* function;
    std::string id, password, barcode;
    const char* screen;
  };
  const std::vector<Case> cases = {
      {"借閱紀錄", "12345", "a&b=c", "12345", "borrowReViewController"},
      {"逾期紀錄", "1234567", "p+q r", "1234567", "timeOutViewController"},
      {"預約到館", "654321", "100%25 雲岫", "000654321", "libArriveViewController"},
      {"借閱紀錄", "reader04", "&password=x", "reader04", "borrowReViewController"}};
  nlohmann::json pairs = {{"000雲岫讀者一號", "pw"}};
  for (const auto& c : cases) pairs[c.barcode] = c.password;
  accounts(pairs);
  startReady();
  for (const auto& c : cases) {
    openFunction(c.function);
    std::string s = login(c.id, c.password);
    ASSERT_TRUE(has(s, std::string("screen: ") + c.screen + " depth 4")) << c.id << "\n" << s;
    EXPECT_EQ(logins().back()["form"], (nlohmann::json{{"barcode", c.barcode}, {"password", c.password}}));
    EXPECT_EQ(logins().back()["check"], "ok");
    EXPECT_EQ(setting("libID"), c.id);
    EXPECT_EQ(setting("libPW"), c.password);
    logoutAndGoHome();  // nothing on loan: the list's alert leads to the menu
  }
  EXPECT_EQ(logins()[0]["body"], "barcode=12345&password=a%26b%3Dc");
  EXPECT_EQ(logins()[1]["body"], "barcode=1234567&password=p%2Bq%20r");

  // Return in the password field submits at once; six characters, 18 bytes.
  openFunction("逾期紀錄");
  run("type libIDField 雲岫讀者一號");
  run("type libPWField pw");
  std::string s = run("return libPWField");
  EXPECT_TRUE(has(s, "screen: timeOutViewController")) << s;
  EXPECT_EQ(logins().back()["form"]["barcode"], "000雲岫讀者一號");
  EXPECT_EQ(setting("libID"), "雲岫讀者一號");

  // The menu refreshes with the stored ID's barcode when it loads.
  run("alert 0");
  run("tap 1");
  size_t before = logins().size();
  run("tap 19");
  run("wait 0.2");
  ASSERT_EQ(logins().size(), before + 1);
  EXPECT_EQ(logins().back()["form"], (nlohmann::json{{"barcode", "000雲岫讀者一號"}, {"password", "pw"}}));
}

TEST_F(LoginTest, RefusalShowsTheLastPatronsErrorAndStoresOnlyTheAnswer) {
  const std::string twoPatrons =
      "<patronInfo><patron><error>帳號已停用</error></patron><patron><error>密碼錯誤，請重新輸入</error></patron></patronInfo>";
  serve("library_catalogue", "/cgi-bin/patron-activity@refused=password", twoPatrons);
  startReady();
  openFunction("借閱紀錄");
  std::string s = login("123456", "wrong");
  EXPECT_TRUE(has(s, "screen: libLoginViewController")) << s;
  EXPECT_TRUE(has(s, "alert: 錯誤 | 密碼錯誤，請重新輸入 | 確定")) << s;
  EXPECT_EQ(logins().back()["check"], "wrong password");
  EXPECT_FALSE(setting("libID"));
  EXPECT_FALSE(setting("libPW"));
  EXPECT_EQ(storedOnDisk("libData"), "bytes:" + hex(twoPatrons));
  s = run("alert 0");
  EXPECT_TRUE(has(s, "field libPWField: [密碼]")) << "the password is cleared\n" << s;
  EXPECT_TRUE(has(s, "field libIDField: 123456")) << s;
  EXPECT_FALSE(has(s, "spinner indicator: on")) << s;

  s = login("654321", "lib2026");
  EXPECT_TRUE(has(s, "alert: 錯誤 | 查無此讀者證號 | 確定")) << s;
  EXPECT_EQ(logins().back()["check"], "unknown barcode");
  run("alert 0");
  // Still logged out: the menu asks for a login again.
  run("tap 2");
  s = run("tap 1 逾期紀錄");
  EXPECT_TRUE(has(s, "screen: libLoginViewController depth 3")) << s;
}

TEST_F(LoginTest, NoAnswerOrNotTheCataloguesAnswerIsSilent) {
  storeBeforeStart({{"libData", Value::bytes("<patronInfo><patron/></patronInfo>")}});
  startReady();
  openFunction("借閱紀錄");

  // Cut off mid-answer: the cache is removed, nothing is said, the spinner turns.
  Fault cut;
  cut.cutAfter = 20;
  sim().setFault("/cgi-bin/patron-activity", cut);
  std::string s = login("123456", "lib2026");
  EXPECT_TRUE(has(s, "screen: libLoginViewController")) << s;
  EXPECT_FALSE(has(s, "alert:")) << s;
  EXPECT_TRUE(has(s, "spinner indicator: on")) << s;
  EXPECT_EQ(storedOnDisk("libData"), "absent");

  // A portal's page (no patron element) is kept as the answer but logs nobody in.
  Fault portal;
  portal.body = "<html><body><form>請先登入校園網路</form></body></html>";
  sim().setFault("/cgi-bin/patron-activity", portal);
  s = login("123456", "lib2026");
  EXPECT_TRUE(has(s, "screen: libLoginViewController")) << s;
  EXPECT_FALSE(has(s, "alert:")) << s;
  EXPECT_EQ(storedOnDisk("libData"), "bytes:" + hex(*portal.body));
  EXPECT_FALSE(setting("libPW"));

  // An empty answer is stored as empty bytes.
  Fault empty;
  empty.body = "";
  sim().setFault("/cgi-bin/patron-activity", empty);
  login("123456", "lib2026");
  EXPECT_EQ(storedOnDisk("libData"), "bytes:");

  // An answer over the size limit counts as no answer.
  sim().clearFaults();
  setHttpMaxBodyBytes(64);
  login("123456", "lib2026");
  setHttpMaxBodyBytes(32u << 20);
  EXPECT_EQ(storedOnDisk("libData"), "absent");

  // A dead server.
  sim().stop();
  s = login("123456", "lib2026");
  EXPECT_TRUE(has(s, "screen: libLoginViewController")) << s;
  EXPECT_FALSE(has(s, "alert:")) << s;
  EXPECT_FALSE(setting("libID"));
  EXPECT_FALSE(setting("libPW"));

  // Empty fields on the login button send nothing.
  run("tap resetBtn");
  s = run("type libIDField 123456");
  EXPECT_TRUE(has(s, "field libPWField: [密碼]")) << s;
  run("tap inquiryBtn");
  run("wait 0.2");
  EXPECT_EQ(logins().size(), 4u);
}

// A password the catalogue now refuses is forgotten when the menu refreshes.
TEST_F(LoginTest, RefreshWithARefusedPasswordLogsThePatronOutForGood) {
  storeBeforeStart({{"libPW", Value("changed-elsewhere")}, {"libID", Value("123456")}});
  startReady();
  run("tap 19");
  std::string s = run("wait 0.2");
  EXPECT_TRUE(has(s, "alert: 錯誤 | 密碼錯誤，請重新輸入 | 確定")) << s;
  EXPECT_FALSE(has(s, "成功登出")) << s;
  EXPECT_FALSE(has(s, "spinner indicator: on")) << s;
  EXPECT_FALSE(setting("libPW"));
  EXPECT_EQ(setting("libID"), "123456");
  EXPECT_EQ(logins().back()["form"]["barcode"], "000123456");
  run("alert 0");
  s = run("tap 3 借閱紀錄");
  EXPECT_TRUE(has(s, "screen: libLoginViewController")) << "asks for the password again\n" << s;

  // Logged out now: back from the login screen and the menu send no usage
  // report, the menu no longer refreshes, and logout still says so.
  run("tap 2");
  s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  s = run("tap 19");
  EXPECT_FALSE(has(s, "spinner")) << "no refresh without a password\n" << s;
  s = run("tap 3 登出");
  EXPECT_TRUE(has(s, "alert:  | 成功登出 | 確定")) << s;
  EXPECT_EQ(logins().size(), 1u);
  EXPECT_TRUE(requestsFor("/Data/situ1.aspx").empty());
}

TEST_F(LoginTest, MenuCountsExactOverdueAndEveryHoldAndZeroLeavesTheLabel) {
  const std::string document =
      patronDocument({{"2026-12-01", "a", "overdue"}, {"2026-12-01", "b", "Overdue"}, {"2026-12-01", "c", "OVERDUE"},
                      {"2026-12-02", "d", "overdue"}, {"2026-12-30", "e", "charged"}},
                     {{"h1"}, {"h2"}, {"-"}, {"h4"}});
  patronFile("000123456", document);
  startReady();
  openFunction("借閱紀錄");
  login("123456", "lib2026");
  EXPECT_EQ(storedOnDisk("libData"), "bytes:" + hex(document)) << "the answer's bytes, exactly";
  std::string s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: libViewController depth 2")) << "back skips the login screen\n" << s;
  EXPECT_TRUE(has(s, "label timeCntLbl: (2)")) << s;
  EXPECT_TRUE(has(s, "label arriveCntLbl: (4)")) << "a request without a title counts too\n" << s;

  // The next refresh finds nothing overdue and no holds: the labels keep their counts.
  patronFile("000123456", patronDocument({{"2026-12-30", "e", "charged"}}));
  run("tap 1");
  run("tap 19");
  s = run("wait 0.2");
  EXPECT_EQ(logins().size(), 2u);
  EXPECT_TRUE(has(s, "label timeCntLbl: (2)")) << s;
  EXPECT_TRUE(has(s, "label arriveCntLbl: (4)")) << s;
  auto* menu = top<libViewController>();
  ASSERT_TRUE(menu);
  EXPECT_TRUE(menu->timeCntAry().empty());

  s = run("tap 3 登出");
  EXPECT_TRUE(has(s, "alert:  | 成功登出 | 確定")) << s;
  EXPECT_FALSE(has(s, "timeCntLbl")) << s;
  EXPECT_FALSE(has(s, "arriveCntLbl")) << s;
  EXPECT_FALSE(setting("libPW"));
  EXPECT_EQ(storedOnDisk("libData"), "absent");
  EXPECT_EQ(storedOnDisk("libPW"), "absent");
  EXPECT_EQ(setting("libID"), "123456");
}

}  // namespace
}  // namespace yx::test
