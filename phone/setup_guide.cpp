#include "phone/setup_guide.h"

#include "core/deployment.h"
#include "core/screen_kit.h"
#include "phone/phone_kit.h"
#include "platform/application.h"
#include "platform/settings.h"

namespace yx::phone {

namespace {
std::string stepTitle(int page) {
  switch (page) {
    case 1: return "網路電話設定教學";
    case 2: return "步驟一　申請帳號";
    case 3: return "步驟二　記下帳號";
    case 35: return "步驟三　新增帳號";
    case 4: return "步驟四　填入資料";
    default: return "步驟五　下載軟體";
  }
}
}  // namespace

void GuidePage::viewDidLoad() {
  view().setBackgroundPattern("hl_r1.jpg");
  const bool first = page() == 1;
  addHeaderBar(*this, stepTitle(page()), 0, first ? -1 : 1, [this](int tag) { btnEvent(tag); });

  auto picture = make<ImageView>(Rect{60, 54, 200, 200}, "teach_" + std::to_string(page()) + ".png");
  picture->setName("guideImage");
  view().addSubview(picture);
  auto words = makeTextLabel(Rect{20, 262, 280, 110}, text(), 15);
  words->setName("guideLbl");
  view().addSubview(words);
  addContent();
  if (!nextSegue().empty()) {
    auto next = makeButton(Rect{170, 508, 140, 44}, page() == 2 ? "申請並繼續" : "下一步", "btnEvent",
                           [this](Button& b) { btnEvent(b.tag()); });
    next->setName("nextBtn");
    next->setTag(first ? 1 : 2);
    next->setBackgroundColor(Color::rgb(52, 120, 200));
    next->setTitleColor(Color::white());
    next->setBorder(0, 8);
    next->setAutoresizingMask(Autoresizing::FlexibleTopMargin);
    view().addSubview(next);
  }
}

void GuidePage::btnEvent(int tag) {
  auto* nav = navigationController();
  if (!nav) return;
  if (tag == 0) nav->popToRootViewControllerAnimated(false);
  else if (tag == 1) nav->popViewControllerAnimated(true);
  else if (tag == 2 && !nextSegue().empty()) performSegueWithIdentifier(nextSegue());
}

// ------------------------------------------------------------------ page 1

void schoolCallTeachViewController::viewDidLoad() {
  Settings::standard().setString("教學畫面", "已看過");
  GuidePage::viewDidLoad();
}

void schoolCallTeachViewController::btnEvent(int tag) {
  if (tag == 1) performSegueWithIdentifier(nextSegue());
  else GuidePage::btnEvent(tag);
}

std::string schoolCallTeachViewController::text() const {
  return "歡迎使用校園網路電話！\n在手機安裝網路電話軟體並登入校園帳號後，撥打校內分機不需額外付費。"
         "跟著接下來的幾頁，幾分鐘就能完成設定。";
}

// ------------------------------------------------------------------ page 2

void schoolCallTeach2ViewController::addContent() {
  auto background = makeButton(Rect{0, 44, 320, 524}, "", "btnEvent", [this](Button& b) { btnEvent(b.tag()); });
  background->setTag(3);
  background->setAutoresizingMask(Autoresizing::FlexibleSize);
  view().insertSubview(background, 0);
  form_ = addSipAccountForm(*this, 380);
  form_.spinner = addSpinner(view());
}

void schoolCallTeach2ViewController::btnEvent(int tag) {
  switch (tag) {
    case 2: performAfterDelay(0.1, [this] { submit(); }); break;
    case 3:
      form_.accountField->resignFirstResponder();
      form_.passwordField->resignFirstResponder();
      break;
    default: GuidePage::btnEvent(tag); break;
  }
}

void schoolCallTeach2ViewController::submit() {
  if (requestSipAccount(form_.accountField->text(), form_.passwordField->text(), *form_.spinner))
    performSegueWithIdentifier(nextSegue());
}

std::string schoolCallTeach2ViewController::text() const {
  return "輸入學校帳號與密碼，按「申請並繼續」取得網路電話帳號。畫面與通知中心會顯示 Username、Password "
         "與 ServerAddress。";
}

// --------------------------------------------------------------- pages 3-4

std::string schoolCallTeach3ViewController::text() const {
  return "記下申請結果中的三項資料：\nUsername（您的網路電話號碼）\nPassword（網路電話密碼）\nServerAddress（伺服器位址）";
}

std::string schoolCallTeach3_5ViewController::text() const {
  return "開啟網路電話軟體，依序點選「設定」→「帳號」→「新增 SIP 帳號」，建立一個新的帳號。";
}

std::string schoolCallTeach4ViewController::text() const {
  return "在新帳號中填入 Username、Password 與 ServerAddress 並儲存。撥號鍵變成綠色，表示已經登入，"
         "可以開始撥打校內分機。";
}

// ------------------------------------------------------------------ page 5

void schoolCallTeach5ViewController::addContent() {
  auto download = makeButton(Rect{60, 390, 200, 44}, "下載網路電話軟體", "downloadBtn", [this](Button&) { downloadBtn(); });
  download->setName("downloadBtn");
  download->setBackgroundColor(Color::rgb(52, 168, 83));
  download->setTitleColor(Color::white());
  download->setBorder(0, 8);
  view().addSubview(download);
}

void schoolCallTeach5ViewController::downloadBtn() {
  const std::string& link = Deployment::current().softphoneStoreLink;
  if (!link.empty()) Application::shared().openURL(link);
}

std::string schoolCallTeach5ViewController::text() const {
  return "還沒有網路電話軟體嗎？按下方按鈕前往下載。設定完成後，在「分機查詢撥號」點選分機號碼即可撥號。";
}

}  // namespace yx::phone
