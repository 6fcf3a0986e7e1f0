#include "platform/ui/view.h"

#include "platform/image.h"
#include "platform/text.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>

namespace yx {

namespace {
std::function<void(View*)> g_listener;
std::atomic<unsigned long> g_generation{0};
std::weak_ptr<View> g_firstResponder;
std::shared_ptr<WebBackend> g_webBackend;

// The first responder is a text field or a text view.
void resignResponder(View* v) {
  if (!v) return;
  if (v->kind() == ViewKind::TextField) static_cast<TextField*>(v)->resignFirstResponder();
  else if (v->kind() == ViewKind::TextView) static_cast<TextView*>(v)->resignFirstResponder();
}
}  // namespace

void setUiChangeListener(std::function<void(View*)> listener) { g_listener = std::move(listener); }

void uiChanged(View* view) {
  ++g_generation;
  if (g_listener) g_listener(view);
}

unsigned long uiGeneration() { return g_generation.load(); }

std::string Color::hex() const {
  auto c = [](float v) { return static_cast<int>(std::clamp(v, 0.f, 1.f) * 255 + 0.5f); };
  char buf[16];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x%02x", c(r), c(g), c(b), c(a));
  return buf;
}

// ------------------------------------------------------------ FetchedPicture

namespace {
std::atomic<std::uint64_t> g_nextTicket{1};
}

bool FetchedPicture::decoded() const {
  if (!data_) return false;
  if (!decoded_) decoded_ = Image::isImage(*data_);
  return *decoded_;
}

void FetchedPicture::set(std::shared_ptr<const std::string> bytes, std::string source, std::optional<bool> decoded) {
  data_ = std::move(bytes);
  source_ = std::move(source);
  decoded_ = decoded;
  ticket_ = 0;
}

void FetchedPicture::clear() { set(nullptr, {}, std::nullopt); }

std::uint64_t FetchedPicture::await() {
  ticket_ = g_nextTicket++;
  return ticket_;
}

// ---------------------------------------------------------------------- View

View::View(Rect frame) : frame_(frame) {}

View::~View() {
  for (auto& s : subviews_) s->superview_ = nullptr;
}

namespace {

// One axis of the autoresizing rule: the change of the superview's extent is
// shared among the flexible parts (leading margin, size, trailing margin) in
// proportion to their current extents, equally when those are all zero.
void resizeAxis(double& origin, double& extent, double oldSuper, double newSuper, bool flexLead, bool flexSize,
                bool flexTrail) {
  double delta = newSuper - oldSuper;
  if (delta == 0 || !(flexLead || flexSize || flexTrail)) return;
  double lead = origin, size = extent, trail = oldSuper - origin - extent;
  double weights[3] = {flexLead ? std::max(lead, 0.0) : 0, flexSize ? std::max(size, 0.0) : 0,
                       flexTrail ? std::max(trail, 0.0) : 0};
  double total = weights[0] + weights[1] + weights[2];
  if (total <= 0) {
    int flexible = flexLead + flexSize + flexTrail;
    weights[0] = flexLead ? 1 : 0;
    weights[1] = flexSize ? 1 : 0;
    weights[2] = flexTrail ? 1 : 0;
    total = flexible;
  }
  origin += delta * weights[0] / total;
  extent = std::max(0.0, extent + delta * weights[1] / total);
}

}  // namespace

void View::setFrame(Rect r) {
  if (r == frame_) return;
  Size old{frame_.width, frame_.height};
  frame_ = r;
  changed();
  if (!autoresizesSubviews_ || (old.width == r.width && old.height == r.height)) return;
  for (auto& sub : subviews_) {
    unsigned m = sub->mask_;
    if (m == Autoresizing::None) continue;
    Rect f = sub->frame_;
    resizeAxis(f.x, f.width, old.width, r.width, m & Autoresizing::FlexibleLeftMargin,
               m & Autoresizing::FlexibleWidth, m & Autoresizing::FlexibleRightMargin);
    resizeAxis(f.y, f.height, old.height, r.height, m & Autoresizing::FlexibleTopMargin,
               m & Autoresizing::FlexibleHeight, m & Autoresizing::FlexibleBottomMargin);
    sub->setFrame(f);
  }
}
void View::setHidden(bool h) {
  if (h == hidden_) return;
  hidden_ = h;
  changed();
}
void View::setAlpha(float a) {
  alpha_ = a;
  changed();
}
void View::setTag(int t) {
  tag_ = t;
  hasTag_ = true;
  changed();
}
void View::setName(std::string n) { name_ = std::move(n); }
void View::setBackgroundColor(Color c) {
  background_ = c;
  changed();
}
void View::setBackgroundPattern(std::string imageName) {
  pattern_ = std::move(imageName);
  changed();
}
void View::setBorder(double width, double radius, Color color) {
  borderWidth_ = width;
  cornerRadius_ = radius;
  borderColor_ = color;
  changed();
}
void View::setUserInteractionEnabled(bool on) {
  interaction_ = on;
  changed();
}

void View::addSubview(std::shared_ptr<View> v) { insertSubview(std::move(v), subviews_.size()); }

void View::insertSubview(std::shared_ptr<View> v, size_t index) {
  if (!v || v.get() == this) return;
  auto keep = v;  // removing from the old parent may drop the last owner
  v->removeFromSuperview();
  v->superview_ = this;
  index = std::min(index, subviews_.size());
  subviews_.insert(subviews_.begin() + static_cast<long>(index), std::move(keep));
  changed();
}

void View::removeFromSuperview() {
  View* parent = superview_;
  if (!parent) return;
  auto keep = shared_from_this();
  superview_ = nullptr;
  std::erase_if(parent->subviews_, [&](const std::shared_ptr<View>& s) { return s.get() == this; });
  parent->changed();
}

void View::bringSubviewToFront(View* v) {
  auto it = std::find_if(subviews_.begin(), subviews_.end(),
                         [&](const std::shared_ptr<View>& s) { return s.get() == v; });
  if (it == subviews_.end()) return;
  auto keep = *it;
  subviews_.erase(it);
  subviews_.push_back(keep);
  changed();
}

View* View::viewWithTag(int tag) {
  if (tag_ == tag) return this;
  for (auto& s : subviews_)
    if (View* found = s->viewWithTag(tag)) return found;
  return nullptr;
}

View* View::viewNamed(const std::string& name) {
  if (!name.empty() && name_ == name) return this;
  for (auto& s : subviews_)
    if (View* found = s->viewNamed(name)) return found;
  return nullptr;
}

bool View::isVisible() const {
  for (const View* v = this; v; v = v->superview_)
    if (v->hidden_) return false;
  return true;
}

void View::endEditing() {
  auto fr = g_firstResponder.lock();
  if (!fr) return;
  for (View* v = fr.get(); v; v = v->superview())
    if (v == this) {
      resignResponder(fr.get());
      return;
    }
}

// --------------------------------------------------------------------- Label

Label::Label(Rect frame, std::string text) : View(frame), text_(std::move(text)) {}
void Label::setText(std::string t) {
  if (t == text_) return;
  text_ = std::move(t);
  changed();
}
void Label::setFont(double size, bool bold) {
  fontSize_ = size;
  bold_ = bold;
  changed();
}
void Label::setTextColor(Color c) {
  textColor_ = c;
  changed();
}
void Label::setAlignment(TextAlignment a) {
  align_ = a;
  changed();
}
void Label::setNumberOfLines(int n) {
  lines_ = n;
  changed();
}

// -------------------------------------------------------------------- Button

Button::Button(Rect frame, std::string title) : View(frame), title_(std::move(title)) {}
void Button::setTitle(std::string t) {
  title_ = std::move(t);
  changed();
}
void Button::setTitleColor(Color c) {
  titleColor_ = c;
  changed();
}
void Button::setFontSize(double s) {
  fontSize_ = s;
  changed();
}
void Button::setImage(std::string n) {
  image_ = std::move(n);
  fetched_.clear();
  changed();
}
void Button::setImage(const Image& image, std::string source) {
  image_.clear();
  fetched_.set(image.data(), std::move(source), !image.empty());
  changed();
}
void Button::setBackgroundImage(std::string n) {
  backgroundImage_ = std::move(n);
  changed();
}
void Button::setEnabled(bool e) {
  enabled_ = e;
  changed();
}
bool Button::tap() {
  if (!enabled_ || !isVisible() || !userInteractionEnabled() || !action_) return false;
  auto keep = shared_from_this();  // the action may remove the button
  auto action = action_;
  action(*this);
  return true;
}

// ----------------------------------------------------------------- TextField

TextField::TextField(Rect frame) : View(frame) {}
void TextField::setText(std::string t) {
  text_ = std::move(t);
  changed();
}
void TextField::setPlaceholder(std::string p) {
  placeholder_ = std::move(p);
  changed();
}
void TextField::setEnabled(bool e) {
  enabled_ = e;
  if (!e) resignFirstResponder();
  changed();
}
void TextField::setSecureTextEntry(bool s) {
  secure_ = s;
  changed();
}
void TextField::setNumericKeyboard(bool n) {
  numeric_ = n;
  changed();
}
void TextField::setFontSize(double s) {
  fontSize_ = s;
  changed();
}

bool TextField::isFirstResponder() const { return g_firstResponder.lock().get() == this; }

bool TextField::becomeFirstResponder() {
  if (isFirstResponder()) return true;
  if (auto old = g_firstResponder.lock()) resignResponder(old.get());
  g_firstResponder = shared_from_this();
  changed();
  return true;
}

void TextField::resignFirstResponder() {
  if (!isFirstResponder()) return;
  g_firstResponder.reset();
  if (delegate_) delegate_->textFieldDidEndEditing(*this);
  changed();
}

bool TextField::userFocus() {
  if (!enabled_ || !isVisible()) return false;
  auto keep = shared_from_this();
  if (delegate_ && !delegate_->textFieldShouldBeginEditing(*this)) return false;
  return becomeFirstResponder();
}

void TextField::userType(const std::string& t) {
  auto keep = shared_from_this();
  text_ = t;
  changed();
  if (editingChanged_) editingChanged_(*this);
}

void TextField::userReturn() {
  auto keep = shared_from_this();
  if (delegate_) delegate_->textFieldShouldReturn(*this);
}

// ------------------------------------------------------------------ TextView

TextView::TextView(Rect frame, std::string text) : View(frame), text_(std::move(text)) {}
void TextView::setText(std::string t) {
  text_ = std::move(t);
  changed();
}
void TextView::setEditable(bool e) {
  editable_ = e;
  if (!e) resignFirstResponder();
  changed();
}
void TextView::setFontSize(double s) {
  fontSize_ = s;
  changed();
}
void TextView::setContentOffset(Point p) {
  offset_ = p;
  changed();
}
bool TextView::isFirstResponder() const { return g_firstResponder.lock().get() == this; }

bool TextView::userFocus() {
  if (!editable_ || !isVisible()) return false;
  if (isFirstResponder()) return true;
  auto keep = shared_from_this();
  if (auto old = g_firstResponder.lock()) resignResponder(old.get());
  g_firstResponder = shared_from_this();
  changed();
  if (didBegin_) didBegin_(*this);
  return true;
}

void TextView::resignFirstResponder() {
  if (!isFirstResponder()) return;
  auto keep = shared_from_this();
  g_firstResponder.reset();
  changed();
  if (didEnd_) didEnd_(*this);
}

bool TextView::userReplace(size_t location, size_t length, const std::string& replacement) {
  if (!editable_ || !userFocus()) return false;
  auto keep = shared_from_this();
  const size_t chars = utf8Length(text_);
  location = std::min(location, chars);
  length = std::min(length, chars - location);
  if (shouldChange_ && !shouldChange_(*this, location, length, replacement)) return false;
  size_t from = utf8Offset(text_, location);
  size_t to = from + utf8Offset(std::string_view(text_).substr(from), length);
  text_.replace(from, to - from, replacement);
  changed();
  return true;
}

bool TextView::userSetText(const std::string& t) {
  if (t == text_) return editable_;
  // The unchanged beginning and end, in whole characters.
  const std::string_view a = text_, b = t;
  size_t prefix = 0;
  while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix]) ++prefix;
  while (prefix > 0 && prefix < a.size() && (static_cast<unsigned char>(a[prefix]) & 0xC0) == 0x80) --prefix;
  size_t suffix = 0;
  while (suffix < a.size() - prefix && suffix < b.size() - prefix &&
         a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
    ++suffix;
  while (suffix > 0 && (static_cast<unsigned char>(a[a.size() - suffix]) & 0xC0) == 0x80) --suffix;
  size_t location = utf8Length(a.substr(0, prefix));
  size_t length = utf8Length(a.substr(prefix, a.size() - prefix - suffix));
  return userReplace(location, length, std::string(b.substr(prefix, b.size() - prefix - suffix)));
}

