#include "platform/http.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <optional>
#include <thread>

#include "platform/runloop.h"

namespace yx {

namespace {

std::once_flag gCurlInit;
std::mutex gConfigMu;
std::function<void()> gWaitHook;  // guarded by gConfigMu
std::function<void(int)> gActivity;  // guarded by gConfigMu
std::atomic<int> gInFlight{0};

void activityChanged(int inFlight) {
  std::function<void(int)> listener;
  {
    std::lock_guard<std::mutex> lock(gConfigMu);
    listener = gActivity;
  }
  if (listener) listener(inFlight);
}

// Counts one transfer in flight for as long as it lives.
struct InFlight {
  InFlight() { activityChanged(++gInFlight); }
  ~InFlight() { activityChanged(--gInFlight); }
  InFlight(const InFlight&) = delete;
  InFlight& operator=(const InFlight&) = delete;
};
std::atomic<std::size_t> gMaxBody{32u * 1024u * 1024u};
std::atomic<double> gConnectTimeout{15.0};

void initCurl() {
  std::call_once(gCurlInit, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// What a transfer collects, shared by the synchronous and asynchronous paths.
struct Sink {
  std::size_t maxBody = 0;
  std::size_t received = 0;
  bool oversize = false;
  const std::atomic<bool>* cancelled = nullptr;
  // Called with each chunk; the synchronous path appends to body.
  std::function<void(CURL*, const char*, std::size_t)> onChunk;
  CURL* handle = nullptr;
};

size_t writeCallback(char* ptr, size_t size, size_t nmemb, void* userdata) {
  auto* sink = static_cast<Sink*>(userdata);
  size_t n = size * nmemb;
  if (sink->cancelled && sink->cancelled->load()) return 0;
  if (sink->received + n > sink->maxBody) {
    // A body without a length (chunked) is only stopped here.
    sink->oversize = true;
    return 0;
  }
  sink->received += n;
  if (sink->onChunk) sink->onChunk(sink->handle, ptr, n);
  return n;
}

struct Easy {
  CURL* h = nullptr;
  char err[CURL_ERROR_SIZE] = {0};
  std::string postBody;
  Easy() {
    initCurl();
    h = curl_easy_init();
  }
  ~Easy() {
    if (h) curl_easy_cleanup(h);
  }
  Easy(const Easy&) = delete;
  Easy& operator=(const Easy&) = delete;
};

bool configure(Easy& e, const std::string& url, double timeoutSeconds, Sink& sink,
               const std::string* postBody) {
  if (!e.h) return false;
  CURL* h = e.h;
  if (!(timeoutSeconds > 0)) timeoutSeconds = 60;
  long totalMs = static_cast<long>(std::min(timeoutSeconds, 86400.0) * 1000);
  if (totalMs < 1) totalMs = 1;
  long connectMs = static_cast<long>(std::min(gConnectTimeout.load(), timeoutSeconds) * 1000);
  if (connectMs < 1) connectMs = 1;
  sink.handle = h;
  sink.maxBody = gMaxBody.load();
  curl_easy_setopt(h, CURLOPT_ERRORBUFFER, e.err);
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, totalMs);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, connectMs);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, writeCallback);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
  if (postBody) {
    e.postBody = *postBody;
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, e.postBody.data());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(e.postBody.size()));
  }
  return true;
}

std::string errorText(CURLcode code, const Easy& e, const Sink& sink) {
  if (sink.oversize)
    return "response body larger than " + std::to_string(sink.maxBody) + " bytes";
  std::string text = curl_easy_strerror(code);
  if (e.err[0]) text += std::string(": ") + e.err;
  return text;
}

// Runs the transfer, checking the cancel flag every 50 ms.
CURLcode perform(CURL* h, const std::atomic<bool>* cancelled) {
  InFlight counted;
  if (!cancelled) return curl_easy_perform(h);
  CURLM* m = curl_multi_init();
  if (!m) return CURLE_OUT_OF_MEMORY;
  curl_multi_add_handle(m, h);
  CURLcode result = CURLE_OK;
  bool done = false;
  while (!done) {
    int running = 0;
    CURLMcode mc = curl_multi_perform(m, &running);
    if (mc != CURLM_OK) {
      result = CURLE_FAILED_INIT;
      break;
    }
    int left = 0;
    while (CURLMsg* msg = curl_multi_info_read(m, &left)) {
      if (msg->msg == CURLMSG_DONE) {
        result = msg->data.result;
        done = true;
      }
    }
    if (done) break;
    if (cancelled->load()) {
      result = CURLE_ABORTED_BY_CALLBACK;
      break;
    }
    curl_multi_poll(m, nullptr, 0, 50, nullptr);
  }
  curl_multi_remove_handle(m, h);
  curl_multi_cleanup(m);
  return result;
}

HttpResult runSync(const std::string& url, const std::string* postBody, double timeoutSeconds, bool keepBody = true) {
  HttpResult r;
  Easy e;
  Sink sink;
  std::string body;
  if (keepBody) sink.onChunk = [&body](CURL*, const char* p, std::size_t n) { body.append(p, n); };
  if (!configure(e, url, timeoutSeconds, sink, postBody)) {
    r.error = "cannot create a transfer";
    return r;
  }
  CURLcode code = perform(e.h, nullptr);
  if (code != CURLE_OK) {
    r.error = errorText(code, e, sink);
    return r;
  }
  long status = 0;
  curl_easy_getinfo(e.h, CURLINFO_RESPONSE_CODE, &status);
  r.ok = true;
  r.status = status;
  r.body = std::move(body);
  r.bodyBytes = sink.received;
  return r;
}

