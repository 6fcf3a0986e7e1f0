#pragma once
// The catalogue's own record page of one item (by its bibId).

#include <string>

#include "library/library_web.h"

namespace yx {

class libWebViewController : public LibraryWebViewController {
public:
  std::string className() const override { return "libWebViewController"; }
  void setBibId(std::string id) { bibId_ = std::move(id); }
  const std::string& bibId() const { return bibId_; }
  // "/cgi-bin/search_virtua.pl?bib_id=…" on the library catalogue, the id
  // escaped as one query value.
  std::string pageURL() const override;

protected:
  std::string headerTitle() const override { return "館藏資料"; }

private:
  std::string bibId_;
};

}  // namespace yx
