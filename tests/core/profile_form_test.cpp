// The Profile form driven as a person fills it, with the request read back
// from the simulator's log.

#include <gtest/gtest.h>

#include "core/profile_form.h"
#include "platform/device.h"
#include "tests/support/app_fixture.h"

namespace yx::test {
namespace {

class ProfileFormTest : public AppFixture {
protected:
  void openForm() {
    start();
    run("wait 0.2");
    run("alert 0");
    run("tap checkBox");
    std::string s = run("tap agreeButton");
    ASSERT_NE(s.find("screen: userDataViewController"), std::string::npos) << s;
  }
  std::string choose(const std::string& field, int picker, int row) {
    run("focus " + field);
    run("pick " + std::to_string(picker) + " " + std::to_string(row));
    return run("tap 2");
  }
  int unitRows() {
    run("focus unitField");
    std::string s = screen();
    auto at = s.find("picker 2 rows ");
    run("tap 999");
    if (at == std::string::npos) return -1;
    return std::stoi(s.substr(at + 14));
  }
  void fillAll(const std::string& birth) {
    choose("sexField", 0, 1);         // 女
    run("type birthField " + birth);
    choose("statusField", 1, 0);      // 大學生
    choose("unitField", 2, 5);        // the sixth department
    choose("housingField", 3, 1);     // 學校宿舍
    choose("wayField", 4, 2);         // 公車＋捷運
  }
};

TEST_F(ProfileFormTest, UnitListFollowsStatusAndTheBirthYearIsCheckedAsTyped) {
  openForm();
  EXPECT_EQ(unitRows(), -1) << "the unit picker opened before a status";
  EXPECT_EQ(screen().find("confirmLabel"), std::string::npos);
  choose("statusField", 1, 4);  // 職員
  EXPECT_EQ(unitRows(), 29);
  std::string s = choose("unitField", 2, 0);
  EXPECT_NE(s.find("field unitField: " + staffUnitList()[0]), std::string::npos) << s;
  choose("statusField", 1, 0);  // 大學生
  EXPECT_EQ(unitRows(), 63);
  EXPECT_NE(screen().find("field unitField: " + staffUnitList()[0]), std::string::npos) << "unit kept";
  choose("statusField", 1, 3);  // 教師
  EXPECT_EQ(unitRows(), 29);

  // The birth year is checked as it is typed.
  s = run("type birthField 115");  // the current ROC year (2026)
  EXPECT_NE(s.find("field birthField: 115"), std::string::npos);
  s = run("type birthField 116");
  EXPECT_NE(s.find("field birthField: [請輸入正確出生年(民國)]"), std::string::npos) << s;
  s = run("type birthField 1990");
  EXPECT_NE(s.find("field birthField: [請輸入正確出生年(民國)]"), std::string::npos) << s;
}

TEST_F(ProfileFormTest, EmptyFieldsAreNamedInOrderAndNothingIsSent) {
  openForm();
  const char* messages[] = {"請選擇性別。", "請輸入出生年。", "請選擇身分。", "請選擇系別。", "請選擇住宿方式。", "請選擇到校方式。"};
  auto submitExpect = [&](const char* msg) {
    std::string s = run("tap 1");
    EXPECT_NE(s.find(std::string("alert: 提醒 | ") + msg + " | 確定"), std::string::npos) << s;
    run("alert 0");
  };
  submitExpect(messages[0]);
  choose("sexField", 0, 0);
  submitExpect(messages[1]);
  run("type birthField 88");
  submitExpect(messages[2]);
  choose("statusField", 1, 1);
  submitExpect(messages[3]);
  choose("unitField", 2, 2);
  submitExpect(messages[4]);
  choose("housingField", 3, 0);
  submitExpect(messages[5]);
  EXPECT_FALSE(Settings::standard().stringForKey("user_id"));
  EXPECT_TRUE(requestsFor("/Data/info1.aspx").empty());
}

TEST_F(ProfileFormTest, SubmissionSendsTenFieldsWithTheBirthYearAndOpensANewHomeMenu) {
  openForm();
  fillAll("90");
  // A Western year that reached the field without the live check (pasted).
  auto* form = Application::shared().navigation()->topViewController();
  form->view().findNamed<TextField>("birthField")->setText("2001");
  std::string s = run("tap 1");
  EXPECT_NE(s.find("alert:  | 儲存成功 | 確定"), std::string::npos) << s;
  EXPECT_EQ(Settings::standard().stringForKey("個人資料").value_or(""), "填寫過");
  std::string id = Settings::standard().stringForKey("user_id").value_or("");
  EXPECT_EQ(id, "20261207093000" + id.substr(14));
  EXPECT_EQ(id.size(), 17u);

  auto reqs = requestsFor("/Data/info1.aspx");
  ASSERT_EQ(reqs.size(), 1u);
  auto q = reqs[0]["query"];
  EXPECT_EQ(q["pk"], id);
  EXPECT_EQ(q["b"], "90");
  EXPECT_EQ(q["s"], "女");
  EXPECT_EQ(q["t"], "大學生");
  EXPECT_EQ(q["d"], departmentList()[5]);
  EXPECT_EQ(q["l"], "學校宿舍");
  EXPECT_EQ(q["w"], "公車＋捷運");
  EXPECT_EQ(q["c"], "wifi");
  EXPECT_EQ(q["os"], Device::info().systemName + " " + Device::info().systemVersion);
  EXPECT_EQ(q["p"], Device::info().model);
  std::string raw = reqs[0]["raw_query"];
  EXPECT_EQ(raw.rfind("pk=", 0), 0u);
  EXPECT_LT(raw.find("&b="), raw.find("&s="));
  EXPECT_LT(raw.find("&os="), raw.find("&p="));

  s = run("alert 0");
  EXPECT_NE(s.find("screen: corvaleViewController depth 4"), std::string::npos) << s;
  s = run("wait 1");
  EXPECT_EQ(s.find("請先輸入您的資料"), std::string::npos) << "the new menu prompted again";

  // Back on the form: a short or zero-padded year is not a Western year.
  for (const char* year : {"89", "0089"}) {
    Application::shared().navigation()->popViewControllerAnimated(false);
    run("type birthField " + std::string(year));
    run("tap 1");
    run("alert 0");
    EXPECT_EQ(requestsFor("/Data/info1.aspx").back()["query"]["b"], year);
  }
}

TEST_F(ProfileFormTest, UndeliveredProfileIsNeitherMarkedNorPraised) {
  openForm();
  fillAll("80");
  struct Case {
    const char* what;
    sim::Fault fault;
  };
  const std::vector<Case> cases = {
      {"non-ASCII answer", {.body = "已收到"}},
      {"server error with the endpoint's own ASCII page", {.status = 500}},
      {"missing endpoint", {.status = 404, .body = "Not Found"}},
      {"connection cut", {.cutAfter = 10, .body = std::string(4000, 'x')}},
      {"empty answer", {.body = ""}},
      {"a redirect without a place to go", {.status = 302}},
  };
  for (const Case& c : cases) {
    sim().clearFaults();
    sim().setFault("/Data/info1.aspx", c.fault);
    std::string s = run("tap 1");
    EXPECT_EQ(s.find("儲存成功"), std::string::npos) << c.what << "\n" << s;
    EXPECT_NE(s.find("screen: userDataViewController"), std::string::npos) << c.what;
    EXPECT_FALSE(Settings::standard().stringForKey("個人資料")) << c.what;
  }
  EXPECT_EQ(requestsFor("/Data/info1.aspx").size(), cases.size());
  // The server back in order (any success with text will do): the same form goes through.
  sim().clearFaults();
  sim().setFault("/Data/info1.aspx", sim::Fault{.status = 201});
  std::string s = run("tap 1");
  EXPECT_NE(s.find("alert:  | 儲存成功 | 確定"), std::string::npos) << s;
  EXPECT_EQ(Settings::standard().stringForKey("個人資料").value_or(""), "填寫過");
}

TEST_F(ProfileFormTest, OfflineSubmissionShowsTheAlertWithoutFullStop) {
  openForm();
  fillAll("80");
  run("net off");
  std::string s = run("tap 1");
  EXPECT_NE(s.find("alert: 網路警示 | 請確認網路連線狀態是否開啟 | 確定"), std::string::npos) << s;
  EXPECT_TRUE(requestsFor("/Data/info1.aspx").empty());
  EXPECT_FALSE(Settings::standard().stringForKey("個人資料"));
  // The identifier was already replaced before the network was tested.
  EXPECT_EQ(Settings::standard().stringForKey("user_id").value_or("").substr(0, 14), "20261207093000");
}

}  // namespace
}  // namespace yx::test
