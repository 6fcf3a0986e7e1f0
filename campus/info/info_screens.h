#pragma once
// News and activities: the list screens with their category chooser, the
// detail texts and the web page screens.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "markup/feed_loader.h"
#include "platform/plist_value.h"
#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {

// The category names of the chooser; the row index is the feed number.
const std::vector<std::string>& newsCategories();
const std::vector<std::string>& activityCategories();

// The shared list screen: the header, the count label, the record table
// (`myTableview`), the category chooser (`chooseTableview`, tag 111) behind
// which the translucent `alphaBtn` (tag 4) sits. Buttons by tag: 1 home,
// 2 back to the first screen, 3 show the chooser, 4 hide it.
// The records are the ones its loader hands over, else the cache file read
// once when the screen loads; rows and the details they open both come from
// them, whatever happens to the file later.
class InfoListViewController : public ViewController,
                               public TableViewDataSource,
                               public TableViewDelegate,
                               public FeedRecordsReceiver {
public:
  void viewDidLoad() override;
  void btnEvent(int tag);
  void setFeedRecords(std::shared_ptr<const FeedRecords> records) override { records_ = std::move(records); }

  int tableViewNumberOfRowsInSection(TableView& table, int section) override;
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  double tableViewHeightForRow(TableView& table, IndexPath ip) override;
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

  const FeedRecords& records() const { return *records_; }
  // The category the list was loaded with (the chooser's row, 0 for all);
  // the chooser marks it.
  int category() const { return category_; }
  void setCategory(int category) { category_ = category; }

protected:
  virtual std::string cacheName() const = 0;        // "news" / "act"
  virtual const std::vector<std::string>& fieldNames() const = 0;
  virtual std::string headerTitle() const = 0;
  virtual const std::vector<std::string>& kinds() const = 0;
  virtual std::string cellIdentifier() const = 0;
  virtual std::string logoImage() const = 0;
  virtual double rowHeight() const = 0;              // < 0: the table's default
  virtual std::string rowText(int row) = 0;
  virtual std::shared_ptr<ViewController> makeDetail(int row) = 0;
  virtual std::shared_ptr<ViewController> makeLoader(int category) = 0;
  bool readCache();

  std::shared_ptr<const FeedRecords> records_;
  std::vector<std::string> kindAry_;
  std::shared_ptr<TableView> myTableview_, chooseTableview_;
  std::shared_ptr<Label> countLbl_;
  std::shared_ptr<Button> alphaBtn_;
  std::shared_ptr<View> hl_;
  int category_ = 0;
};

class newsListViewController : public InfoListViewController {
public:
  std::string className() const override { return "newsListViewController"; }

protected:
  std::string cacheName() const override { return "news"; }
  const std::vector<std::string>& fieldNames() const override;
  std::string headerTitle() const override { return "近期消息"; }
  const std::vector<std::string>& kinds() const override { return newsCategories(); }
  std::string cellIdentifier() const override { return "newsCell"; }
  std::string logoImage() const override { return "近期消息.png"; }
  double rowHeight() const override { return 40; }
  std::string rowText(int row) override;
  std::shared_ptr<ViewController> makeDetail(int row) override;
  std::shared_ptr<ViewController> makeLoader(int category) override;
};

class inforActsViewController : public InfoListViewController {
public:
  std::string className() const override { return "inforActsViewController"; }

protected:
  std::string cacheName() const override { return "act"; }
  const std::vector<std::string>& fieldNames() const override;
  std::string headerTitle() const override { return "近期活動"; }
  const std::vector<std::string>& kinds() const override { return activityCategories(); }
  std::string cellIdentifier() const override { return "inforActViewCell"; }
  std::string logoImage() const override { return "近期活動.png"; }
  double rowHeight() const override { return -1; }
  std::string rowText(int row) override;
  std::shared_ptr<ViewController> makeDetail(int row) override;
  std::shared_ptr<ViewController> makeLoader(int category) override;
};

