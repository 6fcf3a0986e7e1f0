#include "campus/info/building_list.h"

#include <algorithm>

#include "campus/info/guide_kit.h"
#include "core/screen_kit.h"
#include "platform/dates.h"
#include "platform/files.h"
#include "platform/resources.h"
#include "platform/ui/common_views.h"
#include "platform/ui/search_field.h"

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
  myTableview_ = addTable(view(), areaBelow(44), "myTableview");
  // The search field takes the top of the list's space.
  constexpr double kSearchHeight = 40;
  Rect table = myTableview_->frame();
  auto field = makeSearchField(Rect{8, table.y + 5, table.width - 16, kSearchHeight - 10}, "搜尋代號或名稱",
                               [this](const std::string& typed) { search(typed); });
  const auto& views = view().subviews();
  view().insertSubview(field, static_cast<size_t>(std::find(views.begin(), views.end(), myTableview_) - views.begin()));
  myTableview_->setFrame(Rect{table.x, table.y + kSearchHeight, table.width, table.height - kSearchHeight});
  pathDic_ = readPlaceList();
  houseListAry_ = pathDic_.keys();
  std::sort(houseListAry_.begin(), houseListAry_.end());
  shown_.setRows(houseListAry_.size(), [this](size_t i) {
    return std::vector<std::string>{houseListAry_[i], pathDic_.stringFor(houseListAry_[i])};
  });
  myTableview_->setDelegate(this);
  myTableview_->setDataSource(this);
}

void houseListsViewController::search(const std::string& typed) {
  shown_.setQuery(typed);
  if (myTableview_) myTableview_->reloadData();
}

const std::string* houseListsViewController::keyAt(int row) const {
  auto at = shown_.row(row);
  return at ? &houseListAry_[*at] : nullptr;
}

int houseListsViewController::tableViewNumberOfRowsInSection(TableView&, int) {
  return static_cast<int>(shown_.size());
}

std::shared_ptr<TableViewCell> houseListsViewController::tableViewCellForRow(TableView&, IndexPath ip) {
  auto cell = make<houseListCell>();
  if (const std::string* key = keyAt(ip.row)) {
    cell->engNameLbl().setText(*key);
    cell->chineseNameLbl().setText(pathDic_.stringFor(*key));  // "" for a value that is not text
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