// ----------------------------------------------------------------- ImageView

ImageView::ImageView(Rect frame, std::string imageName) : View(frame), imageName_(std::move(imageName)) {}
void ImageView::setImageNamed(std::string name) {
  imageName_ = std::move(name);
  fetched_.clear();
  changed();
}
void ImageView::setImageData(std::shared_ptr<const std::string> bytes, std::string source) {
  fetched_.set(std::move(bytes), std::move(source), std::nullopt);
  imageName_.clear();
  changed();
}
void ImageView::setImage(const Image& image, std::string source) {
  fetched_.set(image.data(), std::move(source), !image.empty());
  imageName_.clear();
  changed();
}
void ImageView::clearImage() {
  fetched_.clear();
  imageName_.clear();
  changed();
}

std::string ImageView::state() const {
  if (fetched_.data()) return fetched_.decoded() ? "loaded" : "failed";
  if (imageName_.empty()) return "empty";
  return Image::named(imageName_).empty() ? "failed" : "loaded";
}

// ------------------------------------------------------------------ gestures

bool View::userPinch(double scale) {
  if (!pinch_) return false;
  auto keep = shared_from_this();
  userPinchPhase(GestureState::Began, 1);
  userPinchPhase(GestureState::Changed, scale);
  userPinchPhase(GestureState::Ended, scale);
  return true;
}