HttpResult runBlocking(const std::string& url, const std::string* postBody, double timeoutSeconds,
                       bool keepBody = true) {
  RunLoop& loop = RunLoop::main();
  if (!loop.isMainThread()) return runSync(url, postBody, timeoutSeconds, keepBody);
  // On the main thread: let the front-end keep painting while we wait, and
  // keep the app's own timers from firing inside the call.
  std::optional<std::string> bodyCopy;
  if (postBody) bodyCopy = *postBody;
  auto task = std::async(std::launch::async, [url, bodyCopy, timeoutSeconds, keepBody] {
    return runSync(url, bodyCopy ? &*bodyCopy : nullptr, timeoutSeconds, keepBody);
  });
  loop.suspendTimers(true);
  while (task.wait_for(std::chrono::milliseconds(15)) != std::future_status::ready) {
    std::function<void()> hook;
    {
      std::lock_guard<std::mutex> lock(gConfigMu);
      hook = gWaitHook;
    }
    if (hook) hook();
  }
  loop.suspendTimers(false);
  return task.get();
}

class TransferImpl : public HttpTransfer {
public:
  explicit TransferImpl(HttpCallbacks cb) : cb_(std::move(cb)) {}
  void cancel() override { cancelled_.store(true); }
  bool isCancelled() const override { return cancelled_.load(); }

  std::atomic<bool> cancelled_{false};
  HttpCallbacks cb_;
};

// The token counts the transfer as background work until its last callback
// is on the main queue (it is released when this function returns).
void runAsync(std::shared_ptr<TransferImpl> t, std::string url, double timeoutSeconds,
              [[maybe_unused]] std::unique_ptr<Background::Token> token) {
  auto post = [t](std::function<void(TransferImpl&)> fn) {
    RunLoop::main().post([t, fn = std::move(fn)] {
      if (!t->isCancelled()) fn(*t);
    });
  };
  Easy e;
  Sink sink;
  sink.cancelled = &t->cancelled_;
  bool responded = false;
  auto respond = [&](CURL* h) {
    if (responded) return;
    responded = true;
    long status = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
    post([status](TransferImpl& x) {
      if (x.cb_.onResponse) x.cb_.onResponse(status);
    });
  };
  sink.onChunk = [&](CURL* h, const char* p, std::size_t n) {
    respond(h);
    post([chunk = std::string(p, n)](TransferImpl& x) {
      if (x.cb_.onData) x.cb_.onData(chunk);
    });
  };
  if (!configure(e, url, timeoutSeconds, sink, nullptr)) {
    post([](TransferImpl& x) {
      if (x.cb_.onFailure) x.cb_.onFailure("cannot create a transfer");
    });
    return;
  }
  CURLcode code = perform(e.h, &t->cancelled_);
  if (t->isCancelled()) return;
  if (code != CURLE_OK) {
    std::string err = errorText(code, e, sink);
    post([err](TransferImpl& x) {
      if (x.cb_.onFailure) x.cb_.onFailure(err);
    });
    return;
  }
  respond(e.h);  // a response without a body
  post([](TransferImpl& x) {
    if (x.cb_.onFinish) x.cb_.onFinish();
  });
}

}  // namespace

HttpResult httpGet(const std::string& url, double timeoutSeconds) {
  return runBlocking(url, nullptr, timeoutSeconds);
}

HttpResult httpPost(const std::string& url, std::string body, double timeoutSeconds) {
  return runBlocking(url, &body, timeoutSeconds);
}

HttpResult httpGetDiscardingBody(const std::string& url, double timeoutSeconds) {
  return runBlocking(url, nullptr, timeoutSeconds, false);
}

void setBlockingWaitHook(std::function<void()> hook) {
  std::lock_guard<std::mutex> lock(gConfigMu);
  gWaitHook = std::move(hook);
}

int httpTransfersInFlight() { return gInFlight.load(); }

void setTransferActivityListener(std::function<void(int inFlight)> listener) {
  std::lock_guard<std::mutex> lock(gConfigMu);
  gActivity = std::move(listener);
}

void setHttpMaxBodyBytes(std::size_t bytes) { gMaxBody.store(bytes); }
std::size_t httpMaxBodyBytes() { return gMaxBody.load(); }
void setHttpConnectTimeout(double seconds) { gConnectTimeout.store(seconds > 0 ? seconds : 15.0); }

std::shared_ptr<HttpTransfer> httpGetAsync(const std::string& url, double timeoutSeconds,
                                           HttpCallbacks callbacks) {
  auto t = std::make_shared<TransferImpl>(std::move(callbacks));
  RunLoop::main();  // make sure the main thread is known before the worker posts
  auto token = std::make_unique<Background::Token>();
  std::thread([t, url, timeoutSeconds, token = std::move(token)]() mutable {
    runAsync(t, url, timeoutSeconds, std::move(token));
  }).detach();
  return t;
}

}  // namespace yx
