#pragma once
// Arrived holds: every hold request of the patron, whatever its state, with
// where to pick it up and its date.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "library/patron_list.h"

namespace yx {

class libArriveCell : public PatronCell {
public:
  libArriveCell();
  std::shared_ptr<Label> pickupLbl, dueDateLbl;
};

class libArriveViewController : public PatronListViewController {
public:
  std::string className() const override { return "libArriveViewController"; }
  void setArriveData(std::optional<std::string> bytes) { data_ = std::move(bytes); }

  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  const std::vector<std::string>& pickupAry() const { return pickupAry_; }

protected:
  std::string headerTitle() const override { return "預約到館"; }
  bool parserData(const std::optional<std::string>& bytes) override;
  std::string emptyMessage() const override { return "您沒有預約到館資料。"; }

private:
  std::vector<std::string> pickupAry_;
};

}  // namespace yx
