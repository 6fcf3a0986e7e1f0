#include "phone/directory_categories.h"

#include "core/screen_kit.h"
#include "phone/directory_extensions.h"
#include "phone/phone_kit.h"
#include "platform/ui/common_views.h"
#include "platform/ui/search_field.h"

namespace yx::phone {

std::shared_ptr<TableViewCell> directoryCell(const std::string& reuseIdentifier, const std::string& text) {
  auto cell = make<TableViewCell>(TableViewCell::Style::Default, reuseIdentifier);
  cell->setShowsDisclosure(true);
  auto picture = make<ImageView>(Rect{8, 5, 30, 30}, "分機查詢撥號.png");
  picture->setName("logo");
  cell->contentView().addSubview(picture);
  auto label = make<Label>(Rect{46, 0, 244, 40}, text);
  label->setName("nameLbl");
  label->setFont(18);
  label->setNumberOfLines(0);
  label->setAutoresizingMask(Autoresizing::FlexibleWidth);
  cell->contentView().addSubview(label);
  return cell;
}

std::shared_ptr<TableView> directoryTable(ViewController& vc, double top, TableViewDataSource* source,
                                          TableViewDelegate* delegate) {
  auto table = addTable(vc.view(), areaBelow(top), "myTableView", source, delegate);
  table->setRowHeight(40);
  return table;
}

// ------------------------------------------------------------- categories

const std::vector<std::string>& schoolCallViewController::categories() {
  static const std::vector<std::string> list = {"行政單位", "學術單位"};
  return list;
}

void schoolCallViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, "分機查詢撥號", 1, 2, [this](int tag) { btnEvent(tag); });
  table_ = directoryTable(*this, 44, this, this);
}

void schoolCallViewController::btnEvent(int tag) {
  if (tag == 2) goBack(*this);
  if (tag == 1) goHome(*this);
}

std::shared_ptr<TableViewCell> schoolCallViewController::tableViewCellForRow(TableView&, IndexPath ip) {
  return directoryCell("schoolCall", ip.row < 2 ? categories()[static_cast<size_t>(ip.row)] : "");
}

void schoolCallViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  table.deselectRow(ip, true);
  if (ip.row < 0 || ip.row > 1) return;
  auto units = std::make_shared<schoolCallDetail1ViewController>();
  units->typeNum = ip.row + 1;
  units->titleText = categories()[static_cast<size_t>(ip.row)];
  if (auto* nav = navigationController()) nav->pushViewController(units, false);
}

// ------------------------------------------------------------------ units

void schoolCallDetail1ViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, titleText, 1, 2, [this](int tag) { btnEvent(tag); });
  view().addSubview(makeSearchField(Rect{8, 49, 304, 30}, "搜尋單位名稱", [this](const std::string& t) { search(t); }));
  table_ = directoryTable(*this, 84, this, this);
  spinner_ = addSpinner(view());
  spinner_->startAnimating();
  performAfterDelay(0.1, [this] { startParser(); });
}

// A feed that is unreachable or no XML leaves the list empty and the
// spinner turning.
void schoolCallDetail1ViewController::startParser() {
  auto rows = loadDirectoryFeed("/data/xml/dp-all" + std::to_string(typeNum) + ".xml", {"單位名稱", "單位編號"});
  if (!rows) return;
  for (auto& row : *rows) {
    names_.push_back(std::move(row[0]));
    numbers_.push_back(std::move(row[1]));
  }
  // What is typed already applies.
  shown_.setRows(names_.size(), [this](size_t i) { return std::vector<std::string>{names_[i]}; });
  spinner_->stopAnimating();
  table_->reloadData();
}

void schoolCallDetail1ViewController::search(const std::string& typed) {
  shown_.setQuery(typed);
  table_->reloadData();
}

void schoolCallDetail1ViewController::btnEvent(int tag) {
  if (tag == 2) goBack(*this, false);
  if (tag == 1) goHome(*this);
}

std::shared_ptr<TableViewCell> schoolCallDetail1ViewController::tableViewCellForRow(TableView&, IndexPath ip) {
  auto unit = shown_.row(ip.row);
  return directoryCell("schoolCallDetail1", unit ? names_[*unit] : "");
}

// A unit found by a search opens as it does from the whole list.
void schoolCallDetail1ViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  table.deselectRow(ip, true);
  auto unit = shown_.row(ip.row);
  if (!unit) return;
  auto lines = std::make_shared<schoolCallDetail2ViewController>();
  lines->cellRow = leadingInt(numbers_[*unit]);
  lines->titleText = names_[*unit];
  if (auto* nav = navigationController()) nav->pushViewController(lines, false);
}

}  // namespace yx::phone
