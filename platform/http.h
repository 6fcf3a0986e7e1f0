#pragma once
// HTTP over libcurl (opened on the first transfer).
//
// Only http and https are spoken, for redirects too; at most 10 redirects
// are followed. No header of our own is sent. A status >= 400 is not a
// failure: ok is true and the caller looks at the status, as the phone's
// connection reports it. Failures (refused, time-out, bad URL, body over the
// size limit, redirect to another protocol) give ok = false and an error text.

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace yx {

struct HttpResult {
  bool ok = false;
  long status = 0;
  std::string body;
  std::string error;
  std::size_t bodyBytes = 0;  // bytes of the body received (also when not kept)
};

// Synchronous requests. On the main thread the transfer runs on a worker
// thread while the caller waits; meanwhile the run loop's timers are
// suspended and the blocking-wait hook is called about every 15 ms (the GUI
// uses it to keep painting).
HttpResult httpGet(const std::string& url, double timeoutSeconds = 60);
HttpResult httpPost(const std::string& url, std::string body, double timeoutSeconds = 60);
// A GET whose body is read (within the size limit) but not kept: for asking
// whether a URL answers without holding its answer.
HttpResult httpGetDiscardingBody(const std::string& url, double timeoutSeconds = 60);

void setBlockingWaitHook(std::function<void()> hook);

// Transfers running now, on any thread, synchronous or not. The listener
// (optional) hears every change of that number, on the thread where the
// transfer started or ended (front-ends show network activity with it).
int httpTransfersInFlight();
void setTransferActivityListener(std::function<void(int inFlight)> listener);

// Largest body accepted (default 32 MiB); a larger one is a failure.
void setHttpMaxBodyBytes(std::size_t bytes);
std::size_t httpMaxBodyBytes();
// Time allowed for the connection alone (default 15 s, never above the
// total time-out).
void setHttpConnectTimeout(double seconds);

struct HttpCallbacks {
  std::function<void(long status)> onResponse;        // once, before any data
  std::function<void(const std::string& chunk)> onData;
  std::function<void(const std::string& error)> onFailure;  // ends the transfer
  std::function<void()> onFinish;                     // ends the transfer (success)
};

// An asynchronous GET in flight. Its callbacks run on the main queue in the
// order onResponse, onData..., then exactly one of onFinish or onFailure. The
// transfer counts as background work until its last callback is posted.
class HttpTransfer {
public:
  virtual ~HttpTransfer() = default;
  // Stops the transfer; no callback runs after cancel() returns (when called
  // on the main thread).
  virtual void cancel() = 0;
  virtual bool isCancelled() const = 0;
};

std::shared_ptr<HttpTransfer> httpGetAsync(const std::string& url, double timeoutSeconds,
                                           HttpCallbacks callbacks);

}  // namespace yx
