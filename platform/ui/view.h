#pragma once
// The retained view tree a screen builds and a front-end draws.
//
// Views are shared objects owned by their superview (and by the controller
// that made them). Every change is reported through uiChanged() so a
// front-end redraws only when something changed.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/geometry.h"

namespace yx {

class Image;

// A picture fetched from a server, as an image view or a button holds it: the
// bytes, the URL as it was requested, and whether the bytes decoded (kept, so
// nothing decodes them twice). A view waiting for a fetch holds a ticket;
// giving the view any picture, or starting another fetch, voids it, so a late
// answer to an earlier request is dropped rather than shown.
class FetchedPicture {
public:
  const std::shared_ptr<const std::string>& data() const { return data_; }
  const std::string& source() const { return source_; }
  bool decoded() const;
  void set(std::shared_ptr<const std::string> bytes, std::string source, std::optional<bool> decoded);
  void clear();
  // Starts waiting for a fetch of `url`; the ticket identifies it.
  std::uint64_t await();
  bool awaits(std::uint64_t ticket) const { return ticket != 0 && ticket == ticket_; }

private:
  std::shared_ptr<const std::string> data_;
  std::string source_;
  mutable std::optional<bool> decoded_;
  std::uint64_t ticket_ = 0;
};

enum class ViewKind {
  View, Label, Button, TextField, TextView, ImageView, ScrollView, TableView, TableViewCell,
  CollectionView, PickerView, Switch, ActivityIndicator, ProgressView, WebView
};

// Front-ends register one listener; it is called (main thread) after any
// view changes. `view` may be null for changes that are not a single view's.
void setUiChangeListener(std::function<void(class View* view)> listener);
void uiChanged(class View* view);
// Monotonic counter bumped by every change (cheap dirty check).
unsigned long uiGeneration();

// Phases of a continuous gesture such as a pinch.
enum class GestureState { Began, Changed, Ended };

class View : public std::enable_shared_from_this<View> {
public:
  explicit View(Rect frame = {});
  virtual ~View();
  View(const View&) = delete;
  View& operator=(const View&) = delete;

  virtual ViewKind kind() const { return ViewKind::View; }

  const Rect& frame() const { return frame_; }
  void setFrame(Rect r);
  bool hidden() const { return hidden_; }
  void setHidden(bool h);
  float alpha() const { return alpha_; }
  void setAlpha(float a);
  int tag() const { return tag_; }
  void setTag(int t);
  // True once a tag was set (even 0): untagged views are addressed by name.
  bool hasTag() const { return hasTag_; }
  // The outlet name (what scripts and tests address the view by).
  const std::string& name() const { return name_; }
  void setName(std::string n);
  const Color& backgroundColor() const { return background_; }
  void setBackgroundColor(Color c);
  // Tiled background image (a bundled image name), drawn over the colour:
  // like a pattern colour, it takes the place of the plain one.
  const std::string& backgroundPattern() const { return pattern_; }
  void setBackgroundPattern(std::string imageName);
  double borderWidth() const { return borderWidth_; }
  double cornerRadius() const { return cornerRadius_; }
  void setBorder(double width, double cornerRadius, Color color = Color::gray(0.6f));
  const Color& borderColor() const { return borderColor_; }
  bool userInteractionEnabled() const { return interaction_; }
  void setUserInteractionEnabled(bool on);

  // How this view follows a change of its superview's size (Autoresizing
  // bits; none by default: fixed to the top-left corner, fixed size).
  unsigned autoresizingMask() const { return mask_; }
  void setAutoresizingMask(unsigned mask) { mask_ = mask; }
  // Whether a change of this view's size lays out its subviews by their masks.
  bool autoresizesSubviews() const { return autoresizesSubviews_; }
  void setAutoresizesSubviews(bool on) { autoresizesSubviews_ = on; }

  void addSubview(std::shared_ptr<View> v);
  void insertSubview(std::shared_ptr<View> v, size_t index);
  void removeFromSuperview();
  void bringSubviewToFront(View* v);
  const std::vector<std::shared_ptr<View>>& subviews() const { return subviews_; }
  View* superview() const { return superview_; }

