#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "http_probe.h"
#include "sim/campus_sim.h"
#include "sim/sample_data.h"
#include "tests/support/scratch.h"

namespace yx::sim {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using test::rawGet;
using test::rawPost;

const std::string kData = YX_SIM_SOURCE_DATA;

// 1 May 2013, 10:20:30 on campus.
std::chrono::system_clock::time_point fixedMoment() {
  using namespace std::chrono;
  return sys_days{year{2013} / 5 / 1} + hours(2) + minutes(20) + seconds(30);
}

using yx::test::readWhole;
using yx::test::ScratchDir;

// A started simulator serving `overlay` over the bundled data at the fixed moment.
std::unique_ptr<CampusSim> startWithOverlay(const ScratchDir& overlay) {
  SimOptions o;
  o.overlayDir = overlay.path;
  o.fixedNow = fixedMoment();
  auto sim = std::make_unique<CampusSim>(o);
  sim->start();
  return sim;
}

class SimTest : public ::testing::Test {
protected:
  void SetUp() override {
    SimOptions o;
    o.fixedNow = fixedMoment();
    sim = std::make_unique<CampusSim>(o);
    sim->start();
    campus = sim->port("campus_data");
  }
  std::unique_ptr<CampusSim> sim;
  int campus = 0;
};

// ---------------------------------------------------------------- serving

TEST_F(SimTest, ServesEveryCampusFileByteForByteWithDatesFilled) {
  // Feeds may name other servers ({{base:KIND}}): those of this simulator.
  const CampusTime t{fixedMoment(), 8 * 60,
                     std::make_shared<const std::map<std::string, std::string>>(sim->deployment().baseUrls)};
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(kData + "/campus")) {
    if (!entry.is_regular_file()) continue;
    const std::string path = "/" + fs::relative(entry.path(), kData + "/campus").generic_string();
    const test::RawReply r = rawGet(campus, path);
    ASSERT_EQ(r.status, 200) << path;
    EXPECT_EQ(r.body, fillPlaceholders(readWhole(entry.path()), t)) << path;
    EXPECT_EQ(r.body.find("{{"), std::string::npos) << path << " keeps a placeholder";
    if (path.ends_with(".xml")) {  // the screens read every feed as a whole document
      xmlDocPtr doc = xmlReadMemory(r.body.data(), static_cast<int>(r.body.size()), nullptr, nullptr, XML_PARSE_NONET);
      EXPECT_NE(doc, nullptr) << path << " is not well-formed";
      xmlFreeDoc(doc);
    }
    ++files;
  }
  EXPECT_GE(files, 27);

  // A plain file goes out untouched; the feeds say they are XML.
  const test::RawReply empty = rawGet(campus, "/data/xml/today-4.xml");
  EXPECT_EQ(empty.body, readWhole(kData + "/campus/data/xml/today-4.xml"));
  EXPECT_EQ(empty.headers.at("content-type"), "text/xml; charset=utf-8");

  // HEAD announces the length without the body.
  const test::RawReply head = rawGet(campus, "/Data/xml/news-0.xml", "HEAD");
  EXPECT_EQ(head.status, 200);
  EXPECT_TRUE(head.body.empty());
  EXPECT_EQ(head.declaredLength, static_cast<long long>(rawGet(campus, "/Data/xml/news-0.xml").body.size()));
}

TEST_F(SimTest, PathsMatchLetterCaseAndQueriesDoNotChooseTheFile) {
  EXPECT_EQ(rawGet(campus, "/Data/xml/news-3.xml?x=1&y=%20").body, rawGet(campus, "/Data/xml/news-3.xml").body);
  EXPECT_EQ(rawGet(campus, "/data/xml/news-3.xml").status, 404);
  EXPECT_EQ(rawGet(campus, "/Data/xml/cal.xml").status, 404);
  EXPECT_EQ(rawGet(campus, "/data/xml/cal.xml").status, 200);
  // Report endpoints answer short ASCII text whatever the query.
  for (const char* target : {"/Data/info1.aspx?pk=abc&b=1990&s=%E7%94%B7&os=Linux&p=PC",
                             "/Data/situ1.aspx?pk=abc&fx=1&fy=2&fn=%E8%BF%91&fs=a&fe=b",
                             "/data/phone1.aspx?pk=abc&s=1&dp=2&r=3"}) {
    const test::RawReply r = rawGet(campus, target);
    EXPECT_EQ(r.status, 200) << target;
    EXPECT_EQ(r.body, "OK") << target;
  }
}

