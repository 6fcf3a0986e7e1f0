// HTTP against a loopback server: success, error statuses, refused
// connections, time-outs, oversize bodies, redirects, and the asynchronous
// transfer's callbacks on the main queue.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/http.h"
#include "platform/runloop.h"
#include "tests/platform/loopback_server.h"

namespace yx {
namespace {

using Req = httplib::Request;
using Res = httplib::Response;

class HttpTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    server_ = new test::LoopbackServer();
    auto& s = server_->http;
    s.Get("/ok", [](const Req&, Res& r) { r.set_content("你好, world", "text/plain; charset=utf-8"); });
    s.Get("/missing", [](const Req&, Res& r) {
      r.status = 404;
      r.set_content("nope", "text/plain");
    });
    s.Get("/empty", [](const Req&, Res& r) { r.status = 204; });
    s.Get("/slow", [](const Req& req, Res& r) {
      server_->pause(test::LoopbackServer::param(req, "ms", 3000));
      r.set_content("late", "text/plain");
    });
    s.Get("/chunks", [](const Req&, Res& r) {
      r.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
        if (offset >= 3) {
          sink.done();
          return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        sink.write(&"abc"[offset], 1);
        return true;
      });
    });
    // A chunked body that announces no length and never ends on its own.
    s.Get("/endless", [](const Req&, Res& r) {
      r.set_chunked_content_provider("text/plain", [](size_t, httplib::DataSink& sink) {
        static const std::string block(16384, 'x');
        return !server_->stopping && sink.write(block.data(), block.size());
      });
    });
    s.Get("/big", [](const Req&, Res& r) { r.set_content(std::string(300000, 'y'), "text/plain"); });
    s.Get("/to-file", [](const Req&, Res& r) { r.set_redirect("file:///etc/passwd"); });
    s.Get("/loop", [](const Req&, Res& r) { r.set_redirect("/loop"); });
    s.Get("/hop", [](const Req&, Res& r) { r.set_redirect("/ok"); });
    s.Post("/echo", [](const Req& req, Res& r) {
      r.status = 201;
      r.set_content(req.body + "|" + req.get_header_value("Content-Type"), "text/plain");
    });
    server_->start();
  }
  static void TearDownTestSuite() {
    server_->stop();
    delete server_;
  }
  void SetUp() override {
    RunLoop::main().reset();
    setHttpMaxBodyBytes(32u * 1024u * 1024u);
    setBlockingWaitHook({});
  }
  static std::string url(const std::string& path) { return server_->url(path); }
  // A loopback address nothing listens on: a port bound, then let go.
  static std::string refusedUrl() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int p = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
      p = ntohs(a.sin_port);
    ::close(fd);
    return "http://127.0.0.1:" + std::to_string(p) + "/ok";
  }

  static inline test::LoopbackServer* server_ = nullptr;
};

TEST_F(HttpTest, SynchronousRequestsReportStatusAndBody) {
  HttpResult ok = httpGet(url("/ok"));
  EXPECT_TRUE(ok.ok);
  EXPECT_EQ(ok.status, 200);
  EXPECT_EQ(ok.body, "你好, world");

  HttpResult missing = httpGet(url("/missing"));
  EXPECT_TRUE(missing.ok);  // the caller decides what a 404 means
  EXPECT_EQ(missing.status, 404);
  EXPECT_EQ(missing.body, "nope");

  HttpResult hop = httpGet(url("/hop"));
  EXPECT_TRUE(hop.ok);
  EXPECT_EQ(hop.body, "你好, world");

  HttpResult post = httpPost(url("/echo"), "a=1&b=%E4%B8%AD");
  EXPECT_EQ(post.status, 201);
  EXPECT_EQ(post.body, "a=1&b=%E4%B8%AD|application/x-www-form-urlencoded");
}

TEST_F(HttpTest, FailuresAreReportedNotThrown) {
  HttpResult refused = httpGet(refusedUrl(), 5);
  EXPECT_FALSE(refused.ok);
  EXPECT_FALSE(refused.error.empty());

  auto start = std::chrono::steady_clock::now();
  HttpResult late = httpGet(url("/slow?ms=3000"), 0.3);
  EXPECT_FALSE(late.ok);
  EXPECT_NE(late.error.find("imeout"), std::string::npos) << late.error;
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));

  EXPECT_FALSE(httpGet("file:///etc/passwd").ok);
  EXPECT_FALSE(httpGet("ftp://127.0.0.1/").ok);
  EXPECT_FALSE(httpGet("not a url").ok);

  HttpResult toFile = httpGet(url("/to-file"));
  EXPECT_FALSE(toFile.ok);
  EXPECT_EQ(toFile.body, "");
  EXPECT_FALSE(httpGet(url("/loop")).ok);  // redirects are bounded
}

