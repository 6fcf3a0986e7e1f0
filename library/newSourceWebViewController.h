#pragma once
// One e-resource news item's page on the library web site.

#include <string>

#include "library/library_web.h"

namespace yx {

class newSourceWebViewController : public LibraryWebViewController {
public:
  std::string className() const override { return "newSourceWebViewController"; }
  // The item's link, already escaped for loading.
  void setUrlStr(std::string url) { urlStr_ = std::move(url); }
  const std::string& urlStr() const { return urlStr_; }
  void loadWebPageWithString(const std::string& url) { load(url); }

protected:
  std::string headerTitle() const override { return "電子資源新訊"; }
  std::string pageURL() const override { return urlStr_; }

private:
  std::string urlStr_;
};

}  // namespace yx
