#include "campus/newspaper/boards.h"

#include <optional>

#include "campus/newspaper/times_kit.h"
#include "core/screen_kit.h"
#include "platform/image_loader.h"
#include "platform/ui/common_views.h"

namespace yx {

namespace {

Label& labelIn(TableViewCell& cell, const std::string& name) { return *cell.contentView().findNamed<Label>(name); }

std::shared_ptr<Label> cellLabel(TableViewCell& cell, const std::string& name, Rect frame, double font) {
  auto l = make<Label>(frame);
  l->setName(name);
  l->setFont(font);
  l->setTextColor(Color::rgb(51, 51, 51));
  cell.contentView().addSubview(l);
  return l;
}

void addIconView(TableViewCell& cell) {
  auto icon = make<ImageView>(Rect{5, 5, 30, 30});
  icon->setName("goodImgview");
  cell.contentView().addSubview(icon);
}

}  // namespace

void BoardViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, title(), 1, 2, [this](int tag) { btnEvent(tag); });
  littleIconImgview = make<ImageView>(Rect{10, 49, 24, 24});
  littleIconImgview->setName("littleIconImgview");
  view().addSubview(littleIconImgview);
  countLbl = make<Label>(Rect{210, 49, 100, 24});
  countLbl->setName("countLbl");
  countLbl->setFont(13);
  countLbl->setAlignment(TextAlignment::Right);
  countLbl->setAutoresizingMask(Autoresizing::FlexibleLeftMargin);
  view().addSubview(countLbl);
  myTableview = addTable(view(), areaBelow(76, 518), "myTableview");
  times::addBottomBar(view(), 3, [this](int tag) { btnEvent(tag); });

  loadData();
  myTableview->setDelegate(this);
  myTableview->setDataSource(this);
}

void BoardViewController::loadData() {
  auto doc = fetchDocument(feedURL());
  if (!doc) return;
  // The icon may come after the list is shown; the table then shows it.
  std::weak_ptr<ViewController> weak = weak_from_this();
  for (const auto& icon : times::itemsNamed(*doc, "icon")) {
    std::string url = times::childText(*icon, "網址");
    ImageLoader::load(
        url, weak,
        [weak, url](const Image& image) {
          auto self = std::dynamic_pointer_cast<BoardViewController>(weak.lock());
          if (!self) return;
          self->iconImg = image;
          self->iconURL_ = url;
          self->littleIconImgview->setImage(image, url);
          self->reloadTable();
        },
        nullptr);
  }
  std::optional<std::string> groupCampus;  // the campus of the last entry that started a group
  for (const auto& entry : times::itemsNamed(*doc, entryName())) {
    dateAry.push_back(times::childText(*entry, "日期"));
    timeAry.push_back(times::childText(*entry, "時間"));
    planAry.push_back(times::childText(*entry, "主辦"));
    placeAry.push_back(times::childText(*entry, "地點"));
    iconAry.push_back(times::childText(*entry, "是否卓越"));
    readEntry(*entry);
    std::string campus = times::childText(*entry, "校園");
    if (!groupCampus || campus != *groupCampus) {
      groupCampus = campus;
      schAry.push_back(campus);
    } else {
      schAry.emplace_back();
    }
  }
  reloadTable();
}

// The count follows the entries at once (cells made later set it again).
void BoardViewController::reloadTable() {
  myTableview->reloadData();
  countLbl->setText(countText(dateAry.size(), /*spaced=*/false));
}

double BoardViewController::tableViewHeightForHeaderInSection(TableView&, int section) {
  return static_cast<size_t>(section) < schAry.size() && !schAry[static_cast<size_t>(section)].empty() ? 25 : 0;
}

std::shared_ptr<View> BoardViewController::tableViewViewForHeaderInSection(TableView&, int section) {
  auto header = make<View>(Rect{0, 0, 320, 25});
  auto label = make<Label>(Rect{0, 0, 320, 20});
  label->setName("campusLbl");
  header->addSubview(label);
  if (static_cast<size_t>(section) >= schAry.size()) return header;
  const std::string& campus = schAry[static_cast<size_t>(section)];
  std::optional<Color> colour;
  std::string text = "    " + campus;
  if (campus == "溪城校園") colour = Color::rgb(149, 213, 239);
  else if (campus == "霧岬校園") colour = Color::rgb(239, 217, 149);
  else if (campus == "網路校園") colour = Color::rgb(238, 179, 242);
  else if (campus == taipeiMarker()) {
    colour = Color::rgb(216, 228, 188);
    text = "    臺北校園";
  }
  if (colour) {
    label->setBackgroundColor(*colour);
    label->setText(text);
    label->setFont(14, true);
  }
  return header;
}