TEST_F(HttpTest, BodiesOverTheLimitFail) {
  setHttpMaxBodyBytes(100000);
  HttpResult endless = httpGet(url("/endless"), 20);
  EXPECT_FALSE(endless.ok);
  EXPECT_NE(endless.error.find("100000"), std::string::npos) << endless.error;
  EXPECT_TRUE(endless.body.empty());
  EXPECT_FALSE(httpGet(url("/big")).ok);
  setHttpMaxBodyBytes(300000);
  EXPECT_TRUE(httpGet(url("/big")).ok);
}

TEST_F(HttpTest, BlockingCallOnMainThreadCallsHookAndHoldsTimers) {
  RunLoop& loop = RunLoop::main();
  ASSERT_TRUE(loop.isMainThread());
  bool timerFired = false;
  loop.schedule(0, [&] { timerFired = true; });
  int hookCalls = 0;
  bool firedDuringCall = false;
  setBlockingWaitHook([&] {
    ++hookCalls;
    loop.runOnce();  // a front-end pumping its loop must not run our timers
    firedDuringCall = firedDuringCall || timerFired;
  });
  HttpResult r = httpGet(url("/slow?ms=300"));
  EXPECT_TRUE(r.ok);
  EXPECT_GE(hookCalls, 5);
  EXPECT_FALSE(firedDuringCall);
  loop.runUntilIdle();
  EXPECT_TRUE(timerFired);  // timers run again afterwards
}

// A transfer's callbacks as events ("data" once however many chunks), and
// whether every one came on the main thread.
struct Recorder {
  std::vector<std::string> events;
  std::string body;
  bool allOnMain = true;
  void note(const std::string& event) {
    allOnMain = allOnMain && RunLoop::main().isMainThread();
    if (event != "data" || events.empty() || events.back() != "data") events.push_back(event);
  }
  HttpCallbacks callbacks() {
    return HttpCallbacks{[this](long status) { note("response " + std::to_string(status)); },
                         [this](const std::string& chunk) {
                           note("data");
                           body += chunk;
                         },
                         [this](const std::string&) { note("failure"); }, [this] { note("finish"); }};
  }
};

TEST_F(HttpTest, AsynchronousCallbacksArriveInOrderOnTheMainQueue) {
  Recorder ok, missing, empty, refused, over;
  auto t1 = httpGetAsync(url("/chunks"), 10, ok.callbacks());
  auto t2 = httpGetAsync(url("/missing"), 10, missing.callbacks());
  auto t3 = httpGetAsync(url("/empty"), 10, empty.callbacks());
  auto t4 = httpGetAsync(refusedUrl(), 10, refused.callbacks());
  setHttpMaxBodyBytes(50000);
  auto t5 = httpGetAsync(url("/endless"), 10, over.callbacks());
  // Nothing is delivered until the main queue runs.
  EXPECT_TRUE(ok.events.empty());
  ASSERT_TRUE(Background::drain(20));
  RunLoop::main().runUntilIdle();

  EXPECT_EQ(ok.events, (std::vector<std::string>{"response 200", "data", "finish"}));
  EXPECT_EQ(ok.body, "abc");
  EXPECT_EQ(missing.events, (std::vector<std::string>{"response 404", "data", "finish"}));
  EXPECT_EQ(empty.events, (std::vector<std::string>{"response 204", "finish"}));
  EXPECT_EQ(refused.events, std::vector<std::string>{"failure"});
  ASSERT_FALSE(over.events.empty());
  EXPECT_EQ(over.events.back(), "failure");
  for (Recorder* r : {&ok, &missing, &empty, &refused, &over}) EXPECT_TRUE(r->allOnMain);
}

TEST_F(HttpTest, CancelledTransferDeliversNothingAndEndsPromptly) {
  Recorder slow, chunks;
  auto t1 = httpGetAsync(url("/slow?ms=5000"), 30, slow.callbacks());
  auto t2 = httpGetAsync(url("/chunks"), 30, chunks.callbacks());
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  t1->cancel();
  t2->cancel();
  EXPECT_TRUE(t1->isCancelled());
  auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(Background::drain(10));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  RunLoop::main().runUntilIdle();
  EXPECT_TRUE(slow.events.empty());
  EXPECT_TRUE(chunks.events.empty());
}

}  // namespace
}  // namespace yx
