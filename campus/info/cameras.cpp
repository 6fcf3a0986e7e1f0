#include "campus/info/cameras.h"

#include "core/deployment.h"
#include "core/screen_kit.h"
#include "platform/dates.h"
#include "platform/http.h"
#include "platform/image.h"
#include "platform/settings.h"

namespace yx {

const std::vector<CameraInfo>& cameraTable() {
  static const std::vector<CameraInfo> table = {
      {"27", "R27公車站", "R27公車站", "/cam2.jpg", "紅27", "27"},
      {"28", "R28公車站", "R28公車站", "/cam1.jpg", "紅28", "28"},
      {"1", "操場", "操場", "/cam3.jpg", "操場", ""},
      {"2", "籃球場", "籃球場", "/cam4.jpg", "籃球場", ""},
      {"", "排球場", "排球場", "/cam6.jpg", "排球場", ""},
      {"4", "商館三樓電梯", "商館三樓電梯", "/cam5.jpg", "電梯", ""},
      {"6", "青楓坡停車場", "青楓坡球場", "/cam7.jpg", "青楓坡球場", ""},
      {"5", "郵局", "郵局", "/cam8.jpg", "郵局", ""},
      {"7", "網球場", "網球場", "/cam9.jpg", "網球場", ""},
  };
  return table;
}

const CameraInfo* cameraNamed(const std::string& name) {
  for (const CameraInfo& c : cameraTable())
    if (c.name == name) return &c;
  return nullptr;
}

const CameraInfo* cameraForButton(const std::string& title) {
  if (title.empty()) return nullptr;
  for (const CameraInfo& c : cameraTable())
    if (c.button == title) return &c;
  return nullptr;
}

// -------------------------------------------------------------- camera menu

void camerasViewController::viewDidLoad() {
  view().setBackgroundColor(Color::rgb(244, 246, 248));
  addHeaderBar(*this, "校園監視器", 0, 1, [this](int tag) { btnEvent(tag); });
  // Two columns of four cameras: the badge button, the place underneath.
  int i = 0;
  for (const CameraInfo& c : cameraTable()) {
    if (c.button.empty()) continue;
    const double x = i % 2 == 0 ? 30 : 180, y = 62 + (i / 2) * 118;
    auto b = make<Button>(Rect{x, y, 110, 80}, c.button);
    b->setTag(2);
    b->setImage(c.badge);
    b->setTitleColor(Color::rgb(40, 60, 80));
    b->setAction([this](Button& sender) { btnEvent(sender); });
    view().addSubview(b);
    auto place = make<Label>(Rect{x - 10, y + 82, 130, 24}, c.title);
    place->setFont(15);
    place->setAlignment(TextAlignment::Center);
    place->setTextColor(Color::gray(0.25f));
    view().addSubview(place);
    ++i;
  }
}

void camerasViewController::btnEvent(Button& sender) {
  if (sender.tag() != 2) {
    btnEvent(sender.tag());
    return;
  }
  // A title outside the table opens nothing.
  const CameraInfo* camera = cameraForButton(sender.title());
  auto* nav = navigationController();
  if (!camera || !nav) return;
  auto& settings = Settings::standard();
  settings.setString("功能名稱", camera->name);
  settings.setString("啓動時間", formatDate("yyyyMMddHHmmss", now()));
  auto picture = std::make_shared<cameraImgViewController>();
  picture->setWhichCamera(camera->name);
  nav->pushViewController(picture, false);
}

void camerasViewController::btnEvent(int tag) {
  auto* nav = navigationController();
  if (!nav) return;
  if (tag == 1) nav->popViewControllerAnimated(true);
  else if (tag == 0) nav->popToRootViewControllerAnimated(false);
}

// ------------------------------------------------------------ camera picture

void cameraImgViewController::viewDidLoad() {
  addHeaderBar(*this, "校園監視器", 1, 2, [this](int tag) { btnEvent(tag); });
  const CameraInfo* camera = cameraNamed(whichCamera_);

  titleBtn_ = make<Button>(Rect{10, 52, 70, 44});
  titleBtn_->setName("titleBtn");
  titleBtn_->setTag(4);
  titleBtn_->setAction([this](Button& b) { btnEvent(b.tag()); });
  view().addSubview(titleBtn_);
  titleLbl_ = make<Label>(Rect{90, 52, 220, 44});
  titleLbl_->setName("titleLbl");
  titleLbl_->setFont(22, true);
  titleLbl_->setTextColor(Color::rgb(40, 60, 80));
  view().addSubview(titleLbl_);

  // 4:3 pictures across the screen, the time of the last load underneath.
  myImgview_ = make<ImageView>(Rect{0, 104, 320, 240});
  myImgview_->setName("myImgview");
  myImgview_->setBackgroundColor(Color::gray(0.12f));
  view().addSubview(myImgview_);
  myLbl_ = make<Label>(Rect{10, 350, 300, 30});
  myLbl_->setName("myLbl");
  myLbl_->setFont(16);
  myLbl_->setAlignment(TextAlignment::Center);
  myLbl_->setTextColor(Color::gray(0.3f));
  view().addSubview(myLbl_);
  auto reload = make<Button>(Rect{100, 392, 120, 44}, "重新整理");
  reload->setTag(3);
  reload->setAction([this](Button& b) { btnEvent(b.tag()); });
  view().addSubview(reload);

  if (camera) {
    titleLbl_->setText(camera->title);
    try {
      camStr_ = Deployment::current().url("camera", camera->path);
    } catch (const DeploymentError&) {
    }
    toBusStr_ = camera->route;
  } else {
    titleLbl_->setText(whichCamera_);
  }
  titleBtn_->setImage(camera ? camera->badge : whichCamera_);
  titleBtn_->setEnabled(!toBusStr_.empty());
  if (!camStr_.empty()) loadPic(camStr_);
}

void cameraImgViewController::loadPic(const std::string& url) {
  HttpResult r = httpGet(url);
  // Only a body the picture decoder takes (a bounded size, complete) is shown;
  // anything else leaves no picture, never the previous one.
  Image picture = r.ok ? Image::fromBytes(r.body) : Image();
  if (!picture.empty())
    myImgview_->setImageData(std::make_shared<const std::string>(std::move(r.body)), url);
  else
    myImgview_->clearImage();
  runTime();
}

void cameraImgViewController::runTime() { myLbl_->setText(formatDate("yyyy/MM/dd HH:mm:ss", now())); }

void cameraImgViewController::btnEvent(int tag) {
  auto* nav = navigationController();
  switch (tag) {
    case 1: goHome(*this); break;
    case 2: goBack(*this); break;
    case 3:
      if (!camStr_.empty()) loadPic(camStr_);
      break;
    case 4: {
      if (toBusStr_.empty() || !nav) break;
      auto bus = Storyboards::instantiate("busInforViewController");
      if (!bus) break;
      bus->receive("busNO:", toBusStr_);
      nav->pushViewController(bus, true);
      break;
    }
    default: break;
  }
}

}  // namespace yx
