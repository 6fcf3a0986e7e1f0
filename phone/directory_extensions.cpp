#include "phone/directory_extensions.h"

#include "core/screen_kit.h"
#include "phone/directory_categories.h"
#include "phone/phone_kit.h"
#include "platform/application.h"
#include "platform/device.h"
#include "platform/text.h"
#include "platform/ui/search_field.h"

namespace yx::phone {

namespace {

constexpr const char* kSwitchboard = "學校總機: (02)5550-1234";
// The switchboard, two pauses, then the operator's extension.
constexpr const char* kSwitchboardURL = "tel://02-5550-1234,,2354";

std::string withoutSpaces(std::string text) {
  std::erase(text, ' ');
  return text;
}

bool boldTitle(const std::string& name) { return name == "環境保護及安全衛生中心" || name == "校友服務暨資源發展處"; }

}  // namespace

schoolCallCell::schoolCallCell() : TableViewCell(Style::Default, "schoolCallCell") {
  nameLbl_ = make<Label>(Rect{10, 5, 160, 30});
  nameLbl_->setName("nameLbl");
  nameLbl_->setFont(15);
  nameLbl_->setNumberOfLines(2);
  contentView().addSubview(nameLbl_);
  teleLbl_ = make<Label>(Rect{170, 5, 140, 30});
  teleLbl_->setName("teleLbl");
  contentView().addSubview(teleLbl_);
}

void schoolCallDetail2ViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  std::string title = withoutSpaces(titleText);
  auto header = addHeaderBar(*this, title, 1, 2, [this](int tag) { btnEvent(tag); });
  if (boldTitle(title))
    if (auto* label = header->findNamed<Label>("titleLabel")) {
      // Ten characters at 21 points need the room up to the two round buttons' pictures.
      label->setFrame(Rect{42, 7, 236, 30});
      label->setFont(21, true);
    }

  auto operatorBtn = makeButton(Rect{10, 49, 300, 30}, "撥打學校總機（轉分機 2354）", "btnEvent",
                                [this](Button& b) { btnEvent(b.tag()); });
  operatorBtn->setTag(3);
  operatorBtn->setBorder(1, 6, Color::rgb(0, 122, 255));
  view().addSubview(operatorBtn);

  view().addSubview(makeSearchField(Rect{8, 89, 304, 30}, "搜尋名稱或分機", [this](const std::string& t) { search(t); }));
  table_ = directoryTable(*this, 124, this, this);

  spinner_ = addSpinner(view());
  spinner_->startAnimating();

  record_ = CallRecord::loadForCalling();
  performAfterDelay(0.1, [this] { startParser(); });
}

// A line with an extension and a direct line ("2354/25501234") makes two
// rows: the named one with the extension, an unnamed one with the direct
// line. Only the first two "/" parts count.
void schoolCallDetail2ViewController::startParser() {
  auto rows = loadDirectoryFeed("/data/xml/dp-" + std::to_string(cellRow) + ".xml", {"單位名稱", "單位分機"});
  if (!rows) return;
  nameAry_.reserve(rows->size());
  teleAry_.reserve(rows->size());
  lineOf_.reserve(rows->size());
  for (auto& row : *rows) {
    std::vector<std::string> parts = splitText(row[1], '/');
    lineOf_.push_back(nameAry_.size());
    nameAry_.push_back(withoutSpaces(std::move(row[0])));
    if (parts.size() == 1) {
      teleAry_.push_back(std::move(row[1]));
    } else {
      lineOf_.push_back(lineOf_.back());
      nameAry_.emplace_back();
      teleAry_.push_back(std::move(parts[0]));
      teleAry_.push_back("專線: " + parts[1]);
    }
  }
  // Both rows of a line are found by its name and all its numbers; what is
  // typed already applies.
  shown_.setRows(nameAry_.size(), [this](size_t i) {
    const size_t first = lineOf_[i];
    std::vector<std::string> texts = {nameAry_[first], teleAry_[first]};
    if (first + 1 < lineOf_.size() && lineOf_[first + 1] == first) texts.push_back(teleAry_[first + 1]);
    return texts;
  });
  spinner_->stopAnimating();
  table_->reloadData();
}

void schoolCallDetail2ViewController::search(const std::string& typed) {
  shown_.setQuery(typed);
  table_->reloadData();
}

// Extensions (up to 4 characters) are buttons filling from the right edge;
// longer pieces (direct lines, notes) are red text that cannot be tapped.
std::shared_ptr<TableViewCell> schoolCallDetail2ViewController::tableViewCellForRow(TableView&, IndexPath ip) {
  auto cell = make<schoolCallCell>();
  // The row of the whole list: buttons carry it, so a call from a found row
  // is the call from that row.
  const auto shown = shown_.row(ip.row);
  if (!shown) return cell;
  const size_t row = *shown;
  cell->nameLbl().setText(nameAry_[row]);
  std::vector<std::string> pieces = splitText(teleAry_[row], ',');
  for (size_t i = 0; i < pieces.size(); ++i) {
    const double n = static_cast<double>(i);
    const size_t length = utf8Length(pieces[i]);
    if (length == 0) continue;  // a line without a number has nothing to show or call
    std::shared_ptr<Button> b;
    if (length <= 4) {
      b = makeButton(Rect{270 - 53 * n, 5, 50, 30}, pieces[i], "teleClick", [this](Button& x) { teleClick(x); });
      b->setBackgroundImage("分機號碼背景.gif");
      b->setTitleColor(Color::white());
    } else {
      b = make<Button>(Rect{length <= 15 ? 120 - 45 * n : 45 * n, 5, 250, 30}, pieces[i]);
      b->setTitleColor(Color::rgb(255, 0, 0));
    }
    b->setTag(static_cast<int>(row));
    cell->contentView().addSubview(b);
    teleBtn = b;
  }
  return cell;
}

std::shared_ptr<View> schoolCallDetail2ViewController::tableViewViewForHeaderInSection(TableView&, int) {
  auto header = make<View>(Rect{0, 0, 320, 20});
  auto label = make<Label>(Rect{0, 0, 320, 20}, kSwitchboard);
  label->setName("switchboardLbl");
  label->setBackgroundColor(Color::rgb(162, 214, 253));
  label->setFont(20, true);
  label->setAlignment(TextAlignment::Center);
  label->setTextColor(Color::rgb(0, 0, 255));
  label->setAutoresizingMask(Autoresizing::FlexibleWidth);
  header->addSubview(label);
  return header;
}

void schoolCallDetail2ViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  table.deselectRow(ip, false);
}

void schoolCallDetail2ViewController::teleClick(Button& button) {
  const auto row = static_cast<size_t>(button.tag());
  if (row >= nameAry_.size()) return;
  record_.callFromDirectory(button.title(), nameAry_[row]);
}

void schoolCallDetail2ViewController::btnEvent(int tag) {
  switch (tag) {
    case 2: goBack(*this, false); break;
    case 1: goHome(*this); break;
    case 3: {
      // Only a telephone can dial the switchboard; the call is not recorded.
      if (Device::info().model == "iPhone") {
        std::string url = kSwitchboardURL;
        std::erase(url, '-');
        Application::shared().openURL(url);
      } else {
        showAlert("警示", "無此功能", "確定");
      }
      break;
    }
    default: break;
  }
}

}  // namespace yx::phone
