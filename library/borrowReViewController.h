#pragma once
// Borrowed items: every loan of the patron with its barcode and due date,
// the date in the colour of its band (normal, orange within three days,
// red when overdue).

#include <memory>
#include <optional>
#include <string>

#include "library/due_dates.h"
#include "library/patron_list.h"

namespace yx {

// One loan: title, barcode, and the due date in exactly one of the three
// due-date labels (the other two empty).
class borrowReCell : public PatronCell {
public:
  borrowReCell();
  std::shared_ptr<Label> barcodeLbl, dueDateLbl, dueDateLblOrange, dueDateLblRed;
};

class borrowReViewController : public PatronListViewController {
public:
  std::string className() const override { return "borrowReViewController"; }
  void setBorrowData(std::optional<std::string> bytes) { data_ = std::move(bytes); }

  // "逾期", "差三天" or "未到期", against today as worked out for this pass.
  std::string compareDate(const std::string& dueDate) const;

  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;

protected:
  std::string headerTitle() const override { return "借閱紀錄"; }
  bool parserData(const std::optional<std::string>& bytes) override;
  std::string emptyMessage() const override { return "您沒有未還的借出資料，歡迎多加利用圖書館。"; }

private:
  library::Today today_;
};

}  // namespace yx
