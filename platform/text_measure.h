#pragma once
// Text measurement in the app's face, Noto Sans CJK TC (found through
// fontconfig, read with FreeType), with ICU's line breaking rules: what a
// screen needs to size a row or a text area to the text it shows. Sizes are
// in points; a 17-point font is 17 units high, as on the phone.
//
// Without the face (no fontconfig match) an estimate is used: CJK characters
// one em wide, others about half, lines 1.45 em high.

#include <string_view>

#include "platform/ui/geometry.h"

namespace yx {

// The text wrapped to lines at most `width` wide (at break opportunities;
// a word wider than the line is broken between characters; "\n" always
// breaks). Returns the widest line's width and the height of the lines that
// fit within maxHeight (whole lines only). Empty text measures 0 x 0.
Size measureText(std::string_view utf8, double fontSize, bool bold, double width, double maxHeight = 1e9);

// The width of the text on one line.
double textWidth(std::string_view utf8, double fontSize, bool bold);

// The height of one line of text.
double lineHeight(double fontSize, bool bold);

}  // namespace yx
