#pragma once
// Web views without a web engine: the page is fetched over HTTP and its
// body kept, so start, finish and failure reach the screen as with a browser.

#include "platform/ui/view.h"

namespace yx {

class HeadlessWebBackend : public WebBackend {
public:
  void load(const std::shared_ptr<WebView>& view, const std::string& url) override;
  void stop(WebView& view) override;
};

}  // namespace yx