bool View::userPinchPhase(GestureState state, double scale) {
  if (!pinch_) return false;
  auto handler = pinch_;  // the handler may replace itself
  handler(*this, state, scale);
  return true;
}

// ---------------------------------------------------------------- ScrollView

ScrollView::ScrollView(Rect frame) : View(frame) {}
void ScrollView::setContentSize(Size s) {
  contentSize_ = s;
  changed();
}
void ScrollView::setContentOffset(Point p, bool) {
  offset_ = p;
  changed();
  if (didScroll_) didScroll_(*this);
}
void ScrollView::setZoomLimits(double minimum, double maximum) {
  minZoom_ = minimum;
  maxZoom_ = std::max(minimum, maximum);
  zoom_ = std::clamp(zoom_, minZoom_, maxZoom_);
  changed();
}
void ScrollView::setZoomScale(double z, bool) {
  const double before = zoom_;
  zoom_ = std::clamp(z, minZoom_, maxZoom_);
  // The content point at the middle of the view stays there, within the content.
  if (zoom_ != before && before > 0 && frame().width > 0 && frame().height > 0) {
    Size content = contentSize_;
    if (content == Size{})
      if (View* v = zoomingView()) content = {v->frame().width, v->frame().height};
    const double k = zoom_ / before;
    const double cx = (offset_.x + frame().width / 2) * k - frame().width / 2;
    const double cy = (offset_.y + frame().height / 2) * k - frame().height / 2;
    offset_ = {std::clamp(cx, 0.0, std::max(0.0, content.width * zoom_ - frame().width)),
               std::clamp(cy, 0.0, std::max(0.0, content.height * zoom_ - frame().height))};
  }
  changed();
}
void ScrollView::zoomToRect(Rect r, bool animated) {
  if (r.width <= 0 || r.height <= 0) return;
  double z = std::min(frame().width / r.width, frame().height / r.height);
  setZoomScale(z, animated);
  setContentOffset({r.x * zoom_, r.y * zoom_}, animated);
}
bool ScrollView::userZoom(double scale) {
  if (!zoomable() || !(scale == scale)) return false;  // NaN never zooms
  auto keep = shared_from_this();
  setZoomScale(scale);
  if (didEndZooming_) didEndZooming_(*this, zoom_);
  return true;
}
void ScrollView::setPagingEnabled(bool p) {
  paging_ = p;
  changed();
}
View* ScrollView::zoomingView() const {
  if (auto v = zoomView_.lock()) return v.get();
  return subviews().empty() ? nullptr : subviews().front().get();
}

