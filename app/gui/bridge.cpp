#include "app/gui/bridge.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QThread>

#include <atomic>
#include <cmath>

#include "platform/application.h"
#include "platform/files.h"
#include "platform/http.h"
#include "platform/image.h"
#include "platform/runloop.h"
#include "platform/ui/headless_web.h"
#include "platform/ui/view_controller.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>
#include <mutex>

namespace yx::gui {

namespace {

std::atomic<int> gBlocking{0};

QString qs(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// QML colours are "#aarrggbb"; an empty string means clear.
QString colorText(const Color& c) {
  if (c.isClear()) return {};
  auto byte = [](float v) { return std::lround(std::clamp(v, 0.f, 1.f) * 255); };
  return QString::asprintf("#%02lx%02lx%02lx%02lx", byte(c.a), byte(c.r), byte(c.g), byte(c.b));
}

QString imageUrl(const std::string& name) {
  if (name.empty()) return {};
  return QStringLiteral("image://yx/name/") + qs(name);
}

const char* alignText(TextAlignment a) {
  switch (a) {
    case TextAlignment::Center: return "center";
    case TextAlignment::Right: return "right";
    default: return "left";
  }
}

NavigationController* nav() { return Application::shared().navigation(); }

// Fetched pictures by the address of their bytes, so the image provider's
// threads decode them without reaching into the view tree (weakly held: a
// picture no view shows any more is gone).
std::mutex gFetchedMu;
std::map<quintptr, std::weak_ptr<const std::string>> gFetched;

QString fetchedUrl(int viewId, const std::shared_ptr<const std::string>& bytes) {
  const auto key = reinterpret_cast<quintptr>(bytes.get());
  {
    std::lock_guard<std::mutex> lock(gFetchedMu);
    if (gFetched.size() > 256) std::erase_if(gFetched, [](const auto& e) { return e.second.expired(); });
    gFetched[key] = bytes;
  }
  return QStringLiteral("image://yx/view/%1/%2").arg(viewId).arg(key, 0, 16);
}

std::shared_ptr<const std::string> fetchedBytes(const QString& id) {
  bool ok = false;
  const quintptr key = id.section('/', 2, 2).toULongLong(&ok, 16);
  std::lock_guard<std::mutex> lock(gFetchedMu);
  auto it = gFetched.find(key);
  return ok && it != gFetched.end() ? it->second.lock() : nullptr;
}

}  // namespace

bool inBlockingWait() { return gBlocking.load() > 0; }

// ----------------------------------------------------------------- flatten

void ScreenModel::flatten(View* v, double ox, double oy, double scale, const QVariantMap& clip,
                          std::vector<QVariantMap>& out, ScreenModel* owner, int depthInCell) {
  if (!v || v->hidden() || v->alpha() <= 0) return;
  const Rect& f = v->frame();
  const double x = ox + f.x * scale, y = oy + f.y * scale, w = f.width * scale, h = f.height * scale;
  QVariantMap a;
  a["x"] = x;
  a["y"] = y;
  a["w"] = w;
  a["h"] = h;
  a["scale"] = scale;
  a["alpha"] = v->alpha();
  a["bg"] = colorText(v->backgroundColor());
  a["pattern"] = imageUrl(v->backgroundPattern());
  a["borderWidth"] = v->borderWidth();
  a["borderColor"] = colorText(v->borderColor());
  a["radius"] = v->cornerRadius();
  a["tag"] = v->hasTag() ? v->tag() : -1;
  a["name"] = qs(v->name());
  a["clip"] = clip;
  a["id"] = owner ? owner->idFor(v) : 0;
  a["interactive"] = v->userInteractionEnabled();
  a["pinch"] = v->hasPinchHandler();
  QString type = "view";
  bool recurse = true;
  double childScale = scale, cx = x, cy = y;
  QVariantMap childClip = clip;
  switch (v->kind()) {
    case ViewKind::View:
    case ViewKind::TableViewCell:
      break;
    case ViewKind::Label: {
      auto* l = static_cast<Label*>(v);
      type = "label";
      a["text"] = qs(l->text());
      a["fontSize"] = l->fontSize() * scale;
      a["bold"] = l->bold();
      a["color"] = colorText(l->textColor());
      a["align"] = alignText(l->alignment());
      a["lines"] = l->numberOfLines();
      break;
    }
    case ViewKind::Button: {
      auto* b = static_cast<Button*>(v);
      type = "button";
      a["text"] = qs(b->title());
      a["color"] = colorText(b->titleColor());
      a["fontSize"] = b->fontSize() * scale;
      a["image"] = b->imageData() ? fetchedUrl(a["id"].toInt(), b->imageData()) : imageUrl(b->image());
      a["background"] = imageUrl(b->backgroundImage());
      a["enabled"] = b->enabled();
      a["action"] = qs(b->actionName());
      break;
    }
    case ViewKind::TextField: {
      auto* t = static_cast<TextField*>(v);
      type = "field";
      a["text"] = qs(t->text());
      a["placeholder"] = qs(t->placeholder());
      a["secure"] = t->secureTextEntry();
      a["numeric"] = t->numericKeyboard();
      a["enabled"] = t->enabled();
      a["fontSize"] = t->fontSize() * scale;
      a["focused"] = t->isFirstResponder();
      break;
    }
    case ViewKind::TextView: {
      auto* t = static_cast<TextView*>(v);
      type = "textview";
      a["text"] = qs(t->text());
      a["editable"] = t->editable();
      a["fontSize"] = t->fontSize() * scale;
      a["offsetY"] = t->contentOffset().y * scale;
      break;
    }
    case ViewKind::ImageView: {
      auto* i = static_cast<ImageView*>(v);
      type = "image";
      if (i->imageData() && !i->imageData()->empty())
        a["source"] = fetchedUrl(a["id"].toInt(), i->imageData());
      else
        a["source"] = imageUrl(i->imageName());
      a["state"] = qs(i->state());
      break;
    }
    case ViewKind::ScrollView: {
      auto* s = static_cast<ScrollView*>(v);
      type = "scroll";
      a["zoom"] = s->zoomScale();
      a["minZoom"] = s->minimumZoomScale();
      a["maxZoom"] = s->maximumZoomScale();
      childScale = scale * s->zoomScale();
      cx = x - s->contentOffset().x * scale;
      cy = y - s->contentOffset().y * scale;
      childClip = QVariantMap{{"x", x}, {"y", y}, {"w", w}, {"h", h}};
      break;
    }
    case ViewKind::TableView:
    case ViewKind::CollectionView:
      type = v->kind() == ViewKind::TableView ? "table" : "grid";
      if (owner) a["model"] = QVariant::fromValue(static_cast<QObject*>(owner->tableFor(v)));
      if (v->kind() == ViewKind::TableView) {
        auto* t = static_cast<TableView*>(v);
        t->layoutIfNeeded();  // heights (and a scroll asked for while measuring them) first
        a["grouped"] = t->style() == TableView::Style::Grouped;
        a["offsetY"] = t->contentOffset().y * scale;
        // The row the screen scrolled to, as an index of the drawn list
        // (headers count), and where it goes; the key changes with each scroll.
        int scrollIndex = -1;
        QString mode;
        if (auto at = t->scrolledToRow()) {
          scrollIndex = 0;
          for (int sec = 0; sec < at->section && sec < t->numberOfSections(); ++sec)
            scrollIndex += (t->headerHeight(sec) > 0 ? 1 : 0) + t->numberOfRowsInSection(sec);
          scrollIndex += (t->headerHeight(at->section) > 0 ? 1 : 0) + at->row;
          switch (t->scrolledToPosition()) {
            case TableView::ScrollPosition::Middle: mode = "middle"; break;
            case TableView::ScrollPosition::Bottom: mode = "bottom"; break;
            default: mode = "top"; break;
          }
        }
        a["scrollIndex"] = scrollIndex;
        a["scrollMode"] = mode;
        a["scrollKey"] = QStringLiteral("%1/%2/%3").arg(t->reloadCount()).arg(scrollIndex).arg(mode);
      } else {
        auto s = static_cast<CollectionView*>(v)->itemSize();
        a["itemW"] = s.width * scale;
        a["itemH"] = s.height * scale;
      }
      recurse = false;
      break;
    case ViewKind::PickerView: {
      auto* p = static_cast<PickerView*>(v);
      type = "picker";
      QStringList titles;
      int rows = p->numberOfRows(0);
      for (int r = 0; r < rows && r < 5000; ++r) titles << qs(p->titleForRow(r, 0));
      a["titles"] = titles;
      a["selected"] = p->selectedRowInComponent(0);
      recurse = false;
      break;
    }
    case ViewKind::Switch:
      type = "switch";
      a["on"] = static_cast<Switch*>(v)->isOn();
      break;
    case ViewKind::ActivityIndicator: {
      auto* s = static_cast<ActivityIndicator*>(v);
      type = "spinner";
      a["running"] = s->isAnimating();
      a["large"] = s->large();
      if (!s->isAnimating() && s->hidesWhenStopped()) return;
      break;
    }
    case ViewKind::ProgressView:
      type = "progress";
      a["progress"] = static_cast<ProgressView*>(v)->progress();
      break;
    case ViewKind::WebView: {
      auto* wv = static_cast<WebView*>(v);
      type = "web";
      a["url"] = qs(wv->url());
      a["state"] = qs(wv->stateName());
      QString lower = qs(wv->url()).toLower();
      a["pdf"] = lower.section('?', 0, 0).endsWith(".pdf");
      a["pdfFile"] = qs(QtWebBackend::pdfFileFor(wv));
      a["fit"] = wv->scalesPageToFit();
      recurse = false;
      break;
    }
  }
  a["type"] = type;
  a["depthInCell"] = depthInCell;
  out.push_back(std::move(a));
  if (!recurse) return;
  for (auto& s : v->subviews()) flatten(s.get(), cx, cy, childScale, childClip, out, owner, depthInCell);
}

// -------------------------------------------------------------- TableModel

TableModel::TableModel(std::shared_ptr<View> table, QObject* parent)
    : QAbstractListModel(parent), table_(table) {
  refresh();
}

bool TableModel::grid() const {
  auto t = table_.lock();
  return t && t->kind() == ViewKind::CollectionView;
}

void TableModel::refresh() {
  auto t = table_.lock();
  std::vector<Entry> fresh;
  unsigned long reloads = 0;
  if (auto* tv = dynamic_cast<TableView*>(t.get())) {
    tv->layoutIfNeeded();  // every row height, in order, before drawing
    reloads = tv->reloadCount();
    int sections = tv->numberOfSections();
    for (int s = 0; s < sections; ++s) {
      if (tv->headerHeight(s) > 0) fresh.push_back({true, s, -1});
      int rows = tv->numberOfRowsInSection(s);
      for (int r = 0; r < rows; ++r) fresh.push_back({false, s, r});
    }
  } else if (auto* cv = dynamic_cast<CollectionView*>(t.get())) {
    int sections = cv->numberOfSections();
    for (int s = 0; s < sections; ++s)
      for (int r = 0, n = cv->numberOfItemsInSection(s); r < n; ++r) fresh.push_back({false, s, r});
  }
  bool same = reloads == reloads_ && fresh.size() == entries_.size();
  for (size_t i = 0; same && i < fresh.size(); ++i)
    same = fresh[i].header == entries_[i].header && fresh[i].section == entries_[i].section &&
           fresh[i].row == entries_[i].row;
  if (!same) {
    beginResetModel();
    entries_ = std::move(fresh);
    reloads_ = reloads;
    endResetModel();
  } else if (!entries_.empty()) {
    // Cell contents may change without a reload (a picture arrives).
    emit dataChanged(index(0), index(static_cast<int>(entries_.size()) - 1));
  }
}

int TableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QHash<int, QByteArray> TableModel::roleNames() const {
  return {{KindRole, "kind"},     {SectionRole, "section"},       {RowRole, "row"},
          {HeightRole, "rowHeight"}, {PartsRole, "parts"},         {TitleRole, "title"},
          {DisclosureRole, "disclosure"}, {SelectedRole, "selected"}};
}

QVariant TableModel::data(const QModelIndex& index, int role) const {
  auto t = table_.lock();
  if (!t || !index.isValid() || index.row() >= static_cast<int>(entries_.size())) return {};
  const Entry& e = entries_[static_cast<size_t>(index.row())];
  auto* tv = dynamic_cast<TableView*>(t.get());
  auto* cv = dynamic_cast<CollectionView*>(t.get());
  switch (role) {
    case KindRole: return e.header ? QStringLiteral("header") : QStringLiteral("row");
    case SectionRole: return e.section;
    case RowRole: return e.row;
    case HeightRole:
      if (cv) return cv->itemSize().height;
      return e.header ? tv->headerHeight(e.section) : tv->heightForRow({e.section, e.row});
    case TitleRole: return e.header && tv ? qs(tv->headerTitle(e.section)) : QString();
    case SelectedRole: {
      if (!tv || e.header) return false;
      auto sel = tv->indexPathForSelectedRow();
      return sel && sel->section == e.section && sel->row == e.row;
    }
    case DisclosureRole:
    case PartsRole: {
      std::shared_ptr<View> content;
      if (e.header) {
        if (tv) content = tv->headerView(e.section);
      } else {
        ++asked_;
        content = tv ? std::static_pointer_cast<View>(tv->cellForRow({e.section, e.row}))
                     : std::static_pointer_cast<View>(cv->cellForItem({e.section, e.row}));
      }
      if (role == DisclosureRole) {
        auto* cell = dynamic_cast<TableViewCell*>(content.get());
        return cell && cell->showsDisclosure();
      }
      QVariantList parts;
      if (!content) return parts;
      // A cell's views are laid out from the cell's own origin.
      std::vector<QVariantMap> rows;
      for (auto& s : content->subviews())
        ScreenModel::flatten(s.get(), 0, 0, 1, {}, rows, qobject_cast<ScreenModel*>(parent()), 1);
      for (auto& r : rows) parts.push_back(r);
      return parts;
    }
  }
  return {};
}

void TableModel::select(int listIndex) {
  if (inBlockingWait() || !Alerts::visible().empty()) return;
  auto t = table_.lock();
  if (!t || listIndex < 0 || listIndex >= static_cast<int>(entries_.size())) return;
  const Entry& e = entries_[static_cast<size_t>(listIndex)];
  if (e.header) return;
  if (auto* tv = dynamic_cast<TableView*>(t.get())) tv->userSelectRow({e.section, e.row});
  else if (auto* cv = dynamic_cast<CollectionView*>(t.get())) cv->userSelectItem({e.section, e.row});
}

// ------------------------------------------------------------- ScreenModel

ScreenModel::ScreenModel(QObject* parent) : QAbstractListModel(parent) {}

int ScreenModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QHash<int, QByteArray> ScreenModel::roleNames() const {
  return {{TypeRole, "type"}, {AttrsRole, "attrs"}, {IdRole, "viewId"}};
}

QVariant ScreenModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
  const QVariantMap& r = rows_[static_cast<size_t>(index.row())];
  switch (role) {
    case TypeRole: return r.value("type");
    case AttrsRole: return r;
    case IdRole: return r.value("id");
  }
  return {};
}

QString ScreenModel::className() const {
  auto* n = nav();
  return n && n->topViewController() ? qs(n->topViewController()->className()) : QString();
}

QString ScreenModel::rootColor() const {
  QString c = rows_.empty() ? QString() : rows_.front().value("bg").toString();
  return c.isEmpty() ? QStringLiteral("#ffffff") : c;
}

int ScreenModel::depth() const {
  auto* n = nav();
  return n ? static_cast<int>(n->depth()) : 0;
}

int ScreenModel::idFor(View* v) {
  auto it = ids_.find(v);
  if (it != ids_.end()) {
    // The address may have been reused by a new view: check the weak reference.
    auto& weak = live_[v];
    if (!weak.expired() && weak.lock().get() == v) return it->second;
    byId_.erase(it->second);
  }
  int id = nextId_++;
  ids_[v] = id;
  byId_[id] = v;
  live_[v] = v->weak_from_this();
  return id;
}

View* ScreenModel::viewFor(int id) const {
  auto it = byId_.find(id);
  if (it == byId_.end()) return nullptr;
  auto lt = live_.find(it->second);
  if (lt == live_.end()) return nullptr;
  auto sp = lt->second.lock();
  if (sp.get() != it->second) return nullptr;
  // Only views of the screen on top (or of its table cells) take input: a
  // screen that was popped may still be alive, held by a pending call.
  View* root = sp.get();
  while (root->superview()) root = root->superview();
  auto* n = nav();
  ViewController* top = n ? n->topViewController() : nullptr;
  if (root->kind() == ViewKind::TableViewCell) return sp.get();
  return top && top->isViewLoaded() && root == top->viewPtr().get() ? sp.get() : nullptr;
}

TableModel* ScreenModel::tableFor(View* v) {
  auto it = tables_.find(v);
  if (it != tables_.end() && it->second->view() == v) {
    return it->second;
  }
  if (it != tables_.end()) it->second->deleteLater();
  auto* m = new TableModel(v->shared_from_this(), this);
  tables_[v] = m;
  return m;
}

void ScreenModel::scheduleRebuild() {
  if (pending_) return;
  pending_ = true;
  QMetaObject::invokeMethod(this, [this] {
    pending_ = false;
    if (inBlockingWait()) {
      // The core is in the middle of a request: draw what is there, read later.
      QTimer::singleShot(30, this, [this] { scheduleRebuild(); });
      return;
    }
    rebuildNow();
  }, Qt::QueuedConnection);
}

void ScreenModel::rebuildNow() {
  std::vector<QVariantMap> fresh;
  auto* n = nav();
  if (n && n->topViewController()) flatten(n->topViewController()->viewPtr().get(), 0, 0, 1, {}, fresh, this, 0);
  // Drop table models and ids of views that are gone.
  for (auto it = tables_.begin(); it != tables_.end();) {
    if (!it->second->view()) {
      it->second->deleteLater();
      it = tables_.erase(it);
    } else {
      ++it;
    }
  }
  for (auto it = live_.begin(); it != live_.end();) {
    if (it->second.expired()) {
      auto id = ids_.find(it->first);
      if (id != ids_.end()) {
        byId_.erase(id->second);
        ids_.erase(id);
      }
      it = live_.erase(it);
    } else {
      ++it;
    }
  }
  bool sameShape = fresh.size() == rows_.size();
  for (size_t i = 0; sameShape && i < fresh.size(); ++i)
    sameShape = fresh[i].value("id") == rows_[i].value("id") && fresh[i].value("type") == rows_[i].value("type");
  if (sameShape) {
    // Keep the delegates (and a field's keyboard focus); update what changed.
    for (size_t i = 0; i < fresh.size(); ++i)
      if (fresh[i] != rows_[i]) {
        rows_[i] = std::move(fresh[i]);
        emit dataChanged(index(static_cast<int>(i)), index(static_cast<int>(i)));
      }
  } else {
    beginResetModel();
    rows_ = std::move(fresh);
    endResetModel();
  }
  for (auto& [v, m] : tables_)
    if (m->view()) m->refresh();
  emit screenChanged();
  emit rebuilt();
}

namespace {
bool inputAllowed() { return !inBlockingWait() && Alerts::visible().empty(); }
}  // namespace

void ScreenModel::tap(int id) {
  if (!inputAllowed()) return;
  if (auto* b = dynamic_cast<Button*>(viewFor(id))) b->tap();
}

bool ScreenModel::focusField(int id) {
  if (!inputAllowed()) return false;
  auto* f = dynamic_cast<TextField*>(viewFor(id));
  if (!f || !f->enabled()) return false;
  if (f->isFirstResponder()) return true;
  return f->userFocus();
}

void ScreenModel::typeText(int id, const QString& text) {
  if (!inputAllowed()) return;
  auto* f = dynamic_cast<TextField*>(viewFor(id));
  if (!f || !f->enabled()) return;
  if (!f->isFirstResponder() && !f->userFocus()) return;
  std::string t = text.toStdString();
  if (t != f->text()) f->userType(t);
}

void ScreenModel::returnKey(int id) {
  if (!inputAllowed()) return;
  if (auto* f = dynamic_cast<TextField*>(viewFor(id))) f->userReturn();
}

void ScreenModel::endEditing(int id) {
  if (auto* f = dynamic_cast<TextField*>(viewFor(id)); f && f->isFirstResponder()) f->resignFirstResponder();
}

void ScreenModel::editText(int id, const QString& text) {
  if (!inputAllowed()) return;
  if (auto* t = dynamic_cast<TextView*>(viewFor(id)); t && t->editable()) {
    std::string s = text.toStdString();
    if (s != t->text() && !t->userSetText(s)) scheduleRebuild();  // refused: show the old text again
  }
}

void ScreenModel::pick(int id, int row) {
  if (!inputAllowed()) return;
  if (auto* p = dynamic_cast<PickerView*>(viewFor(id)); p && p->selectedRowInComponent(0) != row) p->userPick(row, 0);
}

void ScreenModel::flip(int id, bool on) {
  if (!inputAllowed()) return;
  if (auto* s = dynamic_cast<Switch*>(viewFor(id)); s && s->isOn() != on) s->userSet(on);
}

void ScreenModel::scrollBy(int id, double dx, double dy) {
  if (!inputAllowed()) return;
  auto* s = dynamic_cast<ScrollView*>(viewFor(id));
  if (!s) return;
  const double z = s->zoomScale();
  double maxX = std::max(0.0, s->contentSize().width * z - s->frame().width);
  double maxY = std::max(0.0, s->contentSize().height * z - s->frame().height);
  // Content sized by its zooming view when no content size was given.
  if (s->contentSize() == Size{} && s->zoomingView()) {
    maxX = std::max(0.0, s->zoomingView()->frame().width * z - s->frame().width);
    maxY = std::max(0.0, s->zoomingView()->frame().height * z - s->frame().height);
  }
  Point p = s->contentOffset();
  p.x = std::clamp(p.x - dx, 0.0, maxX);
  p.y = std::clamp(p.y - dy, 0.0, maxY);
  s->setContentOffset(p, false);
}

void ScreenModel::zoom(int id, double scale) {
  if (!inputAllowed()) return;
  auto* s = dynamic_cast<ScrollView*>(viewFor(id));
  if (!s || !std::isfinite(scale)) return;
  s->setZoomScale(std::clamp(scale, s->minimumZoomScale(), s->maximumZoomScale()), false);
}

void ScreenModel::pinch(int id, int phase, double scale) {
  if (!inputAllowed()) return;
  if (auto* v = viewFor(id))
    v->userPinchPhase(phase == 0 ? GestureState::Began : phase == 1 ? GestureState::Changed : GestureState::Ended,
                      scale);
}

void ScreenModel::zoomAt(int id, double scale, double fx, double fy, bool ended) {
  if (!inputAllowed()) return;
  auto* s = dynamic_cast<ScrollView*>(viewFor(id));
  if (!s || !s->zoomable() || !std::isfinite(scale) || !std::isfinite(fx) || !std::isfinite(fy)) return;
  const double before = s->zoomScale();
  const double after = std::clamp(scale, s->minimumZoomScale(), s->maximumZoomScale());
  // The content point under the focus stays under it.
  Point p = s->contentOffset();
  const double k = before > 0 ? after / before : 1;
  Size content = s->contentSize();
  if (content == Size{} && s->zoomingView()) content = {s->zoomingView()->frame().width, s->zoomingView()->frame().height};
  const double maxX = std::max(0.0, content.width * after - s->frame().width);
  const double maxY = std::max(0.0, content.height * after - s->frame().height);
  p.x = std::clamp((p.x + fx) * k - fx, 0.0, maxX);
  p.y = std::clamp((p.y + fy) * k - fy, 0.0, maxY);
  s->setZoomScale(after, false);
  s->setContentOffset(p, false);
  if (ended) s->userZoom(after);
}

void ScreenModel::webStarted(int id) {
  if (auto* w = dynamic_cast<WebView*>(viewFor(id)); w && w->state() != WebView::State::Loading) w->backendDidStart();
}

void ScreenModel::webFinished(int id) {
  if (auto* w = dynamic_cast<WebView*>(viewFor(id)); w && w->state() == WebView::State::Loading) w->backendDidFinish();
}

void ScreenModel::webFailed(int id, const QString& error) {
  if (auto* w = dynamic_cast<WebView*>(viewFor(id)); w && w->state() == WebView::State::Loading)
    w->backendDidFail(error.toStdString());
}

// -------------------------------------------------------------- AlertState

void AlertState::refresh() {
  auto a = Alerts::front();
  bool vis = static_cast<bool>(a);
  QString title, message;
  QStringList buttons, texts;
  bool hasProgress = false;
  double progress = 0;
  if (a) {
    title = qs(a->title());
    message = qs(a->message());
    for (auto& b : a->buttonTitles()) buttons << qs(b);
    std::vector<QVariantMap> rows;
    for (auto& s : a->contentView().subviews()) ScreenModel::flatten(s.get(), 0, 0, 1, {}, rows, nullptr, 0);
    for (auto& r : rows) {
      if (r.value("type") == "progress") {
        hasProgress = true;
        progress = r.value("progress").toDouble();
      } else if (r.value("type") == "label" && !r.value("text").toString().isEmpty()) {
        texts << r.value("text").toString();
      }
    }
  }
  if (vis == visible_ && title == title_ && message == message_ && buttons == buttons_ && texts == texts_ &&
      hasProgress == hasProgress_ && progress == progress_)
    return;
  visible_ = vis;
  title_ = title;
  message_ = message;
  buttons_ = buttons;
  texts_ = texts;
  hasProgress_ = hasProgress;
  progress_ = progress;
  emit changed();
}

void AlertState::press(int index) {
  if (inBlockingWait()) return;
  if (auto a = Alerts::front()) a->pressButton(index);
}

// ---------------------------------------------------------------- NavState

int NavState::depth() const { return nav() ? static_cast<int>(nav()->depth()) : 0; }
QString NavState::top() const {
  return nav() && nav()->topViewController() ? qs(nav()->topViewController()->className()) : QString();
}

void NavState::attach() {
  if (auto* n = nav())
    n->setTransitionListener([this](const Transition& t) {
      static const char* names[] = {"push", "pop", "popTo", "popToRoot", "setRoot"};
      emit transition(names[static_cast<int>(t.kind)], t.animated);
      emit changed();
    });
  emit transition("setRoot", false);
  emit changed();
}

// ----------------------------------------------------------- ImageProvider

ImageProvider::ImageProvider(ScreenModel* screen)
    : QQuickImageProvider(QQuickImageProvider::Image), screen_(screen) {}

QImage ImageProvider::placeholder(const QString& name, QSize size) {
  if (!size.isValid() || size.isEmpty()) size = QSize(64, 64);
  QImage img(size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QRectF r(1, 1, size.width() - 2, size.height() - 2);
  QPainterPath path;
  path.addRoundedRect(r, std::min(r.width(), r.height()) * 0.18, std::min(r.width(), r.height()) * 0.18);
  p.fillPath(path, QColor(0xe8, 0xee, 0xf2));
  p.setPen(QPen(QColor(0xb8, 0xc4, 0xcc), 1));
  p.drawPath(path);
  QString initial = name.section('/', -1).left(1).toUpper();
  QFont font;
  font.setPixelSize(std::max(8, static_cast<int>(std::min(r.width(), r.height()) * 0.45)));
  p.setFont(font);
  p.setPen(QColor(0x7a, 0x8a, 0x96));
  p.drawText(r, Qt::AlignCenter, initial);
  return img;
}

QImage ImageProvider::requestImage(const QString& id, QSize* size, const QSize& requested) {
  QImage img;
  if (id.startsWith("name/")) {
    QString name = id.mid(5);
    yx::Image found = yx::Image::named(name.toStdString());
    if (!found.empty()) img = QImage::fromData(QByteArray::fromStdString(found.bytes()));
    if (img.isNull()) img = placeholder(name, requested);
  } else if (id.startsWith("view/")) {
    // A fetched picture, decoded (off the GUI thread for asynchronous
    // images) straight to the size it is drawn at.
    if (auto bytes = fetchedBytes(id)) {
      QByteArray data = QByteArray::fromRawData(bytes->data(), static_cast<qsizetype>(bytes->size()));
      QBuffer buffer(&data);
      QImageReader reader(&buffer);
      QSize natural = reader.size();
      if (requested.isValid() && natural.isValid() && requested.width() > 0 && requested.height() > 0 &&
          (natural.width() > requested.width() || natural.height() > requested.height()))
        reader.setScaledSize(natural.scaled(requested, Qt::KeepAspectRatio));
      img = reader.read();
    }
    if (img.isNull()) img = placeholder("?", requested);
  }
  if (size) *size = img.size();
  return img;
}

// -------------------------------------------------------------- CoreBridge

namespace {
CoreBridge* gBridge = nullptr;
std::atomic<bool> gWakePending{false};
}  // namespace

CoreBridge::CoreBridge(QObject* parent)
    : QObject(parent), screen_(new ScreenModel(this)), alert_(new AlertState(this)), nav_(new NavState(this)) {
  gBridge = this;
  timer_.setSingleShot(true);
  timer_.setTimerType(Qt::PreciseTimer);
  connect(&timer_, &QTimer::timeout, this, [this] { pump(); });
  RunLoop::main().setWaker([] {
    if (gWakePending.exchange(true)) return;
    if (auto* app = QCoreApplication::instance())
      QMetaObject::invokeMethod(app, [] {
        gWakePending = false;
        if (gBridge) gBridge->pump();
      }, Qt::QueuedConnection);
  });
  setUiChangeListener([this](View*) {
    screen_->scheduleRebuild();
    alert_->refresh();
  });
  Application::shared().setRootListener([this] {
    nav_->attach();
    screen_->scheduleRebuild();
  });
  setBlockingWaitHook([this] {
    // Paint (spinners turn) but hold user input until the call returns.
    if (gBlocking.fetch_add(1) == 0) emit busyChanged();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (gBlocking.fetch_sub(1) == 1) emit busyChanged();
  });
  if (Application::shared().navigation()) nav_->attach();
}

void removePdfCopies();

CoreBridge::~CoreBridge() {
  removePdfCopies();
  RunLoop::main().setWaker(nullptr);
  setUiChangeListener(nullptr);
  setBlockingWaitHook(nullptr);
  Application::shared().setRootListener(nullptr);
  if (auto* n = Application::shared().navigation()) n->setTransitionListener(nullptr);
  gBridge = nullptr;
}

bool CoreBridge::busy() const { return inBlockingWait(); }

void CoreBridge::pump() {
  if (inBlockingWait()) {
    // Never run core work inside a blocking request; try again afterwards.
    timer_.start(15);
    return;
  }
  auto& loop = RunLoop::main();
  for (int i = 0; i < 1000 && loop.runOnce(); ++i) {
  }
  alert_->refresh();
  double next = loop.secondsUntilNextTimer();
  if (next < 3600) {
    int ms = next <= 0 ? 0 : static_cast<int>(std::ceil(next * 1000));
    if (clock().isManual()) return;  // virtual time moves only by command
    timer_.start(ms);
  }
}

// ------------------------------------------------------------ QtWebBackend

namespace {
std::mutex gPdfMu;
std::map<const WebView*, std::string> gPdfFiles;

bool isPdfUrl(const std::string& url) {
  std::string path = url.substr(0, url.find_first_of("?#"));
  if (path.size() < 4) return false;
  std::string ext = path.substr(path.size() - 4);
  for (auto& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".pdf";
}
}  // namespace

// The local copies of PDF files go with the window.
void removePdfCopies() {
  std::lock_guard<std::mutex> lock(gPdfMu);
  for (auto& [view, file] : gPdfFiles) QFile::remove(QString::fromStdString(file));
  gPdfFiles.clear();
}

std::string QtWebBackend::pdfFileFor(const WebView* view) {
  std::lock_guard<std::mutex> lock(gPdfMu);
  auto it = gPdfFiles.find(view);
  return it == gPdfFiles.end() ? std::string() : it->second;
}

void QtWebBackend::load(const std::shared_ptr<WebView>& view, const std::string& url) {
  if (isPdfUrl(url)) {
    view->backendDidStart();
    std::weak_ptr<WebView> weak = view;
    const WebView* key = view.get();
    Background::run([weak, key, url] {
      // A document already on disk (a downloaded roster) is read from there.
      HttpResult r;
      if (auto path = Files::pathFromFileURL(url)) {
        auto bytes = Files::readFile(*path);
        r.ok = bytes.has_value();
        r.status = 200;
        r.body = bytes.value_or("");
        r.error = "no such file";
      } else {
        r = httpGet(url, 60);
      }
      std::string file;
      std::string error = !r.ok ? r.error : r.status >= 400 ? "HTTP " + std::to_string(r.status) : "";
      if (error.empty()) {
        QTemporaryFile tmp(QDir::tempPath() + "/yunxiu-XXXXXX.pdf");
        tmp.setAutoRemove(false);
        if (tmp.open() && tmp.write(r.body.data(), static_cast<qint64>(r.body.size())) ==
                              static_cast<qint64>(r.body.size()))
          file = tmp.fileName().toStdString();
        else
          error = "cannot keep the PDF file";
      }
      RunLoop::main().post([weak, key, file, error] {
        auto v = weak.lock();
        if (!v || v.get() != key) return;
        if (!error.empty()) {
          v->backendDidFail(error);
          return;
        }
        {
          std::lock_guard<std::mutex> lock(gPdfMu);
          auto& slot = gPdfFiles[key];
          if (!slot.empty() && slot != file) QFile::remove(QString::fromStdString(slot));
          slot = file;
        }
        uiChanged(v.get());  // QtPdf opens it; its status reports the finish
      });
    });
    return;
  }
  if (!webEngine_) {
    HeadlessWebBackend().load(view, url);
    return;
  }
  // The page item in the window loads it and reports start, finish and failure.
  uiChanged(view.get());
}

void QtWebBackend::stop(WebView& view) {
  if (!webEngine_) HeadlessWebBackend().stop(view);
}

}  // namespace yx::gui
