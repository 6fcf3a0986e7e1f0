#pragma once
// The campus cameras: the menu of cameras and one camera's still picture.

#include <memory>
#include <string>
#include <vector>

#include "platform/ui/view_controller.h"

namespace yx {

// One camera: the menu button's title ("" for the camera without one), its
// name, the title shown, the picture's path on the camera server, the badge
// picture and the bus route its badge opens ("" for none).
struct CameraInfo {
  std::string button, name, title, path, badge, route;
};
const std::vector<CameraInfo>& cameraTable();
const CameraInfo* cameraNamed(const std::string& name);
const CameraInfo* cameraForButton(const std::string& title);

// Home menu 校園監視器: eight camera buttons (tag 2, titled as in the
// table); 0 home, 1 back.
class camerasViewController : public ViewController {
public:
  std::string className() const override { return "camerasViewController"; }
  void viewDidLoad() override;
  void btnEvent(class Button& sender);
  void btnEvent(int tag);
};

// One camera's picture, fetched when the screen opens and on reload (tag 3).
// Buttons: 1 home, 2 back (both report), 4 the badge (a bus stop's route).
class cameraImgViewController : public ViewController {
public:
  std::string className() const override { return "cameraImgViewController"; }
  void setWhichCamera(std::string name) { whichCamera_ = std::move(name); }
  const std::string& whichCamera() const { return whichCamera_; }
  void viewDidLoad() override;
  // Fetches the picture and shows it (no picture when the answer is not
  // one), then the time of this load.
  void loadPic(const std::string& url);
  void runTime();
  void btnEvent(int tag);
  const std::string& camStr() const { return camStr_; }
  const std::string& toBusStr() const { return toBusStr_; }

private:
  std::string whichCamera_, camStr_, toBusStr_;
  std::shared_ptr<ImageView> myImgview_;
  std::shared_ptr<Label> myLbl_, titleLbl_;
  std::shared_ptr<Button> titleBtn_;
};

}  // namespace yx