  // Depth-first search of this view and its subviews.
  View* viewWithTag(int tag);
  View* viewNamed(const std::string& name);
  template <class T> T* findNamed(const std::string& name) { return dynamic_cast<T*>(viewNamed(name)); }
  // True when this view and every ancestor are shown.
  bool isVisible() const;

  // Ends editing of any text field in this subtree (resigns first responder).
  void endEditing();

  // A pinch recognizer on this view: called with each phase and the scale
  // since the pinch began (1 at the start).
  using PinchHandler = std::function<void(View&, GestureState, double scale)>;
  void setPinchHandler(PinchHandler fn) { pinch_ = std::move(fn); }
  bool hasPinchHandler() const { return static_cast<bool>(pinch_); }
  // A user's whole pinch, as front-ends deliver it: began at 1, changed and
  // ended at `scale`. False when the view has no pinch recognizer.
  bool userPinch(double scale);
  // One phase of a pinch in progress (front-ends with live gestures).
  bool userPinchPhase(GestureState state, double scale);

protected:
  void changed() { uiChanged(this); }

private:
  Rect frame_;
  bool hidden_ = false;
  float alpha_ = 1;
  int tag_ = 0;
  bool hasTag_ = false;
  std::string name_;
  Color background_ = Color::clear();
  std::string pattern_;
  double borderWidth_ = 0, cornerRadius_ = 0;
  Color borderColor_ = Color::gray(0.6f);
  bool interaction_ = true;
  unsigned mask_ = 0;
  bool autoresizesSubviews_ = true;
  PinchHandler pinch_;
  std::vector<std::shared_ptr<View>> subviews_;
  View* superview_ = nullptr;
};

class Label : public View {
public:
  explicit Label(Rect frame = {}, std::string text = {});
  ViewKind kind() const override { return ViewKind::Label; }
  const std::string& text() const { return text_; }
  void setText(std::string t);
  double fontSize() const { return fontSize_; }
  bool bold() const { return bold_; }
  void setFont(double size, bool bold = false);
  const Color& textColor() const { return textColor_; }
  void setTextColor(Color c);
  TextAlignment alignment() const { return align_; }
  void setAlignment(TextAlignment a);
  // 0 means as many lines as needed.
  int numberOfLines() const { return lines_; }
  void setNumberOfLines(int n);
  // How far a one-line label's font may shrink (a fraction of its size) when
  // its text is wider than the label; past that it is cut at the end.
  // 1 keeps the size. Front-ends that draw text apply it.
  double minimumScaleFactor() const { return minScale_; }
  void setMinimumScaleFactor(double f);

private:
  std::string text_;
  double minScale_ = 0.5;
  double fontSize_ = 17;
  bool bold_ = false;
  Color textColor_ = Color::black();
  TextAlignment align_ = TextAlignment::Left;
  int lines_ = 1;
};

class Button : public View {
public:
  explicit Button(Rect frame = {}, std::string title = {});
  ViewKind kind() const override { return ViewKind::Button; }
  const std::string& title() const { return title_; }
  void setTitle(std::string t);
  const Color& titleColor() const { return titleColor_; }
  void setTitleColor(Color c);
  double fontSize() const { return fontSize_; }
  void setFontSize(double s);
  // Foreground image and background image (bundled image names).
  const std::string& image() const { return image_; }
  void setImage(std::string imageName);
  const std::string& backgroundImage() const { return backgroundImage_; }
  void setBackgroundImage(std::string imageName);
  // A fetched picture as the foreground image (a bundled image name set
  // later replaces it, and it replaces the name).
  void setImage(const Image& image, std::string source);
  const std::shared_ptr<const std::string>& imageData() const { return fetched_.data(); }
  const std::string& imageSource() const { return fetched_.source(); }
  std::uint64_t awaitImage() { return fetched_.await(); }
  bool awaitsImage(std::uint64_t ticket) const { return fetched_.awaits(ticket); }
  bool enabled() const { return enabled_; }
  void setEnabled(bool e);
  // Target-action: called with the button when it is tapped.
  void setAction(std::function<void(Button&)> action) { action_ = std::move(action); }
  bool hasAction() const { return static_cast<bool>(action_); }
  // Name of the action for scripts (e.g. "agreeButton"), used when the button has no tag.
  const std::string& actionName() const { return actionName_; }
  void setActionName(std::string n) { actionName_ = std::move(n); }
  // A user's tap: does nothing when disabled or hidden.
  bool tap();

private:
  std::string title_, image_, backgroundImage_, actionName_;
  FetchedPicture fetched_;
  Color titleColor_ = Color::rgb(0, 122, 255);
  double fontSize_ = 15;
  bool enabled_ = true;
  std::function<void(Button&)> action_;
};

class TextField;
class TextFieldDelegate {
public:
  virtual ~TextFieldDelegate() = default;
  virtual bool textFieldShouldBeginEditing(TextField&) { return true; }
  virtual bool textFieldShouldReturn(TextField&) { return true; }
  virtual void textFieldDidEndEditing(TextField&) {}
};

class TextField : public View {
public:
  explicit TextField(Rect frame = {});
  ViewKind kind() const override { return ViewKind::TextField; }
  const std::string& text() const { return text_; }
  // Sets the text by code (no editing-changed event).
  void setText(std::string t);
  const std::string& placeholder() const { return placeholder_; }
  void setPlaceholder(std::string p);
  bool enabled() const { return enabled_; }
  void setEnabled(bool e);
  bool secureTextEntry() const { return secure_; }
  void setSecureTextEntry(bool s);
  bool numericKeyboard() const { return numeric_; }
  void setNumericKeyboard(bool n);
  double fontSize() const { return fontSize_; }
  void setFontSize(double s);
  void setDelegate(TextFieldDelegate* d) { delegate_ = d; }
  TextFieldDelegate* delegate() const { return delegate_; }
  // Called after each user edit of the text.
  void setEditingChanged(std::function<void(TextField&)> fn) { editingChanged_ = std::move(fn); }