TEST_F(SimTest, UnknownPathsGet404AndUnknownMethods405) {
  EXPECT_EQ(rawGet(campus, "/Data/xml/news-7.xml").status, 404);
  EXPECT_EQ(rawGet(campus, "/").status, 404);
  EXPECT_EQ(rawGet(campus, "/Data/xml").status, 404);  // a folder is not a file
  // Nothing outside the data folder can be reached.
  EXPECT_EQ(rawGet(campus, "/../../../../etc/passwd").status, 404);
  EXPECT_EQ(rawGet(campus, "/Data/%2e%2e/%2e%2e/campus/Data/xml/labs.xml").status, 404);
  EXPECT_EQ(rawGet(campus, "/Data/xml/..%2f..%2f..%2fCMakeLists.txt").status, 404);

  const test::RawReply put = test::rawExchange(
      campus, "PUT /Data/xml/labs.xml HTTP/1.1\r\nHost: x\r\nContent-Length: 2\r\nConnection: close\r\n\r\nab");
  EXPECT_EQ(put.status, 405);
  EXPECT_EQ(put.headers.at("allow"), "GET, HEAD");
  EXPECT_EQ(rawGet(campus, "/Data/xml/labs.xml", "DELETE").status, 405);
  EXPECT_EQ(rawPost(campus, "/Data/info1.aspx", "pk=1").status, 405);
  // A portal takes POST: an unknown path there is a 404, not a 405.
  EXPECT_EQ(rawPost(sim->port("wifi_yi"), "/nothing-here", "a=1").status, 404);
  // Every kind answers on its own port with its own skeleton.
  for (const auto& kind : Deployment::kinds()) {
    EXPECT_EQ(rawGet(sim->port(kind), "/no/such/page").status, 404) << kind;
    EXPECT_EQ(rawGet(sim->port(kind), "/x", "DELETE").status, 405) << kind;
  }
}

// ---------------------------------------------------------------- request log

TEST(SimLog, KeepsRawQueriesExactlyAndDecodesFieldsAndBodies) {
  ScratchDir dir;
  SimOptions o;
  o.logFile = dir / "requests.jsonl";
  CampusSim sim(o);
  sim.start();
  const int campus = sim.port("campus_data");
  const int library = sim.port("library_catalogue");

  const std::string raw = "pk=%E9%9B%B2%E5%B2%AB&c=a+b%2Bc&c=last&empty=&flag&%zz=1//x&big5=%B6%B3";
  rawGet(campus, "/Data/review1.aspx?" + raw);
  rawGet(campus, "/Data/xml/%E9%9B%B2.xml");
  rawPost(library, "/patron", "id=A123&pin=p%40ss+w");
  rawPost(library, "/upload", std::string("\xff\xfe\x00\x01", 4), "application/octet-stream");

  const std::vector<json> log = sim.requests();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0]["kind"], "campus_data");
  EXPECT_EQ(log[0]["method"], "GET");
  EXPECT_EQ(log[0]["path"], "/Data/review1.aspx");
  EXPECT_EQ(log[0]["raw_query"], raw);
  EXPECT_EQ(log[0]["query"], (json{{"pk", "雲岫"}, {"c", "last"}, {"empty", ""}, {"flag", ""}, {"%zz", "1//x"}, {"big5", "%B6%B3"}}));
  EXPECT_EQ(log[0]["status"], 200);
  EXPECT_EQ(log[0]["body"], "");
  EXPECT_TRUE(std::regex_match(log[0]["time"].get<std::string>(),
                               std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)")));

  EXPECT_EQ(log[1]["path"], "/Data/xml/%E9%9B%B2.xml");  // as received
  EXPECT_EQ(log[1]["status"], 404);

  EXPECT_EQ(log[2]["kind"], "library_catalogue");
  EXPECT_EQ(log[2]["method"], "POST");
  EXPECT_EQ(log[2]["body"], "id=A123&pin=p%40ss+w");
  EXPECT_EQ(log[2]["form"], (json{{"id", "A123"}, {"pin", "p@ss w"}}));

  EXPECT_FALSE(log[3].contains("body"));
  EXPECT_EQ(log[3]["body_base64"], "//4AAQ==");
  EXPECT_EQ(log[3]["form"], json::object());

  // The log file holds the same objects, one per line.
  sim.stop();
  std::ifstream in(o.logFile);
  std::string line;
  std::vector<json> fromFile;
  while (std::getline(in, line)) fromFile.push_back(json::parse(line));
  EXPECT_EQ(fromFile, log);

  sim.clearRequests();
  EXPECT_TRUE(sim.requests().empty());
}

