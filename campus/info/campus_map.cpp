#include "campus/info/campus_map.h"

#include "core/screen_kit.h"

namespace yx {

Rect wynMapViewController::zoomRectForScale(const ScrollView& area, double scale, Point centre) {
  const double w = area.frame().width / scale, h = area.frame().height / scale;
  return Rect{centre.x - w / 2, centre.y - h / 2, w, h};
}

void wynMapViewController::viewDidLoad() {
  addHeaderBar(*this, "校園地圖", 0, 1, [this](int tag) { btnEvent(tag); });
  const double viewHeight = view().frame().height;
  mapScrollView_ = make<ScrollView>(Rect{0, 44, 320, viewHeight - 44});
  mapScrollView_->setName("mapScrollView");
  mapScrollView_->setAutoresizingMask(Autoresizing::FlexibleSize);
  mapScrollView_->setBackgroundColor(Color::rgb(238, 242, 234));

  // The map is 700 points wide and as high as the screen; it fits its
  // picture in, clipped, and leaves touches to the scroll area.
  mapImgview_ = make<ImageView>(Rect{0, 0, 700, viewHeight}, "newMap");
  mapImgview_->setName("mapImgview");
  mapImgview_->setUserInteractionEnabled(false);
  mapScrollView_->addSubview(mapImgview_);
  mapScrollView_->setContentSize(Size{mapImgview_->frame().width, mapImgview_->frame().height});
  mapScrollView_->setZoomLimits(0.5, 3);
  mapScrollView_->setZoomScale(1);
  mapScrollView_->setZoomingView(mapImgview_);
  // At the end of a pinch the scale is nudged and set back, so the picture is
  // drawn afresh at the scale reached.
  mapScrollView_->setDidEndZooming([](ScrollView& area, double scale) {
    area.setZoomScale(scale + 0.01);
    area.setZoomScale(scale);
  });
  view().addSubview(mapScrollView_);

  const double scale = mapScrollView_->zoomScale() * 1.5;
  mapScrollView_->zoomToRect(zoomRectForScale(*mapScrollView_, scale, Point{viewHeight - 100, 200}), true);
}

void wynMapViewController::btnEvent(int tag) {
  if (tag == 1) goBack(*this);
  else if (tag == 0) goHome(*this);
}

}  // namespace yx