  // User interaction, as a front-end or the text driver performs it.
  bool userFocus();                    // asks the delegate; true when editing began
  void userType(const std::string& t); // replaces the text as typed, fires editing-changed
  void userReturn();                   // the return key
  bool isFirstResponder() const;
  bool becomeFirstResponder();
  void resignFirstResponder();

private:
  std::string text_, placeholder_;
  bool enabled_ = true, secure_ = false, numeric_ = false;
  double fontSize_ = 15;
  TextFieldDelegate* delegate_ = nullptr;
  std::function<void(TextField&)> editingChanged_;
};

class TextView : public View {
public:
  explicit TextView(Rect frame = {}, std::string text = {});
  ViewKind kind() const override { return ViewKind::TextView; }
  const std::string& text() const { return text_; }
  void setText(std::string t);
  bool editable() const { return editable_; }
  void setEditable(bool e);
  double fontSize() const { return fontSize_; }
  void setFontSize(double s);
  Point contentOffset() const { return offset_; }
  void setContentOffset(Point p);

  // Asked before a user's edit replaces the characters [location,
  // location + length) of the text with `replacement`. Positions count
  // characters (Unicode code points), not bytes; false refuses the edit.
  void setShouldChangeText(std::function<bool(TextView&, size_t location, size_t length,
                                              const std::string& replacement)> fn) {
    shouldChange_ = std::move(fn);
  }
  // Told when the user begins editing (the keyboard comes up) and when
  // editing ends (by the user or by resignFirstResponder()).
  void setDidBeginEditing(std::function<void(TextView&)> fn) { didBegin_ = std::move(fn); }
  void setDidEndEditing(std::function<void(TextView&)> fn) { didEnd_ = std::move(fn); }

