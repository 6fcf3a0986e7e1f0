#pragma once
// Modal alerts. The newest shown alert is in front; while any alert shows,
// only its buttons take input.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/view.h"

namespace yx {

class AlertView;
class AlertViewDelegate {
public:
  virtual ~AlertViewDelegate() = default;
  virtual void willPresentAlertView(AlertView&) {}
  // A button pressed by the user (not called for dismissal by code).
  virtual void alertViewClickedButtonAtIndex(AlertView&, int /*index*/) {}
  virtual void alertViewDidDismissWithButtonIndex(AlertView&, int /*index*/) {}
};

class AlertView : public std::enable_shared_from_this<AlertView> {
public:
  // The cancel button (when given) has index 0; the others follow in order.
  AlertView(std::string title, std::string message, std::weak_ptr<AlertViewDelegate> delegate,
            std::string cancelButtonTitle, std::vector<std::string> otherButtonTitles = {});
  static std::shared_ptr<AlertView> create(std::string title, std::string message,
                                           std::weak_ptr<AlertViewDelegate> delegate,
                                           std::string cancelButtonTitle,
                                           std::vector<std::string> otherButtonTitles = {});

  const std::string& title() const { return title_; }
  const std::string& message() const { return message_; }
  void setMessage(std::string m);
  const std::vector<std::string>& buttonTitles() const { return buttons_; }
  int cancelButtonIndex() const { return hasCancel_ ? 0 : -1; }
  // An extra handler for pressed buttons, called after the delegate.
  void setOnButton(std::function<void(AlertView&, int)> fn) { onButton_ = std::move(fn); }
  void setTag(int t) { tag_ = t; }
  int tag() const { return tag_; }

  // Views inside the alert (a progress bar, a label), drawn under the message.
  View& contentView() { return *content_; }

  void show();
  bool isVisible() const { return visible_; }
  // A user's press: tells the delegate, then dismisses.
  bool pressButton(int index);
  // Dismissal by code: the delegate hears only the dismissal.
  void dismissWithClickedButtonIndex(int index, bool animated);

private:
  std::string title_, message_;
  std::weak_ptr<AlertViewDelegate> delegate_;
  std::vector<std::string> buttons_;
  bool hasCancel_ = false;
  bool visible_ = false;
  int tag_ = 0;
  std::shared_ptr<View> content_;
  std::function<void(AlertView&, int)> onButton_;
};

// The alerts on screen, oldest first.
class Alerts {
public:
  static const std::vector<std::shared_ptr<AlertView>>& visible();
  static std::shared_ptr<AlertView> front();
  static void clear();

private:
  friend class AlertView;
  static void add(std::shared_ptr<AlertView> a);
  static void remove(AlertView* a);
};

// Shows the app's common one-button alert ("確定" etc.) with no delegate.
std::shared_ptr<AlertView> showAlert(std::string title, std::string message, std::string button,
                                     std::function<void(AlertView&, int)> onButton = {});

}  // namespace yx