// Detail text of one record (`tableCell` is its row). Its list hands it the
// record of the row tapped; opened otherwise, it reads that row of the cache
// file. Buttons by tag: 1 home, 2 back, 3 the web page.
class InfoDetailsViewController : public ViewController {
public:
  void setTableCell(int row) { tableCell_ = row; }
  int tableCell() const { return tableCell_; }
  void setRecord(Value record) { record_ = std::move(record); }
  void viewDidLoad() override;
  void btnEvent(int tag);
  const Value& record() const { return record_; }

protected:
  virtual std::string cacheName() const = 0;
  virtual const std::vector<std::string>& fieldNames() const = 0;
  virtual std::string headerTitle() const = 0;
  virtual std::string detailText() const = 0;
  virtual std::shared_ptr<ViewController> makeWebPage() const = 0;
  int tableCell_ = 0;
  Value record_;
  std::shared_ptr<TextView> myTextview_;
};

class newsDetailsViewController : public InfoDetailsViewController {
public:
  std::string className() const override { return "newsDetailsViewController"; }
  // "公告：\n...\n\n類別：...\n\n活動開始日期：...\n\n活動結束日期：..."
  static std::string textFor(const Value& record);

protected:
  std::string cacheName() const override { return "news"; }
  const std::vector<std::string>& fieldNames() const override;
  std::string headerTitle() const override { return "近期消息"; }
  std::string detailText() const override { return textFor(record_); }
  std::shared_ptr<ViewController> makeWebPage() const override;
};

class inforActsDetailsViewController : public InfoDetailsViewController {
public:
  std::string className() const override { return "inforActsDetailsViewController"; }
  static std::string textFor(const Value& record);

protected:
  std::string cacheName() const override { return "act"; }
  const std::vector<std::string>& fieldNames() const override;
  std::string headerTitle() const override { return "近期活動"; }
  std::string detailText() const override { return textFor(record_); }
  std::shared_ptr<ViewController> makeWebPage() const override;
};

// A web page built in code: header label, footer bar, home (tag 100) and
// back (tag 101) buttons, the page view, and a dimming overlay with a
// spinner while a page loads. Portrait only.
class InfoWebViewController : public ViewController, public WebViewDelegate, public AlertViewDelegate {
public:
  ~InfoWebViewController() override;
  void viewDidLoad() override;
  void BtnGo(int tag);
  // The escaped URL the page view loads.
  virtual std::string pageURL() const = 0;

  void webViewDidStartLoad(WebView& web) override;
  void webViewDidFinishLoad(WebView& web) override;
  void webViewDidFailLoadWithError(WebView& web, const std::string& error) override;
  void alertViewClickedButtonAtIndex(AlertView& alert, int index) override;

protected:
  virtual std::string headerText() const = 0;
  virtual bool headerBold() const = 0;

private:
  void removeOverlay();
  std::shared_ptr<WebView> web_;
  std::shared_ptr<View> overlay_;
  std::shared_ptr<ActivityIndicator> spinner_;
};

class newsWebViewController : public InfoWebViewController {
public:
  std::string className() const override { return "newsWebViewController"; }
  void setNewsId(int id) { newsId_ = id; }
  int newsId() const { return newsId_; }
  std::string pageURL() const override;

protected:
  std::string headerText() const override { return "最新消息"; }
  bool headerBold() const override { return true; }

private:
  int newsId_ = 0;
};

class inforActWebViewController : public InfoWebViewController {
public:
  std::string className() const override { return "inforActWebViewController"; }
  void setActId(std::string id) { actId_ = std::move(id); }
  const std::string& actId() const { return actId_; }
  std::string pageURL() const override;

protected:
  std::string headerText() const override { return "活動"; }
  bool headerBold() const override { return false; }

private:
  std::string actId_;
};

// Starts the usage exit report on a detached thread.
void reportUsageExit();
// Reads a Feed cache file keeping these fields; nothing when it is missing or
// unreadable.
std::optional<FeedRecords> readFeedCache(const std::string& itemElement, const std::vector<std::string>& fields);

}  // namespace yx
