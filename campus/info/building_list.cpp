#include "campus/info/building_list.h"

#include <algorithm>

#include "campus/info/guide_kit.h"
#include "core/screen_kit.h"
#include "platform/dates.h"
#include "platform/files.h"
#include "platform/resources.h"

namespace yx {

Value readPlaceList() {
  std::string path = resourcePath("placeList.plist");
  auto v = path.empty() ? std::nullopt : Files::readPlistFile(path);
  if (!v || !v->isDictionary()) return Value::dictionary();
  return std::move(*v);
}

houseListCell::houseListCell() : TableViewCell(Style::Default, "houseListCell") {
  contentView().addSubview(make<ImageView>(Rect{10, 2, 40, 40}, "建築物對照圖"));
  engNameLbl_ = make<Label>(Rect{70, 7, 480, 30});
  engNameLbl_->setName("engNameLbl");
  chineseNameLbl_ = make<Label>(Rect{150, 7, 480, 30});
  chineseNameLbl_->setName("chineseNameLbl");
  for (auto& l : {engNameLbl_, chineseNameLbl_}) {
    l->setFont(20);
    l->setTextColor(Color::black());
    contentView().addSubview(l);
  }
}

Value& houseListsViewController::usageRecord() {
  static Value record = Value::dictionary();
  return record;
}

std::vector<std::vector<std::string>>& houseListsViewController::usageList() {
  static std::vector<std::vector<std::string>> list;
  return list;
}

void houseListsViewController::viewDidLoad() {
  addHeaderBar(*this, "建築物對照", 0, 1, [this](int tag) { btnEvent(tag); });
  myTableview_ = addListTable(*this, false);
  pathDic_ = readPlaceList();
  houseListAry_ = pathDic_.keys();
  std::sort(houseListAry_.begin(), houseListAry_.end());
  myTableview_->setDelegate(this);
  myTableview_->setDataSource(this);
}

int houseListsViewController::tableViewNumberOfRowsInSection(TableView&, int) {
  return static_cast<int>(houseListAry_.size());
}

std::shared_ptr<TableViewCell> houseListsViewController::tableViewCellForRow(TableView&, IndexPath ip) {
  auto cell = make<houseListCell>();
  if (ip.row >= 0 && static_cast<size_t>(ip.row) < houseListAry_.size()) {
    const std::string& key = houseListAry_[static_cast<size_t>(ip.row)];
    cell->engNameLbl().setText(key);
    cell->chineseNameLbl().setText(pathDic_.stringFor(key));  // "" for a value that is not text
  }
  return cell;
}

void houseListsViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) { table.deselectRow(ip, true); }

void houseListsViewController::userExit() {
  Value& record = usageRecord();
  record.set("結束時間", formatDate("yyyy/MM/dd HH:mm:ss.SSS", now()));
  std::vector<std::string> values;
  for (auto& [key, value] : record.asDictionary()) values.push_back(value.asString());
  usageList().push_back(std::move(values));
}

void houseListsViewController::btnEvent(int tag) {
  if (tag != 0 && tag != 1) return;
  userExit();
  if (tag == 1) goBack(*this);
  else goHome(*this);
}

}  // namespace yx
