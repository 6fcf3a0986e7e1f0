// The Academic web service as the simulator plays it, over HTTP on
// loopback: the three checks in order, every printable ASCII password, the
// refusal shapes, both path forms, and the log. (Its keyed and generic
// answers are what the student and teacher screens show.)

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "academic/signing.h"
#include "platform/dates.h"
#include "platform/escape.h"
#include "platform/http.h"
#include "sim/campus_sim.h"
#include "tests/support/scratch.h"

namespace yx {
namespace {

using nlohmann::json;

class AcademicSimTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(setTimeZone("Asia/Taipei")); }
  void TearDown() override {
    if (sim_) sim_->stop();
    setTimeZone("UTC");
  }
  void start() {
    sim::SimOptions o;
    o.overlayDir = overlay_.path;
    o.fixedNow = std::chrono::sys_days{std::chrono::year{2026} / 12 / 7} + std::chrono::hours{1};
    sim_ = std::make_unique<sim::CampusSim>(o);
    sim_->start();
    Deployment::setCurrent(sim_->deployment());
  }
  void overlayFile(const std::string& relative, const std::string& body) { overlay_.write("academic/" + relative, body); }
  std::string base() { return "http://127.0.0.1:" + std::to_string(sim_->port("academic")); }
  HttpResult get(const std::string& pathAndQuery) { return httpGet(base() + pathAndQuery, 10); }
  HttpResult student(const std::string& method, const std::string& number, const std::string& password) {
    return httpGet(studentMethodURL(method, number, password), 10);
  }
  json lastLog() {
    auto all = sim_->requests();
    return all.empty() ? json() : all.back();
  }

  test::ScratchDir overlay_;
  std::unique_ptr<sim::CampusSim> sim_;
};

constexpr const char* kExam = "StuExamList2XML";

TEST_F(AcademicSimTest, EveryPrintableAsciiPasswordSignsIn) {
  // One account per printable character, in the middle of a password, and
  // one holding all of them.
  json accounts = {{"students", json::object()}};
  std::string all;
  for (char c = 32; c < 127; ++c) {
    all += c;
    accounts["students"]["S" + std::to_string(c)] = {{"password", std::string("a") + c + "z"}};
  }
  accounts["students"]["ALL"] = {{"password", all}};
  overlayFile("accounts.json", accounts.dump());
  start();
  for (char c = 32; c < 127; ++c) {
    const std::string password = std::string("a") + c + "z";
    HttpResult r = student(kExam, "S" + std::to_string(c), password);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body.find("Error_Msg"), std::string::npos) << "'" << c << "': " << r.body;
    json log = lastLog();
    EXPECT_EQ(log["check"], "ok") << c;
    // The log keeps pPass as sent (still encoded); decoding it gives it back.
    EXPECT_EQ(encodePwMethod(log["query"]["pPass"].get<std::string>()), password);
  }
  HttpResult r = student(kExam, "ALL", all);
  EXPECT_EQ(lastLog()["check"], "ok") << r.body;
}

