// What hostile servers, full disks and killed runs do to the news, activity
// and lab-seat feeds: caches are never lost, a failed answer is never shown
// as data, nobody is stranded on a screen without a way out, and the rows
// and the details they open always agree.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "campus/info/info_loaders.h"
#include "core/deployment.h"
#include "platform/files.h"
#include "platform/http.h"
#include "platform/notify.h"
#include "platform/ui/view_controller.h"
#include "tests/campus/feeds_support.h"

namespace yx::test {
namespace {

using sim::Fault;
namespace fs = std::filesystem;

constexpr const char* kNewsPath = "/Data/xml/news-0.xml";

std::string newsFeed(const std::vector<std::string>& titles) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<NewDataSet>\n";
  for (size_t i = 0; i < titles.size(); ++i)
    xml += "<news><編號>" + std::to_string(900 + i) + "</編號><公告>" + titles[i] + "</公告><類別>其他</類別></news>\n";
  return xml + "</NewDataSet>\n";
}

// A pid no process has: one of a child that has already ended.
long deadPid() {
  pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

class FeedHardeningTest : public FeedsFixture {
protected:
  void SetUp() override {
    FeedsFixture::SetUp();
    Files::setDataDirectory(dataDir());  // so files can be planted before start
  }
  bool alertShown(const std::string& s) { return has(s, "alert:"); }
  bool savefilePosted() {
    auto posted = NotificationCenter::defaultCenter().postedNames();
    return std::find(posted.begin(), posted.end(), "savefile") != posted.end();
  }
  // Writes a news cache file as an earlier run would have left it.
  void plantNewsCache(const std::vector<std::string>& titles) {
    FeedRecords old(newsXMLParser::fields());
    for (const auto& t : titles) old.append({"1", t, "舊", "", ""});
    fs::create_directories(documents() + "/DownloadXml");
    ASSERT_TRUE(old.writeFile(cacheFile("news")));
  }
};

// A news loader that looks at the cache file while the feed is being parsed,
// as a run killed at that moment would leave it.
class WatchingLoader : public newsXMLParser {
public:
  mutable std::vector<std::string> seen;

protected:
  void treatText(const std::string& field, std::string& text) const override {
    newsXMLParser::treatText(field, text);
    if (field == "公告") seen.push_back(plistTitles());
  }
  static std::string plistTitles() {
    auto cached = FeedRecords::readFile(cachePath("news"), fields());
    if (!cached) return "MISSING";
    std::string titles;
    for (size_t i = 0; i < cached->size(); ++i) titles += cached->text(i, "公告") + ";";
    return titles;
  }
};

TEST_F(FeedHardeningTest, TheOldCacheStaysWholeUntilTheRunEndsAndLeftoverTemporariesAreSwept) {
  // Temporary files of atomic writes a killed run never finished, and files
  // that only look alike or belong to a running process.
  const long dead = deadPid();
  fs::create_directories(documents() + "/DownloadXml");
  const std::string stale = documents() + "/DownloadXml/news.plist.tmp." + std::to_string(dead) + ".3";
  const std::string staleSettings = dataDir() + "/settings.plist.tmp." + std::to_string(dead) + ".0";
  const std::string live = documents() + "/DownloadXml/act.plist.tmp.1.0";  // pid 1 is running
  const std::string lookalike = documents() + "/notes.tmp.txt";
  for (const auto& f : {stale, staleSettings, live, lookalike}) std::ofstream(f) << "x";
  plantNewsCache({"舊一", "舊二", "舊三"});
  serveFeed(kNewsPath, newsFeed({"新一", "新二"}));
  startReady();
  EXPECT_FALSE(fs::exists(stale));
  EXPECT_FALSE(fs::exists(staleSettings));
  EXPECT_TRUE(fs::exists(live));
  EXPECT_TRUE(fs::exists(lookalike));

  auto loader = std::make_shared<WatchingLoader>();
  loader->receive("progressBar:", newsFeedURL(0));
  push(loader);
  std::string s = run("wait 1.5");
  ASSERT_TRUE(has(s, "screen: newsListViewController depth 3")) << s;
  EXPECT_EQ(loader->seen, (std::vector<std::string>{"舊一;舊二;舊三;", "舊一;舊二;舊三;"}));
  auto news = records("news");
  ASSERT_EQ(news.size(), 2u);
  EXPECT_EQ(news[1]["公告"], "新二");
  // No temporary file is left by the run itself.
  for (auto& e : fs::directory_iterator(documents() + "/DownloadXml"))
    EXPECT_TRUE(e.path().filename() == "news.plist" || e.path() == live) << e.path();
}

TEST_F(FeedHardeningTest, AFullDiskStillListsTheRecordsJustParsedAndTheNextRunReplacesTheFile) {
  plantNewsCache({"舊一", "舊二", "舊三"});
  startReady();
  Files::failWritesUnder(documents());
  std::string s = loaded("tap 4");
  Files::failWritesUnder("");
  ASSERT_TRUE(has(s, "screen: newsListViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "label countLbl: 共 16 筆")) << s;
  EXPECT_TRUE(has(s, "row 0.1: 第十二屆雲岫人文社會學術研討會徵稿\n")) << s;
  EXPECT_FALSE(alertShown(s)) << s;
  s = run("row 0 1");
  EXPECT_TRUE(has(s, "text myTextview: 公告：\\n第十二屆雲岫人文社會學術研討會徵稿截稿日期延至本月底")) << s;
  EXPECT_EQ(records("news").size(), 3u) << "the old file is untouched";

  run("tap 1");
  s = loaded("tap 4");
  EXPECT_TRUE(has(s, "label countLbl: 共 16 筆")) << s;
  EXPECT_EQ(records("news").size(), 16u);
  for (auto& e : fs::directory_iterator(documents() + "/DownloadXml"))
    EXPECT_EQ(e.path().filename(), "news.plist") << "no temporary file is left behind";

  // A disk full from the first run on: the records are listed, not "no information".
  fs::remove(cacheFile("news"));
  Files::failWritesUnder(documents());
  run("tap 1");
  s = loaded("tap 4");
  Files::failWritesUnder("");
  EXPECT_TRUE(has(s, "label countLbl: 共 16 筆")) << s;
  EXPECT_FALSE(alertShown(s)) << s;
  EXPECT_EQ(plistlib("news"), "MISSING");
}

TEST_F(FeedHardeningTest, RowsAndTheDetailsTheyOpenComeFromTheSameRecordsWhateverHappensToTheFile) {
  startReady();
  std::string s = loaded("tap 4");
  ASSERT_TRUE(has(s, "row 0.1: 第十二屆雲岫人文社會學術研討會徵稿\n")) << s;
  // The file changes under the list (another run, another program).
  plantNewsCache({"別類截斷1", "別類截斷2"});
  s = run("show");
  EXPECT_TRUE(has(s, "row 0.1: 第十二屆雲岫人文社會學術研討會徵稿\n")) << s;
  s = run("row 0 1");
  EXPECT_TRUE(has(s, "公告：\\n第十二屆雲岫人文社會學術研討會徵稿截稿日期延至本月底")) << s;
  EXPECT_FALSE(has(s, "別類截斷")) << s;
  run("tap 1");

  // Activities: rows are not read again from the file as they are drawn.
  s = loaded("tap 6");
  ASSERT_TRUE(has(s, "row 0.0: 建築系畢業設計成果展\n")) << s;
  FeedRecords other(xmlParser::fields());
  other.append({"換掉的課程"});
  ASSERT_TRUE(other.writeFile(cacheFile("act")));
  s = run("show");
  EXPECT_TRUE(has(s, "row 0.0: 建築系畢業設計成果展\n")) << s;
  EXPECT_TRUE(has(s, "label countLbl: 共 13 筆")) << s;
  s = run("row 0 0");
  EXPECT_TRUE(has(s, "text myTextview: 課程名稱：\\n建築系畢業設計成果展")) << s;
}

// A failed category switch leaves the old list; its rows still open their
// own records, never the new partial cache.
TEST_F(FeedHardeningTest, AFailedCategorySwitchNeverMixesTheOldRowsWithTheNewCache) {
  startReady();
  loaded("tap 4");
  sim().setFault("/Data/xml/news-3.xml",
                 Fault{.body = "<NewDataSet><news><公告>別類截斷1</公告></news><news><公告>壞"});
  run("tap 3");
  std::string s = loaded("row chooseTableview 0 3");
  ASSERT_TRUE(has(s, "alert: Error loading content")) << s;
  s = run("alert 0");
  ASSERT_TRUE(has(s, "screen: newsListViewController depth 3")) << s;
  EXPECT_EQ(records("news").size(), 1u) << "the partial run's records, as parsed so far";
  s = run("row 0 1");
  EXPECT_TRUE(has(s, "公告：\\n第十二屆雲岫人文社會學術研討會徵稿")) << s;
}

// A news loader whose download (after a good probe) meets a fault.
class FailAfterProbe : public newsXMLParser {
public:
  std::function<void()> afterProbe;

protected:
  bool probeAnswered(const HttpResult& probe) override {
    afterProbe();
    return newsXMLParser::probeAnswered(probe);
  }
};

// An answer that is not a success, a cut or a body over the size limit after
// a good probe: "savefile", then the network alert, whose answer takes the
// person back; nothing is parsed or cached.
TEST_F(FeedHardeningTest, ATransferFailureAfterAGoodProbeAlertsAndLeadsBack) {
  startReady();
  loaded("tap 4");
  run("tap 1");
  const std::string good = plistlib("news");
  std::vector<std::pair<std::string, std::function<void()>>> failures = {
      {"cut", [this] { sim().setFault(kNewsPath, Fault{.cutAfter = 2000}); }},
      {"over the limit", [] { setHttpMaxBodyBytes(1000); }},
  };
  for (int status : {500, 503, 302, 999})
    failures.emplace_back("status " + std::to_string(status), [this, status] {
      sim().setFault(kNewsPath, Fault{.status = status, .body = newsFeed({"錯誤頁當資料"})});
    });
  for (auto& [what, fail] : failures) {
    SCOPED_TRACE(what);
    NotificationCenter::defaultCenter().reset();
    auto loader = std::make_shared<FailAfterProbe>();
    loader->afterProbe = fail;
    loader->receive("progressBar:", newsFeedURL(0));
    push(loader);
    std::string s = run("wait 2");
    setHttpMaxBodyBytes(32u << 20);
    sim().clearFaults();
    EXPECT_TRUE(has(s, "screen: newsXMLParser depth 2")) << s;
    EXPECT_TRUE(has(s, "alert: 網路警示 | 請確認網路連線狀態是否開啟 | 確定\n")) << s;
    EXPECT_TRUE(savefilePosted());
    EXPECT_EQ(plistlib("news"), good);
    s = run("alert 0");
    EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  }
  // A success that is not 200 is still a success.
  sim().setFault(kNewsPath, Fault{.status = 203, .body = newsFeed({"二〇三"})});
  std::string s = loaded("tap 4");
  EXPECT_TRUE(has(s, "row 0.0: 二〇三\n")) << s;
}

// A cache file that is not a property list, or a real one of more than
// 64 MiB as another program could plant: the list's missing-cache alert.
TEST_F(FeedHardeningTest, AnUnreadableOrOversizedCacheFileReadsAsMissing) {
  startReady();
  sim().setFault(kNewsPath, Fault{.body = "<NewDataSet/>"});
  fs::create_directories(documents() + "/DownloadXml");
  for (bool huge : {false, true}) {
    std::ofstream out(cacheFile("news"), std::ios::binary);
    if (huge) {
      out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<array>\n";
      const std::string item = "<dict><key>公告</key><string>" + std::string(4000, 'x') + "</string></dict>\n";
      for (size_t written = 0; written <= Files::kMaxPlistBytes; written += item.size()) out << item;
      out << "</array>\n</plist>\n";
    } else {
      out << "<plist><array><dict><key>編號</key>";
    }
    out.close();
    std::string s = loaded("tap 4");
    EXPECT_TRUE(has(s, "screen: newsListViewController depth 3")) << s;
    EXPECT_TRUE(has(s, "alert: 提醒 | 此類別目前無相關資訊。 | 確定")) << s;
    EXPECT_TRUE(has(s, "label countLbl: 共 0 筆")) << s;
    run("alert 0");
    run("tap 1");
  }
}

// The activity loader reads its mode from the feed's own path: a deployment
// whose campus data server lives under "/preferred" still gets activities.
TEST_F(FeedHardeningTest, TheLoaderModeComesFromTheFeedPathNotTheDeployment) {
  const std::string overlayDir = overlay();
  fs::create_directories(overlayDir + "/campus/preferred/Data/xml");
  fs::copy_file(sim::bundledDataDir() + "/campus/Data/xml/act-0.xml",
                overlayDir + "/campus/preferred/Data/xml/act-0.xml");
  sim::SimOptions so;
  so.overlayDir = overlayDir;
  sim::CampusSim server(so);
  server.start();
  Deployment d = server.deployment();
  d.baseUrls["campus_data"] += "/preferred";
  const std::string config = dataDir() + "-deploy.json";
  std::ofstream(config) << d.toJson();
  options.configFile = config;
  options.simData.clear();
  startReady();
  std::string s = loaded("tap 6");
  EXPECT_TRUE(has(s, "screen: inforActsViewController depth 3")) << s;
  EXPECT_TRUE(has(s, "label countLbl: 共 13 筆")) << s;
  fs::remove(config);
}

}  // namespace
}  // namespace yx::test