  // User interaction, as a front-end or the text driver performs it.
  // Begins editing (an editable, visible text view); true when it is editing.
  bool userFocus();
  bool isFirstResponder() const;
  void resignFirstResponder();
  // One keystroke, paste or deletion: replaces the characters [location,
  // location + length) (clamped to the text) with `replacement`, when the
  // shouldChangeText hook allows it. Begins editing first when needed.
  // True when the text took the edit.
  bool userReplace(size_t location, size_t length, const std::string& replacement);
  // An edit given as the whole new text (front-ends whose widget reports only
  // that): the changed range is the part between the unchanged beginning
  // and end, passed on as one userReplace().
  bool userSetText(const std::string& t);

private:
  std::string text_;
  bool editable_ = true;
  double fontSize_ = 15;
  Point offset_;
  std::function<bool(TextView&, size_t, size_t, const std::string&)> shouldChange_;
  std::function<void(TextView&)> didBegin_, didEnd_;
};

// An image by bundled name or by bytes (decoded by the front-end).
class ImageView : public View {
public:
  explicit ImageView(Rect frame = {}, std::string imageName = {});
  ViewKind kind() const override { return ViewKind::ImageView; }
  const std::string& imageName() const { return imageName_; }
  void setImageNamed(std::string name);
  // Picture bytes fetched from a server; `source` names where they came from.
  const std::shared_ptr<const std::string>& imageData() const { return fetched_.data(); }
  void setImageData(std::shared_ptr<const std::string> bytes, std::string source = {});
  // A picture the image loader decoded, with the URL it was fetched from.
  void setImage(const Image& image, std::string source);
  const std::string& source() const { return fetched_.source(); }
  void clearImage();
  // "loaded", "failed" or "empty".
  std::string state() const;
  // A fetch this view waits for (see FetchedPicture).
  std::uint64_t awaitImage() { return fetched_.await(); }
  bool awaitsImage(std::uint64_t ticket) const { return fetched_.awaits(ticket); }
  // Whether the picture covers the whole frame, cut at its sides, instead of
  // showing whole inside it (a backdrop on a canvas of another shape).
  bool fillsFrame() const { return fills_; }
  void setFillsFrame(bool fills) { fills_ = fills; }

private:
  std::string imageName_;
  FetchedPicture fetched_;
  bool fills_ = false;
};

class ScrollView : public View {
public:
  explicit ScrollView(Rect frame = {});
  ViewKind kind() const override { return ViewKind::ScrollView; }
  Size contentSize() const { return contentSize_; }
  void setContentSize(Size s);
  Point contentOffset() const { return offset_; }
  void setContentOffset(Point p, bool animated = false);
  double minimumZoomScale() const { return minZoom_; }
  double maximumZoomScale() const { return maxZoom_; }
  double zoomScale() const { return zoom_; }
  void setZoomLimits(double minimum, double maximum);
  void setZoomScale(double z, bool animated = false);
  void zoomToRect(Rect r, bool animated = false);
  bool pagingEnabled() const { return paging_; }
  void setPagingEnabled(bool p);
  // The subview that zooms (the first subview when unset).
  void setZoomingView(std::shared_ptr<View> v) { zoomView_ = v; }
  View* zoomingView() const;
  void setDidScroll(std::function<void(ScrollView&)> fn) { didScroll_ = std::move(fn); }
  // A scroll view zooms when its limits allow more than one scale.
  bool zoomable() const { return maxZoom_ > minZoom_; }
  // Told when a user's zoom ends, with the scale it ended at.
  void setDidEndZooming(std::function<void(ScrollView&, double scale)> fn) { didEndZooming_ = std::move(fn); }
  // A user's pinch-zoom ending at `scale` (clamped to the limits), then the
  // zoom-end callback. False when the view does not zoom.
  bool userZoom(double scale);

private:
  Size contentSize_;
  Point offset_;
  double minZoom_ = 1, maxZoom_ = 1, zoom_ = 1;
  bool paging_ = false;
  std::weak_ptr<View> zoomView_;
  std::function<void(ScrollView&)> didScroll_;
  std::function<void(ScrollView&, double)> didEndZooming_;
};

class Switch : public View {
public:
  explicit Switch(Rect frame = {});
  ViewKind kind() const override { return ViewKind::Switch; }
  bool isOn() const { return on_; }
  void setOn(bool on);
  void setAction(std::function<void(Switch&)> fn) { action_ = std::move(fn); }
  void userSet(bool on);  // a user's flip: sets and fires the action

private:
  bool on_ = false;
  std::function<void(Switch&)> action_;
};

class ActivityIndicator : public View {
public:
  explicit ActivityIndicator(Rect frame = {});
  ViewKind kind() const override { return ViewKind::ActivityIndicator; }
  bool isAnimating() const { return animating_; }
  void startAnimating();
  void stopAnimating();
  bool hidesWhenStopped() const { return hidesWhenStopped_; }
  void setHidesWhenStopped(bool h);
  bool large() const { return large_; }
  void setLarge(bool l);

private:
  bool animating_ = false, hidesWhenStopped_ = true, large_ = false;
};

class ProgressView : public View {
public:
  explicit ProgressView(Rect frame = {});
  ViewKind kind() const override { return ViewKind::ProgressView; }
  float progress() const { return progress_; }
  void setProgress(float p);
  int style() const { return style_; }
  void setStyle(int s);

private:
  float progress_ = 0;
  int style_ = 0;
};

class PickerView;
class PickerViewDataSource {
public:
  virtual ~PickerViewDataSource() = default;
  virtual int numberOfComponentsInPickerView(PickerView&) { return 1; }
  virtual int pickerViewNumberOfRowsInComponent(PickerView&, int component) = 0;
};
class PickerViewDelegate {
public:
  virtual ~PickerViewDelegate() = default;
  virtual std::string pickerViewTitleForRow(PickerView&, int row, int component);
  // A custom row view; its first label's text is its title for front-ends.
  virtual std::shared_ptr<View> pickerViewViewForRow(PickerView&, int, int) { return nullptr; }
  virtual void pickerViewDidSelectRow(PickerView&, int, int) {}
};

class PickerView : public View {
public:
  explicit PickerView(Rect frame = {});
  ViewKind kind() const override { return ViewKind::PickerView; }
  void setDataSource(PickerViewDataSource* d) { dataSource_ = d; }
  void setDelegate(PickerViewDelegate* d) { delegate_ = d; }
  int numberOfComponents() const;
  int numberOfRows(int component) const;
  std::string titleForRow(int row, int component = 0) const;
  int selectedRowInComponent(int component) const;
  void selectRow(int row, int component = 0, bool animated = false);
  void reloadAllComponents();
  Size rowSizeForComponent(int component) const;
  // A user's choice: selects and tells the delegate.
  bool userPick(int row, int component = 0);

private:
  PickerViewDataSource* dataSource_ = nullptr;
  PickerViewDelegate* delegate_ = nullptr;
  std::vector<int> selected_;
};

// ---------------------------------------------------------------- web views

class WebView;
class WebViewDelegate {
public:
  virtual ~WebViewDelegate() = default;
  virtual void webViewDidStartLoad(WebView&) {}
  virtual void webViewDidFinishLoad(WebView&) {}
  virtual void webViewDidFailLoadWithError(WebView&, const std::string& /*error*/) {}
};

// Loads pages for web views: the GUI's web engine, or plain HTTP when headless.
class WebBackend {
public:
  virtual ~WebBackend() = default;
  virtual void load(const std::shared_ptr<WebView>& view, const std::string& url) = 0;
  virtual void stop(WebView&) {}
};
void setWebBackend(std::shared_ptr<WebBackend> backend);
WebBackend* webBackend();

class WebView : public View {
public:
  enum class State { Idle, Loading, Loaded, Failed };
  explicit WebView(Rect frame = {});
  ViewKind kind() const override { return ViewKind::WebView; }
  void setDelegate(WebViewDelegate* d) { delegate_ = d; }
  void loadRequest(const std::string& url);
  void stopLoading();
  const std::string& url() const { return url_; }
  State state() const { return state_; }
  std::string stateName() const;
  bool scalesPageToFit() const { return scales_; }
  void setScalesPageToFit(bool s);
  // The page body the headless backend fetched (empty with a web engine).
  const std::string& content() const { return content_; }

