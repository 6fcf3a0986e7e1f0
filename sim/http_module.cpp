// libyx_sim_http.so: the simulator's HTTP server (cpp-httplib) behind the
// plain interface of sim/http_server.h.

#include <httplib.h>

#include "sim/http_server.h"

namespace yx::sim {
namespace {

class Service : public HttpService, private httplib::Server {
public:
  Service(int listenFd, const HttpHandler& handler, std::size_t workers) : handler_(handler) {
    new_task_queue = [workers] { return new httplib::ThreadPool(workers); };
    // One request per connection: a stop never waits for idle keep-alive
    // connections, and no worker is held by an idle client.
    set_keep_alive_max_count(1);
    set_payload_max_length(64 * 1024 * 1024);
    auto answer = [this](const httplib::Request& req, httplib::Response& res) { serve(req, res); };
    Get(".*", answer);
    Post(".*", answer);
    Put(".*", answer);
    Patch(".*", answer);
    Delete(".*", answer);
    Options(".*", answer);
    // The socket listens already, so the port was known (and connections
    // queued) before this server existed.
    svr_sock_ = listenFd;
  }

  void run() override { listen_after_bind(); }
  bool isRunning() const override { return is_running(); }
  void stop() override { httplib::Server::stop(); }

private:
  void serve(const httplib::Request& req, httplib::Response& res) {
    HttpIncoming in;
    in.method = req.method;
    in.path = req.path;
    in.target = req.target;
    in.body = req.body;
    in.contentType = req.get_header_value("Content-Type");
    for (const auto& [k, v] : req.headers) in.headers.emplace(k, v);
    HttpOutgoing out;
    handler_(in, out);

    res.status = out.status;
    if (!out.reason.empty()) res.reason = out.reason;
    for (const auto& [k, v] : out.headers) res.set_header(k, v);
    if (out.cutAfter >= 0 && static_cast<std::size_t>(out.cutAfter) < out.body.size()) {
      auto body = std::make_shared<std::string>(std::move(out.body));
      const auto cut = static_cast<std::size_t>(out.cutAfter);
      res.set_content_provider(body->size(), out.contentType,
                               [body, cut](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                                 if (offset < cut) sink.write(body->data() + offset, cut - offset);
                                 return false;
                               });
      return;
    }
    // The body is moved, not copied: a large feed is held once.
    res.body = std::move(out.body);
    if (!out.contentType.empty()) res.set_header("Content-Type", out.contentType);
  }

  HttpHandler handler_;
};

}  // namespace
}  // namespace yx::sim

extern "C" __attribute__((visibility("default"))) yx::sim::HttpService* yx_sim_make_http_service(
    int listenFd, const yx::sim::HttpHandler& handler, std::size_t workers) {
  return new yx::sim::Service(listenFd, handler, workers);
}
