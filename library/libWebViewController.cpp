#include "library/libWebViewController.h"

#include "core/deployment.h"
#include "platform/escape.h"

namespace yx {

std::string libWebViewController::pageURL() const {
  try {
    return Deployment::current().url("library_catalogue", "/cgi-bin/search_virtua.pl?bib_id=" + componentEscape(bibId_));
  } catch (const DeploymentError&) {
    return {};
  }
}

}  // namespace yx
