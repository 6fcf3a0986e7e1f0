// The image loader against a loopback server: a bounded pool whose results
// arrive on the main queue, failures for everything that is not a whole
// picture, and late results dropped for owners and views that moved on.
#include <gtest/gtest.h>

#include "platform/image_loader.h"
#include "platform/runloop.h"
#include "tests/platform/loopback_server.h"
#include "tests/support/scratch.h"

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Weverything"
#endif
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

namespace yx {
namespace {

std::string png(int w, int h) {
  std::string out;
  std::vector<unsigned char> px(static_cast<size_t>(w * h * 3), 0x80);
  stbi_write_png_to_func([](void* ctx, void* data, int n) { static_cast<std::string*>(ctx)->append(static_cast<char*>(data), n); },
                         &out, w, h, 3, px.data(), w * 3);
  return out;
}

// A PNG whose header claims 30000 x 30000 pixels and holds almost nothing.
std::string hugeHeader() {
  std::string s = png(2, 2);
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>(v >> (24 - 8 * i));
  };
  put(16, 30000);
  put(20, 30000);
  return s;
}

using Req = httplib::Request;
using Res = httplib::Response;

class ImageLoaderTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    server_ = new test::LoopbackServer();
    auto& s = server_->http;
    s.new_task_queue = [] { return new httplib::ThreadPool(24); };
    s.Get("/pic", [](const Req& req, Res& r) {
      int now = ++inFlight_;
      int seen = peak_.load();
      while (now > seen && !peak_.compare_exchange_weak(seen, now)) {
      }
      ++hits_;
      server_->pause(test::LoopbackServer::param(req, "ms", 0));
      --inFlight_;
      r.set_content(png(test::LoopbackServer::param(req, "w", 4), 3), "image/png");
    });
    s.Get("/error-page", [](const Req&, Res& r) {
      r.status = 502;
      r.set_content("<html><body>Bad gateway</body></html>", "text/html");
    });
    s.Get("/picture-with-404", [](const Req&, Res& r) {
      r.status = 404;
      r.set_content(png(5, 5), "image/png");
    });
    s.Get("/truncated", [](const Req&, Res& r) {
      std::string p = png(64, 64);
      r.set_content(p.substr(0, p.size() / 2), "image/png");
    });
    s.Get("/huge", [](const Req&, Res& r) { r.set_content(hugeHeader(), "image/png"); });
    server_->start();
  }
  static void TearDownTestSuite() {
    server_->stop();
    delete server_;
  }
  void SetUp() override {
    RunLoop::main().reset();
    hits_ = 0;
    peak_ = 0;
  }
  static std::string url(const std::string& path) { return server_->url(path); }

  // Loads one URL and reports "ok WxH" or "failed" once delivered.
  std::string outcome(const std::string& u) {
    auto owner = std::make_shared<int>(0);
    std::string result = "none";
    ImageLoader::load(
        u, owner, [&](const Image& i) { result = "ok " + std::to_string(i.width()) + "x" + std::to_string(i.height()); },
        [&] { result = "failed"; });
    EXPECT_TRUE(Background::drain(10));
    return result;
  }

  static inline test::LoopbackServer* server_ = nullptr;
  static inline std::atomic<int> inFlight_{0}, peak_{0}, hits_{0};
};

TEST_F(ImageLoaderTest, ManyPicturesOverlapOnABoundedPoolAndArriveOnTheMainThread) {
  auto owner = std::make_shared<int>(0);
  std::vector<int> widths;
  bool offMain = false;
  for (int i = 1; i <= 20; ++i)
    ImageLoader::load(
        url("/pic?ms=60&w=" + std::to_string(i)), owner,
        [&](const Image& img) {
          offMain |= !RunLoop::main().isMainThread();
          widths.push_back(img.width());
        },
        [&] { widths.push_back(-1); });
  EXPECT_TRUE(widths.empty()) << "results wait for the main queue";
  ASSERT_TRUE(Background::drain(20));
  EXPECT_FALSE(offMain);
  ASSERT_EQ(widths.size(), 20u);
  std::sort(widths.begin(), widths.end());
  EXPECT_EQ(widths.front(), 1);
  EXPECT_EQ(widths.back(), 20);
  EXPECT_EQ(Background::inFlight(), 0);
  EXPECT_GE(peak_.load(), 2) << "fetches overlap";
  EXPECT_LE(peak_.load(), ImageLoader::kWorkers) << "never a thread per picture";
}

