#pragma once
// An HTTP server on a loopback port for a whole test suite: routes are added
// to `http` before start(); handlers that wait do so through pause(), which
// ends early once the suite stops the server.
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace yx::test {

struct LoopbackServer {
  httplib::Server http;
  std::thread thread;
  int port = 0;
  std::atomic<bool> stopping{false};

  void start() {
    port = http.bind_to_any_port("127.0.0.1");
    thread = std::thread([this] { http.listen_after_bind(); });
    while (!http.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  void stop() {
    stopping = true;
    http.stop();
    thread.join();
  }
  std::string url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port) + path; }
  void pause(int ms) const {
    for (int i = 0; i < ms / 10 && !stopping; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  // A request parameter as a number, or `fallback` when it is not there.
  static int param(const httplib::Request& req, const char* name, int fallback) {
    return req.has_param(name) ? std::stoi(req.get_param_value(name)) : fallback;
  }
};

}  // namespace yx::test
