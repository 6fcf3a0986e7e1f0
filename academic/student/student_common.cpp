#include "academic/student/student_common.h"

#include "academic/signing.h"
#include "core/deployment.h"
#include "core/screen_kit.h"
#include "platform/settings.h"
#include "platform/ui/view.h"

#include <algorithm>

namespace yx {

std::string storedStudentNumber() { return Settings::standard().stringForKey("學號").value_or(""); }
std::string storedStudentPassword() { return Settings::standard().stringForKey("密碼").value_or(""); }
bool studentSignedIn() { return !storedStudentNumber().empty(); }

void openStudentResult(ViewController& from, const std::string& method, std::shared_ptr<ViewController> result,
                       const std::string& number, const std::string& password) {
  auto* nav = from.navigationController();
  if (!nav || !result) return;
  std::string url;
  try {
    url = studentMethodURL(method, number, password);
  } catch (const DeploymentError&) {
    showNetworkAlert();
    return;
  }
  result->receive("progressBar:", url);
  nav->pushViewController(result, false);
}

void returnToIndex(ViewController& from, size_t index, bool animated) {
  auto* nav = from.navigationController();
  if (!nav) return;
  const auto& stack = nav->viewControllers();
  if (index < stack.size() && stack[index].get() != nav->topViewController())
    nav->popToViewController(stack[index].get(), animated);
}

void returnFromResult(ViewController& from, bool animated) {
  auto* nav = from.navigationController();
  if (!nav) return;
  returnToIndex(from, nav->depth() >= 6 ? 4 : 1, animated);
}

void resultButton(ViewController& screen, int tag, const std::function<std::shared_ptr<ViewController>()>& newForm) {
  auto* nav = screen.navigationController();
  if (!nav) return;
  if (tag == 3) {
    nav->pushViewController(newForm(), false);
  } else if (tag == 2) {
    startUsageExitReport();
    returnFromResult(screen, true);
  } else if (tag == 1) {
    goHome(screen);
  }
}

size_t characterCount(const std::string& utf8) {
  size_t n = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

size_t offsetOfLastCharacters(const std::string& utf8, size_t n) {
  size_t i = utf8.size();
  while (n > 0 && i > 0) {
    --i;
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80) --n;
  }
  return n == 0 ? i : 0;
}

void LoadingBackdrop::show(View& over, double height) {
  remove();
  // Over the whole screen, however tall the canvas is.
  const Rect bounds = over.frame();
  auto image = make<ImageView>(Rect{0, 0, bounds.width, std::max(height, bounds.height)}, "parserBG_.png");
  image->setName("parserBG");
  image->setBackgroundColor(Color::white());
  image->setAutoresizingMask(Autoresizing::FlexibleSize);
  image->setFillsFrame(true);
  over.addSubview(image);
  view_ = image;
}

void LoadingBackdrop::remove() {
  if (view_) view_->removeFromSuperview();
  view_.reset();
}

}  // namespace yx
