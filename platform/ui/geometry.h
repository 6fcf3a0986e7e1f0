#pragma once
// Points, sizes, rectangles and colours on the 320-point-wide design.

#include <cstdint>
#include <string>

namespace yx {

struct Point {
  double x = 0, y = 0;
  bool operator==(const Point&) const = default;
};
struct Size {
  double width = 0, height = 0;
  bool operator==(const Size&) const = default;
};
struct Rect {
  double x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};
inline Rect makeRect(double x, double y, double w, double h) { return Rect{x, y, w, h}; }

// Design size of the screen in points: screens lay their views out for it,
// then their root view takes the canvas size and the views follow their
// autoresizing masks.
inline constexpr double kScreenWidth = 320;
inline constexpr double kScreenHeight = 568;

// The canvas a front-end gives the screens, in points (default the design
// size). Changing it resizes the root view of every loaded screen.
Size canvasSize();
void setCanvasSize(Size s);

// Autoresizing mask bits: which of a view's margins and sizes stretch when
// its superview changes size.
namespace Autoresizing {
inline constexpr unsigned None = 0;
inline constexpr unsigned FlexibleLeftMargin = 1u << 0;
inline constexpr unsigned FlexibleWidth = 1u << 1;
inline constexpr unsigned FlexibleRightMargin = 1u << 2;
inline constexpr unsigned FlexibleTopMargin = 1u << 3;
inline constexpr unsigned FlexibleHeight = 1u << 4;
inline constexpr unsigned FlexibleBottomMargin = 1u << 5;
// Common shapes: fill the superview; keep the distance to the bottom.
inline constexpr unsigned FlexibleSize = FlexibleWidth | FlexibleHeight;
inline constexpr unsigned StickToBottom = FlexibleTopMargin;
}  // namespace Autoresizing

struct Color {
  float r = 0, g = 0, b = 0, a = 0;  // 0..1; a == 0 is clear
  bool operator==(const Color&) const = default;
  static Color clear() { return {0, 0, 0, 0}; }
  static Color white() { return {1, 1, 1, 1}; }
  static Color black() { return {0, 0, 0, 1}; }
  static Color gray(float w, float a = 1) { return {w, w, w, a}; }
  static Color rgb(int r, int g, int b, float a = 1) { return {r / 255.f, g / 255.f, b / 255.f, a}; }
  bool isClear() const { return a <= 0; }
  std::string hex() const;  // "#rrggbbaa"
};

enum class TextAlignment { Left, Center, Right };

}  // namespace yx
