#pragma once
// The simulator's HTTP serving lives in a module of its own
// (libyx_sim_http.so, sim/http_module.cpp), opened when a kind's first
// connection arrives. The programs that embed the simulator therefore start
// without the HTTP server library and what it brings with it (TLS,
// compression): the window's first frame and the text driver's cold start
// do not pay for a server nobody has called yet.

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>

namespace yx::sim {

struct HttpIncoming {
  std::string method;
  std::string path;    // percent-decoded
  std::string target;  // as received, query included
  std::string body;
  std::string contentType;  // the Content-Type header, "" when absent
  std::multimap<std::string, std::string> headers;
};

struct HttpOutgoing {
  int status = 200;
  std::string reason;  // "" for the usual one
  std::multimap<std::string, std::string> headers;
  std::string body;
  std::string contentType;  // "" sends none
  // >= 0: the whole length is announced, only this many bytes are sent, then
  // the connection is dropped (a server dying part-way through).
  long long cutAfter = -1;
};

using HttpHandler = std::function<void(const HttpIncoming&, HttpOutgoing&)>;

// One kind's server on a socket that already listens.
class HttpService {
public:
  virtual ~HttpService() = default;
  // Accepts and answers connections until stop(); call on the thread that
  // serves.
  virtual void run() = 0;
  virtual bool isRunning() const = 0;
  virtual void stop() = 0;
};

// Makes a server that takes over `listenFd`, one request per connection,
// with `workers` threads answering.
using HttpServiceMaker = HttpService* (*)(int listenFd, const HttpHandler& handler, std::size_t workers);

// Opens the module (once) and returns its maker; null, with the reason in
// `why`, when it cannot be loaded. The module is looked for beside the
// program, in <bin>/../lib/yunxiu/: as installed, and in the build tree,
// where every program is built one folder below the top (bin/, tests/,
// bench/, fuzz/).
HttpServiceMaker httpServiceMaker(std::string* why);

}  // namespace yx::sim
