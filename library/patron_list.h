#pragma once
// The three lists made from the cached Patron activity document (borrowed
// items, overdue items, arrived holds). They send no request of their own:
// the presenting screen hands them the document. Each list has the library
// header (home 1, back 2), a count label and a table whose rows open the
// item's catalogue record page ("libWeb").

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "library/library_kit.h"
#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {

namespace library {
struct Checkout;
}

// A patron list's row: the format picture at the left, the title over two
// lines, and under it a detail at the left and the date at the right.
class PatronCell : public TableViewCell {
public:
  explicit PatronCell(std::string reuseIdentifier);
  std::shared_ptr<Label> titleLbl;

protected:
  // The detail runs from x 64 for `width`; the date from `dateX` to the right edge.
  std::shared_ptr<Label> addDetail(const char* name, double width = 140);
  std::shared_ptr<Label> addDate(const char* name, Color color, bool bold, double dateX = 196);
};

class PatronListViewController : public ViewController,
                                 public TableViewDataSource,
                                 public TableViewDelegate,
                                 public AlertViewDelegate {
public:
  void viewDidLoad() override;
  void btnEvent(int tag);
  void prepareForSegue(const std::string& identifier, ViewController& destination, const void* sender) override;

  int tableViewNumberOfRowsInSection(TableView& table, int section) override;
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;
  double tableViewHeightForRow(TableView& table, IndexPath ip) override;
  void alertViewClickedButtonAtIndex(AlertView& alert, int index) override;

  const std::vector<std::string>& titleAry() const { return titleAry_; }
  const std::vector<std::string>& bibIdAry() const { return bibIdAry_; }
  const std::vector<std::string>& dueDateAry() const { return dueDateAry_; }
  const std::vector<std::string>& formatAry() const { return formatAry_; }
  const std::vector<std::string>& statusAry() const { return statusAry_; }
  const std::vector<std::string>& barcodeAry() const { return barcodeAry_; }

protected:
  virtual std::string headerTitle() const = 0;
  // Views between the count label and the table (the overdue notice); returns
  // the height they take.
  virtual double addViewsAboveTable(double /*y*/) { return 0; }
  // Fills the lists from the document; false when it is not a Patron
  // activity document (the list then stays empty, without a message).
  virtual bool parserData(const std::optional<std::string>& bytes) = 0;
  virtual std::string emptyMessage() const = 0;
  // What every row display refreshes besides its cell (count, notice).
  virtual void showCounts();
  // Appends one loan to the six lists.
  void appendLoan(library::Checkout&& loan);

  std::optional<std::string> data_;
  std::vector<std::string> titleAry_, dueDateAry_, formatAry_, bibIdAry_, statusAry_, barcodeAry_;
  std::shared_ptr<Label> countLbl_;
  std::shared_ptr<TableView> myTableview_;
  library::FormatIcons icons_;
};

// The bytes stored under "libData" for the lists' transitions ("libBorrow",
// "timeOut", "libArrive"); other identifiers are left alone.
void handOverPatronData(const std::string& identifier, ViewController& destination);

}  // namespace yx