// ---------------------------------------------------------------- overlay

TEST(SimOverlay, OverlayFilesReplaceBundledOnesOnlyWhereTheyExist) {
  ScratchDir overlay;
  overlay.write("campus/Data/xml/news-1.xml", "<NewDataSet>{{today|yyyy}}</NewDataSet>");
  overlay.write("campus/Data/xml/extra.xml", "<x/>");
  overlay.write("weather/town/1.htm", "<html>晴</html>");
  overlay.write("faults.json", R"({"/Data/xml/news-2.xml": {"status": 503, "kind": "campus_data"}})");
  auto sim = startWithOverlay(overlay);
  const int campus = sim->port("campus_data");

  EXPECT_EQ(rawGet(campus, "/Data/xml/news-1.xml").body, "<NewDataSet>2013</NewDataSet>");
  EXPECT_EQ(rawGet(campus, "/Data/xml/extra.xml").body, "<x/>");
  const test::RawReply town = rawGet(sim->port("weather"), "/town/1.htm");
  EXPECT_EQ(town.body, "<html>晴</html>");
  EXPECT_EQ(town.headers.at("content-type"), "text/html; charset=utf-8");
  EXPECT_EQ(rawGet(campus, "/Data/xml/news-2.xml").status, 503);
  // Everything else still comes from the bundled data.
  EXPECT_EQ(rawGet(campus, "/Data/xml/news-3.xml").body,
            fillPlaceholders(readWhole(kData + "/campus/Data/xml/news-3.xml"), {fixedMoment(), 480}));
  // The overlay is read per request: a file added while serving is served.
  overlay.write("campus/Data/xml/news-4.xml", "late");
  EXPECT_EQ(rawGet(campus, "/Data/xml/news-4.xml").body, "late");
}

TEST(SimOverlay, KeyedFilesAnswerByTheAskedValueAndAccountsAreNeverServed) {
  ScratchDir overlay;
  overlay.write("bus_info/MQS/businfo2.jsp", "查無此路線");
  overlay.write("bus_info/MQS/businfo2.jsp@routename=%E7%B4%8527", "紅27 {{today|MM/dd}} {{base:camera}}");
  overlay.write("bus_info/MQS/businfo2.jsp@routename=a%2Fb%20c", "slash and space");
  overlay.write("bus_info/accounts.json", R"({"someone": "secret"})");
  auto sim = startWithOverlay(overlay);
  const int bus = sim->port("bus_info");
  auto red = rawGet(bus, "/MQS/businfo2.jsp?routename=%E7%B4%8527&lang=tw");
  EXPECT_EQ(red.body, "紅27 05/01 http://127.0.0.1:" + std::to_string(sim->port("camera")));
  // The path's own content type, whatever the keyed name looks like.
  EXPECT_EQ(red.headers.at("content-type"), "text/html; charset=utf-8");
  EXPECT_EQ(rawGet(bus, "/MQS/businfo2.jsp?routename=a/b+c").body, "slash and space");
  EXPECT_EQ(rawPost(bus, "/MQS/businfo2.jsp", "routename=a%2Fb%20c").status, 405);  // GET only here
  EXPECT_EQ(rawGet(bus, "/MQS/businfo2.jsp?routename=999").body, "查無此路線");
  EXPECT_EQ(rawGet(bus, "/MQS/businfo2.jsp").body, "查無此路線");
  // Neither keyed files nor the accounts are addresses.
  EXPECT_EQ(rawGet(bus, "/MQS/businfo2.jsp@routename=%25E7%25B4%258527").status, 404);
  EXPECT_EQ(rawGet(bus, "/accounts.json").status, 404);
}

// A missing overlay or data folder, or a bad fault file: start() throws,
// naming the bad value.
TEST(SimOverlay, BadSetUpIsRefusedAtStart) {
  ScratchDir overlay;
  overlay.write("faults.json", R"({"/x": {"delay": 5}})");
  for (auto [overlayDir, dataDir, named] : {std::tuple{std::string("/nonexistent/overlay"), std::string(), ""},
                                            std::tuple{overlay.path, std::string(), "\"delay\""},
                                            std::tuple{std::string(), std::string("/nonexistent/data"), ""}}) {
    SimOptions o;
    o.overlayDir = overlayDir;
    o.dataDir = dataDir;
    CampusSim sim(o);
    try {
      sim.start();
      ADD_FAILURE() << "accepted " << overlayDir << dataDir;
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(named), std::string::npos) << e.what();
    }
  }
}

