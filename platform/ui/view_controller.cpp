#include "platform/ui/view_controller.h"

#include <algorithm>
#include <mutex>

namespace yx {

// ------------------------------------------------------------------- canvas

namespace {
Size g_canvas{kScreenWidth, kScreenHeight};
// Root views of loaded screens, so a new canvas size reaches them all.
std::vector<std::weak_ptr<View>> g_roots;

void fitToCanvas(View& root) { root.setFrame(Rect{0, 0, g_canvas.width, g_canvas.height}); }
}  // namespace

Size canvasSize() { return g_canvas; }

void setCanvasSize(Size s) {
  if (s.width <= 0 || s.height <= 0 || s == g_canvas) return;
  g_canvas = s;
  std::erase_if(g_roots, [](const std::weak_ptr<View>& w) { return w.expired(); });
  for (auto& w : g_roots)
    if (auto v = w.lock()) fitToCanvas(*v);
}

// ------------------------------------------------------------ ViewController

ViewController::ViewController() = default;
ViewController::~ViewController() = default;

void ViewController::loadView() {
  auto v = std::make_shared<View>(Rect{0, 0, kScreenWidth, kScreenHeight});
  v->setBackgroundColor(Color::white());
  view_ = v;
}

View& ViewController::view() { return *viewPtr(); }

std::shared_ptr<View> ViewController::viewPtr() {
  if (!view_) {
    loadView();
    if (!view_) view_ = std::make_shared<View>(Rect{0, 0, kScreenWidth, kScreenHeight});
    // Screens lay out their views for the design size; the root view then
    // takes the canvas and its subviews follow their autoresizing masks.
    auto root = view_;
    root->setAutoresizingMask(Autoresizing::FlexibleSize);
    viewDidLoad();
    fitToCanvas(*root);
    std::erase_if(g_roots, [](const std::weak_ptr<View>& w) { return w.expired(); });
    g_roots.push_back(root);
  }
  return view_;
}

bool ViewController::performSegueWithIdentifier(const std::string& identifier, const void* sender) {
  auto dest = Storyboards::destinationFor(className(), identifier);
  if (!dest) return false;
  if (dest->storyboardName().empty()) dest->setStoryboardName(storyboard_);
  prepareForSegue(identifier, *dest, sender);
  if (nav_) nav_->pushViewController(dest, true);
  return true;
}

TimerId ViewController::performAfterDelay(double seconds, std::function<void()> fn) {
  auto self = shared_from_this();
  return RunLoop::main().schedule(seconds, [self, fn = std::move(fn)] { fn(); });
}

TimerId ViewController::scheduleRepeating(double interval, std::function<void()> fn) {
  auto self = shared_from_this();
  return RunLoop::main().schedule(interval, [self, fn = std::move(fn)] { fn(); }, true, interval);
}

// ------------------------------------------------------ NavigationController

NavigationController::NavigationController(std::shared_ptr<ViewController> root) {
  if (root) {
    root->nav_ = this;
    stack_.push_back(root);
    root->viewPtr();
    root->viewWillAppear(false);
    root->viewDidAppear(false);
  }
}

NavigationController::~NavigationController() {
  for (auto& vc : stack_) vc->nav_ = nullptr;
}

void NavigationController::record(Transition t) {
  transitions_.push_back(t);
  if (listener_) listener_(transitions_.back());
  uiChanged(nullptr);
}

void NavigationController::setNavigationBarHidden(bool hidden, bool) { barHidden_ = hidden; }

void NavigationController::pushViewController(std::shared_ptr<ViewController> vc, bool animated) {
  if (!vc) return;
  if (std::find(stack_.begin(), stack_.end(), vc) != stack_.end()) return;  // already on the stack
  auto from = topShared();
  vc->nav_ = this;
  vc->viewPtr();  // loads the view (viewDidLoad) before it appears
  if (from) from->viewWillDisappear(animated);
  vc->viewWillAppear(animated);
  stack_.push_back(vc);
  record({Transition::Kind::Push, from ? from->className() : "", vc->className(), animated});
  if (from) from->viewDidDisappear(animated);
  vc->viewDidAppear(animated);
}

void NavigationController::removeAbove(size_t keep, bool animated, Transition::Kind kind) {
  if (stack_.size() <= keep || keep == 0) return;
  auto from = stack_.back();
  auto to = stack_[keep - 1];
  from->viewWillDisappear(animated);
  to->viewWillAppear(animated);
  std::vector<std::shared_ptr<ViewController>> removed(stack_.begin() + static_cast<long>(keep), stack_.end());
  stack_.resize(keep);
  record({kind, from->className(), to->className(), animated});
  from->viewDidDisappear(animated);
  to->viewDidAppear(animated);
  for (auto& r : removed) r->nav_ = nullptr;
}

std::shared_ptr<ViewController> NavigationController::popViewControllerAnimated(bool animated) {
  if (stack_.size() < 2) return nullptr;
  auto top = stack_.back();
  removeAbove(stack_.size() - 1, animated, Transition::Kind::Pop);
  return top;
}

void NavigationController::popToViewController(ViewController* vc, bool animated) {
  for (size_t i = 0; i < stack_.size(); ++i)
    if (stack_[i].get() == vc) {
      removeAbove(i + 1, animated, Transition::Kind::PopTo);
      return;
    }
}

void NavigationController::popToRootViewControllerAnimated(bool animated) {
  removeAbove(1, animated, Transition::Kind::PopToRoot);
}

// ---------------------------------------------------------------- Storyboards

namespace {
struct Registry {
  std::mutex mu;
  std::map<std::string, Storyboards::Factory> initial, screens;
  std::map<std::pair<std::string, std::string>, Storyboards::Factory> segues;
};
Registry& registry() {
  static Registry* r = new Registry();
  return *r;
}
}  // namespace

void Storyboards::registerInitial(const std::string& storyboard, Factory f) {
  std::lock_guard<std::mutex> lock(registry().mu);
  registry().initial[storyboard] = std::move(f);
}

std::shared_ptr<ViewController> Storyboards::instantiateInitial(const std::string& storyboard) {
  Factory f;
  {
    std::lock_guard<std::mutex> lock(registry().mu);
    auto it = registry().initial.find(storyboard);
    if (it == registry().initial.end()) return nullptr;
    f = it->second;
  }
  auto vc = f();
  if (vc && vc->storyboardName().empty()) vc->setStoryboardName(storyboard);
  return vc;
}

bool Storyboards::has(const std::string& storyboard) {
  std::lock_guard<std::mutex> lock(registry().mu);
  return registry().initial.count(storyboard) != 0;
}

void Storyboards::registerScreen(const std::string& identifier, Factory f) {
  std::lock_guard<std::mutex> lock(registry().mu);
  registry().screens[identifier] = std::move(f);
}

std::shared_ptr<ViewController> Storyboards::instantiate(const std::string& identifier) {
  Factory f;
  {
    std::lock_guard<std::mutex> lock(registry().mu);
    auto it = registry().screens.find(identifier);
    if (it == registry().screens.end()) return nullptr;
    f = it->second;
  }
  return f();
}

void Storyboards::registerSegue(const std::string& sourceClass, const std::string& identifier, Factory f) {
  std::lock_guard<std::mutex> lock(registry().mu);
  registry().segues[{sourceClass, identifier}] = std::move(f);
}

std::shared_ptr<ViewController> Storyboards::destinationFor(const std::string& sourceClass,
                                                            const std::string& identifier) {
  Factory f;
  {
    std::lock_guard<std::mutex> lock(registry().mu);
    auto& segues = registry().segues;
    auto it = segues.find({sourceClass, identifier});
    if (it == segues.end()) it = segues.find({"", identifier});
    if (it == segues.end()) return nullptr;
    f = it->second;
  }
  return f();
}

}  // namespace yx