// -------------------------------------------------------------------- Switch

Switch::Switch(Rect frame) : View(frame) {}
void Switch::setOn(bool on) {
  on_ = on;
  changed();
}
void Switch::userSet(bool on) {
  auto keep = shared_from_this();
  setOn(on);
  if (action_) action_(*this);
}

// --------------------------------------------------------- ActivityIndicator

ActivityIndicator::ActivityIndicator(Rect frame) : View(frame) {}
void ActivityIndicator::startAnimating() {
  animating_ = true;
  changed();
}
void ActivityIndicator::stopAnimating() {
  animating_ = false;
  changed();
}
void ActivityIndicator::setHidesWhenStopped(bool h) {
  hidesWhenStopped_ = h;
  changed();
}
void ActivityIndicator::setLarge(bool l) {
  large_ = l;
  changed();
}

// -------------------------------------------------------------- ProgressView

ProgressView::ProgressView(Rect frame) : View(frame) {}
void ProgressView::setProgress(float p) {
  progress_ = std::clamp(p, 0.f, 1.f);
  changed();
}
void ProgressView::setStyle(int s) {
  style_ = s;
  changed();
}

// ---------------------------------------------------------------- PickerView

std::string PickerViewDelegate::pickerViewTitleForRow(PickerView& p, int row, int component) {
  auto v = pickerViewViewForRow(p, row, component);
  if (!v) return {};
  if (auto* l = dynamic_cast<Label*>(v.get())) return l->text();
  for (auto& s : v->subviews())
    if (auto* l = dynamic_cast<Label*>(s.get())) return l->text();
  return {};
}

