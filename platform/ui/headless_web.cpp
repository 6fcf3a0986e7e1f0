#include "platform/ui/headless_web.h"

#include <map>

#include "platform/files.h"
#include "platform/http.h"
#include "platform/runloop.h"

namespace yx {

namespace {
// Transfers in flight per view, so a new load or a stop cancels the old one.
std::map<const WebView*, std::shared_ptr<HttpTransfer>>& transfers() {
  static auto* m = new std::map<const WebView*, std::shared_ptr<HttpTransfer>>();
  return *m;
}
}  // namespace

void HeadlessWebBackend::load(const std::shared_ptr<WebView>& view, const std::string& url) {
  stop(*view);
  std::weak_ptr<WebView> weak = view;
  const WebView* key = view.get();
  // The start is reported from the run loop, as a browser reports it after the call returns.
  RunLoop::main().post([weak] {
    if (auto v = weak.lock()) v->backendDidStart();
  });
  if (auto path = Files::pathFromFileURL(url)) {
    // A local file (a downloaded document): read, then reported as a load.
    RunLoop::main().post([weak, file = *path] {
      auto v = weak.lock();
      if (!v) return;
      auto content = Files::isDirectory(file) ? std::nullopt : Files::readFile(file);
      if (content) v->backendDidFinish(std::move(*content));
      else v->backendDidFail("no such file");
    });
    return;
  }
  auto body = std::make_shared<std::string>();
  auto status = std::make_shared<long>(0);
  HttpCallbacks cb;
  cb.onResponse = [status](long s) { *status = s; };
  cb.onData = [body](const std::string& chunk) { body->append(chunk); };
  cb.onFailure = [weak, key](const std::string& error) {
    transfers().erase(key);
    if (auto v = weak.lock()) v->backendDidFail(error);
  };
  cb.onFinish = [weak, key, body, status] {
    transfers().erase(key);
    auto v = weak.lock();
    if (!v) return;
    if (*status >= 400)
      v->backendDidFail("HTTP status " + std::to_string(*status));
    else
      v->backendDidFinish(std::move(*body));
  };
  transfers()[key] = httpGetAsync(url, 60, std::move(cb));
}

void HeadlessWebBackend::stop(WebView& view) {
  auto it = transfers().find(&view);
  if (it == transfers().end()) return;
  if (it->second) it->second->cancel();
  transfers().erase(it);
}

}  // namespace yx