  // Called by backends, on the main thread.
  void backendDidStart();
  void backendDidFinish(std::string content = {});
  void backendDidFail(const std::string& error);

private:
  WebViewDelegate* delegate_ = nullptr;
  std::string url_, content_;
  State state_ = State::Idle;
  bool scales_ = false;
};

// ------------------------------------------------------------------- tables

struct IndexPath {
  int section = 0, row = 0;
  bool operator==(const IndexPath&) const = default;
};

class TableViewCell : public View {
public:
  enum class Style { Default, Subtitle, Value1 };
  explicit TableViewCell(Style style = Style::Default, std::string reuseIdentifier = {});
  ViewKind kind() const override { return ViewKind::TableViewCell; }
  const std::string& reuseIdentifier() const { return reuse_; }
  Label& textLabel() { return *textLabel_; }
  Label& detailTextLabel() { return *detailLabel_; }
  ImageView& imageView() { return *imageView_; }
  View& contentView() { return *content_; }
  bool showsDisclosure() const { return disclosure_; }
  void setShowsDisclosure(bool d);
  // A check mark at the row's end (the current choice of a list of choices).
  bool showsCheckmark() const { return checkmark_; }
  void setShowsCheckmark(bool c);
  bool selectable() const { return selectable_; }
  void setSelectable(bool s);
  // Drawn under the content while the cell is selected (grid cells).
  void setSelectedBackgroundView(std::shared_ptr<View> v);
  View* selectedBackgroundView() const { return selectedBackground_.get(); }
  bool isSelected() const { return selected_; }
  void setSelected(bool selected);
  // Visible texts of the cell in tree order (what a person reads).
  std::vector<std::string> texts() const;

private:
  std::string reuse_;
  std::shared_ptr<View> content_;
  std::shared_ptr<Label> textLabel_, detailLabel_;
  std::shared_ptr<ImageView> imageView_;
  std::shared_ptr<View> selectedBackground_;
  bool disclosure_ = false, checkmark_ = false, selectable_ = true, selected_ = false;
};

class TableView;
class TableViewDataSource {
public:
  virtual ~TableViewDataSource() = default;
  virtual int numberOfSectionsInTableView(TableView&) { return 1; }
  virtual int tableViewNumberOfRowsInSection(TableView&, int section) = 0;
  virtual std::shared_ptr<TableViewCell> tableViewCellForRow(TableView&, IndexPath ip) = 0;
  virtual std::string tableViewTitleForHeaderInSection(TableView&, int) { return {}; }
};
class TableViewDelegate {
public:
  virtual ~TableViewDelegate() = default;
  // A negative answer means "use the table's rowHeight".
  virtual double tableViewHeightForRow(TableView&, IndexPath) { return -1; }
  virtual std::shared_ptr<View> tableViewViewForHeaderInSection(TableView&, int) { return nullptr; }
  virtual double tableViewHeightForHeaderInSection(TableView&, int) { return -1; }
  virtual void tableViewDidSelectRow(TableView&, IndexPath) {}
};

class TableView : public View {
public:
  enum class Style { Plain, Grouped };
  explicit TableView(Rect frame = {}, Style style = Style::Plain);
  ViewKind kind() const override { return ViewKind::TableView; }
  Style style() const { return style_; }
  void setDataSource(TableViewDataSource* d);
  void setDelegate(TableViewDelegate* d);
  TableViewDataSource* dataSource() const { return dataSource_; }
  TableViewDelegate* delegate() const { return delegate_; }
  double rowHeight() const { return rowHeight_; }
  void setRowHeight(double h);

