#pragma once
// The campus map: the picture "newMap" in a scroll area that pans and zooms.

#include <memory>
#include <string>

#include "platform/ui/view_controller.h"

namespace yx {

// Home menu 校園地圖. Buttons: 0 home, 1 back (both report).
class wynMapViewController : public ViewController {
public:
  std::string className() const override { return "wynMapViewController"; }
  void viewDidLoad() override;
  void btnEvent(int tag);
  // The rectangle that shows `scale` times the scroll area's current zoom
  // around a point: the area's size divided by the scale, centred there.
  static Rect zoomRectForScale(const ScrollView& area, double scale, Point centre);

private:
  std::shared_ptr<ScrollView> mapScrollView_;
  std::shared_ptr<ImageView> mapImgview_;
};

}  // namespace yx