PickerView::PickerView(Rect frame) : View(frame) {}
int PickerView::numberOfComponents() const {
  return dataSource_ ? dataSource_->numberOfComponentsInPickerView(const_cast<PickerView&>(*this)) : 0;
}
int PickerView::numberOfRows(int component) const {
  return dataSource_ ? dataSource_->pickerViewNumberOfRowsInComponent(const_cast<PickerView&>(*this), component)
                     : 0;
}
std::string PickerView::titleForRow(int row, int component) const {
  return delegate_ ? delegate_->pickerViewTitleForRow(const_cast<PickerView&>(*this), row, component)
                   : std::string();
}
int PickerView::selectedRowInComponent(int component) const {
  if (component < 0) return -1;
  int rows = numberOfRows(component);
  if (rows <= 0) return -1;
  int sel = component < static_cast<int>(selected_.size()) ? selected_[component] : 0;
  return std::clamp(sel, 0, rows - 1);
}
void PickerView::selectRow(int row, int component, bool) {
  if (component < 0) return;
  if (static_cast<int>(selected_.size()) <= component) selected_.resize(component + 1, 0);
  selected_[component] = row;
  changed();
}
void PickerView::reloadAllComponents() {
  for (int c = 0; c < static_cast<int>(selected_.size()); ++c) {
    int rows = numberOfRows(c);
    if (selected_[c] >= rows) selected_[c] = rows > 0 ? rows - 1 : 0;
  }
  changed();
}
Size PickerView::rowSizeForComponent(int) const { return {frame().width > 0 ? frame().width - 20 : 300, 32}; }
bool PickerView::userPick(int row, int component) {
  if (row < 0 || row >= numberOfRows(component)) return false;
  auto keep = shared_from_this();
  selectRow(row, component);
  if (delegate_) delegate_->pickerViewDidSelectRow(*this, row, component);
  return true;
}

// ------------------------------------------------------------------- WebView

void setWebBackend(std::shared_ptr<WebBackend> backend) { g_webBackend = std::move(backend); }
WebBackend* webBackend() { return g_webBackend.get(); }

WebView::WebView(Rect frame) : View(frame) {}
void WebView::loadRequest(const std::string& url) {
  url_ = url;
  content_.clear();
  state_ = State::Loading;
  changed();
  if (g_webBackend)
    g_webBackend->load(std::static_pointer_cast<WebView>(shared_from_this()), url);
}
void WebView::stopLoading() {
  if (g_webBackend) g_webBackend->stop(*this);
  if (state_ == State::Loading) {
    state_ = State::Idle;
    changed();
  }
}
std::string WebView::stateName() const {
  switch (state_) {
    case State::Idle: return "idle";
    case State::Loading: return "loading";
    case State::Loaded: return "loaded";
    case State::Failed: return "failed";
  }
  return "idle";
}
void WebView::setScalesPageToFit(bool s) {
  scales_ = s;
  changed();
}
void WebView::backendDidStart() {
  auto keep = shared_from_this();
  state_ = State::Loading;
  changed();
  if (delegate_) delegate_->webViewDidStartLoad(*this);
}
void WebView::backendDidFinish(std::string content) {
  auto keep = shared_from_this();
  state_ = State::Loaded;
  content_ = std::move(content);
  changed();
  if (delegate_) delegate_->webViewDidFinishLoad(*this);
}
void WebView::backendDidFail(const std::string& error) {
  auto keep = shared_from_this();
  state_ = State::Failed;
  changed();
  if (delegate_) delegate_->webViewDidFailLoadWithError(*this, error);
}

