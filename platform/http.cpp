#include "platform/http.h"

// libcurl is opened on the first transfer rather than linked: with its TLS,
// LDAP, SSH and other libraries it would otherwise load, relocate and
// initialise before the first frame of a program that may never go online.
// Only its types and constants come from the header.
#define CURL_DISABLE_TYPECHECK
#include <curl/curl.h>
#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <iostream>
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

// The libcurl functions used here, found when the library is first needed.
struct CurlApi {
  CURLcode (*global_init)(long);
  CURL* (*easy_init)();
  void (*easy_cleanup)(CURL*);
  CURLcode (*easy_setopt)(CURL*, CURLoption, ...);
  CURLcode (*easy_getinfo)(CURL*, CURLINFO, ...);
  CURLcode (*easy_perform)(CURL*);
  const char* (*easy_strerror)(CURLcode);
  CURLM* (*multi_init)();
  CURLMcode (*multi_add_handle)(CURLM*, CURL*);
  CURLMcode (*multi_remove_handle)(CURLM*, CURL*);
  CURLMcode (*multi_perform)(CURLM*, int*);
  CURLMcode (*multi_poll)(CURLM*, struct curl_waitfd*, unsigned int, int, int*);
  CURLMsg* (*multi_info_read)(CURLM*, int*);
  CURLMcode (*multi_cleanup)(CURLM*);
};

constexpr const char* kCurlLibrary = "libcurl.so.4";
CurlApi gCurl{};
std::string gCurlError;  // why libcurl could not be used; empty once it can

template <typename F>
bool bindSymbol(void* lib, const char* name, F& fn) {
  fn = reinterpret_cast<F>(dlsym(lib, name));
  if (!fn) gCurlError = std::string("cannot use ") + kCurlLibrary + ": it has no " + name;
  return fn != nullptr;
}

// Opens and initialises libcurl once; false (with gCurlError) when it cannot
// be had, which every transfer then reports as its failure.
bool initCurl() {
  std::call_once(gCurlInit, [] {
    void* lib = dlopen(kCurlLibrary, RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
      const char* why = dlerror();
      gCurlError = std::string("cannot load ") + kCurlLibrary + ": " + (why ? why : "unknown error");
    } else {
      CurlApi& c = gCurl;
      const bool all = bindSymbol(lib, "curl_global_init", c.global_init) && bindSymbol(lib, "curl_easy_init", c.easy_init) &&
                       bindSymbol(lib, "curl_easy_cleanup", c.easy_cleanup) && bindSymbol(lib, "curl_easy_setopt", c.easy_setopt) &&
                       bindSymbol(lib, "curl_easy_getinfo", c.easy_getinfo) &&
                       bindSymbol(lib, "curl_easy_perform", c.easy_perform) &&
                       bindSymbol(lib, "curl_easy_strerror", c.easy_strerror) && bindSymbol(lib, "curl_multi_init", c.multi_init) &&
                       bindSymbol(lib, "curl_multi_add_handle", c.multi_add_handle) &&
                       bindSymbol(lib, "curl_multi_remove_handle", c.multi_remove_handle) &&
                       bindSymbol(lib, "curl_multi_perform", c.multi_perform) && bindSymbol(lib, "curl_multi_poll", c.multi_poll) &&
                       bindSymbol(lib, "curl_multi_info_read", c.multi_info_read) &&
                       bindSymbol(lib, "curl_multi_cleanup", c.multi_cleanup);
      if (all && c.global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) gCurlError = "libcurl did not initialise";
    }
    // Said once on standard error as well: every request of the run fails.
    if (!gCurlError.empty()) std::cerr << "yunxiu: no HTTP transfers: " << gCurlError << "\n";
  });
  return gCurlError.empty();
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
    if (initCurl()) h = gCurl.easy_init();
  }
  ~Easy() {
    if (h) gCurl.easy_cleanup(h);
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
  gCurl.easy_setopt(h, CURLOPT_ERRORBUFFER, e.err);
  gCurl.easy_setopt(h, CURLOPT_URL, url.c_str());
  gCurl.easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
  gCurl.easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  gCurl.easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  gCurl.easy_setopt(h, CURLOPT_MAXREDIRS, 10L);
  gCurl.easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  gCurl.easy_setopt(h, CURLOPT_TIMEOUT_MS, totalMs);
  gCurl.easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, connectMs);
  gCurl.easy_setopt(h, CURLOPT_WRITEFUNCTION, writeCallback);
  gCurl.easy_setopt(h, CURLOPT_WRITEDATA, &sink);
  if (postBody) {
    e.postBody = *postBody;
    gCurl.easy_setopt(h, CURLOPT_POST, 1L);
    gCurl.easy_setopt(h, CURLOPT_POSTFIELDS, e.postBody.data());
    gCurl.easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(e.postBody.size()));
  }
  return true;
}

std::string errorText(CURLcode code, const Easy& e, const Sink& sink) {
  if (sink.oversize)
    return "response body larger than " + std::to_string(sink.maxBody) + " bytes";
  std::string text = gCurl.easy_strerror(code);
  if (e.err[0]) text += std::string(": ") + e.err;
  return text;
}

// Runs the transfer, checking the cancel flag every 50 ms.
CURLcode perform(CURL* h, const std::atomic<bool>* cancelled) {
  InFlight counted;
  if (!cancelled) return gCurl.easy_perform(h);
  CURLM* m = gCurl.multi_init();
  if (!m) return CURLE_OUT_OF_MEMORY;
  gCurl.multi_add_handle(m, h);
  CURLcode result = CURLE_OK;
  bool done = false;
  while (!done) {
    int running = 0;
    CURLMcode mc = gCurl.multi_perform(m, &running);
    if (mc != CURLM_OK) {
      result = CURLE_FAILED_INIT;
      break;
    }
    int left = 0;
    while (CURLMsg* msg = gCurl.multi_info_read(m, &left)) {
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
    gCurl.multi_poll(m, nullptr, 0, 50, nullptr);
  }
  gCurl.multi_remove_handle(m, h);
  gCurl.multi_cleanup(m);
  return result;
}

HttpResult runSync(const std::string& url, const std::string* postBody, double timeoutSeconds, bool keepBody = true) {
  HttpResult r;
  Easy e;
  Sink sink;
  std::string body;
  if (keepBody) sink.onChunk = [&body](CURL*, const char* p, std::size_t n) { body.append(p, n); };
  if (!configure(e, url, timeoutSeconds, sink, postBody)) {
    r.error = gCurlError.empty() ? "cannot create a transfer" : gCurlError;
    return r;
  }
  CURLcode code = perform(e.h, nullptr);
  if (code != CURLE_OK) {
    r.error = errorText(code, e, sink);
    return r;
  }
  long status = 0;
  gCurl.easy_getinfo(e.h, CURLINFO_RESPONSE_CODE, &status);
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
    gCurl.easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
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
    post([error = gCurlError.empty() ? std::string("cannot create a transfer") : gCurlError](TransferImpl& x) {
      if (x.cb_.onFailure) x.cb_.onFailure(error);
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