double BoardViewController::tableViewHeightForRow(TableView&, IndexPath) { return rowHeight(); }

std::shared_ptr<TableViewCell> BoardViewController::tableViewCellForRow(TableView& table, IndexPath ip) {
  auto cell = table.dequeueReusableCellWithIdentifier(cellIdentifier());
  if (!cell) {
    cell = make<TableViewCell>(TableViewCell::Style::Default, cellIdentifier());
    cell->setFrame(Rect{0, 0, 320, rowHeight()});
    addIconView(*cell);
    buildCell(*cell);
  }
  const auto entry = static_cast<size_t>(ip.section);
  if (entry >= dateAry.size()) return cell;
  auto* icon = cell->contentView().findNamed<ImageView>("goodImgview");
  const bool marked = iconAry[entry] != "N";
  if (marked && !iconImg.empty()) icon->setImage(iconImg, iconURL_);
  else icon->clearImage();
  fillCell(*cell, entry, marked);
  labelIn(*cell, "dateLbl").setText("日期/時間: " + dateAry[entry] + "/" + timeAry[entry]);
  labelIn(*cell, "placeLbl").setText("主辦/地點: " + planAry[entry] + "/" + placeAry[entry]);
  countLbl->setText(countText(dateAry.size(), /*spaced=*/false));
  return cell;
}

void BoardViewController::btnEvent(int tag) {
  if (tag == 3) goBack(*this, false);
  else if (tag == 2) goBack(*this);
  else if (tag == 1) goHome(*this);
}

// ------------------------------------------------------------------ events

std::string timesActsViewController::feedURL() const { return times::eventsURL(); }

void timesActsViewController::readEntry(const DomElement& entry) { nameAry.push_back(times::childText(entry, "活動名稱")); }

void timesActsViewController::buildCell(TableViewCell& cell) {
  cellLabel(cell, "nameLbl", Rect{40, 2, 270, 35}, 16)->setNumberOfLines(0);
  cellLabel(cell, "dateLbl", Rect{10, 40, 300, 18}, 13);
  cellLabel(cell, "placeLbl", Rect{10, 59, 300, 18}, 13);
}

void timesActsViewController::fillCell(TableViewCell& cell, size_t entry, bool marked) {
  Label& name = labelIn(cell, "nameLbl");
  name.setFrame(marked ? Rect{40, 2, 270, 35} : Rect{10, 2, 300, 35});
  name.setText(nameAry[entry]);
}

// ---------------------------------------------------------------- speeches

std::string timesSpeechsViewController::feedURL() const { return times::speechesURL(); }

void timesSpeechsViewController::readEntry(const DomElement& entry) {
  quesAry.push_back(times::childText(entry, "講題"));
  teachAry.push_back(times::childText(entry, "演講人"));
}

void timesSpeechsViewController::buildCell(TableViewCell& cell) {
  cellLabel(cell, "questionLbl", Rect{40, 2, 270, 35}, 16)->setNumberOfLines(0);
  cellLabel(cell, "teachLbl", Rect{10, 40, 300, 18}, 13);
  cellLabel(cell, "dateLbl", Rect{10, 59, 300, 18}, 13);
  cellLabel(cell, "placeLbl", Rect{10, 78, 300, 18}, 13);
}

void timesSpeechsViewController::fillCell(TableViewCell& cell, size_t entry, bool marked) {
  Label& question = labelIn(cell, "questionLbl");
  // A marked speech keeps its label where the cell was laid out.
  if (!marked) question.setFrame(Rect{10, 2, 300, 35});
  question.setText(quesAry[entry]);
  labelIn(cell, "teachLbl").setText("演講人: " + teachAry[entry]);
}

}  // namespace yx
