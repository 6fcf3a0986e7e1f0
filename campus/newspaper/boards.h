#pragma once
// The newspaper's event board (timesActsViewController) and speech board
// (timesSpeechsViewController): one feed each, entries grouped by campus
// under coloured headers, entries flagged as excellent marked with the icon
// the feed names.

#include <memory>
#include <string>
#include <vector>

#include "markup/dom.h"
#include "platform/image.h"
#include "platform/ui/view_controller.h"

namespace yx {

class BoardViewController : public ViewController, public TableViewDataSource, public TableViewDelegate {
public:
  void viewDidLoad() override;
  // Fetches the feed, starts the icon download and fills the arrays.
  void loadData();
  void reloadTable();
  // 3 back; 2 back and 1 to the Home menu, both with the usage report.
  void btnEvent(int tag);

  int numberOfSectionsInTableView(TableView&) override { return static_cast<int>(dateAry.size()); }
  int tableViewNumberOfRowsInSection(TableView&, int) override { return 1; }
  std::shared_ptr<TableViewCell> tableViewCellForRow(TableView& table, IndexPath ip) override;
  double tableViewHeightForRow(TableView&, IndexPath) override;
  double tableViewHeightForHeaderInSection(TableView&, int section) override;
  std::shared_ptr<View> tableViewViewForHeaderInSection(TableView&, int section) override;
  void tableViewDidSelectRow(TableView& table, IndexPath ip) override { table.deselectRow(ip, true); }

  // One entry per feed entry, in feed order.
  std::vector<std::string> dateAry, timeAry, planAry, placeAry, iconAry, schAry;
  Image iconImg;  // the excellence icon, once downloaded

protected:
  virtual std::string title() const = 0;
  virtual std::string feedURL() const = 0;
  virtual std::string entryName() const = 0;
  virtual void readEntry(const DomElement& entry) = 0;  // the board's own fields
  // How this board writes the Taipei campus's marker ("臺北校園" / "台北校園");
  // the other spelling is not a campus it knows.
  virtual std::string taipeiMarker() const = 0;
  virtual std::string cellIdentifier() const = 0;
  // Builds the board's cell views (first use of a cell).
  virtual void buildCell(TableViewCell& cell) = 0;
  // Fills the board's texts and places the main label.
  virtual void fillCell(TableViewCell& cell, size_t entry, bool marked) = 0;
  virtual double rowHeight() const = 0;

  std::shared_ptr<TableView> myTableview;
  std::shared_ptr<Label> countLbl;
  std::shared_ptr<ImageView> littleIconImgview;
  std::string iconURL_;
};

class timesActsViewController : public BoardViewController {
public:
  std::string className() const override { return "timesActsViewController"; }
  std::vector<std::string> nameAry;

protected:
  std::string title() const override { return "活動看板"; }
  std::string feedURL() const override;
  std::string entryName() const override { return "event"; }
  void readEntry(const DomElement& entry) override;
  std::string taipeiMarker() const override { return "臺北校園"; }
  std::string cellIdentifier() const override { return "timesActsID"; }
  void buildCell(TableViewCell& cell) override;
  void fillCell(TableViewCell& cell, size_t entry, bool marked) override;
  double rowHeight() const override { return 80; }
};

class timesSpeechsViewController : public BoardViewController {
public:
  std::string className() const override { return "timesSpeechsViewController"; }
  std::vector<std::string> quesAry, teachAry;

protected:
  std::string title() const override { return "演講看板"; }
  std::string feedURL() const override;
  std::string entryName() const override { return "speech"; }
  void readEntry(const DomElement& entry) override;
  std::string taipeiMarker() const override { return "台北校園"; }
  std::string cellIdentifier() const override { return "timesSpeechsID"; }
  void buildCell(TableViewCell& cell) override;
  void fillCell(TableViewCell& cell, size_t entry, bool marked) override;
  double rowHeight() const override { return 100; }
};

}  // namespace yx