TEST(SimOverlay, BundledExampleMakesTheProfileAnswerNonAscii) {
  SimOptions o;
  o.overlayDir = kData + "/../overlays/profile-non-ascii";
  CampusSim sim(o);
  sim.start();
  const test::RawReply r = rawGet(sim.port("campus_data"), "/Data/info1.aspx?pk=1&b=2");
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, "已收到");
  EXPECT_EQ(rawGet(sim.port("campus_data"), "/Data/situ1.aspx?pk=1").body, "OK");
}

// ---------------------------------------------------------------- faults

TEST_F(SimTest, FaultsDelayReplaceCutAndChangeStatusPerPath) {
  const std::string labs = rawGet(campus, "/Data/xml/labs.xml").body;
  ASSERT_GT(labs.size(), 100u);

  sim->setFault("/Data/xml/labs.xml", Fault{.cutAfter = 40});
  test::RawReply r = rawGet(campus, "/Data/xml/labs.xml");
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.declaredLength, static_cast<long long>(labs.size()));
  EXPECT_EQ(r.body, labs.substr(0, 40));
  sim->setFault("/Data/xml/labs.xml", Fault{.cutAfter = 0});
  EXPECT_TRUE(rawGet(campus, "/Data/xml/labs.xml").body.empty());

  const std::string bytes("<NewDataSet><labs>\xff", 19);
  sim->setFault("/Data/xml/labs.xml", Fault{.body = bytes, .contentType = "application/octet-stream"});
  r = rawGet(campus, "/Data/xml/labs.xml");
  EXPECT_EQ(r.body, bytes);
  EXPECT_EQ(r.headers.at("content-type"), "application/octet-stream");
  // A replacement body also answers a path that has no file.
  sim->setFault("/Data/xml/nothing.xml", Fault{.body = "made up"});
  r = rawGet(campus, "/Data/xml/nothing.xml");
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.body, "made up");

  sim->setFault("/data/xml/cal.xml", Fault{.status = 500});
  EXPECT_EQ(rawGet(campus, "/data/xml/cal.xml").status, 500);
  EXPECT_EQ(sim->requests().back()["status"], 500);

  sim->setFault("/data/xml/today-1.xml", Fault{.delayMs = 300});
  const auto before = std::chrono::steady_clock::now();
  r = rawGet(campus, "/data/xml/today-1.xml");
  EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(300));
  EXPECT_EQ(r.status, 200);
  EXPECT_NE(r.body.find("<today>"), std::string::npos);

  // A fault limited to one kind leaves the same path elsewhere alone.
  sim->setFault("/Data/xml/news-0.xml", Fault{.status = 502, .kind = "weather"});
  EXPECT_EQ(rawGet(campus, "/Data/xml/news-0.xml").status, 200);

  // Other paths are untouched; clearing restores every answer.
  EXPECT_EQ(rawGet(campus, "/Data/xml/act-0.xml").status, 200);
  sim->clearFaults();
  EXPECT_EQ(rawGet(campus, "/Data/xml/labs.xml").body, labs);
  EXPECT_EQ(rawGet(campus, "/data/xml/cal.xml").status, 200);
}

TEST_F(SimTest, ControlEndpointSetsListsAndClearsFaultsUnlogged) {
  const int weather = sim->port("weather");
  EXPECT_EQ(rawPost(weather, "/_sim/faults", R"({"path": "/Data/xml/news-5.xml", "status": 404})", "application/json")
                .status,
            200);
  EXPECT_EQ(rawGet(campus, "/Data/xml/news-5.xml").status, 404);
  const json listed = json::parse(rawGet(campus, "/_sim/faults").body);
  EXPECT_EQ(listed, (json{{"/Data/xml/news-5.xml", {{"status", 404}}}}));

  EXPECT_EQ(rawPost(campus, "/_sim/faults", R"({"status": 404})", "application/json").status, 400);
  EXPECT_EQ(rawPost(campus, "/_sim/faults", "not json", "application/json").status, 400);
  EXPECT_EQ(rawPost(campus, "/_sim/faults", R"({"path": "/a", "cut_after": -3})", "application/json").status, 400);

  EXPECT_EQ(rawGet(campus, "/_sim/faults", "DELETE").status, 200);
  EXPECT_EQ(rawGet(campus, "/Data/xml/news-5.xml").status, 200);
  for (const json& entry : sim->requests()) EXPECT_NE(entry["path"], "/_sim/faults");
}