  int numberOfSections();
  int numberOfRowsInSection(int section);
  // The cell for a row, asked of the data source when first drawn after a reload.
  std::shared_ptr<TableViewCell> cellForRow(IndexPath ip);
  // A row's height as the last layout found it (laying out first when needed).
  double heightForRow(IndexPath ip);

  // Layout: after a reload (setting the data source, the delegate or the row
  // height counts as one) the table asks its delegate for every row height,
  // in order, once, at its next layout, never inside reloadData() itself.
  // Front-ends lay the table out before drawing it; heightForRow() does too.
  void layoutIfNeeded();
  bool needsLayout() const { return needsLayout_; }
  // The height of all headers and rows (lays out first when needed).
  double contentHeight();
  std::string headerTitle(int section);
  std::shared_ptr<View> headerView(int section);
  double headerHeight(int section);
  // Reuse pool: a cell of that identifier that is not on screen, or null.
  std::shared_ptr<TableViewCell> dequeueReusableCellWithIdentifier(const std::string& id);

  void reloadData();
  unsigned long reloadCount() const { return reloads_; }
  enum class ScrollPosition { None, Top, Middle, Bottom };
  // Brings a row to the top, middle or bottom of the table (None: as little
  // as needed, here the top), within the content. Called while the table
  // lays out (from a height callback), the offset is set once every height
  // is known.
  void scrollToRow(IndexPath ip, ScrollPosition pos, bool animated);
  // The row the screen's code last scrolled to and where it put it; a reload
  // or a content-offset change forgets it.
  std::optional<IndexPath> scrolledToRow() const { return scrolledTo_; }
  ScrollPosition scrolledToPosition() const { return scrolledPos_; }
  Point contentOffset() const { return offset_; }
  void setContentOffset(Point p, bool animated = false);

