#include "platform/ui/alert.h"

#include <algorithm>

namespace yx {

namespace {
std::vector<std::shared_ptr<AlertView>>& stack() {
  static auto* s = new std::vector<std::shared_ptr<AlertView>>();
  return *s;
}
}  // namespace

const std::vector<std::shared_ptr<AlertView>>& Alerts::visible() { return stack(); }
std::shared_ptr<AlertView> Alerts::front() { return stack().empty() ? nullptr : stack().back(); }
void Alerts::clear() { stack().clear(); }
void Alerts::add(std::shared_ptr<AlertView> a) {
  stack().push_back(std::move(a));
  uiChanged(nullptr);
}
void Alerts::remove(AlertView* a) {
  std::erase_if(stack(), [&](const std::shared_ptr<AlertView>& s) { return s.get() == a; });
  uiChanged(nullptr);
}

AlertView::AlertView(std::string title, std::string message, std::weak_ptr<AlertViewDelegate> delegate,
                     std::string cancelButtonTitle, std::vector<std::string> otherButtonTitles)
    : title_(std::move(title)),
      message_(std::move(message)),
      delegate_(std::move(delegate)),
      content_(std::make_shared<View>(Rect{0, 0, 270, 0})) {
  if (!cancelButtonTitle.empty()) {
    hasCancel_ = true;
    buttons_.push_back(std::move(cancelButtonTitle));
  }
  for (auto& b : otherButtonTitles) buttons_.push_back(std::move(b));
}

std::shared_ptr<AlertView> AlertView::create(std::string title, std::string message,
                                             std::weak_ptr<AlertViewDelegate> delegate,
                                             std::string cancelButtonTitle,
                                             std::vector<std::string> otherButtonTitles) {
  return std::make_shared<AlertView>(std::move(title), std::move(message), std::move(delegate),
                                     std::move(cancelButtonTitle), std::move(otherButtonTitles));
}

void AlertView::setMessage(std::string m) {
  message_ = std::move(m);
  uiChanged(nullptr);
}

void AlertView::show() {
  if (visible_) return;
  auto self = shared_from_this();
  if (auto d = delegate_.lock()) d->willPresentAlertView(*this);
  visible_ = true;
  Alerts::add(self);
}

bool AlertView::pressButton(int index) {
  if (!visible_ || index < 0 || index >= static_cast<int>(buttons_.size())) return false;
  auto self = shared_from_this();
  // Dismiss first so a handler that shows another alert puts it in front.
  visible_ = false;
  Alerts::remove(this);
  if (auto d = delegate_.lock()) d->alertViewClickedButtonAtIndex(*this, index);
  if (onButton_) onButton_(*this, index);
  if (auto d = delegate_.lock()) d->alertViewDidDismissWithButtonIndex(*this, index);
  return true;
}

void AlertView::dismissWithClickedButtonIndex(int index, bool) {
  if (!visible_) return;
  auto self = shared_from_this();
  visible_ = false;
  Alerts::remove(this);
  if (auto d = delegate_.lock()) d->alertViewDidDismissWithButtonIndex(*this, index);
}

std::shared_ptr<AlertView> showAlert(std::string title, std::string message, std::string button,
                                     std::function<void(AlertView&, int)> onButton) {
  auto a = AlertView::create(std::move(title), std::move(message), {}, std::move(button));
  if (onButton) a->setOnButton(std::move(onButton));
  a->show();
  return a;
}

}  // namespace yx