TEST(SimFaults, StopDoesNotWaitForALongDelay) {
  CampusSim sim;
  sim.start();
  Fault slow;
  slow.delayMs = 600000;
  sim.setFault("/Data/xml/labs.xml", slow);
  std::thread client([port = sim.port("campus_data")] { rawGet(port, "/Data/xml/labs.xml"); });
  // Give the server time to take the request into its delay.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  sim.stop();  // a hang here fails the test by its time-out
  client.join();
  EXPECT_FALSE(sim.running());
}

// ---------------------------------------------------------------- load, life cycle

TEST_F(SimTest, BurstOfAThousandRequestsGetsEveryAnswerRight) {
  std::vector<std::string> paths;
  std::vector<std::string> expected;
  for (int i = 0; i <= 6; ++i) paths.push_back("/Data/xml/news-" + std::to_string(i) + ".xml");
  for (int i = 0; i <= 9; ++i) paths.push_back("/Data/xml/act-" + std::to_string(i) + ".xml");
  paths.push_back("/Data/xml/missing.xml");
  for (const auto& p : paths) expected.push_back(rawGet(campus, p).body);
  sim->clearRequests();

  constexpr int kThreads = 8, kPerThread = 125;
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kPerThread; ++i) {
        const size_t k = static_cast<size_t>(t * kPerThread + i) % paths.size();
        const test::RawReply r = rawGet(campus, paths[k] + "?n=" + std::to_string(i));
        const int want = paths[k] == "/Data/xml/missing.xml" ? 404 : 200;
        if (r.status != want || r.body != expected[k]) ++wrong;
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(sim->requests().size(), static_cast<size_t>(kThreads * kPerThread));
  EXPECT_EQ(rawGet(campus, "/Data/xml/labs.xml").status, 200);  // still alive
}

TEST(SimLifeCycle, DeploymentPointsEveryKindAtItsOwnLivePort) {
  CampusSim sim;
  EXPECT_EQ(sim.port("campus_data"), 0);
  sim.start();
  const Deployment d = sim.deployment();
  std::set<std::string> urls;
  for (const auto& kind : Deployment::kinds()) {
    ASSERT_TRUE(d.baseUrls.count(kind)) << kind;
    urls.insert(d.baseUrls.at(kind));
    EXPECT_EQ(d.baseUrls.at(kind), "http://127.0.0.1:" + std::to_string(sim.port(kind)));
  }
  EXPECT_EQ(urls.size(), 15u);
  EXPECT_FALSE(d.sipDomain.empty());
  EXPECT_FALSE(d.wifiInterfaces.empty());
  // Serving from the moment start() returns.
  EXPECT_EQ(rawGet(sim.port("campus_data"), "/Data/xml/labs.xml").status, 200);

  const int oldPort = sim.port("campus_data");
  sim.stop();
  EXPECT_FALSE(rawGet(oldPort, "/Data/xml/labs.xml").connected);
  sim.start();  // a stopped simulator can start again
  EXPECT_EQ(rawGet(sim.port("campus_data"), "/Data/xml/labs.xml").status, 200);
}

int threadCount() {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("Threads:", 0) == 0) return std::stoi(line.substr(8));
  return -1;
}

// A kind's server and worker threads start with its first connection, so a
// simulator that is started but barely used costs one thread; kinds never
// used stop cleanly and give their ports back.
TEST(SimLifeCycle, EachKindStartsOnFirstUse) {
  const int before = threadCount();
  {
    CampusSim sim;
    sim.start();
    EXPECT_LE(threadCount() - before, 1);
    EXPECT_EQ(rawGet(sim.port("campus_data"), "/Data/xml/labs.xml").status, 200);
    const int oneKind = threadCount() - before;
    EXPECT_GT(oneKind, 1);
    EXPECT_EQ(rawGet(sim.port("campus_data"), "/data/xml/cal.xml").status, 200);
    EXPECT_EQ(threadCount() - before, oneKind) << "a kind starts once";
    EXPECT_EQ(rawGet(sim.port("weather"), "/missing").status, 404);
    EXPECT_GT(threadCount() - before, oneKind);
    sim.stop();
  }
  EXPECT_EQ(threadCount(), before);
}

