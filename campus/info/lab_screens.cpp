#include "campus/info/lab_screens.h"

#include <algorithm>
#include <climits>

#include "campus/info/info_loaders.h"
#include "campus/info/info_screens.h"
#include "core/screen_kit.h"
#include "markup/feed_loader.h"
#include "platform/ui/common_views.h"
#include "platform/ui/view.h"

namespace yx {

std::string computerViewController::seatText(const Value& record) {
  int used = FeedLoaderViewController::intValue(record.stringFor("使用機位數"));
  int total = FeedLoaderViewController::intValue(record.stringFor("每間機位數"));
  const std::string& name = record.stringFor("實習室編號");
  if (total == 0) return name + "\t現在未開放或未連線";
  const long long left = std::clamp<long long>(static_cast<long long>(total) - used, INT_MIN, INT_MAX);
  return name + "\t剩餘 " + std::to_string(left) + " 位";
}

std::string computerViewController::headerText(const std::string& updateTime) {
  std::string text = "最後更新：" + updateTime;
  // Drop the last three characters (not bytes).
  for (int dropped = 0; dropped < 3 && !text.empty(); ++dropped) {
    size_t end = text.size() - 1;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    text.erase(end);
  }
  return text;
}

void computerViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, "實習室機位", 1, 2, [this](int tag) { btnEvent(tag); });
  auto refresh = make<Button>(Rect{230, 49, 80, 30}, "更新");
  refresh->setTag(3);
  refresh->setAutoresizingMask(Autoresizing::FlexibleLeftMargin);
  refresh->setAction([this](Button& b) { btnEvent(b.tag()); });
  view().addSubview(refresh);

  myTableview_ = addTable(view(), areaBelow(84), "myTableview");
  if (!getLabsAry_) {
    auto cached = readFeedCache("labs", computerSeatXMLParser::fields());
    getLabsAry_ = std::make_shared<const FeedRecords>(cached ? std::move(*cached)
                                                             : FeedRecords(computerSeatXMLParser::fields()));
  }
  getLabsDic_ = Value::dictionary();
  myTableview_->setDelegate(this);
  myTableview_->setDataSource(this);
}

int computerViewController::tableViewNumberOfRowsInSection(TableView&, int) {
  return getLabsAry_ ? static_cast<int>(getLabsAry_->size()) : 0;
}

std::shared_ptr<TableViewCell> computerViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = table.dequeueReusableCellWithIdentifier("computerSeat");
  if (!cell) {
    cell = make<TableViewCell>(TableViewCell::Style::Default, "computerSeat");
    cell->contentView().addSubview(make<ImageView>(Rect{5, 2, 40, 40}, "實習室機位.png"));
    // Inside the row, so the remaining count at the end of the line shows.
    auto lbl = make<Label>(Rect{50, 7, 262, 30});
    lbl->setName("myLbl");
    lbl->setBackgroundColor(Color::clear());
    lbl->setTextColor(Color::black());
    cell->contentView().addSubview(lbl);
  }
  if (!getLabsAry_ || ip.row < 0 || ip.row >= static_cast<int>(getLabsAry_->size())) return cell;
  Value record = getLabsAry_->record(static_cast<size_t>(ip.row));
  if (auto* lbl = cell->contentView().findNamed<Label>("myLbl")) lbl->setText(seatText(record));
  getLabsDic_ = std::move(record);
  return cell;
}

// Before any row was filled the header shows the first lab's time.
std::string computerViewController::tableViewTitleForHeaderInSection(TableView&, int) {
  if (getLabsDic_.size() == 0 && getLabsAry_ && !getLabsAry_->empty())
    return headerText(getLabsAry_->text(0, "更新時間"));
  return headerText(getLabsDic_.stringFor("更新時間"));
}

void computerViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) { table.deselectRow(ip, true); }

void computerViewController::btnEvent(int tag) {
  auto* nav = navigationController();
  if (!nav) return;
  switch (tag) {
    case 3: {
      auto loader = std::make_shared<computerSeatXMLParser>();
      loader->progressBar(labsFeedURL());
      nav->pushViewController(loader, false);
      break;
    }
    case 2:
      reportUsageExit();
      if (!nav->viewControllers().empty()) nav->popToViewController(nav->viewControllers().front().get(), true);
      break;
    case 1:
      reportUsageExit();
      nav->popToRootViewControllerAnimated(false);
      break;
    default:
      break;
  }
}

}  // namespace yx
