#pragma once
// What the library screens share: the green header bar, the format icons of
// the patron lists, and the way back from a patron list.

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/ui/view.h"
#include "platform/ui/view_controller.h"

namespace yx::library {

// The library's header bar ("hl_g1.jpg") with home (tag 1, "homeButton") and
// back (tag 2, "backButton"), stretched to the screen's width.
std::shared_ptr<View> addLibraryHeader(ViewController& vc, const std::string& title,
                                       std::function<void(int tag)> onTag);

// The picture a format word names: the bundled "<word>.png" when there is
// one, else the placeholder "format_other.png" (also for words that hold
// "/", "\\" or "..", which could reach outside the artwork folder).
// Remembers each word's answer, so a long list looks every word up once.
class FormatIcons {
public:
  const std::string& imageFor(const std::string& word);

private:
  std::map<std::string, std::string> known_;
};
inline constexpr const char* kPlaceholderFormatImage = "format_other.png";

// Leaves a patron list: when the navigation stack holds fewer than six
// screens, back (animated) to the screen at position 1 (the Library menu,
// also when the login screen sits between); otherwise to position 4.
void leavePatronList(ViewController& vc);

// The count label under the header ("countLbl", right-aligned), added to root.
std::shared_ptr<Label> addCountLabel(View& root);
// A named label of a table cell's content.
std::shared_ptr<Label> addCellLabel(View& content, Rect frame, const char* name, double fontSize, Color color,
                                    TextAlignment align = TextAlignment::Left, unsigned mask = Autoresizing::None);

}  // namespace yx::library