TEST(SimLifeCycle, FixedPortsNumberKindsInDeploymentOrderAndClashesAreReported) {
  // Find a free run of ports by binding the first simulator on any port,
  // then asking for a fixed base well away from it.
  for (int base : {23500, 31700, 42100}) {
    SimOptions o;
    o.port = base;
    CampusSim sim(o);
    try {
      sim.start();
    } catch (const std::runtime_error&) {
      continue;  // taken on this machine; try another range
    }
    for (size_t i = 0; i < Deployment::kinds().size(); ++i) {
      EXPECT_EQ(sim.port(Deployment::kinds()[i]), base + static_cast<int>(i));
    }
    CampusSim second(o);
    try {
      second.start();
      ADD_FAILURE() << "two simulators on one port";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(std::to_string(base)), std::string::npos) << e.what();
    }
    EXPECT_EQ(rawGet(base, "/Data/xml/labs.xml").status, 200);  // the first one is unharmed
    return;
  }
  GTEST_SKIP() << "no free port range";
}

// The standalone program, started with `args` (its standard error to
// `errFile` when given): its printed base URL per kind, stopped by SIGTERM.
struct SimProgram {
  pid_t pid = -1;
  FILE* out = nullptr;
  std::map<std::string, std::string> urls;

  SimProgram(const std::string& exe, std::vector<std::string> args, const std::string& errFile = {}) {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid = fork();
    if (pid == 0) {
      dup2(fds[1], 1);
      close(fds[0]);
      if (!errFile.empty() && !freopen(errFile.c_str(), "w", stderr)) _exit(126);
      std::vector<char*> argv{const_cast<char*>("campus-sim")};
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(exe.c_str(), argv.data());
      _exit(127);
    }
    close(fds[1]);
    out = fdopen(fds[0], "r");
    char line[512];
    while (out && urls.size() < 15 && fgets(line, sizeof line, out)) {
      std::istringstream s(line);
      std::string key, url;
      s >> key >> url;
      urls[key] = url;
    }
  }
  int port(const std::string& kind) { return std::stoi(urls[kind].substr(urls[kind].rfind(':') + 1)); }
  // The exit status after SIGTERM (-1 when it did not exit by itself).
  int stop() {
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    if (out) fclose(out);
    out = nullptr;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  ~SimProgram() {
    if (out) stop();
  }
};

TEST(SimStandalone, PrintsOneLinePerKindServesAndStopsOnSigterm) {
  ScratchDir dir;
  const std::string log = dir / "log.jsonl";
  SimProgram sim(YX_CAMPUS_SIM_EXE, {"--log", log});
  ASSERT_EQ(sim.urls.size(), 15u);
  for (const auto& kind : Deployment::kinds()) ASSERT_TRUE(sim.urls.count(kind)) << kind;
  EXPECT_EQ(rawGet(sim.port("campus_data"), "/data/xml/today-3.xml?k=%20").status, 200);
  EXPECT_EQ(sim.stop(), 0);
  const json entry = json::parse(readWhole(log));
  EXPECT_EQ(entry["raw_query"], "k=%20");

  // Bad arguments: usage and status 2.
  EXPECT_EQ(yx::test::runShell(YX_CAMPUS_SIM_EXE " --port x 2>/dev/null").status, 2);
}

// A copy of the program without its HTTP module beside it still starts, but
// every call is refused at once (nobody waits on a port that cannot answer)
// and one line says what is missing.
TEST(SimStandalone, WithoutItsHttpModuleRefusesCallsAndSaysWhy) {
  ScratchDir dir;
  std::filesystem::create_directories(dir / "bin");
  std::filesystem::copy_file(YX_CAMPUS_SIM_EXE, dir / "bin/campus-sim");
  const std::string err = dir / "err.txt";
  SimProgram sim(dir / "bin/campus-sim", {}, err);
  ASSERT_EQ(sim.urls.size(), 15u);
  for (const char* kind : {"campus_data", "academic"}) {
    EXPECT_EQ(rawGet(sim.port(kind), "/").status, 0) << kind;
    EXPECT_EQ(rawGet(sim.port(kind), "/").status, 0) << kind;
  }
  EXPECT_EQ(sim.stop(), 0);
  const std::string said = readWhole(err);
  EXPECT_EQ(yx::test::countOf(said, "\n"), 1u) << said;
  EXPECT_NE(said.find("campus-sim: the simulator's HTTP module " + (dir / "lib/yunxiu/libyx_sim_http.so") + " is missing"),
            std::string::npos) << said;
}

}  // namespace
}  // namespace yx::sim
