// The newspaper's article screens: headline and caption heights on both
// editions, the last item's fields with the first three pictures, pictures
// escaped on the wire and refused when they are not whole pictures, the
// pinch on the body, the full-screen zoomable picture, and pictures that
// arrive after their screen has gone.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <set>
#include <sstream>

#include "campus/newspaper/articles.h"
#include "platform/files.h"
#include "tests/campus/newspaper_support.h"

namespace yx::test {
namespace {

using sim::Fault;

std::string repeat(const std::string& unit, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += unit;
  return s;
}

std::string bundledPicture(const std::string& handler, const std::string& path) {
  std::ifstream in(std::string(YX_SOURCE_DIR) + "/sim/data/newspaper_web/ashx/" + handler + "@im=" +
                       sim::keyedValue(path),
                   std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

class NewspaperArticlesTest : public NewspaperFixture {
protected:
  using Item = NewspaperFixture::Item;

  static Item article(const std::string& id, const std::string& title, const std::string& picture,
                      const std::string& caption, const std::string& body = "內文") {
    return {{"編號", id},  {"版別", "1"}, {"期別", "300"},        {"發佈日期", "2027/01/08"},
            {"標題", title}, {"內文", body}, {"圖片路徑", picture}, {"圖片內文", caption}};
  }
  void serveArticle(const std::string& id, const std::string& itemName, const std::vector<Item>& items) {
    serveTimes("new-" + id + ".xml", itemName, items);
  }
  // List rows, one per id, in the Chinese and the English list.
  void serveLists(const std::vector<std::string>& ids) {
    std::vector<Item> cht, eng;
    for (const auto& id : ids) {
      cht.push_back({{"編號", id}, {"期別", "300"}, {"發佈日期", "2027/01/08"}, {"標題", id}, {"圖片路徑", ""}});
      eng.push_back({{"編號", "E" + id}, {"期別", "300"}, {"發佈日期", "2027/01/08"}, {"標題", id}, {"圖片路徑", ""}});
    }
    serveTimes("new-cht1.xml", "cht", cht);
    serveTimes("new-eng.xml", "eng", eng);
  }
  Rect frameOf(const std::string& name) {
    View* v = viewOnTop<View>(name);
    return v ? v->frame() : Rect{-1, -1, -1, -1};
  }
  double bottom(const std::string& name) { return frameOf(name).y + frameOf(name).height; }
};

TEST_F(NewspaperArticlesTest, HeadlinesAndCaptionsTakeTheirHeightsOnBothEditions) {
  const int lengths[] = {14, 15, 16, 31};
  std::vector<std::string> ids;
  for (int n : lengths) {
    std::string id = "h" + std::to_string(n);
    ids.push_back(id);
    serveArticle(id, "cht", {article(id, repeat("字", n), "", "")});
    serveArticle("E" + id, "eng", {article("E" + id, repeat("W", n), "", "")});
  }
  // Captions of 25, 26, 50 and 51, 100, 101 characters.
  serveArticle("c1", "cht", {article("c1", "說明", "", repeat("圖", 25)), article("c1", "說明", "", repeat("圖", 26)),
                             article("c1", "說明", "", repeat("圖", 50))});
  serveArticle("c2", "cht", {article("c2", "說明", "", repeat("圖", 51)), article("c2", "說明", "", repeat("a", 100)),
                             article("c2", "說明", "", repeat("圖", 101))});
  ids.push_back("c1");
  ids.push_back("c2");
  serveLists(ids);

  openNewspaper(0);
  // Chinese: one line under 15 characters, 60 high to 30, 80 from 31.
  const Rect chinese[] = {{10, 115, 300, 21}, {10, 115, 300, 60}, {10, 115, 300, 60}, {10, 115, 300, 80}};
  const double chineseTop[] = {140, 175, 175, 195};
  for (int i = 0; i < 4; ++i) {
    std::string s = run("row 0 " + std::to_string(i));
    ASSERT_TRUE(has(s, "screen: chiNewsDetailViewController")) << s;
    EXPECT_EQ(frameOf("titleLbl"), chinese[i]) << lengths[i];
    EXPECT_EQ(frameOf("scrollViewBar"), (Rect{0, chineseTop[i], 320, 360})) << lengths[i];
    run("tap 3 返回");
  }
  const double heights[] = {24, 47, 47, 100, 100, 150};
  for (int a = 0; a < 2; ++a) {
    run("row 0 " + std::to_string(4 + a));
    for (int c = 0; c < 3; ++c)
      EXPECT_EQ(frameOf("imgDesLbl_" + std::to_string(c + 1)).height, heights[a * 3 + c]) << a << " " << c;
    run("tap 3 返回");
  }

  // English: one line under 16 characters, 60 high to 30, 80 from 31, its own tops.
  run("tap 3 上一頁.png");
  run("tap 1 WYN Times");
  const Rect english[] = {{10, 70, 300, 21}, {10, 70, 300, 21}, {10, 70, 300, 60}, {10, 70, 300, 80}};
  const double englishTop[] = {140, 140, 130, 150};
  for (int i = 0; i < 4; ++i) {
    std::string s = run("row 0 " + std::to_string(i));
    ASSERT_TRUE(has(s, "screen: engNewsDetailViewController")) << s;
    EXPECT_TRUE(has(s, "label timeLbl: No. 300 [2027/01/08]\n")) << s;
    EXPECT_EQ(frameOf("titleLbl"), english[i]) << lengths[i];
    EXPECT_EQ(frameOf("scrollViewBar"), (Rect{0, englishTop[i], 320, 360})) << lengths[i];
    run("tap 3 返回");
  }
}

TEST_F(NewspaperArticlesTest, LastItemsFieldsFirstThreePicturesAndPathsEscapedOnTheWire) {
  serveArticle("many", "cht",
               {article("many", "第一項", "2026/1204/a1.jpg", "甲", "第一段"),
                article("many", "第二項", "2026/1204/山&雲.jpg", "乙", "第二段"),
                article("many", "第三項", "x/a b+c#d%41.jpg", "丙", "第三段"),
                article("many", "最後一項", "2026/1204/a3.jpg", "丁", "最後的內文")});
  serveLists({"many", "odd/id?x=1"});
  openNewspaper(0);
  std::string s = run("row 0 0");
  ASSERT_TRUE(has(s, "screen: chiNewsDetailViewController depth 4")) << s;
  EXPECT_TRUE(has(s, "label timeLbl: 300 期 [2027/01/08]\n")) << s;
  EXPECT_TRUE(has(s, "label titleLbl: 最後一項\n")) << s;
  EXPECT_TRUE(has(s, "text contentTextView: 最後的內文\n")) << s;
  EXPECT_TRUE(has(s, "label imgDesLbl_1: 甲\n")) << s;
  EXPECT_TRUE(has(s, "label imgDesLbl_3: 丙\n")) << s;
  EXPECT_FALSE(has(s, "丁")) << s;
  const std::string base = "http://127.0.0.1:" + std::to_string(sim().port("newspaper_web"));
  EXPECT_TRUE(has(s, "button 0: " + base + "/ashx/getILPic.ashx?im=2026/1204/a1.jpg\n")) << s;
  EXPECT_TRUE(has(s, "button 1: " + base + "/ashx/getILPic.ashx?im=2026/1204/%E5%B1%B1%26%E9%9B%B2.jpg\n")) << s;
  // No such picture (404): the placeholder.
  EXPECT_TRUE(has(s, "button 2: 005_30.png\n")) << s;
  auto pictures = requestsFor("/ashx/getILPic.ashx");
  ASSERT_EQ(pictures.size(), 3u) << "the fourth picture is not shown, so not fetched";
  std::set<std::string> asked;
  for (auto& r : pictures) asked.insert(r["query"]["im"].get<std::string>() + " " + std::to_string(r["status"].get<int>()));
  EXPECT_EQ(asked, (std::set<std::string>{"2026/1204/a1.jpg 200", "2026/1204/山&雲.jpg 200", "x/a b+c#dA.jpg 404"}));
  for (auto& r : pictures)
    if (r["query"]["im"] == "x/a b+c#dA.jpg") EXPECT_EQ(r["raw_query"], "im=x/a%20b%2Bc%23d%41.jpg");

  // Colours and sizes as the page is drawn.
  auto* title = viewOnTop<Label>("titleLbl");
  EXPECT_EQ(title->textColor(), Color::rgb(105, 101, 101));
  EXPECT_EQ(title->fontSize(), 20);
  EXPECT_EQ(title->backgroundColor(), Color::white());
  EXPECT_EQ(viewOnTop<Label>("imgDesLbl_1")->textColor(), Color::rgb(153, 0, 0));
  EXPECT_EQ(viewOnTop<Label>("imgDesLbl_2")->textColor(), Color::rgb(165, 13, 29));
  EXPECT_EQ(viewOnTop<Label>("imgDesLbl_1")->fontSize(), 12);
  EXPECT_EQ(frameOf("imgView_1"), (Rect{20, 0, 280, 200}));
  EXPECT_EQ(frameOf("imgView_2").height, 180);
  EXPECT_EQ(viewOnTop<View>("imgView_1")->superview()->name(), "scrollViewBar");
  EXPECT_EQ(viewOnTop<View>("contentTextView")->superview()->name(), "scrollViewBar");
  EXPECT_EQ(viewOnTop<View>("titleLbl")->superview(), &top<ViewController>()->view());
  // Everything stacks directly: picture, caption, body, picture, caption...
  EXPECT_EQ(frameOf("contentTextView").y, bottom("imgDesLbl_1"));
  EXPECT_EQ(frameOf("imgView_2").y, bottom("contentTextView"));
  EXPECT_GT(frameOf("contentTextView").height, 300);
  EXPECT_TRUE(has(run("frame scrollViewBar"), "content 320 " + std::to_string(static_cast<int>(bottom("imgDesLbl_3") + 50))));

  // An id with "/" and "?" asks for exactly its own article.
  run("tap 3 返回");
  run("row 0 1");
  auto odd = wire("/Data/xml/Times/new-odd");
  ASSERT_EQ(odd.size(), 1u);
  EXPECT_EQ(odd[0], "/Data/xml/Times/new-odd%2Fid%3Fx%3D1.xml");
}

TEST_F(NewspaperArticlesTest, PicturesThatAreNotWholePicturesShowThePlaceholder) {
  std::string jpeg = bundledPicture("getILPic.ashx", "2026/1204/a2.jpg");
  std::string png = bundledPicture("getILPic.ashx", "2026/1204/s2.png");
  ASSERT_GT(jpeg.size(), 1000u);
  ASSERT_GT(png.size(), 100u);
  for (int at : {16, 20}) png.replace(static_cast<size_t>(at), 4, std::string("\x00\x00\x75\x30", 4));  // 30000 x 30000
  servePicture("getILPic.ashx", "bad/cut.jpg", jpeg.substr(0, jpeg.size() / 2));
  servePicture("getILPic.ashx", "bad/huge.png", png);
  servePicture("getILPic.ashx", "bad/page.jpg", "<html><body>Service Unavailable</body></html>");
  serveArticle("bad", "cht",
               {article("bad", "壞圖", "bad/cut.jpg", "一"), article("bad", "壞圖", "bad/huge.png", "二"),
                article("bad", "壞圖", "bad/page.jpg", "三")});
  serveLists({"bad"});
  openNewspaper(0);
  std::string s = run("row 0 0");
  for (const char* line : {"button 0: 005_30.png\n", "button 1: 005_30.png\n", "button 2: 005_30.png\n"})
    EXPECT_TRUE(has(s, line)) << line << s;
  EXPECT_EQ(requestsFor("/ashx/getILPic.ashx").size(), 3u);
  s = run("tap imgView_2");
  EXPECT_TRUE(has(s, "button tapImageView: 005_30.png\n")) << s;
  // An error status with a page: the same.
  run("tap tapImageView");
  sim().setFault("/ashx/getILPic.ashx", Fault{.status = 500, .body = "<html>proxy error</html>"});
  s = run("tap imgView_1");
  EXPECT_TRUE(has(s, "button tapImageView: 005_30.png\n")) << s;
}

// The full-screen picture on a canvas taller than the design, then the
// pinch on the body.
TEST_F(NewspaperArticlesTest, FullScreenPictureZoomsAndPinchSizesTheBodyWithinBounds) {
  options.canvasWidth = 320;
  options.canvasHeight = 692;
  openNewspaper(0);
  run("row 0 0");  // 雲岫大學六十週年校慶典禮隆重登場: three pictures shown of four
  std::string s = run("tap imgView_2");
  EXPECT_TRUE(has(s, "zoom bigScrollView: 1.00 min 1.00 max 3.00\n")) << s;
  EXPECT_TRUE(has(s, "button tapImageView: http://127.0.0.1:" + std::to_string(sim().port("newspaper_web")) +
                         "/ashx/getILPic.ashx?im=2026/1204/a2.jpg\n"))
      << s;
  auto* backdrop = viewOnTop<View>("background");
  ASSERT_TRUE(backdrop);
  EXPECT_EQ(backdrop->frame(), (Rect{0, 0, 320, 692})) << "covers the whole screen";
  EXPECT_EQ(backdrop->backgroundColor(), Color::gray(0.3f, 0.7f));
  EXPECT_EQ(frameOf("tapImageView").y, 50);
  EXPECT_EQ(frameOf("tapImageView").height, 692 - 100);
  EXPECT_TRUE(has(run("zoom bigScrollView 2"), "zoom bigScrollView: 2.00 min 1.00 max 3.00\n"));
  EXPECT_TRUE(has(run("zoom bigScrollView 9"), "zoom bigScrollView: 3.00 min 1.00 max 3.00\n"));
  EXPECT_TRUE(has(run("zoom bigScrollView 0.2"), "zoom bigScrollView: 1.00 min 1.00 max 3.00\n"));
  s = run("tap tapImageView");
  EXPECT_FALSE(has(s, "bigScrollView")) << s;
  EXPECT_FALSE(viewOnTop<View>("background"));
  EXPECT_TRUE(has(s, "screen: chiNewsDetailViewController depth 4")) << s;

  auto* body = viewOnTop<TextView>("contentTextView");
  ASSERT_TRUE(body);
  const double before = frameOf("contentTextView").height;
  run("pinch contentTextView 1");
  EXPECT_TRUE(has(run("frame contentTextView"), " font 18\n"));
  // Everything after the body sits 20 points below what is above it.
  EXPECT_EQ(frameOf("imgView_2").y, bottom("contentTextView") + 20);
  EXPECT_EQ(frameOf("imgDesLbl_2").y, bottom("imgView_2") + 20);
  EXPECT_EQ(frameOf("imgView_3").y, bottom("imgDesLbl_2") + 20);
  EXPECT_EQ(frameOf("imgDesLbl_3").y, bottom("imgView_3") + 20);
  EXPECT_EQ(frameOf("bottomBar").y, bottom("imgDesLbl_3"));
  EXPECT_TRUE(has(run("frame scrollViewBar"), "content 320 " + std::to_string(static_cast<int>(bottom("imgDesLbl_3") + 50))));
  EXPECT_GT(frameOf("contentTextView").height, before);

  run("pinch contentTextView 2");
  EXPECT_EQ(body->fontSize(), 36);
  run("pinch contentTextView 100");
  EXPECT_EQ(body->fontSize(), 60) << "kept to a size that can be drawn";
  const double tallest = frameOf("contentTextView").height;
  run("pinch contentTextView 0.01");
  EXPECT_EQ(body->fontSize(), 6);
  EXPECT_LT(frameOf("contentTextView").height, tallest);
  // Scales that are no size at all change nothing.
  for (double bad : {0.0, -2.0, std::nan(""), double(INFINITY)}) {
    body->userPinchPhase(GestureState::Changed, bad);
    body->userPinchPhase(GestureState::Ended, bad);
  }
  EXPECT_EQ(body->fontSize(), 6);

  // The English body is ten points a unit of scale.
  run("tap 3 返回");
  run("tap 3 上一頁.png");
  run("tap 1 WYN Times");
  run("row 0 0");
  run("pinch contentTextView 2");
  EXPECT_EQ(viewOnTop<TextView>("contentTextView")->fontSize(), 20);
}

TEST_F(NewspaperArticlesTest, AnUnparsableChineseArticleShowsOnlyItsSectionButtons) {
  serveFeed(std::string(kTimes) + "new-broken.xml", "<NewDataSet><cht><標題>斷</cht>");
  serveLists({"broken"});
  openNewspaper(0);
  std::string s = run("row 0 0");
  ASSERT_TRUE(has(s, "screen: chiNewsDetailViewController depth 4")) << s;
  EXPECT_TRUE(has(s, "button 5: 專題\n")) << s;
  EXPECT_FALSE(has(s, "titleLbl")) << s;
  EXPECT_FALSE(has(s, "timeLbl")) << s;
  EXPECT_FALSE(has(s, "上一頁.png")) << s;
  EXPECT_EQ(viewOnTop<View>("scrollViewBar"), nullptr);
  EXPECT_TRUE(has(run("tap 3 返回"), "screen: chiNewsViewController depth 3"));
}

TEST_F(NewspaperArticlesTest, PicturesArrivingAfterTheirScreenIsGoneAreDropped) {
  startReady();
  sim().setFault("/ashx/getILPic.ashx", Fault{.delayMs = 300});
  run("tap 20");
  run("tap 0 最新一期");
  // Open an article and leave it before its pictures come, as quick fingers would.
  auto* table = viewOnTop<TableView>("myTableview");
  ASSERT_TRUE(table);
  ImageLoader::resetCounters();
  ASSERT_TRUE(table->userSelectRow({0, 0}));
  ASSERT_TRUE(top<chiNewsDetailViewController>());
  std::weak_ptr<ViewController> article = nav().topShared();
  viewOnTop<Button>("imgView_1")->tap();
  nav().popViewControllerAnimated(false);
  EXPECT_TRUE(article.expired()) << "nothing keeps a left article alive";
  ASSERT_TRUE(Background::drain(10));
  RunLoop::main().runUntilIdle();
  EXPECT_EQ(ImageLoader::started(), 4) << "three pictures and the full-screen one";
  // Those a worker had not begun when the screen went are not fetched at all.
  EXPECT_LE(requestsFor("/ashx/getILPic.ashx").size(), 4u);
  EXPECT_TRUE(has(screen(), "screen: chiNewsViewController depth 3"));
}

}  // namespace
}  // namespace yx::test