TEST_F(ImageLoaderTest, OnlyWholeDecodablePicturesSucceedWhateverTheStatus) {
  EXPECT_EQ(outcome(url("/pic?w=7")), "ok 7x3");
  EXPECT_EQ(outcome(url("/picture-with-404")), "ok 5x5");
  for (std::string bad : {url("/error-page"), url("/truncated"), url("/huge"), std::string("ftp://127.0.0.1/pic"),
                          std::string("javascript:alert(1)"), std::string(""), std::string("http://127.0.0.1:1/pic")})
    EXPECT_EQ(outcome(bad), "failed") << bad;
}

TEST_F(ImageLoaderTest, AGoneOwnerHearsNothingAndIsNotFetchedFor) {
  int calls = 0;
  auto owner = std::make_shared<int>(0);
  ImageLoader::load(url("/pic?ms=100"), owner, [&](const Image&) { ++calls; }, [&] { ++calls; });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));  // the fetch is under way
  owner.reset();
  ASSERT_TRUE(Background::drain(10));
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(hits_.load(), 1);

  // Gone before a worker took the request: nothing goes over the wire.
  auto blocker = std::make_shared<int>(0);
  for (int i = 0; i < ImageLoader::kWorkers; ++i) ImageLoader::load(url("/pic?ms=80"), blocker, nullptr, nullptr);
  auto late = std::make_shared<int>(0);
  ImageLoader::load(url("/pic"), late, [&](const Image&) { ++calls; }, [&] { ++calls; });
  late.reset();
  ASSERT_TRUE(Background::drain(10));
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(hits_.load(), 1 + ImageLoader::kWorkers);
}

TEST_F(ImageLoaderTest, AViewShowsOnlyTheAnswerToItsLatestRequest) {
  // Given another picture while waiting: the late answer is dropped.
  auto view = std::make_shared<ImageView>();
  loadImageInto(view, url("/pic?ms=50&w=9"));
  view->setImageNamed("005_30.png");
  ASSERT_TRUE(Background::drain(10));
  EXPECT_EQ(view->imageName(), "005_30.png");
  EXPECT_FALSE(view->imageData());

  // Asked again before the first answer came: only the second one shows,
  // whichever arrives last.
  loadImageInto(view, url("/pic?ms=120&w=1"));
  loadImageInto(view, url("/pic?ms=10&w=2"));
  ASSERT_TRUE(Background::drain(10));
  EXPECT_EQ(view->source(), url("/pic?ms=10&w=2"));
  EXPECT_EQ(view->state(), "loaded");

  // A failure calls the placeholder action; a gone view hears nothing.
  loadImageInto(view, url("/error-page"), [](ImageView& v) { v.setImageNamed("005_30.png"); });
  auto gone = std::make_shared<Button>();
  int failures = 0;
  loadImageInto(gone, url("/error-page"), [&](Button&) { ++failures; });
  gone.reset();
  ASSERT_TRUE(Background::drain(10));
  EXPECT_EQ(view->imageName(), "005_30.png");
  EXPECT_EQ(failures, 0);

  // A button shows fetched bytes as its foreground picture, URL as asked.
  auto button = std::make_shared<Button>();
  loadImageInto(button, url("/pic?w=3"));
  ASSERT_TRUE(Background::drain(10));
  ASSERT_TRUE(button->imageData());
  EXPECT_EQ(button->imageSource(), url("/pic?w=3"));
  EXPECT_TRUE(button->image().empty());
  button->setImage("上一頁.png");
  EXPECT_FALSE(button->imageData());
}

// Bundled pictures by name (with or without ".png"), never from outside
// their folder; only whole pictures are pictures.
TEST(Image, NamedPicturesStayInTheirFolderAndOnlyWholePicturesCount) {
  test::ScratchDir dir;
  const std::string bytes = png(3, 2);
  dir.write("hl_p1.png", bytes);
  Image::setResourceDirectory(dir.path);
  for (const char* name : {"hl_p1", "hl_p1.png"}) {
    Image img = Image::named(name);
    EXPECT_EQ(img.width(), 3) << name;
    EXPECT_EQ(img.height(), 2) << name;
  }
  EXPECT_TRUE(Image::named("absent").empty());
  EXPECT_TRUE(Image::named("../" + dir.path.substr(5) + "/hl_p1").empty());
  EXPECT_TRUE(Image::isImage(bytes));
  EXPECT_FALSE(Image::isImage(bytes.substr(0, bytes.size() - 20)));
  EXPECT_FALSE(Image::isImage("<html>not a picture</html>"));
  EXPECT_FALSE(Image::isImage(""));
}

}  // namespace
}  // namespace yx