TEST_F(AcademicSimTest, ChecksRunInOrderAndRefuseInTheMethodsOwnShape) {
  start();
  const std::string path = "/emisappws/AppWebService.asmx/";
  const std::string good = getEncodeUserData("41120307", "cloud 8,7:sky");
  auto refusal = [](const char* record, const char* element, const char* text) {
    return std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?><NewDataSet><") + record + "><" + element + ">" +
           text + "</" + element + "></" + record + "></NewDataSet>";
  };
  struct Case {
    std::string query;
    const char* text;
    const char* check;
  } cases[] = {
      // A missing field wins over a bad signature.
      {"pStuNo=41120307&pKey=1&pChksum=zzzzz", "參數不足", "fields"},
      {"pKey=3000000&pChksum=a07b7&pPass=x", "參數不足", "fields"},
      {"pStuNo=41120307&pKey=300000&pChksum=a07b7&pPass=x", "驗證碼錯誤", "signature"},
      {"pStuNo=41120307&pKey=30000a0&pChksum=a07b7&pPass=x", "驗證碼錯誤", "signature"},
      {"pStuNo=41120307&pKey=3000000&pChksum=a07b8&pPass=x", "驗證碼錯誤", "signature"},
      // A good signature for another number.
      {"pStuNo=41120308&pKey=3000000&pChksum=a07b7&pPass=x", "驗證碼錯誤", "signature"},
      {"pStuNo=41120307&pKey=3000000&pChksum=a07b7&pPass=x", "學號或密碼錯誤", "password"},
      {"pStuNo=41120307&pKey=3000000&pChksum=a07b7", "參數不足", "fields"},
  };
  for (const auto& c : cases) {
    HttpResult r = get("/" + path + kExam + "?" + c.query);
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, refusal("stu_exam_table", "Error_Msg", c.text)) << c.query;
    EXPECT_EQ(lastLog()["check"], c.check) << c.query;
  }
  // An unknown student with a good signature: the password check refuses.
  HttpResult r = student(kExam, "40000001", "cloud 8,7:sky");
  EXPECT_EQ(r.body, refusal("stu_exam_table", "Error_Msg", "學號或密碼錯誤"));
  // Each method refuses in its own record and text elements.
  r = get(path + "StuScoQueryList2XML?pStuNo=1");
  EXPECT_EQ(r.body, refusal("stu_scoquery_table", "錯誤訊息", "參數不足"));
  r = get(path + "StuEleList2XML?pStuNo=1");
  EXPECT_EQ(r.body, refusal("stu_ele_table", "Error_Msg", "參數不足"));
  r = get(path + "StuEleCosEleSeqList2XML?pStuNo=1");
  EXPECT_EQ(r.body, refusal("stu_ele_table", "Error_Msg", "參數不足"));
  // Escaped the legacy way, the password's "#" (from "8") ends the URL and
  // ":" turns into "+", read as a space: the typed password never arrives.
  std::string legacy = "pStuNo=41120307&pKey=3000000&pChksum=a07b7&pPass=" + legacyEscape(encodePwMethod("cloud 8,7:sky"));
  r = get(path + kExam + "?" + legacy);
  EXPECT_EQ(r.body, refusal("stu_exam_table", "Error_Msg", "學號或密碼錯誤"));
  EXPECT_EQ(lastLog()["query"]["pPass"], "xf~ud ");
  // The component-escaped query of the same password is accepted.
  r = get(path + kExam + "?" + good);
  EXPECT_EQ(lastLog()["check"], "ok");
  EXPECT_NE(r.body.find("<cos_name>資料結構</cos_name>"), std::string::npos);
}

// Keyed files and accounts are never addresses (as for every kind); these
// are the service's own paths.
TEST_F(AcademicSimTest, StudentMethodsAnswerUnderOneOrTwoSlashesAndNothingElseDoes) {
  start();
  const std::string good = getEncodeUserData("41120307", "cloud 8,7:sky");
  for (const std::string& prefix : {"/", "//"}) {
    HttpResult r = get(prefix + "emisappws/AppWebService.asmx/StuEleList2XML?" + good);
    EXPECT_NE(r.body.find("<ch_cos_name>資料結構</ch_cos_name>"), std::string::npos);
    EXPECT_EQ(lastLog()["path"], prefix + "emisappws/AppWebService.asmx/StuEleList2XML");
  }
  for (const std::string& path : {"/emisappws/AppWebService.asmx/StuFooList2XML?" + good, std::string("/emisappws/AppWebService.asmx/")})
    EXPECT_EQ(get(path).status, 404) << path;
  EXPECT_EQ(httpPost(base() + "/emisappws/AppWebService.asmx/StuEleList2XML", good, 10).status, 405);
}

}  // namespace
}  // namespace yx
