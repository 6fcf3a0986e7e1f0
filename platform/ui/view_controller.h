#pragma once
// Screens, the navigation stack, storyboards and segues.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/runloop.h"
#include "platform/ui/view.h"

namespace yx {

class NavigationController;

class ViewController : public std::enable_shared_from_this<ViewController> {
public:
  ViewController();
  virtual ~ViewController();
  ViewController(const ViewController&) = delete;
  ViewController& operator=(const ViewController&) = delete;

  // The class name a person and the text driver see ("newsListViewController").
  virtual std::string className() const { return "ViewController"; }

  // The root view, created by loadView() and then viewDidLoad() on first use.
  View& view();
  std::shared_ptr<View> viewPtr();
  bool isViewLoaded() const { return static_cast<bool>(view_); }

  virtual void loadView();  // default: a white screen-sized view
  virtual void viewDidLoad() {}
  virtual void viewWillAppear(bool /*animated*/) {}
  virtual void viewDidAppear(bool /*animated*/) {}
  virtual void viewWillDisappear(bool /*animated*/) {}
  virtual void viewDidDisappear(bool /*animated*/) {}
  // Portrait only when false (the default allows rotation).
  virtual bool allowsLandscape() const { return false; }

  NavigationController* navigationController() const { return nav_; }

  // A value handed to a new screen before it is pushed, named after the
  // operation that takes it ("progressBar:", "busNO:", "parseURL:").
  // Returns false when the screen takes no such value.
  virtual bool receive(const std::string& /*operation*/, const std::string& /*value*/) { return false; }

  // Storyboard transitions: creates the registered destination for the
  // identifier, calls prepareForSegue, then pushes it (animated).
  bool performSegueWithIdentifier(const std::string& identifier, const void* sender = nullptr);
  virtual void prepareForSegue(const std::string& /*identifier*/, ViewController& /*destination*/,
                               const void* /*sender*/) {}

  // The storyboard this screen came from ("" when made in code).
  const std::string& storyboardName() const { return storyboard_; }
  void setStoryboardName(std::string s) { storyboard_ = std::move(s); }

  // Runs fn on the main thread after a delay, keeping this screen alive until
  // then (a delayed call retains its target). Returns the timer.
  TimerId performAfterDelay(double seconds, std::function<void()> fn);
  // A repeating timer that keeps this screen alive until invalidated.
  TimerId scheduleRepeating(double interval, std::function<void()> fn);

  template <class T> std::shared_ptr<T> sharedAs() { return std::dynamic_pointer_cast<T>(shared_from_this()); }

private:
  friend class NavigationController;
  std::shared_ptr<View> view_;
  NavigationController* nav_ = nullptr;
  std::string storyboard_;
};

// One push, pop or jump, as a front-end animates it.
struct Transition {
  enum class Kind { Push, Pop, PopTo, PopToRoot, SetRoot } kind;
  std::string from, to;  // class names
  bool animated;
};

class NavigationController {
public:
  explicit NavigationController(std::shared_ptr<ViewController> root);
  ~NavigationController();

  const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return stack_; }
  ViewController* topViewController() const { return stack_.empty() ? nullptr : stack_.back().get(); }
  std::shared_ptr<ViewController> topShared() const { return stack_.empty() ? nullptr : stack_.back(); }
  size_t depth() const { return stack_.size(); }

  void pushViewController(std::shared_ptr<ViewController> vc, bool animated);
  std::shared_ptr<ViewController> popViewControllerAnimated(bool animated);
  void popToViewController(ViewController* vc, bool animated);
  void popToRootViewControllerAnimated(bool animated);
  void setNavigationBarHidden(bool hidden, bool animated);
  bool navigationBarHidden() const { return barHidden_; }

  // Every transition so far, in order.
  const std::vector<Transition>& transitions() const { return transitions_; }
  // Called after each transition (front-ends animate it).
  void setTransitionListener(std::function<void(const Transition&)> fn) { listener_ = std::move(fn); }

private:
  void record(Transition t);
  void removeAbove(size_t keep, bool animated, Transition::Kind kind);
  std::vector<std::shared_ptr<ViewController>> stack_;
  std::vector<Transition> transitions_;
  std::function<void(const Transition&)> listener_;
  bool barHidden_ = false;
};

// Storyboards by name (their initial screens) and segues by identifier.
class Storyboards {
public:
  using Factory = std::function<std::shared_ptr<ViewController>()>;
  static void registerInitial(const std::string& storyboard, Factory f);
  // Null when the storyboard is unknown.
  static std::shared_ptr<ViewController> instantiateInitial(const std::string& storyboard);
  static bool has(const std::string& storyboard);
  // A screen of a storyboard by its identifier.
  static void registerScreen(const std::string& identifier, Factory f);
  static std::shared_ptr<ViewController> instantiate(const std::string& identifier);
  // A segue from a screen class (or from any screen when sourceClass is "").
  static void registerSegue(const std::string& sourceClass, const std::string& identifier, Factory f);
  static std::shared_ptr<ViewController> destinationFor(const std::string& sourceClass,
                                                        const std::string& identifier);
};

}  // namespace yx