// ------------------------------------------------------------- TableViewCell

TableViewCell::TableViewCell(Style style, std::string reuseIdentifier)
    : View(Rect{0, 0, kScreenWidth, 44}), reuse_(std::move(reuseIdentifier)) {
  content_ = std::make_shared<View>(Rect{0, 0, kScreenWidth, 44});
  imageView_ = std::make_shared<ImageView>(Rect{10, 6, 32, 32});
  textLabel_ = std::make_shared<Label>(Rect{15, 0, kScreenWidth - 30, style == Style::Subtitle ? 26.0 : 44.0});
  detailLabel_ = std::make_shared<Label>(style == Style::Value1 ? Rect{160, 0, 145, 44}
                                                                : Rect{15, 24, kScreenWidth - 30, 18});
  detailLabel_->setFont(style == Style::Subtitle ? 12 : 15);
  if (style == Style::Value1) detailLabel_->setAlignment(TextAlignment::Right);
  View::addSubview(content_);
  content_->addSubview(imageView_);
  content_->addSubview(textLabel_);
  content_->addSubview(detailLabel_);
}
void TableViewCell::setShowsDisclosure(bool d) {
  disclosure_ = d;
  changed();
}
void TableViewCell::setSelectable(bool s) {
  selectable_ = s;
  changed();
}
void TableViewCell::setSelectedBackgroundView(std::shared_ptr<View> v) {
  if (selectedBackground_) selectedBackground_->removeFromSuperview();
  selectedBackground_ = std::move(v);
  if (selectedBackground_ && selected_) {
    selectedBackground_->setFrame(Rect{0, 0, frame().width, frame().height});
    insertSubview(selectedBackground_, 0);
  }
}
void TableViewCell::setSelected(bool selected) {
  if (selected == selected_) return;
  selected_ = selected;
  // The selected background lies under the content view, as large as the cell.
  if (selectedBackground_) {
    if (selected) {
      selectedBackground_->setFrame(Rect{0, 0, frame().width, frame().height});
      selectedBackground_->setAutoresizingMask(Autoresizing::FlexibleSize);
      insertSubview(selectedBackground_, 0);
    } else {
      selectedBackground_->removeFromSuperview();
    }
  }
  changed();
}

namespace {
void collectTexts(const View& v, std::vector<std::string>& out) {
  if (v.hidden()) return;
  switch (v.kind()) {
    case ViewKind::Label: {
      auto& t = static_cast<const Label&>(v).text();
      if (!t.empty()) out.push_back(t);
      break;
    }
    case ViewKind::Button: {
      auto& t = static_cast<const Button&>(v).title();
      if (!t.empty()) out.push_back(t);
      break;
    }
    case ViewKind::TextView: {
      auto& t = static_cast<const TextView&>(v).text();
      if (!t.empty()) out.push_back(t);
      break;
    }
    default: break;
  }
  for (auto& s : v.subviews()) collectTexts(*s, out);
}
}  // namespace

std::vector<std::string> TableViewCell::texts() const {
  std::vector<std::string> out;
  for (auto& s : subviews()) collectTexts(*s, out);
  return out;
}

// ----------------------------------------------------------------- TableView

