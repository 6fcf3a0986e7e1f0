#include "core/home_menu.h"

#include "core/app_delegate.h"
#include "core/deployment.h"
#include "core/ip_address.h"
#include "core/screen_kit.h"
#include "platform/application.h"
#include "platform/location.h"
#include "platform/runloop.h"
#include "platform/settings.h"

namespace yx {

const std::vector<corvaleViewController::Entry>& corvaleViewController::entries() {
  static const std::vector<Entry> list = {
      {1, "實習室機位", true, "實習室機位", "computerSeatXMLParser", false, "progressBar:", "/Data/xml/labs.xml"},
      {2, "校園監視器", true, nullptr, "camerasViewController", false, nullptr, nullptr},
      {3, "學生專區", false, nullptr, "student", true, nullptr, nullptr},
      {4, "近期消息", true, "近期消息", "newsXMLParser", false, "progressBar:", "/Data/xml/news-0.xml"},
      {5, "公車動態", true, "公車動態", "busInforViewController", false, "busNO:", "27"},
      {6, "近期活動", true, "近期活動", "xmlParser", false, "progressBar:", "/Data/xml/act-0.xml"},
      {7, "節次對照表", false, "節次對照表", "timeListsViewController", false, nullptr, nullptr},
      {8, "校園地圖", false, "校園地圖", "wynMapViewController", false, nullptr, nullptr},
      {9, "建築物對照", false, "建築物對照", "houseListsViewController", false, nullptr, nullptr},
      {10, "溪城天氣", true, "溪城天氣", "weatherXML", false, "parseURL:", "/m/f/town368/GT/6501000.htm"},
      {11, "我有話說", true, "我有話說", "responceViewController", false, nullptr, nullptr},
      {12, "關於我們", false, "關於我們", "aboutMeViewController", false, nullptr, nullptr},
      {13, "行事曆", true, "行事曆", "calendarViewController", false, nullptr, nullptr},
      {14, "校園電話", true, nullptr, "extension", true, nullptr, nullptr},
      {15, "更多服務", false, nullptr, nullptr, false, nullptr, nullptr},
      {16, "本日訊息", true, "本日訊息", "todayNewsViewController", false, nullptr, nullptr},
      {17, "雲岫Wi-Fi", false, "雲岫Wi-Fi", "wifiConnectViewController", false, nullptr, nullptr},
      {18, "敬請期待", false, nullptr, nullptr, false, nullptr, nullptr},
      {19, "圖書館", true, nullptr, "library", true, nullptr, nullptr},
      {20, "雲岫學報", true, nullptr, "wynTimes", true, nullptr, nullptr},
      {21, "教師專區", false, nullptr, "teacher", true, nullptr, nullptr},
  };
  return list;
}

void corvaleViewController::viewDidLoad() {
  // The device's address, looked up away from the main thread.
  Background::run(&corvaleViewController::myThreadMainMethod);

  view().setBackgroundPattern("hl_r1.jpg");
  auto scroll = make<ScrollView>(Rect{0, 0, 320, 568});
  scroll->setName("myScrollView");
  scroll->setAutoresizingMask(Autoresizing::FlexibleSize);
  scroll->setContentSize(Size{320, 835});
  auto title = make<Label>(Rect{20, 12, 280, 36}, "雲岫學苑");
  title->setName("titleLabel");
  title->setFont(26, true);
  title->setAlignment(TextAlignment::Center);
  scroll->addSubview(title);
  // Three columns, seven rows of icon buttons, each with its name underneath.
  for (const Entry& e : entries()) {
    int i = e.tag - 1;
    double x = 10 + (i % 3) * 102, y = 60 + (i / 3) * 110;
    auto b = make<Button>(Rect{x + 16, y, 70, 70}, e.name);
    b->setTag(e.tag);
    b->setImage("menu_" + std::to_string(e.tag) + ".png");
    b->setAction([this](Button& btn) { btnEvent(btn.tag()); });
    scroll->addSubview(b);
  }
  view().addSubview(scroll);

  Delegate = appDelegate();

  // The first fix after each start of the location service.
  Location::shared().requestFix([](Coordinate c) { setLastFix(c.latitude, c.longitude); });

  if (!Settings::standard().stringForKey("個人資料"))
    performAfterDelay(0.1, [this] { insertData(); });
}

void corvaleViewController::myThreadMainMethod() { setCurrentIPAddress(getIPAddress()); }

void corvaleViewController::viewDidAppear(bool) { Settings::standard().setString("功能名稱", "首頁"); }

void corvaleViewController::userBehavior(const std::string& label) { yx::userBehavior(label); }

void corvaleViewController::insertData() {
  AlertView::create("提醒", "請先輸入您的資料，謝謝。", sharedAs<AlertViewDelegate>(), "確定")->show();
}

void corvaleViewController::alertViewClickedButtonAtIndex(AlertView&, int index) {
  if (index != 0 || !navigationController()) return;
  auto vc = Storyboards::instantiateInitial("agreeProvision");
  if (vc) navigationController()->pushViewController(vc, false);
}

void corvaleViewController::btnEvent(int tag) {
  const Entry* entry = nullptr;
  for (const Entry& e : entries())
    if (e.tag == tag) entry = &e;
  if (!entry || !entry->screen || !navigationController()) return;
  if (entry->network && !(Delegate && Delegate->interetconncet)) {
    showNetworkAlert();
    return;
  }
  if (entry->label) userBehavior(entry->label);

  std::shared_ptr<ViewController> vc =
      entry->storyboard ? Storyboards::instantiateInitial(entry->screen) : Storyboards::instantiate(entry->screen);
  if (!vc) {
    vc = std::make_shared<comingSoonViewController>(entry->name);
  } else if (entry->operation) {
    std::string value = entry->value;
    try {
      if (std::string(entry->operation) == "progressBar:") value = Deployment::current().url("campus_data", value);
      else if (std::string(entry->operation) == "parseURL:") value = Deployment::current().url("weather", value);
    } catch (const DeploymentError&) {
      showNetworkAlert();
      return;
    }
    vc->receive(entry->operation, value);
  }
  navigationController()->pushViewController(vc, false);
}

void comingSoonViewController::viewDidLoad() {
  view().setBackgroundPattern("hl_r1.jpg");
  addHeaderBar(*this, feature_, 1, 2, [this](int tag) {
    if (tag == 1) goHome(*this);
    else goBack(*this);
  });
  auto label = make<Label>(Rect{20, 200, 280, 80}, "「" + feature_ + "」功能即將推出，敬請期待。");
  label->setName("messageLabel");
  label->setAutoresizingMask(Autoresizing::FlexibleTopMargin | Autoresizing::FlexibleBottomMargin);
  label->setNumberOfLines(0);
  label->setAlignment(TextAlignment::Center);
  view().addSubview(label);
}

}  // namespace yx
