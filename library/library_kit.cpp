#include "library/library_kit.h"

#include "core/screen_kit.h"
#include "platform/image.h"

namespace yx::library {

std::shared_ptr<View> addLibraryHeader(ViewController& vc, const std::string& title,
                                       std::function<void(int tag)> onTag) {
  auto bar = addHeaderBar(vc, title, 1, 2, std::move(onTag), "hl_g1.jpg");
  bar->setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleBottomMargin);
  if (auto* label = bar->viewNamed("titleLabel"))
    label->setAutoresizingMask(Autoresizing::FlexibleLeftMargin | Autoresizing::FlexibleRightMargin);
  return bar;
}

const std::string& FormatIcons::imageFor(const std::string& word) {
  if (auto it = known_.find(word); it != known_.end()) return it->second;
  bool unsafe = word.empty() || word.find('/') != std::string::npos || word.find('\\') != std::string::npos ||
                word.find("..") != std::string::npos || word.find('\0') != std::string::npos;
  std::string image = kPlaceholderFormatImage;
  if (!unsafe && !Image::named(word + ".png").empty()) image = word + ".png";
  return known_.emplace(word, image).first->second;
}

void leavePatronList(ViewController& vc) {
  startUsageExitReport();
  auto* nav = vc.navigationController();
  if (!nav) return;
  const auto& stack = nav->viewControllers();
  size_t position = stack.size() < 6 ? 1 : 4;
  if (position < stack.size()) nav->popToViewController(stack[position].get(), true);
}

std::shared_ptr<Label> addCountLabel(View& root) {
  auto l = make<Label>(Rect{10, 48, 300, 24});
  l->setName("countLbl");
  l->setFont(14);
  l->setAlignment(TextAlignment::Right);
  l->setAutoresizingMask(Autoresizing::FlexibleWidth);
  root.addSubview(l);
  return l;
}

std::shared_ptr<Label> addCellLabel(View& content, Rect frame, const char* name, double fontSize, Color color,
                                    TextAlignment align, unsigned mask) {
  auto l = make<Label>(frame);
  l->setName(name);
  l->setFont(fontSize);
  l->setTextColor(color);
  l->setAlignment(align);
  l->setAutoresizingMask(mask);
  content.addSubview(l);
  return l;
}

}  // namespace yx::library