TableView::TableView(Rect frame, Style style) : View(frame), style_(style) {}
void TableView::setDataSource(TableViewDataSource* d) {
  dataSource_ = d;
  reloadData();
}
void TableView::setDelegate(TableViewDelegate* d) {
  delegate_ = d;
  setNeedsLayout();
  changed();
}
void TableView::setRowHeight(double h) {
  rowHeight_ = h;
  setNeedsLayout();
  changed();
}
int TableView::numberOfSections() { return dataSource_ ? std::max(0, dataSource_->numberOfSectionsInTableView(*this)) : 0; }
int TableView::numberOfRowsInSection(int section) {
  if (!dataSource_ || section < 0 || section >= numberOfSections()) return 0;
  return std::max(0, dataSource_->tableViewNumberOfRowsInSection(*this, section));
}
std::shared_ptr<TableViewCell> TableView::cellForRow(IndexPath ip) {
  if (auto it = cells_.find({ip.section, ip.row}); it != cells_.end()) return it->second;
  if (!dataSource_ || ip.section < 0 || ip.row < 0 || ip.row >= numberOfRowsInSection(ip.section))
    return nullptr;
  auto cell = dataSource_->tableViewCellForRow(*this, ip);
  if (!cell) cell = std::make_shared<TableViewCell>();
  cells_.emplace(std::make_pair(ip.section, ip.row), cell);
  return cell;
}
double TableView::askRowHeight(IndexPath ip) {
  double h = delegate_ ? delegate_->tableViewHeightForRow(*this, ip) : -1;
  return h >= 0 && std::isfinite(h) ? h : rowHeight_;
}
double TableView::heightForRow(IndexPath ip) {
  layoutIfNeeded();
  if (ip.section >= 0 && ip.section < static_cast<int>(rowHeights_.size()) && ip.row >= 0 &&
      ip.row < static_cast<int>(rowHeights_[static_cast<size_t>(ip.section)].size()))
    return rowHeights_[static_cast<size_t>(ip.section)][static_cast<size_t>(ip.row)];
  // A row the last layout did not know (asked during the layout itself, or
  // counts changed without a reload): ask the delegate directly.
  return askRowHeight(ip);
}
std::string TableView::headerTitle(int section) {
  return dataSource_ ? dataSource_->tableViewTitleForHeaderInSection(*this, section) : std::string();
}
std::shared_ptr<View> TableView::headerView(int section) {
  return delegate_ ? delegate_->tableViewViewForHeaderInSection(*this, section) : nullptr;
}
double TableView::headerHeight(int section) {
  if (!inLayout_ && !needsLayout_ && section >= 0 && section < static_cast<int>(headerHeights_.size()))
    return headerHeights_[static_cast<size_t>(section)];
  double h = delegate_ ? delegate_->tableViewHeightForHeaderInSection(*this, section) : -1;
  if (h >= 0 && std::isfinite(h)) return h;
  return headerTitle(section).empty() && !headerView(section) ? 0 : 22;
}
std::shared_ptr<TableViewCell> TableView::dequeueReusableCellWithIdentifier(const std::string&) {
  // Cells are kept per row until the next reload, so nothing is off screen to reuse.
  return nullptr;
}
void TableView::setNeedsLayout() {
  needsLayout_ = true;
  // A layout in progress finishes with the heights it asked for; the next
  // one starts afresh.
}
void TableView::reloadData() {
  cells_.clear();
  ++reloads_;
  scrolledTo_.reset();
  scrolledPos_ = ScrollPosition::None;
  scrollPending_ = false;
  setNeedsLayout();
  changed();
}
void TableView::layoutIfNeeded() {
  if (!needsLayout_ || inLayout_) return;
  auto keep = weak_from_this().lock();  // a delegate may drop the table meanwhile
  needsLayout_ = false;
  inLayout_ = true;
  headerHeights_.clear();
  rowHeights_.clear();
  int sections = numberOfSections();
  std::vector<double> headers;
  std::vector<std::vector<double>> rows;
  headers.reserve(static_cast<size_t>(sections));
  rows.reserve(static_cast<size_t>(sections));
  for (int s = 0; s < sections; ++s) {
    headers.push_back(headerHeight(s));
    std::vector<double> heights;
    int n = numberOfRowsInSection(s);
    heights.reserve(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r) heights.push_back(askRowHeight({s, r}));
    rows.push_back(std::move(heights));
  }
  headerHeights_ = std::move(headers);
  rowHeights_ = std::move(rows);
  inLayout_ = false;
  if (scrollPending_) applyScroll();
}
double TableView::contentHeight() {
  layoutIfNeeded();
  double total = 0;
  for (double h : headerHeights_) total += h;
  for (auto& section : rowHeights_)
    for (double h : section) total += h;
  return total;
}
void TableView::scrollToRow(IndexPath ip, ScrollPosition pos, bool) {
  scrolledTo_ = ip;
  scrolledPos_ = pos;
  scrollPending_ = true;
  if (!inLayout_) applyScroll();
  changed();
}
void TableView::applyScroll() {
  scrollPending_ = false;
  if (!scrolledTo_) return;
  layoutIfNeeded();
  IndexPath ip = *scrolledTo_;
  double y = 0;
  int sections = static_cast<int>(rowHeights_.size());
  for (int s = 0; s < sections && s < ip.section; ++s) {
    y += headerHeights_[static_cast<size_t>(s)];
    for (double h : rowHeights_[static_cast<size_t>(s)]) y += h;
  }
  double rowH = 0;
  if (ip.section >= 0 && ip.section < sections) {
    const auto& heights = rowHeights_[static_cast<size_t>(ip.section)];
    y += headerHeights_[static_cast<size_t>(ip.section)];
    for (int r = 0; r < ip.row && r < static_cast<int>(heights.size()); ++r) y += heights[static_cast<size_t>(r)];
    if (ip.row >= 0 && ip.row < static_cast<int>(heights.size())) rowH = heights[static_cast<size_t>(ip.row)];
  }
  const double viewH = frame().height;
  if (scrolledPos_ == ScrollPosition::Middle) y += rowH / 2 - viewH / 2;
  else if (scrolledPos_ == ScrollPosition::Bottom) y += rowH - viewH;
  double maxY = std::max(0.0, contentHeight() - viewH);
  offset_ = {0, std::clamp(y, 0.0, maxY)};
}
void TableView::setContentOffset(Point p, bool) {
  offset_ = p;
  scrolledTo_.reset();
  scrolledPos_ = ScrollPosition::None;
  scrollPending_ = false;
  changed();
}
bool TableView::userSelectRow(IndexPath ip) {
  if (ip.section < 0 || ip.row < 0 || ip.row >= numberOfRowsInSection(ip.section)) return false;
  auto keep = shared_from_this();
  selected_ = ip;
  changed();
  if (delegate_) delegate_->tableViewDidSelectRow(*this, ip);
  return true;
}
void TableView::deselectRow(IndexPath ip, bool) {
  if (selected_ && *selected_ == ip) {
    selected_.reset();
    changed();
  }
}

