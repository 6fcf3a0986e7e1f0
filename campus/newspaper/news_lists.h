#pragma once
// The newspaper's article lists: the Chinese edition in five sections
// (chiNewsViewController) and the English edition (engNewsViewController).
// Both read one feed into three parallel arrays, show a thumbnail and the
// headline per row and open the article screen.

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/view_controller.h"

namespace yx {

class NewsListViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  void viewDidLoad() override;
  // Header and bottom bar buttons (1 home, 2 back, 3 the bottom bar's back).
  virtual void btnEvent(int tag) = 0;

  int tableViewNumberOfRowsInSection(TableView& table, int section) override;
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  double tableViewHeightForRow(TableView&, IndexPath) override { return 70; }

  // One entry per article, in feed order.
  std::vector<std::string> newsNumAry, newsTitAry, newsPicAry;
  // The last item's issue and date ("" until an item had them).
  std::string newsTimeStr, newsDateStr;

protected:
  virtual std::string headerTitle() const = 0;
  virtual std::string itemName() const = 0;            // "cht" / "eng"
  virtual std::string placeholderTitle() const = 0;    // the one row of an empty feed
  virtual std::string issueText() const = 0;           // timeLbl's text
  virtual std::string cellIdentifier() const = 0;
  virtual std::string pictureOutlet() const = 0;       // the cell's picture view name
  virtual std::string titleOutlet() const = 0;         // the cell's headline label name
  virtual double contentTop() const = 0;               // where timeLbl and the table begin
  // The picture of the placeholder row, which also hides the count ("": none).
  virtual std::string placeholderPicture() const { return {}; }
  virtual void addOwnViews() {}

  // Fetches the list feed and fills the arrays (the placeholder row for an
  // empty feed), then reloads the table and sets timeLbl. A feed that cannot
  // be fetched or parsed changes nothing.
  void loadList(const std::string& url);
  // Empties the arrays and the issue and date, and reloads the table so no
  // row is drawn from the emptied arrays.
  void emptyLists();
  void reloadTable();
  bool isPlaceholderOnly() const;
  // The row the next article segue opens.
  int chosenRow_ = -1;
  void prepareArticle(ViewController& article, const std::string& type) const;

  std::shared_ptr<TableView> myTableview;
  std::shared_ptr<Label> timeLbl, countLbl;
};

class chiNewsViewController : public NewsListViewController {
public:
  std::string className() const override { return "chiNewsViewController"; }
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;
  void btnEvent(int tag) override;
  // Section buttons 1-5: remembers the section and shows it.
  void typeBtnEvent(int tag);
  // Loads section n (1-5) and marks its button.
  void loadNewsData(int section);
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;
  void prepareForSegue(const std::string& identifier, ViewController& destination, const void* sender) override;

  int typeNum = 1;
  static const char* const kSectionNames[5];
  static constexpr const char* kPlaceholder = "請見特別企劃";

protected:
  std::string headerTitle() const override { return "最新一期"; }
  std::string itemName() const override { return "cht"; }
  std::string placeholderTitle() const override { return kPlaceholder; }
  std::string issueText() const override { return newsTimeStr + "期 [" + newsDateStr + "]"; }
  std::string cellIdentifier() const override { return "chiNewsCellID"; }
  std::string pictureOutlet() const override { return "myImage"; }
  std::string titleOutlet() const override { return "myLbl"; }
  double contentTop() const override { return 84; }
  std::string placeholderPicture() const override { return "特別企劃紅.png"; }
  void addOwnViews() override;

private:
  std::shared_ptr<Button> typeBtn_[5];
};

class engNewsViewController : public NewsListViewController {
public:
  std::string className() const override { return "engNewsViewController"; }
  void viewDidLoad() override;
  void btnEvent(int tag) override;
  void loadEngNewsData();
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;
  void prepareForSegue(const std::string& identifier, ViewController& destination, const void* sender) override;

protected:
  std::string headerTitle() const override { return "WYN Times"; }
  std::string itemName() const override { return "eng"; }
  std::string placeholderTitle() const override { return "無資料。"; }
  std::string issueText() const override { return "No. " + newsTimeStr + " [" + newsDateStr + "]"; }
  std::string cellIdentifier() const override { return "engNewsCellID"; }
  std::string pictureOutlet() const override { return "myImageview"; }
  std::string titleOutlet() const override { return "titleLbl"; }
  double contentTop() const override { return 49; }
};

}  // namespace yx
