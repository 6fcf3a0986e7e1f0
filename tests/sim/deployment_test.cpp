#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "core/deployment.h"
#include "tests/support/scratch.h"

namespace yx {
namespace {

using nlohmann::json;

json fullDeployment() {
  json j = json::object();
  int port = 9000;
  for (const auto& kind : Deployment::kinds()) j[kind] = "http://campus.example.edu.tw:" + std::to_string(port++);
  j["academic"] = "https://emis.example.edu.tw/app/";
  j["sip_domain"] = "voip.example.edu.tw";
  j["reachability_host"] = "www.example.edu.tw";
  j["softphone_store_link"] = "https://store.example/softphone";
  j["wifi_interfaces"] = {"wlp3s0", "wlan1"};
  j["device_model"] = "ThinkPad";
  j["location"] = {{"latitude", 24.15}, {"longitude", 120.68}};
  return j;
}

// The error a text raises, or "" when it is accepted.
std::string errorOf(const std::string& text) {
  try {
    Deployment::fromJson(text);
  } catch (const DeploymentError& e) {
    return e.what();
  }
  return "";
}

TEST(Deployment, ReadsEveryValueAndJoinsUrlsExactlyAsWritten) {
  Deployment d = Deployment::fromJson(fullDeployment().dump());
  EXPECT_EQ(d.baseUrls.size(), 15u);
  EXPECT_EQ(d.sipDomain, "voip.example.edu.tw");
  EXPECT_EQ(d.reachabilityHost, "www.example.edu.tw");
  EXPECT_EQ(d.softphoneStoreLink, "https://store.example/softphone");
  EXPECT_EQ(d.wifiInterfaces, (std::vector<std::string>{"wlp3s0", "wlan1"}));
  EXPECT_EQ(d.deviceModel, "ThinkPad");
  EXPECT_DOUBLE_EQ(d.latitude, 24.15);
  EXPECT_DOUBLE_EQ(d.longitude, 120.68);

  EXPECT_EQ(d.url("campus_data", "/Data/xml/news-0.xml"), "http://campus.example.edu.tw:9000/Data/xml/news-0.xml");
  // The prefix's trailing slash is dropped once; a doubled slash in the path stays.
  EXPECT_EQ(d.url("academic", "//emisappws/AppWebService.asmx/GetX?pKey=a%20b&c=1"),
            "https://emis.example.edu.tw/app//emisappws/AppWebService.asmx/GetX?pKey=a%20b&c=1");
  EXPECT_EQ(d.url("weather", ""), "http://campus.example.edu.tw:9013");
  EXPECT_THROW(d.url("telnet", "/x"), DeploymentError);

  // What toJson writes reads back the same.
  Deployment again = Deployment::fromJson(d.toJson());
  EXPECT_EQ(again.baseUrls, d.baseUrls);
  EXPECT_EQ(again.wifiInterfaces, d.wifiInterfaces);
  EXPECT_EQ(again.sipDomain, d.sipDomain);
  EXPECT_DOUBLE_EQ(again.longitude, d.longitude);
}

TEST(Deployment, OptionalValuesFallBackToSensibleDefaults) {
  json j = json::object();
  for (const auto& kind : Deployment::kinds()) j[kind] = "http://10.0.0.1:8080/";
  j["sip_registration"] = "https://sip.example.edu.tw/register";
  j["campus_data"] = "http://data.example.edu.tw";
  Deployment d = Deployment::fromJson(j.dump());
  EXPECT_EQ(d.sipDomain, "sip.example.edu.tw");
  EXPECT_EQ(d.reachabilityHost, "data.example.edu.tw");
  EXPECT_EQ(d.wifiInterfaces, std::vector<std::string>{"wlan0"});
  EXPECT_EQ(d.deviceModel, "Linux");
  EXPECT_EQ(d.softphoneStoreLink, "");
  EXPECT_EQ(d.url("camera", "/cam/1.jpg"), "http://10.0.0.1:8080/cam/1.jpg");
}

// Each error is one line naming the problem, whatever the parser said.
TEST(Deployment, RefusesBadFilesWithOneLineNamingTheProblem) {
  json unknown = fullDeployment();
  unknown["campus"] = "http://x";
  EXPECT_EQ(errorOf(unknown.dump()), "deployment file: unknown key \"campus\"");
  // A full deployment with one key set to a value (null: removed), and what its error names.
  using Change = std::tuple<const char*, json, const char*>;
  for (auto [key, value, named] :
       {Change{"bus_info", nullptr, "missing kind \"bus_info\""},
        Change{"weather", "ftp://weather.example", "\"weather\" must start with http:// or https://"},
        Change{"weather", "http://", "\"weather\" has no host"}, Change{"weather", 42, "\"weather\" must be a string"},
        Change{"wifi_interfaces", "wlan0", "wifi_interfaces"},
        Change{"location", {{"latitude", "north"}, {"longitude", 1}}, "\"location\""},
        Change{"location", {{"latitude", 1}, {"longitude", 2}, {"altitude", 3}}, "unknown key \"location.altitude\""}}) {
    json j = fullDeployment();
    if (value.is_null()) j.erase(key);
    else j[key] = value;
    const std::string error = errorOf(j.dump());
    EXPECT_NE(error.find(named), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
  const std::string broken = "{\n  \"campus_data\": \"http://x\",\n  \"academic\": \n}\n";
  for (auto [text, named] : {std::pair{broken, "not valid JSON"}, std::pair{broken, "line 4"},
                             std::pair{std::string("{\"a\":\n\n"), "not valid JSON"},
                             std::pair{std::string(""), "not valid JSON"}, std::pair{std::string("[1, 2]"), "one JSON object"}}) {
    const std::string error = errorOf(text);
    EXPECT_NE(error.find(named), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

TEST(Deployment, FromFileNamesTheFileInItsErrors) {
  test::ScratchDir dir;
  dir.write("good.json", fullDeployment().dump(2));
  dir.write("bad.json", "{ \"campus_data\": \"http://x\", }");
  EXPECT_EQ(Deployment::fromFile(dir / "good.json").deviceModel, "ThinkPad");
  EXPECT_EQ(Deployment::fromFile(dir / "good.json").resourcesDir, "");
  // A resources folder is read relative to the file.
  auto withResources = fullDeployment();
  withResources["resources"] = "site-res";
  dir.write("res.json", withResources.dump(2));
  EXPECT_EQ(Deployment::fromFile(dir / "res.json").resourcesDir, dir / "site-res");

  auto errorOfFile = [](const std::string& path) {
    try {
      Deployment::fromFile(path);
    } catch (const DeploymentError& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  const std::string bad = dir / "bad.json";
  EXPECT_EQ(errorOfFile(bad).rfind("deployment file " + bad + ": not valid JSON", 0), 0u) << errorOfFile(bad);
  EXPECT_NE(errorOfFile(dir / "absent.json").find("absent.json: cannot be read"), std::string::npos);
  EXPECT_NE(errorOfFile(dir.path).find("cannot be read"), std::string::npos) << "a folder";
}

// The sample file for a hand-started "campus-sim --port 18080" must stay in
// step with the simulator's port numbering.
TEST(Deployment, SampleFileMatchesTheStandaloneSimulatorPorts) {
  const Deployment d = Deployment::fromFile(std::string(YX_SIM_SOURCE_DATA) + "/../deploy-18080.json");
  for (size_t i = 0; i < Deployment::kinds().size(); ++i) {
    EXPECT_EQ(d.baseUrls.at(Deployment::kinds()[i]), "http://127.0.0.1:" + std::to_string(18080 + i));
  }
}

}  // namespace
}  // namespace yx