// ------------------------------------------------------------ CollectionView

CollectionView::CollectionView(Rect frame) : View(frame) {}
void CollectionView::setDataSource(CollectionViewDataSource* d) {
  dataSource_ = d;
  reloadData();
}
void CollectionView::setItemSize(Size s) {
  itemSize_ = s;
  changed();
}
int CollectionView::numberOfSections() {
  return dataSource_ ? std::max(0, dataSource_->numberOfSectionsInCollectionView(*this)) : 0;
}
int CollectionView::numberOfItemsInSection(int section) {
  if (!dataSource_ || section < 0 || section >= numberOfSections()) return 0;
  return std::max(0, dataSource_->collectionViewNumberOfItemsInSection(*this, section));
}
std::shared_ptr<TableViewCell> CollectionView::cellForItem(IndexPath ip) {
  if (auto it = cells_.find({ip.section, ip.row}); it != cells_.end()) return it->second;
  if (!dataSource_ || ip.row < 0 || ip.row >= numberOfItemsInSection(ip.section)) return nullptr;
  auto cell = dataSource_->collectionViewCellForItem(*this, ip);
  if (!cell) cell = std::make_shared<TableViewCell>();
  cells_.emplace(std::make_pair(ip.section, ip.row), cell);
  return cell;
}
void CollectionView::reloadData() {
  cells_.clear();
  selected_.reset();
  changed();
}
bool CollectionView::userSelectItem(IndexPath ip) {
  if (ip.row < 0 || ip.row >= numberOfItemsInSection(ip.section)) return false;
  auto keep = shared_from_this();
  if (selected_ && !(*selected_ == ip)) deselectItem(*selected_);
  selected_ = ip;
  if (auto cell = cellForItem(ip)) cell->setSelected(true);
  changed();
  if (dataSource_) dataSource_->collectionViewDidSelectItem(*this, ip);
  return true;
}
void CollectionView::deselectItem(IndexPath ip) {
  if (!selected_ || !(*selected_ == ip)) return;
  selected_.reset();
  if (auto it = cells_.find({ip.section, ip.row}); it != cells_.end()) it->second->setSelected(false);
  changed();
}

}  // namespace yx
