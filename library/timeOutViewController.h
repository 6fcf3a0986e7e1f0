#pragma once
// Overdue items: the loans whose status is exactly "overdue", with the
// notice of fines above the list.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "library/patron_list.h"

namespace yx {

class timeOutCell : public PatronCell {
public:
  timeOutCell();
  std::shared_ptr<Label> barcodeLbl, dueDateLbl;
};

class timeOutViewController : public PatronListViewController {
public:
  std::string className() const override { return "timeOutViewController"; }
  void setLibData(std::optional<std::string> bytes) { data_ = std::move(bytes); }

  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;

  // "目前共有 %lu 筆逾期資料：…"
  static std::string noticeText(unsigned long count);

protected:
  std::string headerTitle() const override { return "逾期紀錄"; }
  double addViewsAboveTable(double y) override;
  bool parserData(const std::optional<std::string>& bytes) override;
  std::string emptyMessage() const override { return "謝謝您無逾期未還資料，請繼續保持良好習慣。"; }
  void showCounts() override;

private:
  std::shared_ptr<TextView> statusTextview_;
};

}  // namespace yx