  // A user's tap on a row: selects it and tells the delegate.
  bool userSelectRow(IndexPath ip);
  std::optional<IndexPath> indexPathForSelectedRow() const { return selected_; }
  void deselectRow(IndexPath ip, bool animated);

private:
  Style style_;
  TableViewDataSource* dataSource_ = nullptr;
  TableViewDelegate* delegate_ = nullptr;
  double rowHeight_ = 44;
  unsigned long reloads_ = 0;
  std::map<std::pair<int, int>, std::shared_ptr<TableViewCell>> cells_;
  std::optional<IndexPath> selected_, scrolledTo_;
  ScrollPosition scrolledPos_ = ScrollPosition::None;
  Point offset_;
  // The last layout: header and row heights per section.
  bool needsLayout_ = true, inLayout_ = false, scrollPending_ = false;
  std::vector<double> headerHeights_;
  std::vector<std::vector<double>> rowHeights_;
  void setNeedsLayout();
  double askRowHeight(IndexPath ip);
  void applyScroll();
};

class CollectionView;
class CollectionViewDataSource {
public:
  virtual ~CollectionViewDataSource() = default;
  virtual int numberOfSectionsInCollectionView(CollectionView&) { return 1; }
  virtual int collectionViewNumberOfItemsInSection(CollectionView&, int section) = 0;
  virtual std::shared_ptr<TableViewCell> collectionViewCellForItem(CollectionView&, IndexPath) = 0;
  virtual void collectionViewDidSelectItem(CollectionView&, IndexPath) {}
};

// A grid of cells, `itemSize` each, laid out in rows.
class CollectionView : public View {
public:
  explicit CollectionView(Rect frame = {});
  ViewKind kind() const override { return ViewKind::CollectionView; }
  void setDataSource(CollectionViewDataSource* d);
  Size itemSize() const { return itemSize_; }
  void setItemSize(Size s);
  int numberOfSections();
  int numberOfItemsInSection(int section);
  std::shared_ptr<TableViewCell> cellForItem(IndexPath ip);
  void reloadData();
  // A user's tap on an item: selects it (its cell shows its selected
  // background) and tells the data source.
  bool userSelectItem(IndexPath ip);
  std::optional<IndexPath> selectedItem() const { return selected_; }
  void deselectItem(IndexPath ip);

private:
  std::optional<IndexPath> selected_;
  CollectionViewDataSource* dataSource_ = nullptr;
  Size itemSize_{100, 100};
  std::map<std::pair<int, int>, std::shared_ptr<TableViewCell>> cells_;
};

// Shorthand constructors returning shared pointers.
template <class T, class... A> std::shared_ptr<T> make(A&&... a) {
  return std::make_shared<T>(std::forward<A>(a)...);
}

}  // namespace yx
