// How a person leaves the news, activities and lab-seat screens: which way
// each button goes, whether the move is animated, which buttons send the
// usage exit report, and what the web page screens show while a page loads.

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "campus/info/info_screens.h"
#include "platform/application.h"
#include "platform/ui/view.h"
#include "platform/ui/view_controller.h"
#include "tests/campus/feeds_support.h"

namespace yx::test {
namespace {

using sim::Fault;
using Move = std::tuple<Transition::Kind, std::string, std::string, bool>;

class LeavingTest : public FeedsFixture {
protected:
  // The moves made since `from`, leaving out the Home menu's own pushes.
  std::vector<Move> movesSince(size_t from) {
    std::vector<Move> out;
    const auto& all = nav().transitions();
    for (size_t i = from; i < all.size(); ++i)
      if (all[i].from != "corvaleViewController")
        out.emplace_back(all[i].kind, all[i].from, all[i].to, all[i].animated);
    return out;
  }
};

constexpr auto Push = Transition::Kind::Push;
constexpr auto Pop = Transition::Kind::Pop;
constexpr auto PopTo = Transition::Kind::PopTo;
constexpr auto PopToRoot = Transition::Kind::PopToRoot;

TEST_F(LeavingTest, NewsScreensMoveAndReportAsEachButtonSays) {
  startReady();
  size_t mark = nav().transitions().size();
  loaded("tap 4");
  run("row 0 0");
  run("tap 3");    // detail: web page
  run("tap 101");  // web page: back
  EXPECT_EQ(usageReports(), 0u) << "back from the web page sends nothing";
  run("tap 2");  // detail: back
  EXPECT_EQ(usageReports(), 0u) << "back from the detail sends nothing";
  run("tap 3");
  std::string s = loaded("row chooseTableview 0 0");
  ASSERT_TRUE(has(s, "screen: newsListViewController depth 5")) << s;
  run("row 0 2");
  run("tap 3");
  s = run("tap 100");  // web page: home
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_EQ(usageReports(), 0u);

  EXPECT_EQ(movesSince(mark), (std::vector<Move>{
                                  {Push, "newsXMLParser", "newsListViewController", false},
                                  {Push, "newsListViewController", "newsDetailsViewController", true},
                                  {Push, "newsDetailsViewController", "newsWebViewController", false},
                                  {Pop, "newsWebViewController", "newsDetailsViewController", true},
                                  {Pop, "newsDetailsViewController", "newsListViewController", true},
                                  {Push, "newsListViewController", "newsXMLParser", false},
                                  {Push, "newsXMLParser", "newsListViewController", false},
                                  {Push, "newsListViewController", "newsDetailsViewController", true},
                                  {Push, "newsDetailsViewController", "newsWebViewController", false},
                                  {PopToRoot, "newsWebViewController", "corvaleViewController", false},
                              }));
  // The chooser's category 0 asks for the same feed as the Home menu.
  EXPECT_EQ(requestsFor("/Data/xml/news-0.xml").size(), 4u);

  // The list's two buttons and the detail's home button report.
  mark = nav().transitions().size();
  loaded("tap 4");
  run("tap 2");
  EXPECT_EQ(usageReports(), 1u);
  loaded("tap 4");
  run("tap 1");
  EXPECT_EQ(usageReports(), 2u);
  loaded("tap 4");
  run("row 0 0");
  run("tap 1");
  EXPECT_EQ(usageReports(), 3u);
  EXPECT_EQ(movesSince(mark), (std::vector<Move>{
                                  {Push, "newsXMLParser", "newsListViewController", false},
                                  {PopTo, "newsListViewController", "corvaleViewController", true},
                                  {Push, "newsXMLParser", "newsListViewController", false},
                                  {PopToRoot, "newsListViewController", "corvaleViewController", false},
                                  {Push, "newsXMLParser", "newsListViewController", false},
                                  {Push, "newsListViewController", "newsDetailsViewController", true},
                                  {PopToRoot, "newsDetailsViewController", "corvaleViewController", false},
                              }));
  for (auto& r : requestsFor("/Data/situ1.aspx")) EXPECT_EQ(r["query"]["fn"], "近期消息") << r.dump();
}

TEST_F(LeavingTest, ActivityAndLabScreensMoveAndReportAsEachButtonSays) {
  startReady();
  size_t mark = nav().transitions().size();
  loaded("tap 6");
  run("tap 3");
  loaded("row chooseTableview 0 4");
  EXPECT_EQ(requestsFor("/Data/xml/act-4.xml").size(), 2u);
  run("row 0 0");
  run("tap 2");
  EXPECT_EQ(usageReports(), 0u);
  std::string s = run("tap 2");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_EQ(usageReports(), 1u);

  loaded("tap 1");
  run("row 0 0");  // only deselects
  s = run("tap 3");
  EXPECT_TRUE(has(s, "screen: computerSeatXMLParser depth 4")) << s;
  EXPECT_EQ(usageReports(), 1u) << "refreshing sends nothing";
  run("wait 1.5");
  run("tap 2");
  EXPECT_EQ(usageReports(), 2u);
  loaded("tap 1");
  run("tap 1");
  EXPECT_EQ(usageReports(), 3u);

  EXPECT_EQ(movesSince(mark), (std::vector<Move>{
                                  {Push, "xmlParser", "inforActsViewController", false},
                                  {Push, "inforActsViewController", "xmlParser", false},
                                  {Push, "xmlParser", "inforActsViewController", false},
                                  {Push, "inforActsViewController", "inforActsDetailsViewController", true},
                                  {Pop, "inforActsDetailsViewController", "inforActsViewController", true},
                                  {PopTo, "inforActsViewController", "corvaleViewController", true},
                                  {Push, "computerSeatXMLParser", "computerViewController", false},
                                  {Push, "computerViewController", "computerSeatXMLParser", false},
                                  {Push, "computerSeatXMLParser", "computerViewController", false},
                                  {PopTo, "computerViewController", "corvaleViewController", true},
                                  {Push, "computerSeatXMLParser", "computerViewController", false},
                                  {PopToRoot, "computerViewController", "corvaleViewController", false},
                              }));
}

TEST_F(LeavingTest, WebPageDimsWhileLoading) {
  startReady();
  loaded("tap 6");
  run("row 0 0");
  std::string s = run("tap 3");
  ASSERT_TRUE(has(s, "screen: inforActWebViewController depth 5")) << s;
  auto* page = top<InfoWebViewController>();
  ASSERT_TRUE(page);
  View& root = page->view();
  EXPECT_FALSE(page->allowsLandscape());
  // Laid out on 320 x 460, then the root takes the whole canvas: the footer
  // keeps to the bottom and the page takes the height between the bands.
  EXPECT_EQ(root.frame(), (Rect{0, 0, 320, 568}));

  // Header and footer bands in the same light blue, page between them.
  const Color band = Color::rgb(162, 214, 253);
  auto* header = root.findNamed<Label>("headerLabel");
  auto* footer = root.findNamed<View>("footer");
  auto* web = root.findNamed<WebView>("pageView");
  ASSERT_TRUE(header && footer && web);
  EXPECT_EQ(header->backgroundColor(), band);
  EXPECT_EQ(header->textColor(), Color::white());
  EXPECT_EQ(footer->backgroundColor(), band);
  EXPECT_EQ(header->frame(), (Rect{0, 0, 320, 50}));
  EXPECT_EQ(footer->frame(), (Rect{0, 518, 320, 50}));
  EXPECT_EQ(web->frame(), (Rect{0, 50, 320, 468}));

  // A load in progress dims the page under a running spinner; the end of the
  // load takes both away.
  page->webViewDidStartLoad(*web);
  s = run("show");
  EXPECT_TRUE(has(s, "spinner spinner: on")) << s;
  auto* overlay = root.findNamed<View>("loadingOverlay");
  ASSERT_TRUE(overlay);
  EXPECT_EQ(overlay->backgroundColor(), Color::black());
  EXPECT_FLOAT_EQ(overlay->alpha(), 0.6f);
  auto* spinner = overlay->findNamed<ActivityIndicator>("spinner");
  ASSERT_TRUE(spinner);
  EXPECT_EQ(spinner->frame().width, 37);
  EXPECT_EQ(spinner->frame().x + spinner->frame().width / 2, 160);
  EXPECT_EQ(overlay->frame(), root.frame());
  page->webViewDidFinishLoad(*web);
  s = run("show");
  EXPECT_FALSE(has(s, "spinner")) << s;
  EXPECT_EQ(root.findNamed<View>("loadingOverlay"), nullptr);
}

}  // namespace
}  // namespace yx::test
