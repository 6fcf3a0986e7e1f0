#pragma once
// Today's messages: the kind menu, the list of one kind's items from the
// day's feed, and one item as text.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/alert.h"
#include "platform/ui/view_controller.h"

namespace yx {

// The four kinds (1…4): "本日消息", "首發消息", "本日活動", "首發活動";
// kinds 3 and 4 are activities. "" outside 1…4.
std::string todayKindTitle(int kind);
inline bool todayKindIsActivity(int kind) { return kind == 3 || kind == 4; }

// An activity time as listed: every "T" becomes a space, then ":00+08:00"
// goes ("2013-05-01T09:00:00+08:00" → "2013-05-01 09:00").
std::string todayActivityTime(std::string text);

// The items of one feed, as parallel arrays (index = row).
struct TodayItems {
  std::vector<std::string> nameAry, typeAry, startTimeAry, endTimeAry, noAry;
  // Activities only.
  std::vector<std::string> regStartTimeAry, regEndTimeAry, peopleAry, placeAry;
};
enum class TodayReadResult { Unreadable, NoItems, Read };
// Reads a "today-%d.xml" body with the news reader (kinds 1, 2) or the
// activity reader (3, 4), appending to `into`.
TodayReadResult readTodayFeed(std::string_view body, bool activities, TodayItems& into);

// The kind menu (Home menu 本日訊息). Buttons: 1 home, 2 back (both report).
class todayNewsViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  std::string className() const override { return "todayNewsViewController"; }
  void viewDidLoad() override;
  void btnEvent(int tag);
  int tableViewNumberOfRowsInSection(TableView&, int) override { return 4; }
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  double tableViewHeightForRow(TableView&, IndexPath) override { return 40; }
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;

private:
  std::shared_ptr<TableView> myTableview_;
};

// One kind's items, fetched 0.1 s after the screen loads. Buttons: 1 home
// (report), 2 back.
class todayNewsDetailViewController : public ViewController,
                                      public TableViewDataSource,
                                      public TableViewDelegate,
                                      public AlertViewDelegate {
public:
  std::string className() const override { return "todayNewsDetailViewController"; }
  void setWhichNews(int kind) { whichNews_ = kind; }
  int whichNews() const { return whichNews_; }
  void viewDidLoad() override;
  void loadData();
  void btnEvent(int tag);
  const TodayItems& items() const { return items_; }

  int tableViewNumberOfRowsInSection(TableView&, int) override;
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override;
  void alertViewClickedButtonAtIndex(AlertView&, int) override;

private:
  int whichNews_ = 1;
  TodayItems items_;
  std::shared_ptr<TableView> myTableview_;
  std::shared_ptr<Label> countLbl_;
  Label* titleLabel_ = nullptr;  // the header's, kept by the view tree
  std::shared_ptr<ActivityIndicator> myActivity_;
};

// One item as text. Buttons: 1 home (report), 2 back.
class todayNewsDetailDataViewController : public ViewController {
public:
  std::string className() const override { return "todayNewsDetailDataViewController"; }
  // The kind 1…4, despite its name.
  void setTitleStr(int kind) { titleStr_ = kind; }
  void setNameStr(std::string s) { nameStr_ = std::move(s); }
  void setTypeStr(std::string s) { typeStr_ = std::move(s); }
  void setStartTimeStr(std::string s) { startTimeStr_ = std::move(s); }
  void setEndTimeStr(std::string s) { endTimeStr_ = std::move(s); }
  void setRegStartTimeStr(std::string s) { regStartTimeStr_ = std::move(s); }
  void setRegEndTimeStr(std::string s) { regEndTimeStr_ = std::move(s); }
  void setPeopleStr(std::string s) { peopleStr_ = std::move(s); }
  void setPlaceStr(std::string s) { placeStr_ = std::move(s); }
  void viewDidLoad() override;
  void btnEvent(int tag);
  // The text shown for the item.
  std::string text() const;

private:
  int titleStr_ = 1;
  std::string nameStr_, typeStr_, startTimeStr_, endTimeStr_, regStartTimeStr_, regEndTimeStr_, peopleStr_,
      placeStr_;
};

}  // namespace yx
