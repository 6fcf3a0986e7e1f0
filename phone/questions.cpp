#include "phone/questions.h"

#include "core/screen_kit.h"
#include "phone/phone_kit.h"
#include "platform/ui/common_views.h"

namespace yx::phone {

const std::vector<std::pair<std::string, std::string>>& QAViewController::pairs() {
  static const std::vector<std::pair<std::string, std::string>> list = {
      {"為什麼別人撥來的網路電話，我看不到接電話的按鈕呢？",
       "鈴響3聲後，您可以從通知中心下滑後看到網路電話軟體的按鈕，點擊進入網路電話軟體按下Accept後即可接起。"},
      {"我可以將網路電話號碼加入手機通訊錄嗎？",
       "可以，您可以將網路電話號碼加入手機通訊錄後，由網路電話軟體的聯絡人清單中直接撥打網路電話。"},
      {"我使用網路電話軟體撥打校園分機或雲岫網路電話號碼時，是否要付費呢？",
       "只要您的裝置可以連上網際網路，用網路電話軟體撥打即不需額外支付通訊費用。"},
      {"我可以用網路電話軟體直接撥打手機門號或市話號碼嗎？", "很抱歉，目前的設定無法提供此服務。"},
      {"為什麼網路電話軟體設定好了，卻不能撥打網路電話呢？",
       "有可能是您的網路未正確連接或是帳號、密碼資訊設定有誤，如果設定正確，網路電話軟體的撥號鍵會顯示綠色的底色。"},
      {"為什麼撥打網路電話後，會不能撥打一般電話或是講電話時有雜音呢？",
       "可能是因為網路電話軟體仍然在執行所造成的。此時您只要按兩下Home鍵(手機下方的圓形按鈕)，"
       "再將網路電話軟體往上滑動即可關閉網路電話軟體。"},
  };
  return list;
}

void QAViewController::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, "QA", 1, 2, [this](int tag) { btnEvent(tag); }, "hl_b1.jpg");
  for (const auto& [q, a] : pairs()) {
    questions_.push_back(q);
    answers_.push_back(a);
  }
  auto stu = makeButton(Rect{10, 50, 145, 36}, "學生使用說明", "stuHelpButton",
                        [this](Button&) { performSegueWithIdentifier("qaStu"); });
  stu->setName("stuHelpButton");
  stu->setBorder(1, 8, Color::rgb(0, 122, 255));
  view().addSubview(stu);
  auto tea = makeButton(Rect{165, 50, 145, 36}, "教職員使用說明", "teaHelpButton",
                        [this](Button&) { performSegueWithIdentifier("qaTea"); });
  tea->setName("teaHelpButton");
  tea->setBorder(1, 8, Color::rgb(0, 122, 255));
  view().addSubview(tea);

  table_ = addTable(view(), areaBelow(92), "myTableView", this, this);
}

void QAViewController::btnEvent(int tag) {
  if (tag == 2) goBack(*this);
  if (tag == 1) goHome(*this);
}

std::shared_ptr<TableViewCell> QAViewController::tableViewCellForRow(TableView&, IndexPath ip) {
  auto cell = make<TableViewCell>(TableViewCell::Style::Default, "Cell");
  cell->textLabel().setText(questions_[static_cast<size_t>(ip.row)]);
  cell->textLabel().setFont(15);
  cell->textLabel().setNumberOfLines(2);
  cell->textLabel().setAutoresizingMask(Autoresizing::FlexibleSize);
  cell->setShowsDisclosure(true);
  return cell;
}

void QAViewController::tableViewDidSelectRow(TableView& table, IndexPath ip) {
  showAlert("", answers_[static_cast<size_t>(ip.row)], "確定");
  table.deselectRow(ip, true);
}

// -------------------------------------------------------------- help pages

void HelpPage::viewDidLoad() {
  view().setBackgroundColor(Color::white());
  addHeaderBar(*this, title(), 0, 1, [this](int tag) { btnEvent(tag); }, pattern());
  auto body = make<TextView>(Rect{10, 54, 300, 504}, text());
  body->setName("helpText");
  body->setEditable(false);
  body->setFontSize(16);
  body->setAutoresizingMask(Autoresizing::FlexibleSize);
  view().addSubview(body);
}

void HelpPage::btnEvent(int tag) {
  if (tag == 1) goBack(*this);
  if (tag == 0) goHome(*this);
}

std::string q_and_a_stu_tempViewController::text() const {
  return "同學可以用校園網路電話免費撥打校內分機：\n\n"
         "1. 在「我的網路電話」以學號與學校密碼申請帳號，記下 Username、Password 與 ServerAddress。\n\n"
         "2. 安裝網路電話軟體，新增 SIP 帳號並填入上述三項資料。\n\n"
         "3. 在「分機查詢撥號」找到單位後點選分機號碼，或在「號碼直撥」輸入分機即可撥出；"
         "常撥的號碼會列在「常用分機」。\n\n"
         "4. 在宿舍或校園無線網路範圍內使用，通話品質最穩定。\n\n"
         "忘記網路電話密碼時，再到「我的網路電話」申請一次，就會顯示原本的帳號資料。";
}

std::string q_and_a_tea_tempViewControllerViewController::text() const {
  return "教職員同仁使用校園網路電話的方式：\n\n"
         "1. 在「我的網路電話」以教職員帳號與密碼申請帳號；已申請過的同仁會看到原有的帳號資料。\n\n"
         "2. 在網路電話軟體中新增 SIP 帳號，填入 Username、Password 與 ServerAddress。\n\n"
         "3. 出差或在家時，只要連上網際網路，也能以網路電話撥打校內分機，與在辦公室撥打相同。\n\n"
         "4. 網路電話號碼可以提供給校內同仁，對方以分機撥打即可聯絡到您。\n\n"
         "帳號或設定問題請洽電子計算機中心服務台，分機 2354。";
}

}  // namespace yx::phone
