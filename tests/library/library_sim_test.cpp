// The simulated library servers: patron activity checked against the
// accounts, refusals, the overlay's accounts, record pages, and the sample
// news. (Keyed files and accounts are never addresses, as for every kind.)

#include <gtest/gtest.h>

#include <string>

#include "http_probe.h"
#include "markup/dom.h"
#include "sim/campus_sim.h"
#include "tests/support/scratch.h"

namespace yx::sim {
namespace {

using test::rawGet;
using test::rawPost;

class LibrarySimTest : public ::testing::Test {
protected:
  void start(const std::string& overlay = {}) {
    SimOptions o;
    o.overlayDir = overlay;
    using namespace std::chrono;
    o.fixedNow = sys_days{year{2026} / 12 / 7} + hours(1) + minutes(30);  // 09:30 on campus
    sim = std::make_unique<CampusSim>(o);
    sim->start();
    port = sim->port("library_catalogue");
  }
  test::RawReply patron(const std::string& body) { return rawPost(port, "/cgi-bin/patron-activity", body); }
  std::string lastCheck() { return sim->requests().back().value("check", "(none)"); }
  std::unique_ptr<CampusSim> sim;
  int port = 0;
};

TEST_F(LibrarySimTest, PatronActivityChecksBarcodeAndPasswordAgainstTheAccounts) {
  start();
  auto r = patron("barcode=000123456&password=lib2026");
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.headers["content-type"], "text/xml; charset=utf-8");
  EXPECT_NE(r.body.find("<dueDate>2026-12-07</dueDate>"), std::string::npos) << "due today, filled in";
  EXPECT_NE(r.body.find("<status>Overdue</status>"), std::string::npos);
  EXPECT_EQ(lastCheck(), "ok");
  // "+" in a form is a space, so the second sample patron's unescaped password is wrong.
  r = patron("barcode=A1234567&password=雲岫+&=pw");
  EXPECT_EQ(lastCheck(), "wrong password");
  EXPECT_NE(r.body.find("<error>密碼錯誤，請重新輸入</error>"), std::string::npos);
  EXPECT_EQ(r.status, 200);
  patron("");
  EXPECT_EQ(lastCheck(), "unknown barcode") << "missing fields read as empty";
  r = rawGet(port, "/cgi-bin/patron-activity");
  EXPECT_EQ(r.status, 405);
  EXPECT_EQ(r.headers["allow"], "POST");

  // Record pages are always HTML; without a record, the catalogue says so.
  for (const char* target : {"/cgi-bin/search_virtua.pl?bib_id=999", "/cgi-bin/search_virtua.pl"}) {
    r = rawGet(port, target);
    EXPECT_EQ(r.status, 200) << target;
    EXPECT_EQ(r.headers["content-type"], "text/html; charset=utf-8");
    EXPECT_NE(r.body.find("查無此書目"), std::string::npos) << target;
  }
}

TEST_F(LibrarySimTest, AnOverlaysAccountsReplaceTheBundledOnesWhole) {
  yx::test::ScratchDir dir;
  dir.write("library_catalogue/accounts.json", R"({"B0001": "新密碼 1"})");
  dir.write("library_catalogue/cgi-bin/patron-activity@barcode=B0001",
            "<patronInfo><patron><checkouts><checkout><title>{{today+1}}</title></checkout></checkouts></patron></patronInfo>");
  start(dir.path);
  auto r = patron("barcode=B0001&password=%E6%96%B0%E5%AF%86%E7%A2%BC+1");
  EXPECT_EQ(lastCheck(), "ok");
  EXPECT_NE(r.body.find("<title>2026-12-08</title>"), std::string::npos) << r.body;
  patron("barcode=000123456&password=lib2026");
  EXPECT_EQ(lastCheck(), "unknown barcode") << "the bundled accounts are gone";
}

// The sample opening hours show on the closed-days screen; the sample news
// is only read here.
TEST_F(LibrarySimTest, SampleNewsIsFilledAndWellFormed) {
  start();
  int web = sim->port("library_web");
  auto feed = rawGet(web, "/xhr/announcements/rssfeed/59519819.rss");
  EXPECT_EQ(feed.headers["content-type"], "text/xml; charset=utf-8");
  auto doc = DomDocument::initWithData(feed.body);
  ASSERT_TRUE(doc);
  EXPECT_EQ(doc->nodesForXPath("//rss/channel/item")->size(), 12u);
  EXPECT_EQ(doc->nodesForXPath("//rss/channel/item/link")->size(), 11u);
  EXPECT_NE(feed.body.find("<pubDate>Sun, 06 Dec 2026 10:00:00 +0800</pubDate>"), std::string::npos);
  EXPECT_NE(feed.body.find("http://127.0.0.1:" + std::to_string(web) + "/announcements/db-trial.html"),
            std::string::npos);
}

}  // namespace
}  // namespace yx::sim
