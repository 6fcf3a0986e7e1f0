#include "core/profile_form.h"

#include <cstdlib>

#include "core/app_delegate.h"
#include "core/deployment.h"
#include "core/home_menu.h"
#include "core/screen_kit.h"
#include "core/usage_report.h"
#include "platform/dates.h"
#include "platform/device.h"
#include "platform/escape.h"
#include "platform/runloop.h"
#include "platform/settings.h"

namespace yx {

namespace {

// The choice fields by tag, with the personDic key each fills.
struct Choice {
  const char* field;
  const char* key;
};
const Choice kChoices[5] = {
    {"sexField", "性別"}, {"statusField", "身分"}, {"unitField", "系別"}, {"housingField", "住宿地點"}, {"wayField", "到校方式"}};

// The whole-number value of a text as the platform reads it: leading blanks,
// an optional sign, then digits; anything else ends it (no digits: 0).
long long integerValue(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
  long long v = 0;
  for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
    if (v > 1000000000000LL) break;  // far beyond any year; stop before overflow
    v = v * 10 + (s[i] - '0');
  }
  return neg ? -v : v;
}

size_t characterCount(const std::string& s) {
  size_t n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

}  // namespace

void userDataViewController::iosSystemData() {
  DeviceInfo info = Device::info();
  model = info.model;
  systemStr = info.systemName + " " + info.systemVersion;
}

TextField* userDataViewController::field(const char* name) { return view().findNamed<TextField>(name); }

PickerView* userDataViewController::picker(int tag) {
  return tag >= 0 && tag < 5 ? pickers_[tag].get() : nullptr;
}

void userDataViewController::viewDidLoad() {
  Delegate = appDelegate();
  iosSystemData();
  sexArray = {"男", "女", "略過"};
  statusArray = {"大學生", "碩士班", "博士班", "教師", "職員", "其他", "略過"};
  housingArray = {"家裡", "學校宿舍", "自租宿舍", "略過"};
  wayArray = {"公車", "捷運", "公車＋捷運", "騎機車", "步行", "開車", "腳踏車", "其他", "略過"};
  unitArray = nullptr;

  view().setBackgroundPattern("hl_r1.jpg");
  addHeaderBar(*this, "基本資料", -1, 3, [this](int tag) { btnEvent(tag); });

  struct Row {
    const char* caption;
    const char* name;
    int tag;
  };
  const Row rows[] = {{"性別", "sexField", 0},   {"出生年(民國)", "birthField", -1}, {"身分", "statusField", 1},
                      {"系別", "unitField", 2},  {"住宿地點", "housingField", 3},   {"到校方式", "wayField", 4}};
  double y = 60;
  for (const Row& r : rows) {
    auto caption = make<Label>(Rect{15, y, 100, 32}, r.caption);
    view().addSubview(caption);
    auto f = make<TextField>(Rect{120, y, 185, 32});
    f->setName(r.name);
    f->setBorder(1, 5);
    if (r.tag >= 0) {
      f->setTag(r.tag);
      f->setDelegate(this);
      f->setPlaceholder("請點選");
    } else {
      f->setTag(5);
      f->setNumericKeyboard(true);
      f->setPlaceholder("例：85");
      f->setEditingChanged([this](TextField& tf) { textEditingChanged(tf); });
    }
    view().addSubview(f);
    y += 42;
  }

  auto submit = make<Button>(Rect{60, 320, 90, 40}, "送出");
  submit->setTag(1);
  submit->setAction([this](Button& b) { btnEvent(b.tag()); });
  view().addSubview(submit);
  auto close = make<Button>(Rect{170, 320, 90, 40}, "關閉");
  close->setTag(999);
  close->setAction([this](Button& b) { btnEvent(b.tag()); });
  view().addSubview(close);

  // The confirm bar above an open picker, and the five pickers.
  auto confirmLabel = make<Label>(Rect{0, 352, 220, 44}, "請選擇後按「確認」");
  confirmLabel->setName("confirmLabel");
  confirmLabel->setAutoresizingMask(Autoresizing::StickToBottom);
  // Opaque: on a short screen the bar lies over the last row of the form.
  confirmLabel->setBackgroundColor(Color::rgb(238, 241, 244));
  confirmLabel->setHidden(true);
  view().addSubview(confirmLabel);
  auto confirm = make<Button>(Rect{230, 352, 80, 44}, "確認");
  confirm->setTag(2);
  confirm->setName("confirmButton");
  confirm->setAutoresizingMask(Autoresizing::StickToBottom);
  confirm->setHidden(true);
  confirm->setAction([this](Button& b) { btnEvent(b.tag()); });
  view().addSubview(confirm);
  for (int t = 0; t < 5; ++t) {
    auto p = make<PickerView>(Rect{0, 396, 320, 172});
    p->setTag(t);
    p->setAutoresizingMask(Autoresizing::StickToBottom);
    p->setDataSource(this);
    p->setDelegate(this);
    p->setHidden(true);
    view().addSubview(p);
    pickers_[t] = p;
  }
}

const std::vector<std::string>& userDataViewController::listForTag(int tag) const {
  static const std::vector<std::string> empty;
  switch (tag) {
    case 0: return sexArray;
    case 1: return statusArray;
    case 2: return unitArray ? *unitArray : empty;
    case 3: return housingArray;
    case 4: return wayArray;
    default: return empty;
  }
}

int userDataViewController::pickerViewNumberOfRowsInComponent(PickerView& p, int) {
  return static_cast<int>(listForTag(p.tag()).size());
}

std::string userDataViewController::pickerViewTitleForRow(PickerView& p, int row, int) {
  const auto& list = listForTag(p.tag());
  return row >= 0 && row < static_cast<int>(list.size()) ? list[row] : std::string();
}

std::shared_ptr<View> userDataViewController::pickerViewViewForRow(PickerView& p, int row, int component) {
  Size rowSize = p.rowSizeForComponent(component);
  auto label = std::make_shared<Label>(Rect{0, 0, rowSize.width - 12, rowSize.height},
                                       pickerViewTitleForRow(p, row, component));
  label->setAlignment(TextAlignment::Center);
  label->setBackgroundColor(Color::clear());
  return label;
}

void userDataViewController::hidePickers() {
  for (int t = 0; t < 5; ++t)
    if (auto* p = picker(t)) p->setHidden(true);
}

void userDataViewController::setConfirmShown(bool shown) {
  if (auto* l = view().viewNamed("confirmLabel")) l->setHidden(!shown);
  if (auto* b = view().viewNamed("confirmButton")) b->setHidden(!shown);
}

bool userDataViewController::textFieldShouldBeginEditing(TextField& f) {
  if (auto* birth = field("birthField")) birth->resignFirstResponder();
  hidePickers();
  int tag = f.tag();
  if (tag < 0 || tag > 4) return false;
  setConfirmShown(true);
  if (tag == 2) {
    auto* status = field("statusField");
    if (!status || status->text().empty()) {
      setConfirmShown(false);
      return false;
    }
  }
  if (auto* p = picker(tag)) p->setHidden(false);
  return false;
}

void userDataViewController::textEditingChanged(TextField& f) {
  long long rocYear = integerValue(formatDate("yyyy", now())) - 1911;
  if (integerValue(f.text()) > rocYear) {
    f.setText("");
    f.setPlaceholder("請輸入正確出生年(民國)");
  }
}

std::string userDataViewController::profileURL(const std::string& userId) const {
  auto answer = [this](const char* key) -> std::optional<std::string> {
    if (!Delegate) return std::nullopt;
    auto it = Delegate->personDic.find(key);
    if (it == Delegate->personDic.end()) return std::nullopt;
    return it->second;
  };
  std::optional<std::string> c;
  if (Delegate && !Delegate->internetStr.empty()) c = Delegate->internetStr;
  std::string q = "/Data/info1.aspx?pk=" + queryValue(userId) + "&b=" + queryValue(answer("出生年")) +
                  "&s=" + queryValue(answer("性別")) + "&t=" + queryValue(answer("身分")) +
                  "&d=" + queryValue(answer("系別")) + "&l=" + queryValue(answer("住宿地點")) +
                  "&w=" + queryValue(answer("到校方式")) + "&c=" + queryValue(c) +
                  "&os=" + queryValue(systemStr) + "&p=" + queryValue(model);
  return Deployment::current().url("campus_data", q);
}

void userDataViewController::btnEvent(int tag) {
  if (tag == 2) {
    for (int t = 0; t < 5; ++t) {
      PickerView* p = picker(t);
      if (!p || p->hidden()) continue;
      const auto& list = listForTag(t);
      int row = p->selectedRowInComponent(0);
      if (row >= 0 && row < static_cast<int>(list.size())) {
        TextField* f = field(kChoices[t].field);
        f->setText(list[row]);
        if (Delegate) Delegate->personDic[kChoices[t].key] = f->text();
        if (t == 1) {
          unitArray = (f->text() == "職員" || f->text() == "教師") ? &staffUnitList() : &departmentList();
          if (auto* unitPicker = picker(2)) {
            unitPicker->reloadAllComponents();
            if (unitPicker->selectedRowInComponent(0) >= static_cast<int>(unitArray->size()))
              unitPicker->selectRow(0, 0, false);
          }
          if (auto* unit = field("unitField")) unit->setEnabled(true);
        }
      }
      p->setHidden(true);
      break;
    }
    setConfirmShown(false);
    return;
  }
  if (tag == 999) {
    if (auto* birth = field("birthField")) birth->resignFirstResponder();
    hidePickers();
    setConfirmShown(false);
    return;
  }
  if (tag == 3) {
    if (navigationController()) navigationController()->popViewControllerAnimated(true);
    return;
  }
  if (tag != 1) return;

  struct Check {
    const char* field;
    const char* message;
  };
  const Check checks[] = {{"sexField", "請選擇性別。"},        {"birthField", "請輸入出生年。"},
                          {"statusField", "請選擇身分。"},     {"unitField", "請選擇系別。"},
                          {"housingField", "請選擇住宿方式。"}, {"wayField", "請選擇到校方式。"}};
  for (const Check& c : checks) {
    TextField* f = field(c.field);
    if (!f || f->text().empty()) {
      showAlert("提醒", c.message, "確定");
      return;
    }
  }

  std::string userId = formatDate("yyyyMMddHHmmssSSS", now());
  Settings::standard().setString("user_id", userId);

  std::string birth = field("birthField")->text();
  // Four or more characters are a Western year; a padded ROC year such as
  // "0089" is not, and is sent as typed rather than as a negative year.
  if (characterCount(birth) >= 4 && integerValue(birth) > 1911) birth = fmtD(integerValue(birth) - 1911);
  if (Delegate) Delegate->personDic["出生年"] = birth;

  std::string url;
  try {
    url = profileURL(userId);
  } catch (const DeploymentError&) {
    showNetworkAlert({}, false);
    return;
  }
  if (!Delegate || !Delegate->interetconncet) {
    showNetworkAlert({}, false);
    return;
  }
  updateData(url, true);
}

bool userDataViewController::updateData(const std::string& url, bool isUserData) {
  if (!sendReport(url)) return false;
  if (isUserData) {
    Settings::standard().setString("個人資料", "填寫過");
    AlertView::create("", "儲存成功", sharedAs<AlertViewDelegate>(), "確定")->show();
  }
  return true;
}

void userDataViewController::alertViewClickedButtonAtIndex(AlertView&, int index) {
  if (index == 0 && navigationController())
    navigationController()->pushViewController(std::make_shared<corvaleViewController>(), false);
}

}  // namespace yx
